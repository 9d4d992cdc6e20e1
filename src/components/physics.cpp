// Physics: integration, the speed limit and the registration of "Physics".
#include "components/physics.h"

#include <cmath>

#include "objects/game_object.h"
#include "objects/transform.h"
#include "objects/type_registry.h"

namespace components {

Physics::Physics() : BaseComponent("Physics") {}

bool Physics::Initialize() {
  transform = objects::RequireSibling<objects::Transform>(*this, "Transform");
  return transform != nullptr;
}

void Physics::Update(float dt) {
  if (transform == nullptr) return;
  previousPosition = {transform->translation.x, transform->translation.y};

  velocity.x = acceleration.x * dt + velocity.x;
  velocity.y = acceleration.y * dt + velocity.y;

  if (maxVelocity > 0.0f) {
    const float squared = velocity.x * velocity.x + velocity.y * velocity.y;
    const float speed = static_cast<float>(std::sqrt(static_cast<double>(squared)));
    if (speed > maxVelocity) {
      if (speed > 0.0f) {
        const float inverse = 1.0f / speed;
        velocity.x *= inverse;
        velocity.y *= inverse;
      }
      velocity.x *= maxVelocity;
      velocity.y *= maxVelocity;
    }
  }

  transform->translation.x = velocity.x * dt + transform->translation.x;
  transform->translation.y = velocity.y * dt + transform->translation.y;
}

void RegisterPhysics(objects::TypeRegistry& registry) {
  registry.RegisterType<Physics>("Physics")
      .Describe("moves its object each frame by its velocity, which its acceleration changes",
                R"({"x_velocity": 0.0, "y_velocity": 0.0, "max_velocity": 30.0, "mass": 1.0})")
      .AddHeaderMember()
      .AddVector({"", ""}, VELMARIS_FIELD(Physics, previousPosition))
      .AddVector({"x_acceleration", "y_acceleration"}, VELMARIS_FIELD(Physics, acceleration),
                 {"change of the velocity each second", "world units per second squared"})
      .AddVector({"x_velocity", "y_velocity"}, VELMARIS_FIELD(Physics, velocity),
                 {"how far the object moves each second", "world units per second"})
      .Add("max_velocity", VELMARIS_FIELD(Physics, maxVelocity),
           {"speed limit; 0 or less means none", "world units per second"})
      .Add("mass", VELMARIS_FIELD(Physics, mass), {"kept in the file; nothing reads it yet"})
      .Add("", VELMARIS_FIELD(Physics, inverseMass))
      .Hide(VELMARIS_FIELD(Physics, transform))
      .FinishType();
}

}  // namespace components
