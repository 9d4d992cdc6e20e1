// The collision pass and its four handlers: who is tested against whom and in which
// order, the player stopped at a wall, knock-back, stars counted in "c_UI", the
// level-end seam and the sound-effects switch.
#include "components/collision_pass.h"

#include <tuple>

#include <gtest/gtest.h>

#include "component_fixture.h"
#include "components/collider.h"
#include "components/collision_handlers.h"
#include "components/hooks.h"
#include "components/physics.h"
#include "components/player_controller_new.h"
#include "components/pool.h"

namespace {

using components::BoxCollider;
using components::CircleCollider;
using components::Collider;
using Sounds = std::vector<std::string>;

std::vector<std::string> g_Journal;
void RecordContact(Collider& self, Collider& other) {
  g_Journal.push_back(self.GetOwner()->GetName() + ">" + other.GetOwner()->GetName());
}
int g_LevelEnds = 0;
void CountLevelEnd() { ++g_LevelEnds; }

class CollisionPassTest : public component_testing::ComponentTest {
 protected:
  void SetUp() override {
    ComponentTest::SetUp();
    g_Journal.clear();
    g_LevelEnds = 0;
    components::GetCollisionHandlers()["record"] = &RecordContact;
  }
  void TearDown() override {
    components::Hooks().Reset();
    components::GetCollisionHandlers().erase("record");
    ComponentTest::TearDown();
  }

  // A player at (x, 0) with Physics (having come from far left), a
  // NewPlayerController and a circle of radius 1 recording its contacts.
  objects::GameObject& MakePlayer(float x, const std::string& name = "Player") {
    objects::GameObject& player = MakeObject(name, x, 0.0f);
    physics_ = Add(player, new components::Physics());
    controller_ = Add(player, new components::PlayerControllerNew());
    controller_->knockbackSpeed = 10.0f;
    auto* circle = Add(player, new CircleCollider());
    circle->radius = 1.0f;
    circle->handler = "record";
    EXPECT_TRUE(player.Initialize());
    physics_->previousPosition = {-20.0f, 0.0f};
    return player;
  }

  // A unit circle at (x, 0) whose contacts run `handler`.
  objects::GameObject& MakeCircle(const std::string& name, float x, const std::string& handler) {
    return *MakeShape<CircleCollider>(name, x, 0.0f, 1.0f, 0.0f, handler)->GetOwner();
  }

