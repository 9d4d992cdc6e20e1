// The gameplay components together, headless, on a small level file: a player
// steered by the mouse, walls, a hazard on a mover, stars and "c_UI" with its Pool.
// In-process for the per-frame checks, and through the headless runner as people
// use it.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>

#include <gtest/gtest.h>
#include <rapidjson/document.h>
#include <rapidjson/istreamwrapper.h>
#include <sys/wait.h>

#include "component_fixture.h"
#include "components/hooks.h"
#include "components/physics.h"
#include "components/player_controller_new.h"
#include "components/player_ui.h"
#include "components/pool.h"
#include "core/component_registration.h"
#include "objects/space_registry.h"
#include "serialization/serializer.h"

namespace {

const std::string kFixtures = std::string(VELMARIS_SOURCE_DIR) + "/tests/components/fixtures/";
const std::string kArena = kFixtures + "collision_arena.json";

// The star count PlayerUI last published.
int g_published = 0;

class CollisionArenaTest : public component_testing::ComponentTest {
 protected:
  void SetUp() override {
    ComponentTest::SetUp();
    UseDataFolder();  // sprite sources load from there
    objects::ResetTypeRegistry();
    core::RegisterComponents();
    objects::ResetSpaces();
    g_published = 0;
    components::Hooks().starCount = [](int count) { g_published = count; };
    ASSERT_TRUE(serialization::Serializer(&objects::GetSpaceRegistry()).LoadLevel(kArena));
    arena_ = objects::FindSpace("CollisionArena");
    ASSERT_NE(arena_, nullptr);
    player_ = Find("Player");
    transform_ = Get<objects::Transform>(*player_, "Transform");
    physics_ = Get<components::Physics>(*player_, "Physics");
    controller_ = Get<components::PlayerControllerNew>(*player_, "NewPlayerController");
    counter_ = Get<components::Pool>(*Find("c_UI"), "Pool");
    ASSERT_TRUE(transform_ && physics_ && controller_ && counter_);
    for (const auto& [name, object] : arena_->GetObjects()) {
      auto* box = Get<components::BoxCollider>(*object, "BoxCollider");
      if (box != nullptr) walls_.emplace_back(name, box->GetBounds());
    }
    ASSERT_EQ(walls_.size(), 6u);
  }

  void TearDown() override {
    objects::ResetSpaces();
    objects::ResetTypeRegistry();
    components::Hooks().Reset();
    ComponentTest::TearDown();
  }

  objects::GameObject* Find(const std::string& name) const { return arena_->FindObject(name).lock().get(); }

  // One frame of the level: the pointer at an offset (world units) from the player,
  // the left button held or not, then the update and late passes.
  void Step(float pointerX, float pointerY, bool held = true) {
    Frame(pointerX, pointerY, held);
    testing::internal::CaptureStdout();  // the sound system's status lines
    objects::UpdateSpaces(1.0f / 60.0f);
    objects::LateUpdateSpaces(1.0f / 60.0f);
    testing::internal::GetCapturedStdout();
  }

  int SoundsPlayed(const std::string& path) const {
    return static_cast<int>(std::ranges::count(PlayedSounds(), path));
  }

