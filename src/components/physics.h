// Physics: moves its object's Transform each frame by semi-implicit Euler
// integration of acceleration and velocity, with an optional speed limit.
#pragma once

#include "base/math.h"
#include "objects/base_component.h"

namespace objects {
class Transform;
class TypeRegistry;
}  // namespace objects

namespace components {

class Physics : public objects::BaseComponent {
 public:
  Physics();

  // Finds the owner's "Transform"; false when there is none.
  bool Initialize() override;
  // dt in seconds. Remembers the position, integrates the acceleration into the
  // velocity, limits the speed to maxVelocity (when it is above 0), then moves the
  // transform by the new velocity. Does nothing before a transform was found.
  void Update(float dt) override;

  base::vector2D GetVelocity() const { return velocity; }
  void SetVelocity(base::vector2D value) { velocity = value; }

  // The transform's position at the start of the last Update; (0, 0) before it.
  base::vector2D previousPosition;
  // World units per second squared.
  base::vector2D acceleration;
  // World units per second.
  base::vector2D velocity;
  // Speed limit in world units per second; 0 or less means no limit.
  float maxVelocity = 0.0f;
  // Stored and serialized only; no operation here reads it.
  float mass = 0.0f;
  // Reciprocal of the mass; kept for the layout of the type, read by nothing.
  float inverseMass = 1.0f;
  // The owner's Transform, found by Initialize; not owned, may be null.
  objects::Transform* transform = nullptr;
};

// Registers "Physics" with its serialized members.
void RegisterPhysics(objects::TypeRegistry& registry);

}  // namespace components
