// RotateAround: moves its object on a circle around a fixed centre at a constant
// angular speed, writing the Transform position every frame.
#pragma once

#include "base/math.h"
#include "objects/base_component.h"

namespace objects {
class Transform;
class TypeRegistry;
}  // namespace objects

namespace components {

class RotateAround : public objects::BaseComponent {
 public:
  RotateAround();

  // Finds the owner's Transform and puts the object on the centre (all four
  // components). False without an object or a Transform.
  bool Initialize() override;
  // dt in seconds. angle grows by clockwise x dt x speed (never wrapped); the
  // object goes to centre + radius x (cos, sin) of it.
  void Update(float dt) override;

  float angle = 0.0f;       // degrees
  float radius = 1.0f;      // world units
  float speed = 1.0f;       // degrees per second
  float clockwise = -1.0f;  // -1 clockwise, 1 counter-clockwise; other values scale the speed
  // x and y from the file ("start_x", "start_y"); z and w are not serialized and
  // reach the transform only at Initialize.
  base::XMFLOAT4 centre;
  objects::Transform* transform = nullptr;  // sibling, not owned; null until found
};

// Registers "RotateAround" with its serialized members.
void RegisterRotateAround(objects::TypeRegistry& registry);

}  // namespace components
