// The player controllers and PlayerUI: knock-back counted in frames, drag, steering
// towards the pointer, facing, the P toggle, the keyboard controller and the
// published star count.
#include "components/player_controller.h"

#include <cmath>

#include <gtest/gtest.h>

#include "component_fixture.h"
#include "components/hooks.h"
#include "components/physics.h"
#include "components/player_controller_new.h"
#include "components/player_ui.h"
#include "components/pool.h"
#include "graphics/sprite.h"

namespace {

using component_testing::kLeftButton;
constexpr int kKeyP = 0x50;

class PlayerControllerTest : public component_testing::ComponentTest {
 protected:
  void SetUp() override {
    ComponentTest::SetUp();
    objects::GameObject& player = MakeObject("Player");
    physics_ = Add(player, new components::Physics());
    controller_ = Add(player, new components::PlayerControllerNew());
    controller_->movementSpeed = 1.0f;
    controller_->maxMovementSpeed = 3.0f;
    controller_->movementDrag = 2.0f;
    controller_->knockbackTime = 0.5f;
    ASSERT_TRUE(player.Initialize());
    transform_ = Get<objects::Transform>(player, "Transform");
  }

  // One frame with the pointer at (x, y) from the player.
  void Step(float x, float y, std::initializer_list<int> keys = {}) {
    PointAt(x, y);
    Frame(keys);
    controller_->Update(1.0f / 60.0f);
  }

  components::Physics* physics_ = nullptr;
  components::PlayerControllerNew* controller_ = nullptr;
  objects::Transform* transform_ = nullptr;
};

TEST_F(PlayerControllerTest, KnockBackLastsItsTimeInFramesWithOnlyDragActing) {
  // 0.5 s is 30 frames, however often the object is initialised (prefab layers, reloads).
  ASSERT_TRUE(controller_->Initialize());
  EXPECT_EQ(controller_->knockbackTime, 0.5f);
  controller_->knockbackActive = true;
  physics_->velocity = {-9.0f, 0.0f};
  Step(5.0f, 5.0f, {kLeftButton});
  EXPECT_FLOAT_EQ(physics_->velocity.x, -7.0f);  // neither turned nor limited to 3
  for (int frame = 2; frame <= 30; ++frame) {
    Step(5.0f, 0.0f, {kLeftButton});
    ASSERT_TRUE(controller_->knockbackActive) << "frame " << frame;
  }
  Step(5.0f, 0.0f, {kLeftButton});
  EXPECT_FALSE(controller_->knockbackActive);
  EXPECT_FLOAT_EQ(physics_->velocity.x, 1.0f);  // steering again in the same frame
}

TEST_F(PlayerControllerTest, DragSlowsTheReleasedPlayerToRest) {
  controller_->maxMovementSpeed = 10.0f;
  physics_->velocity = {0.0f, 5.0f};
  Step(4.0f, 0.0f);  // turned towards the pointer, then 5 - 2
  EXPECT_FLOAT_EQ(physics_->velocity.x, 3.0f);
  EXPECT_FLOAT_EQ(physics_->velocity.y, 0.0f);
  Step(4.0f, 0.0f);  // 3 - 2 = 1, and 2 >= 1 stops
  EXPECT_EQ(physics_->velocity.x, 0.0f);
}

TEST_F(PlayerControllerTest, HoldingTheButtonAcceleratesTowardsThePointerUpToTheLimit) {
  Step(3.0f, 4.0f, {kLeftButton});
  EXPECT_NEAR(physics_->velocity.x, 0.6f, 1e-5);
  EXPECT_NEAR(physics_->velocity.y, 0.8f, 1e-5);
  for (int i = 0; i < 5; ++i) Step(3.0f, 4.0f, {kLeftButton});
  EXPECT_NEAR(std::hypot(physics_->velocity.x, physics_->velocity.y), 3.0f, 1e-5);
}

TEST_F(PlayerControllerTest, PlayerFacesThePointerAndKeepsItsFacingWhenThePointerIsOnIt) {
  const float cases[][3] = {
      {0.0f, 5.0f, 0.0f}, {5.0f, 0.0f, -90.0f}, {-5.0f, 0.0f, 90.0f}, {0.0f, -5.0f, 180.0f}};
  for (const auto& c : cases) {
    Step(c[0], c[1]);
    EXPECT_NEAR(transform_->rotation, c[2], 1e-4) << c[0] << ", " << c[1];
  }
  physics_->velocity = {2.0f, 0.0f};
  Step(0.0f, 0.0f, {kLeftButton});
  EXPECT_NEAR(transform_->rotation, 180.0f, 1e-4);
  EXPECT_EQ(physics_->velocity.x, 0.0f);  // no direction for the speed to go
}

TEST_F(PlayerControllerTest, HoldingPTogglesOnceAndStopsThePlayer) {
  physics_->velocity = {2.0f, 0.0f};
  for (int i = 0; i < 4; ++i) Step(5.0f, 0.0f, {kKeyP, kLeftButton});
  EXPECT_FALSE(controller_->canMove);
  EXPECT_EQ(physics_->velocity.x, 0.0f);
  Step(5.0f, 0.0f, {kLeftButton});
  Step(5.0f, 0.0f, {kKeyP, kLeftButton});
  EXPECT_TRUE(controller_->canMove);
  EXPECT_FLOAT_EQ(physics_->velocity.x, 1.0f);
}

TEST_F(PlayerControllerTest, KeyboardControllerNormalisesTheDirectionAndPrefersTheMouse) {
  objects::GameObject& walker = MakeObject("Walker");
  auto* physics = Add(walker, new components::Physics());
  auto* keyboard = Add(walker, new components::PlayerController());
  keyboard->speed = 2.0f;
  ASSERT_TRUE(walker.Initialize());
  // W and S cancel; W and A go diagonally at the speed; the held mouse wins over D.
  const std::pair<std::vector<int>, base::vector2D> cases[] = {
      {{0x57, 0x53}, {0.0f, 0.0f}},
      {{0x57, 0x41}, {-std::sqrt(2.0f), std::sqrt(2.0f)}},
      {{0x44, kLeftButton}, {-3.0f, 2.5f}}};
  PointAt(-3.0f, 2.5f);
  for (const auto& [keys, velocity] : cases) {
    Frame(keys);
    keyboard->Update(0.0f);
    EXPECT_NEAR(physics->velocity.x, velocity.x, 1e-4) << keys[1];
    EXPECT_NEAR(physics->velocity.y, velocity.y, 1e-4) << keys[1];
  }
}

TEST_F(PlayerControllerTest, PlayerUIShowsAndPublishesTheCountOnlyWhenItChanges) {
  objects::GameObject& ui = MakeObject("c_UI");
  auto* sprite = Add(ui, new graphics::Sprite());
  auto* pool = Add(ui, new components::Pool(3, 100, 0));
  auto* display = Add(ui, new components::PlayerUI());
  ASSERT_TRUE(display->Initialize());
  static int published = 0;
  published = 0;
  components::Hooks().starCount = [](int count) { published = count; };
  display->Update(0.0f);
  EXPECT_EQ(sprite->frameIndex, 3);
  EXPECT_EQ(published, 3);
  sprite->frameIndex = 9;
  display->Update(0.0f);  // unchanged count: nothing written
  EXPECT_EQ(sprite->frameIndex, 9);
  pool->Increase();
  display->Update(0.0f);
  EXPECT_EQ(sprite->frameIndex, 4);
  EXPECT_EQ(published, 4);
  components::Hooks().Reset();
}

}  // namespace
