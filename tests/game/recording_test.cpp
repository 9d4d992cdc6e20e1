// Recordings of play: F9 in the game writes every input event and frame time since
// the start, and the runner's replay of that file reaches exactly the same state,
// headless and in a real window alike.
#include <regex>

#include <gmock/gmock.h>
#include <rapidjson/document.h>

#include "game/game_states.h"
#include "game/names.h"
#include "game_fixture.h"
#include "platform/headless/input_script.h"
#include "tools/run_sim.h"

namespace {

using game_testing::GameTest;
namespace names = game::names;

class RecordingTest : public GameTest {
 protected:
  void TearDown() override {
    if (!recording_.empty()) std::filesystem::remove(recording_);
    GameTest::TearDown();
  }
  std::string recording_;
};

// The "frame F: hash H" lines of a run.
std::vector<std::string> HashLines(const std::string& output) {
  std::vector<std::string> lines;
  const std::regex line("frame \\d+: hash [0-9a-f]{16}");
  for (auto it = std::sregex_iterator(output.begin(), output.end(), line); it != std::sregex_iterator();
       ++it) {
    lines.push_back(it->str());
  }
  return lines;
}

TEST_F(RecordingTest, ReplayOfARecordingReachesTheSameStateWithTheSameHashes) {
  Loop().KeepRecordableHistory(testing::TempDir());
  // The logos, skipped; then the Level1 intro and some flying with uneven frame times,
  // every fourth frame a slow one the cap cut short (the level timer counts its real
  // time, so the replay must have it too).
  RunFrames(3);
  Tap(platform::kVkSpace);
  const float frameTimes[] = {1.0f / 60.0f, 0.021f, 0.0137f, 0.025f};
  for (int frame = 0; frame < 500; ++frame) {
    timer_.dt = frameTimes[frame % 4];
    timer_.real = frame % 4 == 3 ? std::optional<float>(0.04f) : std::nullopt;
    if (frame == 450) {
      window_.PostMouseMove(900, 250);
      window_.PostMouseButton(platform::kVkLeftButton, true, 900, 250);
    }
    if (frame == 470) window_.PostKey('W', true);
    if (frame == 472) window_.PostKey('W', false);
    RunFrames(1);
  }
  // The runner's own frame time from here: the frames after the recording stops
  // are not in it.
  timer_.dt = 1.0f / 60.0f;
  timer_.real.reset();
  Tap(platform::kVkF9);  // starts the recording, with everything since the start
  ASSERT_NE(Loop().Recorder(), nullptr);
  ASSERT_TRUE(Loop().Recorder()->Recording());
  recording_ = std::filesystem::absolute(Loop().Recorder()->Path()).string();
  RunFrames(60);
  window_.PostMouseMove(300, 500);
  RunFrames(60);
  Tap(platform::kVkF9);
  EXPECT_FALSE(Loop().Recorder()->Recording());
  ASSERT_EQ(base::States().current, game::kLevel1);
  const auto& player =
      ComponentOf<objects::Transform>(names::kLevel1, names::kPlayer, "Transform").translation;
  const float elapsed = Level().elapsedTime;
  EXPECT_GT(elapsed, 1.0f) << "play had begun";

  const std::string dump = testing::TempDir() + "replay.json";
  const std::string frames = std::to_string(3 + 2 + 500 + 2 + 120 + 2);
  const sim_testing::Result replay = sim_testing::RunSim("--input " + recording_ + " --frames " + frames +
                                                         " --dump " + dump + " --hash-every 50");
  ASSERT_EQ(replay.status, 0) << replay.output;
  rapidjson::Document json;
  json.Parse<rapidjson::kParseFullPrecisionFlag>(sim_testing::ReadFile(dump).c_str());
  ASSERT_TRUE(json.IsObject());
  const auto& transform = json["Level1"]["objects"]["Player"]["components"]["Transform"];
  EXPECT_EQ(transform["x_position"].GetDouble(), static_cast<double>(player.x));
  EXPECT_EQ(transform["y_position"].GetDouble(), static_cast<double>(player.y));
  EXPECT_EQ(json["level"]["elapsedTime"].GetDouble(), static_cast<double>(elapsed));

  const sim_testing::Result again =
      sim_testing::RunSim("--input " + recording_ + " --frames " + frames + " --hash-every 50");
  // The real window draws slowly in software: the first 200 frames are enough.
  const sim_testing::Result seen =
      sim_testing::RunSim("--real-window --input " + recording_ + " --frames 200 --hash-every 50");
  const std::vector<std::string> hashes = HashLines(replay.output);
  ASSERT_EQ(hashes.size(), 12u) << replay.output;
  EXPECT_EQ(HashLines(again.output), hashes);
  EXPECT_EQ(HashLines(seen.output), std::vector<std::string>(hashes.begin(), hashes.begin() + 4))
      << "the real window replays the same run";
}

TEST(RecordingLinesTest, ScriptLinesReadBackAsTheSameMessages) {
  using platform::Message;
  using platform::MessageType;
  const Message messages[] = {
      {.type = MessageType::kKeyDown, .virtualKey = 'D'},
      {.type = MessageType::kKeyUp, .virtualKey = platform::kVkEscape},
      {.type = MessageType::kKeyDown, .virtualKey = 0xBA},  // a key without a name
      {.type = MessageType::kMouseMove, .x = 10, .y = 20},
      {.type = MessageType::kMouseButtonDown, .virtualKey = platform::kVkLeftButton, .x = 10, .y = 20},
      {.type = MessageType::kMouseButtonUp, .virtualKey = platform::kVkRightButton, .x = 30, .y = 40},
      {.type = MessageType::kSystemCommand, .command = platform::SystemCommand::kMinimize},
      {.type = MessageType::kSystemCommand, .command = platform::SystemCommand::kFocusLost},
  };
  std::string text;
  int x = 0, y = 0;
  for (const Message& message : messages) text += platform::headless::ScriptLines(7, message, x, y);
  text += platform::headless::FrameTimeLine(7, 0.0137f, 0.0137f);
  text += platform::headless::FrameTimeLine(8, 0.025f, 0.0417f);  // a slow frame, capped
  std::istringstream in(text);
  const auto script = platform::headless::InputScript::Parse(in, "recorded");
  const std::vector<Message>& read = script.EventsOf(7);
  ASSERT_EQ(read.size(), 9u) << text;  // the moved button got a mouse line first
  EXPECT_EQ(read[2].virtualKey, 0xBA);
  EXPECT_EQ(read[5].type, MessageType::kMouseMove);
  EXPECT_EQ(read[6].x, 30);
  EXPECT_EQ(read[6].virtualKey, platform::kVkRightButton);
  EXPECT_EQ(read[7].command, platform::SystemCommand::kMinimize);
  EXPECT_EQ(read[8].command, platform::SystemCommand::kFocusLost);
  EXPECT_EQ(script.FrameTimeOf(7), 0.0137f) << "the frame time reads back as the same float";
  EXPECT_EQ(script.RealTimeOf(7), 0.0137f) << "no real time written: it is the frame time";
  EXPECT_EQ(script.FrameTimeOf(8), 0.025f);
  EXPECT_EQ(script.RealTimeOf(8), 0.0417f);
  EXPECT_EQ(text.find("\"real\""), text.rfind("\"real\"")) << "written only where it differs: " << text;
  EXPECT_EQ(script.FrameTimeOf(9), std::nullopt);
}

}  // namespace
