// MoveBetweenTwoPoints ("PointMover2"): moves its object back and forth between two
// points at a constant speed and lingers at each end for `delay` frames.
#pragma once

#include "base/math.h"
#include "objects/base_component.h"

namespace objects {
class Transform;
class TypeRegistry;
}  // namespace objects

namespace components {

class MoveBetweenTwoPoints : public objects::BaseComponent {
 public:
  MoveBetweenTwoPoints();

  // Finds the owner's Transform, puts the object on `start` (z and w 0) and heads for
  // point0. False without an object or a Transform.
  bool Initialize() override;
  // dt in seconds. Steps speed x dt towards the target, landing on it when the step
  // is at least the distance left; within 0.5 of it, snaps to it and turns to the
  // other point, counting the frames waited there.
  void Update(float dt) override;

  objects::Transform* transform = nullptr;  // sibling, not owned; null until found
  base::vector2D point0;                    // world units
  base::vector2D point1;
  base::vector2D target;  // the point being approached
  base::vector2D start;   // position at Initialize
  float speed = 0.0f;     // world units per second
  // Seconds to linger at each end, counted in frames at 60 per second; it stays in
  // seconds so that initialising again cannot scale it twice.
  float delay = 0.0f;
  float waitTimer = 0.0f;  // frames waited at the current end
};

// Registers "PointMover2" with its serialized members.
void RegisterMoveBetweenTwoPoints(objects::TypeRegistry& registry);

}  // namespace components
