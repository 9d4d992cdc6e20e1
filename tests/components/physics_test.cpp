// Physics: semi-implicit Euler, the speed limit on the vector's length, the
// remembered position and the Transform lookup.
#include "components/physics.h"

#include <gtest/gtest.h>

#include "components/transform.h"
#include "objects/game_object.h"

namespace {

// An object holding a Transform at (x, y) and an initialised Physics.
struct Body {
  objects::GameObject object{"Body"};
  components::Transform* transform = nullptr;
  components::Physics* physics = nullptr;

  Body(float x, float y) {
    transform = static_cast<components::Transform*>(object.AddComponent(new components::Transform(x, y, 0.0f)));
    physics = static_cast<components::Physics*>(object.AddComponent(new components::Physics()));
    EXPECT_TRUE(physics->Initialize());
  }
};

TEST(PhysicsTest, SpeedLimitScalesTheVectorNotEachComponent) {
  Body body(0.0f, 0.0f);
  body.physics->velocity = {3.0f, 4.0f};
  body.physics->maxVelocity = 2.0f;
  body.physics->Update(1.0f);
  EXPECT_FLOAT_EQ(body.physics->velocity.x, 1.2f);
  EXPECT_FLOAT_EQ(body.physics->velocity.y, 1.6f);
  EXPECT_FLOAT_EQ(body.transform->translation.x, 1.2f);
  EXPECT_FLOAT_EQ(body.transform->translation.y, 1.6f);
}

TEST(PhysicsTest, NoLimitAtZeroOrBelow) {
  for (float limit : {0.0f, -1.0f}) {
    Body body(0.0f, 0.0f);
    body.physics->velocity = {300.0f, -400.0f};
    body.physics->maxVelocity = limit;
    body.physics->Update(0.5f);
    EXPECT_EQ(body.physics->velocity.x, 300.0f);
    EXPECT_EQ(body.physics->velocity.y, -400.0f);
    EXPECT_EQ(body.transform->translation.x, 150.0f);
    EXPECT_EQ(body.transform->translation.y, -200.0f);
  }
}

TEST(PhysicsTest, SpeedEqualToTheLimitIsUnchanged) {
  Body body(0.0f, 0.0f);
  body.physics->velocity = {3.0f, 4.0f};
  body.physics->maxVelocity = 5.0f;
  body.physics->Update(1.0f);
  EXPECT_EQ(body.physics->velocity.x, 3.0f);
  EXPECT_EQ(body.physics->velocity.y, 4.0f);
}

TEST(PhysicsTest, AccelerationEntersTheVelocityBeforeTheMove) {
  Body body(1.0f, 1.0f);
  body.physics->acceleration = {2.0f, -4.0f};
  body.physics->velocity = {1.0f, 0.0f};
  body.physics->Update(0.5f);
  // Semi-implicit: the new velocity (2, -2) moves the object.
  EXPECT_EQ(body.physics->velocity.x, 2.0f);
  EXPECT_EQ(body.physics->velocity.y, -2.0f);
  EXPECT_EQ(body.transform->translation.x, 2.0f);
  EXPECT_EQ(body.transform->translation.y, 0.0f);
}

TEST(PhysicsTest, RemembersThePositionBeforeTheMove) {
  Body body(5.0f, -3.0f);
  EXPECT_EQ(body.physics->previousPosition.x, 0.0f);
  body.physics->Update(0.016f);  // velocity zero
  EXPECT_EQ(body.physics->previousPosition.x, 5.0f);
  EXPECT_EQ(body.physics->previousPosition.y, -3.0f);
  body.physics->SetVelocity({10.0f, 0.0f});
  body.physics->Update(1.0f);
  EXPECT_EQ(body.physics->previousPosition.x, 5.0f);
  EXPECT_EQ(body.transform->translation.x, 15.0f);
  EXPECT_EQ(body.physics->GetVelocity().x, 10.0f);
}

TEST(PhysicsTest, MoveLeavesTheDirtyFlagAlone) {
  Body body(0.0f, 0.0f);
  body.transform->GetMatrix();
  ASSERT_FALSE(body.transform->dirty);
  body.physics->velocity = {1.0f, 1.0f};
  body.physics->Update(1.0f);
  EXPECT_FALSE(body.transform->dirty);
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

TEST(PhysicsTest, Defaults) {
  components::Physics physics;
  EXPECT_EQ(physics.type, "Physics");
  EXPECT_EQ(physics.velocity.x, 0.0f);
  EXPECT_EQ(physics.acceleration.y, 0.0f);
  EXPECT_EQ(physics.maxVelocity, 0.0f);
  EXPECT_EQ(physics.transform, nullptr);
}

}  // namespace
