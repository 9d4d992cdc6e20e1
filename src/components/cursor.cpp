// Cursor: keyboard selection among the buttons of a space.
#include "components/cursor.h"

#include "components/button.h"
#include "input/input.h"
#include "objects/game_object.h"
#include "objects/space.h"
#include "objects/transform.h"

namespace components {
namespace {

bool AnyTriggered(int key, const std::vector<int>& more) {
  if (input::IsKeyTriggered(key)) return true;
  for (int other : more) {
    if (input::IsKeyTriggered(other)) return true;
  }
  return false;
}

objects::Transform* TransformOf(const objects::GameObject* object) {
  return object != nullptr ? object->GetComponent<objects::Transform>("Transform") : nullptr;
}

}  // namespace

Cursor::Cursor() : BaseComponent("Cursor") {}

bool Cursor::Initialize() {
  if (GetOwner() == nullptr || GetOwner()->GetSpace() == nullptr) return false;
  buttons = GetOwner()->GetSpace()->GetObjectsWithComponent("Button");
  if (buttons.empty()) return false;
  if (index < 0 || index >= static_cast<int>(buttons.size())) index = 0;
  Select(index);
  return true;
}

void Cursor::Update(float) {
  if (buttons.empty()) return;
  const int count = static_cast<int>(buttons.size());
  // A selection that became unclickable moves on to the next button that is not.
  if (!IsSelectable(index)) {
    const int found = FindSelectable(index, 1);
    if (found >= 0) Select(found);
  }
  // Down now and up in the previous frame: one step per press, however long held.
  if (AnyTriggered(nextKey, moreNextKeys)) {
    const int found = FindSelectable(index + 1 >= count ? 0 : index + 1, 1);
    if (found >= 0) Select(found);
  }
  if (AnyTriggered(previousKey, morePreviousKeys)) {
    const int found = FindSelectable(index - 1 < 0 ? count - 1 : index - 1, -1);
    if (found >= 0) Select(found);
  }
  if (AnyTriggered(selectKey, moreSelectKeys) && IsSelectable(index)) {
    const std::shared_ptr<objects::GameObject> object = selected.lock();
    auto* button = object != nullptr ? object->GetComponent<Button>("Button") : nullptr;
    if (button != nullptr && button->action != nullptr) button->action();
  }
}

bool Cursor::IsSelectable(int at) const {
  if (!skipUnclickable) return true;
  if (at < 0 || at >= static_cast<int>(buttons.size())) return false;
  const std::shared_ptr<objects::GameObject> object = buttons[static_cast<std::size_t>(at)].lock();
  auto* button = object != nullptr ? object->GetComponent<Button>("Button") : nullptr;
  return button != nullptr && button->canClick;
}

int Cursor::FindSelectable(int start, int step) const {
  const int count = static_cast<int>(buttons.size());
  for (int tried = 0, at = start; tried < count; ++tried, at = (at + step + count) % count) {
    if (IsSelectable(at)) return at;
  }
  return -1;
}

void Cursor::Select(int newIndex) {
  index = newIndex;
  selected = buttons[static_cast<std::size_t>(index)];
  MoveOntoSelection();
}

void Cursor::MoveOntoSelection() {
  objects::Transform* own = objects::RequireSibling<objects::Transform>(*this, "Transform");
  const std::shared_ptr<objects::GameObject> object = selected.lock();
  objects::Transform* target = TransformOf(object.get());
  if (own == nullptr || target == nullptr) return;
  own->translation = target->translation;
  own->SetDirty();
  own->translation.x += static_cast<float>(offsetX);
  own->translation.y += static_cast<float>(offsetY);
}

}  // namespace components
