// RotateAround: circular motion and the registration of "RotateAround".
#include "components/rotate_around.h"

#include <cmath>
#include <numbers>

#include "objects/game_object.h"
#include "objects/transform.h"
#include "objects/type_registry.h"

namespace components {

RotateAround::RotateAround() : BaseComponent("RotateAround") {}

bool RotateAround::Initialize() {
  transform = objects::RequireSibling<objects::Transform>(*this, "Transform");
  if (transform == nullptr) return false;
  transform->translation = centre;
  transform->SetDirty();
  return true;
}

void RotateAround::Update(float dt) {
  if (transform == nullptr) return;
  angle = clockwise * dt * speed + angle;
  const double theta = static_cast<double>(static_cast<float>(angle * std::numbers::pi / 180.0));
  const float x = static_cast<float>(std::cos(theta)) * radius + centre.x;
  const float y = static_cast<float>(std::sin(theta)) * radius + centre.y;
  // z and w receive x as well: that is what this mover has always written there, and
  // only x and y enter motion, collision and drawing.
  transform->translation = {x, y, x, x};
  transform->SetDirty();
}

void RegisterRotateAround(objects::TypeRegistry& registry) {
  registry.RegisterType<RotateAround>("RotateAround")
      .Describe(
          "moves its object on a circle around a fixed centre at a constant angular speed",
          R"({"angle": 90.0, "radius": 8.0, "speed": 70.0, "clockwise": -1.0, "start_x": 80.0, "start_y": 0.0})")
      .AddHeaderMember()
      .Add("angle", VELMARIS_FIELD(RotateAround, angle),
           {"where on the circle it starts, counter-clockwise from +x", "degrees"})
      .Add("radius", VELMARIS_FIELD(RotateAround, radius), {"radius of the circle", "world units"})
      .Add("speed", VELMARIS_FIELD(RotateAround, speed), {"angular speed", "degrees per second"})
      .Add("clockwise", VELMARIS_FIELD(RotateAround, clockwise),
           {"-1.0 turns clockwise, 1.0 counter-clockwise (a number, not true or false); other values scale "
            "the speed"})
      .AddVector({"start_x", "start_y", "", ""}, VELMARIS_FIELD(RotateAround, centre),
                 {"the centre of the circle", "world units"})
      .Hide(VELMARIS_FIELD(RotateAround, transform))
      .FinishType();
}

}  // namespace components
