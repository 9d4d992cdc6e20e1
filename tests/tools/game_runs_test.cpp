// Whole runs of the game through the headless runner, as a player or a level maker
// starts them: the logos into Level1, and a scripted level end and Next.
#include <regex>
#include <sstream>
#include <utility>
#include <vector>

#include <gtest/gtest.h>
#include <rapidjson/document.h>

#include "run_sim.h"

namespace {

using sim_testing::Result;
using sim_testing::RunSim;

// The frame at which the runner reports the change `from` -> `to`; -1 if none.
int FrameOfChange(const std::string& output, int from, int to) {
  const std::regex line("frame (\\d+): state " + std::to_string(from) + " -> " + std::to_string(to) + "\n");
  std::smatch match;
  return std::regex_search(output, match, line) ? std::stoi(match[1]) : -1;
}

TEST(GameRunsTest, LogosLeadIntoLevelOneAfterAboutSixSecondsOrAtOnceOnSpace) {
  const Result watched = RunSim("--state 7 --frames 600");
  ASSERT_EQ(watched.status, 0) << watched.output;
  const int frame = FrameOfChange(watched.output, 7, 1);
  EXPECT_GE(frame, 330) << watched.output;
  EXPECT_LE(frame, 420) << watched.output;

  const std::string script = testing::TempDir() + "space.jsonl";
  std::ofstream(script) << "{\"frame\":5,\"key\":\"Space\",\"down\":true}\n";
  const Result skipped = RunSim("--state 7 --frames 10 --input " + script);
  ASSERT_EQ(skipped.status, 0) << skipped.output;
  EXPECT_EQ(FrameOfChange(skipped.output, 7, 1), 6)
      << "Level1 runs from the frame after the skip" << skipped.output;
}

TEST(GameRunsTest, DebugKeysEndLevelOneAndNextGoesOnToLevelTwo) {
  const std::string dump = testing::TempDir() + "debug_next.json";
  const Result result = RunSim("--state 1 --frames 480 --input " +
                               sim_testing::Script("debug_end_then_next.jsonl") + " --dump " + dump);
  ASSERT_EQ(result.status, 0) << result.output;
  EXPECT_GT(FrameOfChange(result.output, 1, 3), 0) << result.output;
  EXPECT_NE(result.output.find("frames: 480, state: 3\n"), std::string::npos) << result.output;
  rapidjson::Document json;
  json.Parse(sim_testing::ReadFile(dump).c_str());
  ASSERT_TRUE(json.IsObject());
  EXPECT_FALSE(json["W_VictoryUI"]["active"].GetBool());
  EXPECT_TRUE(json["Level2"]["active"].GetBool());
  EXPECT_FALSE(json["Level2"]["paused"].GetBool());
  EXPECT_FALSE(json["Level1"]["active"].GetBool());
  EXPECT_STREQ(json["level"]["currentLevelSpace"].GetString(), "Level2");
  EXPECT_FALSE(json["level"]["levelEnded"].GetBool());
}

TEST(GameRunsTest, MusicSwitchedOffInTheOptionsStaysDownAfterResuming) {
  const std::string dump = testing::TempDir() + "music_off.json";
  const std::string log = testing::TempDir() + "music_off.jsonl";
  const Result result =
      RunSim("--state 1 --frames 520 --input " + sim_testing::Script("pause_options_music_off.jsonl") +
             " --dump " + dump + " --audio-log " + log);
  ASSERT_EQ(result.status, 0) << result.output;
  rapidjson::Document json;
  json.Parse(sim_testing::ReadFile(dump).c_str());
  ASSERT_TRUE(json.IsObject());
  for (const char* overlay :
       {"X_PauseMenu", "Y_PauseOptions", "Z_PauseExit", "Z_WindowExit", "Y_PauseCredits", "Y_PauseHTP"}) {
    EXPECT_FALSE(json[overlay]["active"].GetBool()) << overlay;
  }
  EXPECT_FALSE(json["Level1"]["paused"].GetBool());
  EXPECT_EQ(json["Y_PauseOptions"]["objects"]["c_ButtonMusicToggle"]["components"]["Sprite"]["frame_index"]
                .GetInt(),
            1);
  EXPECT_FALSE(json["level"]["musicOn"].GetBool());

  // The music volume calls: down at the first Escape, and nothing brings it up again.
  std::vector<std::pair<int, double>> volumes;
  std::istringstream lines(sim_testing::ReadFile(log));
  for (std::string line; std::getline(lines, line);) {
    rapidjson::Document call;
    call.Parse(line.c_str());
    ASSERT_TRUE(call.IsObject()) << line;
    if (std::string(call["call"].GetString()) == "SetMusicVolume") {
      volumes.emplace_back(call["frame"].GetInt(), call["db"].GetDouble());
    }
  }
  ASSERT_EQ(volumes.size(), 1u) << sim_testing::ReadFile(log);
  EXPECT_EQ(volumes[0], (std::pair<int, double>{450, -96.0}));
}

}  // namespace