  components::Physics* physics_ = nullptr;
  components::PlayerControllerNew* controller_ = nullptr;
};

TEST_F(CollisionPassTest, OnlyThePlayerMeetsActiveCollidersInNameOrderBoxFirst) {
  MakePlayer(0.0f, "Player2");
  MakeCircle("b_Ring", 0.5f, "record");
  components::CheckCollisions(space_);  // no object named "Player": nothing
  EXPECT_TRUE(g_Journal.empty());
  space_.FindObject("Player2").lock()->SetActive(false);

  MakePlayer(0.0f);
  objects::GameObject& both = MakeCircle("a_Both", -0.5f, "record");
  auto* box = Add(both, new BoxCollider());
  box->xSize = box->ySize = 1.0f;
  box->handler = "record";
  ASSERT_TRUE(both.Initialize());
  MakeCircle("c_Off", 0.0f, "record").SetActive(false);
  MakeCircle("d_Far", 50.0f, "record");
  components::CheckCollisions(space_);
  EXPECT_EQ(g_Journal, (std::vector<std::string>{"Player>a_Both", "a_Both>Player",  // as a box
                                                 "Player>a_Both", "a_Both>Player",  // as a circle
                                                 "Player>b_Ring", "b_Ring>Player"}));
  g_Journal.clear();
  space_.FindObject("Player").lock()->SetActive(false);
  components::CheckCollisions(space_);
  EXPECT_TRUE(g_Journal.empty());
}

TEST_F(CollisionPassTest, WallStopsThePlayerAtTheContactPoint) {
  objects::GameObject& player = MakePlayer(-5.0f);
  MakeShape<BoxCollider>("Wall", 2.0f, 0.0f, 1.0f, 1.0f, "stopMovement");
  auto* transform = Get<objects::Transform>(player, "Transform");
  transform->dirty = false;
  physics_->velocity = {6.0f, 0.0f};
  physics_->Update(1.0f);  // (-5, 0) -> (1, 0)
  components::CheckCollisions(space_);
  EXPECT_NEAR(transform->translation.x, 0.0f, 1e-6);
  EXPECT_EQ(std::tie(transform->translation.y, transform->translation.z, transform->translation.w),
            std::make_tuple(0.0f, 0.0f, 0.0f));
  EXPECT_TRUE(transform->dirty);
  EXPECT_EQ(physics_->velocity.x, 0.0f);
}

TEST_F(CollisionPassTest, StopMovementOnACircleContactLeavesThePlayerWhereItIs) {
  // A circle contact records no contact point: the player must not be moved to a
  // stale one, nor to the origin.
  objects::GameObject& player = MakePlayer(10.0f);
  MakeCircle("Post", 11.5f, "stopMovement");
  components::CheckCollisions(space_);
  EXPECT_EQ(Get<objects::Transform>(player, "Transform")->translation.x, 10.0f);
}

TEST_F(CollisionPassTest, BounceBackPushesThePlayerAwayAndStartsTheKnockBack) {
  objects::GameObject& player = MakePlayer(0.0f);
  MakeCircle("Hazard", 1.5f, "bounceBack");
  controller_->knockbackTimer = 7.0f;
  components::CheckCollisions(space_);
  EXPECT_TRUE(controller_->knockbackActive);
  EXPECT_EQ(controller_->knockbackTimer, 0.0f);
  EXPECT_FLOAT_EQ(physics_->velocity.x, -10.0f);
  EXPECT_FLOAT_EQ(physics_->velocity.y, 0.0f);
  EXPECT_EQ(PlayedSounds(), Sounds{"Audio/BirdSmack.ogg"});
  // On top of the hazard the direction has no length; silent with effects off.
  audio::Audio().sfxOn = false;
  Get<objects::Transform>(player, "Transform")->translation.x = 1.5f;
  components::CheckCollisions(space_);
  EXPECT_EQ(physics_->velocity.x, 0.0f);
  EXPECT_EQ(PlayedSounds().size(), 1u);
}

TEST_F(CollisionPassTest, StarsAreCountedUpToTheCapacityAndAlwaysDisappear) {
  MakePlayer(0.0f);
  MakeCircle("Star0", 0.5f, "starCollect");
  testing::internal::CaptureStderr();
  components::CheckCollisions(space_);  // no counter yet: gone all the same, and reported
  const std::string errors = testing::internal::GetCapturedStderr();
  EXPECT_FALSE(space_.FindObject("Star0").lock()->IsActive());
  EXPECT_NE(errors.find("object Star0 in space TestLevel"), std::string::npos);
  EXPECT_NE(errors.find("c_UI"), std::string::npos);

  auto* counter = Add(MakeObject("c_UI"), new components::Pool(0, 2, 0));
  for (const char* name : {"Star1", "Star2", "Star3"}) MakeCircle(name, 0.5f, "starCollect");
  components::CheckCollisions(space_);
  EXPECT_EQ(counter->amount, 2u);  // the third finds the counter full
  for (const char* name : {"Star1", "Star2", "Star3"})
    EXPECT_FALSE(space_.FindObject(name).lock()->IsActive());
  EXPECT_EQ(PlayedSounds(), Sounds(4, "Audio/Alt2StarCollect.ogg"));
  counter->capacity = 100;
  components::CheckCollisions(space_);  // collected stars are no longer tested
  EXPECT_EQ(counter->amount, 2u);
  counter->amount = counter->capacity = 0xFFFFFFFFu;  // at the largest amount: no wrap to 0
  MakeCircle("Star4", 0.5f, "starCollect");
  components::CheckCollisions(space_);
  EXPECT_EQ(counter->amount, 0xFFFFFFFFu);
}

TEST_F(CollisionPassTest, LevelEndRunsThroughTheSeamEachTimeWithItsSound) {
  MakePlayer(0.0f);
  MakeCircle("Goal", 0.5f, "nextLevelTrigger");
  components::CheckCollisions(space_);  // no level logic installed: only the sound
  components::Hooks().levelEnd = &CountLevelEnd;
  components::CheckCollisions(space_);
  components::CheckCollisions(space_);
  EXPECT_EQ(g_LevelEnds, 2);
  EXPECT_EQ(PlayedSounds(), Sounds(3, "Audio/LevelEndSound.ogg"));
}

TEST_F(CollisionPassTest, HandlersIgnoreContactsThatAreNotWithThePlayer) {
  objects::GameObject& star = MakeCircle("Star", 0.0f, "starCollect");
  auto& rock = *Get<Collider>(MakeCircle("Rock", 0.0f, ""), "CircleCollider");
  auto* counter = Add(MakeObject("c_UI"), new components::Pool(0, 10, 0));
  components::Hooks().levelEnd = &CountLevelEnd;
  for (auto handler : {components::StarCollect, components::NextLevelTrigger, components::BounceBack,
                       components::StopMovement}) {
    handler(*Get<Collider>(star, "CircleCollider"), rock);
  }
  EXPECT_TRUE(star.IsActive());
  EXPECT_EQ(counter->amount, 0u);
  EXPECT_EQ(g_LevelEnds, 0);
  EXPECT_TRUE(PlayedSounds().empty());
}

}  // namespace
