// The runner's audio log, read the way a level maker's script reads it: one JSON
// object per line.
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <rapidjson/document.h>

#include "run_sim.h"

namespace {

using sim_testing::ReadFile;
using sim_testing::Result;
using sim_testing::RunSim;

// The level's intro stage at the end of a run of `frames` frames from Level1.
int IntroStageAfter(long long frames) {
  const std::string dump = testing::TempDir() + "intro.json";
  std::remove(dump.c_str());
  const Result result = RunSim("--state 1 --frames " + std::to_string(frames) + " --dump " + dump);
  EXPECT_EQ(result.status, 0) << result.output;
  rapidjson::Document document;
  document.Parse(ReadFile(dump).c_str());
  if (document.HasParseError() || !document.IsObject() || !document.HasMember("level")) return -1;
  return document["level"]["introStage"].GetInt();
}

TEST(AudioLogTest, MusicStartsInTheFrameThatEndsTheIntrosThirdStage) {
  const std::string log = testing::TempDir() + "audio.jsonl";
  std::remove(log.c_str());
  const Result result = RunSim("--state 1 --frames 600 --audio-log " + log);
  ASSERT_EQ(result.status, 0) << result.output;

  std::vector<rapidjson::Document> lines;
  std::istringstream text(ReadFile(log));
  for (std::string line; std::getline(text, line);) {
    rapidjson::Document& json = lines.emplace_back();
    json.Parse(line.c_str());
    ASSERT_FALSE(json.HasParseError()) << line;
    ASSERT_TRUE(json.IsObject() && json.HasMember("frame") && json["frame"].IsInt64() &&
                json.HasMember("call") && json["call"].IsString())
        << line;
    if (lines.size() > 1) {
      ASSERT_GE(json["frame"].GetInt64(), lines[lines.size() - 2]["frame"].GetInt64()) << line;
    }
  }
  ASSERT_FALSE(lines.empty());
  // The start-up loads come before the first frame.
  EXPECT_STREQ(lines[0]["call"].GetString(), "LoadSound");
  EXPECT_EQ(lines[0]["frame"].GetInt64(), 0);
  EXPECT_TRUE(lines[0]["loaded"].GetBool());

  auto call = [&](std::size_t i) { return std::string(lines[i]["call"].GetString()); };
  const std::string music = "Audio/Rizoz ed Udavovi Vivid.ogg";
  std::size_t start = lines.size();
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (call(i) == "PlaySound" && lines[i]["path"].GetString() == music) {
      EXPECT_EQ(start, lines.size()) << "the music starts once";
      start = i;
    }
  }
  ASSERT_LT(start, lines.size()) << "no music start in " << lines.size() << " lines";
  const rapidjson::Document& play = lines[start];
  EXPECT_EQ(play["db"].GetDouble(), 0.0);
  // The backend calls of the start follow it, on the music's channel: full gain, then unpaused.
  ASSERT_LT(start + 2, lines.size());
  EXPECT_EQ(call(start + 1), "SetVolume");
  EXPECT_EQ(lines[start + 1]["id"].GetInt(), play["id"].GetInt());
  EXPECT_EQ(lines[start + 1]["gain"].GetDouble(), 1.0);
  EXPECT_EQ(call(start + 2), "SetPaused");
  EXPECT_EQ(lines[start + 2]["id"].GetInt(), play["id"].GetInt());
  EXPECT_FALSE(lines[start + 2]["paused"].GetBool());

  // Stage 3 waits and then starts the music, in the frame that moves the intro on to 4.
  const long long frame = play["frame"].GetInt64();
  EXPECT_EQ(IntroStageAfter(frame - 1), 3);
  EXPECT_EQ(IntroStageAfter(frame), 4);
}

TEST(AudioLogTest, UnwritableLogExitsOneNamingThePath) {
  const std::string log = testing::TempDir() + "no-such-folder/audio.jsonl";
  const Result result = RunSim("--frames 1 --audio-log " + log);
  EXPECT_EQ(result.status, 1) << result.output;
  EXPECT_NE(result.output.find(log + ": cannot write the audio log"), std::string::npos) << result.output;
}

}  // namespace
