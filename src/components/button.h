// Button: turns its object into a clickable rectangle. A left-button press over it
// plays the click sound and calls the action the game code stored in it.
#pragma once

#include <string>

#include "objects/base_component.h"

namespace objects {
class Transform;
class TypeRegistry;
}  // namespace objects

namespace components {

// What a click does: a plain function without arguments or result. It runs inside
// its space's update: it may change flags, objects' activity and the next state, or
// load a menu file, but must not unload or clear the spaces being walked.
using ButtonAction = void (*)();

// The sound of a click, relative to the data folder.
inline constexpr const char* kButtonClickSound = "Audio/ButtonClick.ogg";

// The clickable rectangle: the transform's position +- its scale, each bound
// truncated towards zero to a whole number. View-space world units.
struct ButtonRect {
  float left = 0.0f;
  float right = 0.0f;
  float bottom = 0.0f;
  float top = 0.0f;
};

class Button : public objects::BaseComponent {
 public:
  Button();

  // Finds the owner's Transform; false without an object or a Transform.
  bool Initialize() override;
  // On a left-button press this frame (not a hold) with the pointer strictly inside
  // the rectangle and canClick set: the click sound (while sound effects are on),
  // then the action if one is set. dt is not used.
  void Update(float dt) override;

  // The current clickable rectangle; all zero without a transform.
  ButtonRect GetRect() const;
  // Strictly inside the rectangle (a point on a bound misses).
  bool Contains(float x, float y) const;

  std::string buttonName;                   // a label; nothing here reads it
  ButtonAction action = nullptr;            // written by game code; may be null
  objects::Transform* transform = nullptr;  // sibling, not owned; null until found
  bool canClick = false;                    // "_canClick" in the files; written by game code too
  bool pressedFlag = false;                 // kept for the file layout; nothing reads it
};

// Registers "Button" with its serialized members.
void RegisterButton(objects::TypeRegistry& registry);

}  // namespace components
