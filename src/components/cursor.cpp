// Cursor: keyboard selection among the buttons of a space.
#include "components/cursor.h"

#include "components/button.h"
#include "components/transform.h"
#include "input/input.h"
#include "objects/space.h"

namespace components {
namespace {

Transform* TransformOf(const objects::GameObject* object) {
  return object != nullptr ? object->GetComponent<Transform>("Transform") : nullptr;
}

}  // namespace

Cursor::Cursor() : BaseComponent("Cursor") {}

bool Cursor::Initialize() {
  if (owner == nullptr || owner->GetSpace() == nullptr) return false;
  buttons = owner->GetSpace()->GetObjectsWithComponent("Button");
  if (buttons.empty()) return false;
  if (index < 0 || index >= static_cast<int>(buttons.size())) index = 0;
  Select(index);
  return true;
}

void Cursor::Update(float) {
  if (buttons.empty()) return;
  const int count = static_cast<int>(buttons.size());
  // Down now and up in the previous frame: one step per press, however long held.
  if (input::IsKeyTriggered(nextKey)) Select(index + 1 >= count ? 0 : index + 1);
  if (input::IsKeyTriggered(previousKey)) Select(index - 1 < 0 ? count - 1 : index - 1);
  if (input::IsKeyTriggered(selectKey)) {
    const std::shared_ptr<objects::GameObject> object = selected.lock();
    auto* button = object != nullptr ? object->GetComponent<Button>("Button") : nullptr;
    if (button != nullptr && button->action != nullptr) button->action();
  }
}

void Cursor::Select(int newIndex) {
  index = newIndex;
  selected = buttons[static_cast<std::size_t>(index)];
  MoveOntoSelection();
}

void Cursor::MoveOntoSelection() {
  Transform* own = TransformOf(owner);
  const std::shared_ptr<objects::GameObject> object = selected.lock();
  Transform* target = TransformOf(object.get());
  if (own == nullptr || target == nullptr) return;
  own->translation = target->translation;
  own->SetDirty();
  own->translation.x += static_cast<float>(offsetX);
  own->translation.y += static_cast<float>(offsetY);
}

}  // namespace components
