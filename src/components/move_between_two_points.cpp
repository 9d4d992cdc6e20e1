// MoveBetweenTwoPoints: back and forth with a wait at the ends.
#include "components/move_between_two_points.h"

#include <cmath>

#include "components/frames.h"
#include "objects/game_object.h"
#include "objects/transform.h"
#include "objects/type_registry.h"

namespace components {
namespace {

// The mover counts as arrived within this distance of its target (world units).
constexpr float kArrivalDistance = 0.5f;

}  // namespace

MoveBetweenTwoPoints::MoveBetweenTwoPoints() : BaseComponent("PointMover2") {}

bool MoveBetweenTwoPoints::Initialize() {
  transform = objects::RequireSibling<objects::Transform>(*this, "Transform");
  if (transform == nullptr) return false;
  transform->translation = {start.x, start.y, 0.0f, 0.0f};
  transform->SetDirty();
  target = point0;
  return true;
}

void MoveBetweenTwoPoints::Update(float dt) {
  if (transform == nullptr) return;
  base::XMFLOAT4& position = transform->translation;
  base::vector2D d{target.x - position.x, target.y - position.y};
  const float dist = std::sqrt(d.x * d.x + d.y * d.y);
  const bool arrived = dist <= kArrivalDistance;

  if (arrived && waitTimer == 0.0f) {
    position = {target.x, target.y, 0.0f, 0.0f};
    transform->SetDirty();
    const bool atPoint0 = target.x == point0.x && target.y == point0.y;
    target = atPoint0 ? point1 : point0;
  } else {
    const float step = speed * dt;
    if (step >= dist || dist <= 0.0f) {
      // A step past the target lands on it. Stepping on by the full length would
      // overshoot, and a step longer than twice the arrival distance would then
      // jump from one side of the target to the other for ever without arriving.
      position = {target.x, target.y, 0.0f, 0.0f};
    } else {
      d = {d.x / dist, d.y / dist};
      position = {position.x + d.x * step, position.y + d.y * step, 0.0f, 0.0f};
    }
    transform->SetDirty();
  }

  const float delayFrames = delay * kFramesPerSecond;
  if (arrived && delayFrames > waitTimer) {
    waitTimer += 1.0f;
  } else if (waitTimer >= delayFrames) {
    waitTimer = 0.0f;
  }
}

void RegisterMoveBetweenTwoPoints(objects::TypeRegistry& registry) {
  registry.RegisterType<MoveBetweenTwoPoints>("PointMover2")
      .Describe(
          "moves its object back and forth between two points, waiting at each end",
          R"({"point_0_x": 78.0, "point_0_y": 9.5, "point_1_x": 78.0, "point_1_y": 19.5, "start_x": 78.0, "start_y": 19.5, "speed": 5.0, "delay": 0.6})")
      .AddHeaderMember()
      .Hide(VELMARIS_FIELD(MoveBetweenTwoPoints, transform))
      .AddVector({"point_0_x", "point_0_y"}, VELMARIS_FIELD(MoveBetweenTwoPoints, point0),
                 {"the first end, where it heads first", "world units"})
      .AddVector({"point_1_x", "point_1_y"}, VELMARIS_FIELD(MoveBetweenTwoPoints, point1),
                 {"the second end", "world units"})
      .AddVector({"", ""}, VELMARIS_FIELD(MoveBetweenTwoPoints, target))
      .AddVector({"start_x", "start_y"}, VELMARIS_FIELD(MoveBetweenTwoPoints, start),
                 {"where the object is put when the level loads", "world units"})
      .Add("speed", VELMARIS_FIELD(MoveBetweenTwoPoints, speed),
           {"speed along the way", "world units per second"})
      .Add("delay", VELMARIS_FIELD(MoveBetweenTwoPoints, delay), {"time it waits at each end", "seconds"})
      .Hide(VELMARIS_FIELD(MoveBetweenTwoPoints, waitTimer))
      .FinishType();
}

}  // namespace components
