#include "game/menus/menu_cursor.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "components/button.h"
#include "components/cursor.h"
#include "game/blocks.h"
#include "graphics/sprite.h"
#include "graphics/sprite_source.h"
#include "objects/space.h"
#include "objects/transform.h"

namespace game {
namespace {

// Sorts after every object of a menu file, so the mark draws over the buttons.
constexpr const char* kCursorObject = "zz_KeyboardCursor";
// The mark: the selected button's own picture, a little larger, tinted warm and
// translucent, drawn over it so that the button seems to glow.
constexpr base::XMFLOAT4 kMarkColour{1.0f, 0.85f, 0.25f, 0.45f};
constexpr float kMarkGrowth = 1.08f;

struct MenuCursor {
  std::weak_ptr<objects::GameObject> object;  // owned by its overlay space
  int firstChoice = 0;                        // index into the cursor's buttons
  int backChoice = -1;                        // the button that goes back a page, or -1
};

struct MenuCursors {
  std::vector<MenuCursor> cursors;
  const objects::Space* top = nullptr;  // the overlay the keyboard worked last frame
};

MenuCursors& Cursors() { return GameBlock<MenuCursors>(); }

objects::Transform* TransformOf(const std::shared_ptr<objects::GameObject>& object) {
  return object != nullptr ? object->GetComponent<objects::Transform>("Transform") : nullptr;
}

// Top to bottom, then left to right: the order a reader goes through a menu.
void SortByScreenPosition(std::vector<std::weak_ptr<objects::GameObject>>& buttons) {
  std::stable_sort(buttons.begin(), buttons.end(), [](const auto& a, const auto& b) {
    const objects::Transform* ta = TransformOf(a.lock());
    const objects::Transform* tb = TransformOf(b.lock());
    if (ta == nullptr || tb == nullptr) return false;
    if (ta->translation.y != tb->translation.y) return ta->translation.y > tb->translation.y;
    return ta->translation.x < tb->translation.x;
  });
}

// Puts the mark over the selected button with the button's size and picture.
void FitMark(objects::GameObject& cursorObject, const components::Cursor& cursor) {
  const std::shared_ptr<objects::GameObject> selected = cursor.selected.lock();
  objects::Transform* target = TransformOf(selected);
  auto* own = cursorObject.GetComponent<objects::Transform>("Transform");
  auto* source = cursorObject.GetComponent<graphics::SpriteSource>("SpriteSource");
  auto* picture =
      selected != nullptr ? selected->GetComponent<graphics::SpriteSource>("SpriteSource") : nullptr;
  auto* shown = selected != nullptr ? selected->GetComponent<graphics::Sprite>("Sprite") : nullptr;
  auto* mark = cursorObject.GetComponent<graphics::Sprite>("Sprite");
  if (target == nullptr || own == nullptr) return;
  own->SetScale(target->scale.x * kMarkGrowth, target->scale.y * kMarkGrowth);
  own->SetDirty();
  // A switch shows on or off by its frame; the mark shows the same.
  if (mark != nullptr && shown != nullptr) mark->frameIndex = shown->frameIndex;
  if (source != nullptr && picture != nullptr && source->image != picture->image) {
    source->image = picture->image;
    source->rows = picture->rows;
    source->columns = picture->columns;
    source->LoadImage(picture->image);
  }
}

}  // namespace

void AddMenuCursor(objects::Space& space, const char* firstChoice, const char* backChoice) {
  std::shared_ptr<objects::GameObject> object = space.CreateObject(kCursorObject);
  if (object == nullptr) return;
  auto* transform = new objects::Transform();
  object->AddComponent(transform);
  auto* source = new graphics::SpriteSource();
  object->AddComponent(source);
  auto* sprite = new graphics::Sprite();
  sprite->isStatic = true;
  sprite->colour = kMarkColour;
  object->AddComponent(sprite);
  auto* cursor = new components::Cursor();
  cursor->moreNextKeys = {platform::kVkDown,         platform::kVkRight,    platform::kVkTab,
                          platform::kVkPadDown,      platform::kVkPadRight, platform::kVkPadStickDown,
                          platform::kVkPadStickRight};
  cursor->morePreviousKeys = {platform::kVkUp,      platform::kVkLeft,       platform::kVkPadUp,
                              platform::kVkPadLeft, platform::kVkPadStickUp, platform::kVkPadStickLeft};
  cursor->moreSelectKeys = {platform::kVkPadA};
  cursor->skipUnclickable = true;
  object->AddComponent(cursor);
  if (!cursor->Initialize()) {
    // No buttons in this space: nothing to select.
    object->SetActive(false);
    return;
  }
  SortByScreenPosition(cursor->buttons);
  MenuCursor entry{object, 0};
  for (std::size_t i = 0; i < cursor->buttons.size(); ++i) {
    const std::shared_ptr<objects::GameObject> button = cursor->buttons[i].lock();
    if (button != nullptr && button->GetName() == firstChoice) entry.firstChoice = static_cast<int>(i);
    if (button != nullptr && button->GetName() == backChoice) entry.backChoice = static_cast<int>(i);
  }
  cursor->Select(entry.firstChoice);
  sprite->Initialize();
  FitMark(*object, *cursor);
  Cursors().cursors.push_back(entry);
}

void ShowMenuCursorOnly(const objects::Space* top) {
  const bool newTop = top != Cursors().top;
  Cursors().top = top;
  for (const MenuCursor& entry : Cursors().cursors) {
    const std::shared_ptr<objects::GameObject> object = entry.object.lock();
    if (object == nullptr) continue;
    const bool mine = top != nullptr && object->GetSpace() == top;
    object->SetActive(mine);
    auto* cursor = object->GetComponent<components::Cursor>("Cursor");
    if (!mine || cursor == nullptr) continue;
    if (newTop) cursor->Select(entry.firstChoice);
    FitMark(*object, *cursor);
  }
}

bool PressMenuBack(const objects::Space* top) {
  for (const MenuCursor& entry : Cursors().cursors) {
    const std::shared_ptr<objects::GameObject> object = entry.object.lock();
    if (object == nullptr || top == nullptr || object->GetSpace() != top || entry.backChoice < 0) continue;
    auto* cursor = object->GetComponent<components::Cursor>("Cursor");
    if (cursor == nullptr || entry.backChoice >= static_cast<int>(cursor->buttons.size())) return false;
    const std::shared_ptr<objects::GameObject> back = cursor->buttons[entry.backChoice].lock();
    auto* button = back != nullptr ? back->GetComponent<components::Button>("Button") : nullptr;
    if (button == nullptr || !button->canClick || button->action == nullptr) return false;
    button->action();
    return true;
  }
  return false;
}

}  // namespace game
