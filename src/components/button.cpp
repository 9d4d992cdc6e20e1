// Button: the click test and the registration of "Button".
#include "components/button.h"

#include <cmath>

#include "audio/sound_system.h"
#include "input/input.h"
#include "objects/game_object.h"
#include "objects/transform.h"
#include "objects/type_registry.h"

namespace components {

Button::Button() : BaseComponent("Button") {}

bool Button::Initialize() {
  transform = objects::RequireSibling<objects::Transform>(*this, "Transform");
  return transform != nullptr;
}

ButtonRect Button::GetRect() const {
  if (transform == nullptr) return {};
  const base::XMFLOAT4& p = transform->translation;
  const base::XMFLOAT4& s = transform->scale;
  return {std::trunc(p.x - s.x), std::trunc(p.x + s.x), std::trunc(p.y - s.y), std::trunc(p.y + s.y)};
}

bool Button::Contains(float x, float y) const {
  const ButtonRect rect = GetRect();
  return x > rect.left && rect.top > y && rect.right > x && y > rect.bottom;
}

void Button::Update(float) {
  if (!input::IsKeyTriggered(platform::kVkLeftButton) || !canClick || transform == nullptr) return;
  const input::MousePosition mouse = input::GetMouseViewPosition();
  if (!Contains(mouse.x, mouse.y)) return;
  audio::PlayEffect(kButtonClickSound);
  if (action != nullptr) action();
}

void RegisterButton(objects::TypeRegistry& registry) {
  registry.RegisterType<Button>("Button")
      .Describe(
          "a clickable rectangle (its Transform's position plus or minus its scale) that runs an action",
          R"({"buttonName": "Resume", "_canClick": true})")
      .AddHeaderMember()
      .Add("buttonName", VELMARIS_FIELD(Button, buttonName), {"a label; nothing reads it"})
      .Hide(VELMARIS_FIELD(Button, action))
      .Hide(VELMARIS_FIELD(Button, transform))
      .Add("_canClick", VELMARIS_FIELD(Button, canClick), {"the mouse can click it (the game may change it)"})
      .Hide(VELMARIS_FIELD(Button, pressedFlag))
      .FinishType();
}

}  // namespace components
