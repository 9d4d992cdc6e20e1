// Physics: semi-implicit Euler, the speed limit on the vector's length, the
// remembered position and the Transform lookup.
#include "components/physics.h"

#include <gtest/gtest.h>

#include "objects/game_object.h"
#include "objects/transform.h"

namespace {

using base::vector2D;

TEST(PhysicsTest, OneStepFromAStartPosition) {
  struct Case {
    const char* what;
    vector2D start, acceleration, velocity;
    float maxVelocity, dt;
    vector2D velocityAfter, positionAfter;
    float tolerance = 0.0f;  // exact unless the limit scaled the vector
  };
  const Case cases[] = {
      {"limit scales the vector", {0, 0}, {0, 0}, {3, 4}, 2.0f, 1.0f, {1.2f, 1.6f}, {1.2f, 1.6f}, 1e-6f},
      {"speed equal to the limit", {0, 0}, {0, 0}, {3, 4}, 5.0f, 1.0f, {3, 4}, {3, 4}},
      {"no limit at 0", {0, 0}, {0, 0}, {300, -400}, 0.0f, 0.5f, {300, -400}, {150, -200}},
      {"no limit below 0", {0, 0}, {0, 0}, {300, -400}, -1.0f, 0.5f, {300, -400}, {150, -200}},
      // Semi-implicit: the new velocity (2, -2) moves the object.
      {"acceleration first", {1, 1}, {2, -4}, {1, 0}, 0.0f, 0.5f, {2, -2}, {2, 0}},
  };
  for (const Case& c : cases) {
    objects::GameObject object("Body");
    auto* transform = static_cast<objects::Transform*>(
        object.AddComponent(new objects::Transform(c.start.x, c.start.y, 0.0f)));
    auto* physics = static_cast<components::Physics*>(object.AddComponent(new components::Physics()));
    ASSERT_TRUE(physics->Initialize());
    transform->GetMatrix();
    physics->acceleration = c.acceleration;
    physics->velocity = c.velocity;
    physics->maxVelocity = c.maxVelocity;
    physics->Update(c.dt);
    EXPECT_NEAR(physics->velocity.x, c.velocityAfter.x, c.tolerance) << c.what;
    EXPECT_NEAR(physics->velocity.y, c.velocityAfter.y, c.tolerance) << c.what;
    EXPECT_NEAR(transform->translation.x, c.positionAfter.x, c.tolerance) << c.what;
    EXPECT_NEAR(transform->translation.y, c.positionAfter.y, c.tolerance) << c.what;
    EXPECT_EQ(physics->previousPosition.x, c.start.x) << c.what;  // remembered before the move
    EXPECT_EQ(physics->previousPosition.y, c.start.y) << c.what;
    EXPECT_FALSE(transform->dirty) << c.what;  // the move leaves the flag alone
  }
}

TEST(PhysicsTest, InitializeNeedsASiblingTransform) {
  objects::GameObject object("Lonely");
  auto* physics = static_cast<components::Physics*>(object.AddComponent(new components::Physics()));
  EXPECT_FALSE(physics->Initialize());
  physics->velocity = {1.0f, 1.0f};
  physics->Update(1.0f);  // without a transform: nothing happens, nothing crashes
  EXPECT_EQ(physics->previousPosition.x, 0.0f);
  components::Physics unattached;
  EXPECT_FALSE(unattached.Initialize());
}

}  // namespace