  objects::Space* arena_ = nullptr;
  objects::GameObject* player_ = nullptr;
  objects::Transform* transform_ = nullptr;
  components::Physics* physics_ = nullptr;
  components::PlayerControllerNew* controller_ = nullptr;
  components::Pool* counter_ = nullptr;
  std::vector<std::pair<std::string, components::BoxBounds>> walls_;
};

TEST_F(CollisionArenaTest, StarsOnTheWayAreCountedAndTheRightWallStopsThePlayer) {
  for (int frame = 0; frame < 240; ++frame) {
    Step(10.0f, 0.0f);
    ASSERT_LE(transform_->translation.x, 15.5f - 0.75f + 1e-4f) << "frame " << frame;
  }
  for (const char* star : {"e_Star1", "e_Star2", "e_Star3"}) EXPECT_FALSE(Find(star)->IsActive()) << star;
  for (const char* star : {"e_Star4", "e_Star5"}) EXPECT_TRUE(Find(star)->IsActive()) << star;
  EXPECT_EQ(counter_->amount, 3u);
  EXPECT_EQ(g_published, 3);  // published by PlayerUI
  EXPECT_EQ(SoundsPlayed("Audio/Alt2StarCollect.ogg"), 3);
  EXPECT_NEAR(transform_->translation.x, 14.75f, 1e-3);
  EXPECT_NEAR(transform_->translation.y, 0.0f, 1e-4);
}

TEST_F(CollisionArenaTest, TheHazardOnItsMoverKnocksThePlayerBack) {
  // The hazard travels along x = -10; the player waits to its right and flies in.
  transform_->translation = {-6.0f, -3.0f, 0.0f, 1.0f};
  for (int frame = 0; frame < 600 && !controller_->knockbackActive; ++frame) Step(-10.0f, 0.0f);
  ASSERT_TRUE(controller_->knockbackActive) << "the hazard never touched the player";
  EXPECT_GT(physics_->velocity.x, 0.0f);  // away from the hazard, to the right
  EXPECT_EQ(SoundsPlayed("Audio/BirdSmack.ogg"), 1);
  // Steering towards the pointer returns once the knock-back has run out.
  for (int frame = 0; frame < 100 && controller_->knockbackActive; ++frame) Step(10.0f, 0.0f);
  EXPECT_FALSE(controller_->knockbackActive);
}

// The pointer held in one random direction for 10 to 90 frames at a time, the
// button released for 20 frames in every 200: the player never crosses a wall in
// one frame. (That it never ends a frame inside one is WallSteeringTest's.)
TEST_F(CollisionArenaTest, RandomSteeringNeverCarriesThePlayerAcrossAWallInOneFrame) {
  std::mt19937 random(2026);
  std::uniform_real_distribution<float> angle(0.0f, 6.2831853f);
  std::uniform_int_distribution<int> hold(10, 90);
  float heading = 0.0f;
  base::vector2D before{transform_->translation.x, transform_->translation.y};
  for (int frame = 0, until = 0; frame < 4000; ++frame) {
    if (frame >= until) {
      heading = angle(random);
      until = frame + hold(random);
    }
    Step(12.0f * std::cos(heading), 12.0f * std::sin(heading), frame % 200 < 180);
    const base::vector2D after{transform_->translation.x, transform_->translation.y};
    ASSERT_TRUE(std::isfinite(after.x) && std::isfinite(after.y)) << "frame " << frame;
    for (const auto& [name, b] : walls_) {
      // From one side of a wall to the other, within its band.
      const bool acrossX =
          (before.x < b.left && after.x > b.right) || (before.x > b.right && after.x < b.left);
      const bool acrossY =
          (before.y < b.bottom && after.y > b.top) || (before.y > b.top && after.y < b.bottom);
      ASSERT_FALSE(acrossX && std::fmax(before.y, after.y) > b.bottom && std::fmin(before.y, after.y) < b.top)
          << name << " frame " << frame;
      ASSERT_FALSE(acrossY && std::fmax(before.x, after.x) > b.left && std::fmin(before.x, after.x) < b.right)
          << name << " frame " << frame;
    }
    before = after;
  }
  EXPECT_TRUE(std::fabs(before.x) < 16.0f && std::fabs(before.y) < 10.0f);  // still in the arena
}

// The headless runner as level makers use it: load the arena, steer it from a
// script for 3000 frames, dump the spaces.
TEST(CollisionArenaRunTest, DumpShowsCollectedStarsInactiveAndCountedInThePool) {
  const std::string dumpPath = testing::TempDir() + "collision_arena_dump.json";
  const std::string outputPath = testing::TempDir() + "collision_arena_output.txt";
  std::remove(dumpPath.c_str());
  const int status =
      std::system((std::string(VELMARIS_SIM_PATH) + " --load " + kArena + " --input " + kFixtures +
                   "steering.jsonl --frames 3000 --dump " + dumpPath + " > " + outputPath + " 2>&1")
                      .c_str());
  std::ostringstream output;
  output << std::ifstream(outputPath).rdbuf();
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << output.str();
  EXPECT_NE(output.str().find("frames: 3000"), std::string::npos) << output.str();

  std::ifstream file(dumpPath);
  rapidjson::IStreamWrapper stream(file);
  rapidjson::Document dump;
  dump.ParseStream(stream);
  ASSERT_FALSE(dump.HasParseError());
  const rapidjson::Value& objects = dump["CollisionArena"]["objects"];
  int inactiveStars = 0;
  for (const auto& object : objects.GetObject()) {
    if (object.value["components"].HasMember("Star") && !object.value["active"].GetBool()) ++inactiveStars;
  }
  const int amount = objects["c_UI"]["components"]["Pool"]["amount"].GetInt();
  EXPECT_GE(inactiveStars, 3);  // the three on the first straight flight at least
  EXPECT_EQ(amount, inactiveStars);
  EXPECT_EQ(objects["c_UI"]["components"]["PlayerUI"]["prevCount"].GetInt(), amount);
  std::remove(dumpPath.c_str());
  std::remove(outputPath.c_str());
}

}  // namespace
