// The recorded playthroughs under tests/playthroughs, replayed by the headless runner
// as a separate process: each level's script wins its level with both objectives, the
// whole-game script goes round from the logos back to Level1, and the steering planner
// records input that replays its run exactly.
#include <array>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include <gtest/gtest.h>
#include <rapidjson/document.h>

#include "run_sim.h"

namespace {

const std::string kPlaythroughs = std::string(VELMARIS_SOURCE_DIR) + "/tests/playthroughs/";

using sim_testing::ReadFile;
using sim_testing::Result;
using sim_testing::RunSim;

// The frame of a script's last event: the replay runs a little past it.
long long LastFrame(const std::string& script) {
  std::ifstream in(script);
  std::string line;
  long long last = 0;
  while (std::getline(in, line)) {
    long long frame = 0;
    if (std::sscanf(line.c_str(), "{\"frame\":%lld", &frame) == 1) last = frame;
  }
  return last;
}

// Replays a script from a state, a second past its last event, and parses the dump.
rapidjson::Document Replay(const std::string& script, int state, const std::string& dumpName,
                           Result& result) {
  const std::string dump = testing::TempDir() + dumpName;
  std::remove(dump.c_str());
  result = RunSim("--state " + std::to_string(state) + " --input " + script + " --frames " +
                  std::to_string(LastFrame(script) + 60) + " --dump " + dump);
  rapidjson::Document document;
  document.Parse(ReadFile(dump).c_str());
  return document;
}

struct LevelScript {
  const char* script;
  int state;
  const char* space;
};

TEST(PlaythroughTest, EachLevelScriptWinsItsLevelWithBothObjectives) {
  const LevelScript levels[] = {
      {"level1.jsonl", 1, "Level1"}, {"level2.jsonl", 3, "Level2"}, {"level3.jsonl", 5, "Level3"}};
  for (const LevelScript& level : levels) {
    SCOPED_TRACE(level.script);
    const std::string script = kPlaythroughs + level.script;
    ASSERT_GT(LastFrame(script), 0) << script << " is missing or empty";
    Result result;
    const rapidjson::Document dump = Replay(script, level.state, std::string(level.space) + ".json", result);
    ASSERT_EQ(result.status, 0) << result.output;
    ASSERT_TRUE(dump.IsObject() && dump.HasMember("level")) << result.output;
    const rapidjson::Value& state = dump["level"];
    EXPECT_EQ(std::string(state["currentLevelSpace"].GetString()), level.space);
    EXPECT_TRUE(state["levelEnded"].GetBool());
    EXPECT_GE(state["collectedStars"].GetInt(), 25);
    EXPECT_LT(state["endTime"].GetFloat(), 120.0f);
    EXPECT_EQ(state["rating"].GetInt(), 2);
  }
}

TEST(PlaythroughTest, GameScriptPlaysFromTheLogosThroughEveryLevelToTheEndScreen) {
  const std::string script = kPlaythroughs + "game.jsonl";
  ASSERT_GT(LastFrame(script), 0) << script << " is missing or empty";
  Result result;
  const rapidjson::Document dump = Replay(script, 7, "game.json", result);
  ASSERT_EQ(result.status, 0) << result.output;
  // Each level is left through its victory screen's button, in order; Level3's
  // leads to the win level and its end screen.
  std::size_t at = 0;
  for (const char* change :
       {": state 7 -> 1\n", ": state 1 -> 3\n", ": state 3 -> 5\n", ": state 5 -> 6\n"}) {
    at = result.output.find(change, at);
    ASSERT_NE(at, std::string::npos) << change << " missing or out of order in\n" << result.output;
  }
  EXPECT_NE(result.output.find(", state: 6\n"), std::string::npos) << result.output;
  ASSERT_TRUE(dump.IsObject() && dump.HasMember("level")) << result.output;
  EXPECT_EQ(std::string(dump["level"]["currentLevelSpace"].GetString()), "LevelWin");
  EXPECT_TRUE(dump["W_EndScreen"]["active"].GetBool());
  EXPECT_FALSE(dump["Level3"]["active"].GetBool());
  EXPECT_FALSE(dump["W_VictoryUI"]["active"].GetBool());
}

std::string WriteFile(const std::string& name, const std::string& text) {
  const std::string path = testing::TempDir() + name;
  std::ofstream(path) << text;
  return path;
}

TEST(SteeringTest, RecordingReplaysTheSteeredRunExactly) {
  // Waypoints, a wait of frames and a wait for a hazard, cut off by --frames mid-route.
  const std::string route = WriteFile("short_route.json", R"({"level": "Level2", "steps": [
      {"to": [-6, 6]}, {"wait": 20}, {"to": [-12, 2]},
      {"wait": {"object": "E_hazard_bird_01", "near": [12, 12], "within": 0.5}},
      {"to": [-12, -5]}, {"to": [-3, -10]}]})");
  const std::string recording = testing::TempDir() + "short_route.jsonl";
  const std::string steeredDump = testing::TempDir() + "steered.json";
  const std::string replayedDump = testing::TempDir() + "replayed.json";
  for (const std::string& file : {recording, steeredDump, replayedDump}) std::remove(file.c_str());

  const Result steered =
      RunSim("--state 3 --frames 400 --steer " + route + " --record " + recording + " --dump " + steeredDump);
  ASSERT_EQ(steered.status, 0) << steered.output;
  EXPECT_NE(steered.output.find("steering: frame 2: Level2 begins (short_route.json)\n"), std::string::npos)
      << steered.output;
  const Result replayed = RunSim("--state 3 --frames 400 --input " + recording + " --dump " + replayedDump);
  ASSERT_EQ(replayed.status, 0) << replayed.output;

  const std::string steeredJson = ReadFile(steeredDump);
  rapidjson::Document dump;
  dump.Parse(steeredJson.c_str());
  ASSERT_TRUE(dump.IsObject() && dump.HasMember("Level2")) << steered.output;
  const rapidjson::Value& player = dump["Level2"]["objects"]["Player"]["components"]["Transform"];
  EXPECT_LT(player["x_position"].GetFloat(), -5.0f) << "the player was steered away from the start";
  EXPECT_GE(dump["level"]["collectedStars"].GetInt(), 2);
  EXPECT_EQ(steeredJson, ReadFile(replayedDump));
}

struct BrokenRoute {
  const char* text;
  const char* message;
};

TEST(SteeringTest, BrokenRouteIsAnErrorNamingTheFileAndStep) {
  const BrokenRoute cases[] = {
      {R"({"steps": [{"to": [1, 2]}, {"to": [1]}]})",
       "route.json: step 2: \"to\" must be [x, y] in world units"},
      {R"({"steps": [{"to": [1, 2], "witin": 1}]})", "route.json: step 1: unknown member \"witin\""},
      {R"({"steps": [{"fly": [1, 2]}]})", "route.json: step 1: a step needs one of"},
      {R"({"steps": [{"wait": {"object": "E_hazard_bird_01"}}]})",
       "route.json: step 1: a waiting condition needs"},
      {R"({"steps": [{"click": [1280, 10]}]})",
       "route.json: step 1: \"click\" must be [x, y] in window pixels"},
      {R"({"steps": [{"press": "Spacebar"}]})", "route.json: step 1: \"press\" must be a key name"},
      {R"({"steps": [{"route": "route.json"}]})", "route.json: routes include each other too deeply"},
      {R"({"level": "Level2", "steps": [{"to": [1, 2]},)", "route.json: not JSON"},
      {R"({"level": "Level2"})", "route.json: a route needs \"steps\", a list"},
  };
  for (const BrokenRoute& route : cases) {
    const std::string path = WriteFile("route.json", route.text);
    const Result result = RunSim("--state 3 --frames 5 --steer " + path);
    EXPECT_EQ(result.status, 1) << route.text;
    EXPECT_NE(result.output.find(route.message), std::string::npos) << route.text << "\n" << result.output;
  }
  const Result missing = RunSim("--steer no_such_route.json");
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.output.find("no_such_route.json: the route file does not exist"), std::string::npos)
      << missing.output;
}

TEST(SteeringTest, RecordWithoutSteerOrSteerWithInputExitTwoWithUsage) {
  for (const char* arguments : {"--record out.jsonl", "--steer a.json --input b.jsonl"}) {
    const Result result = RunSim(arguments);
    EXPECT_EQ(result.status, 2) << arguments;
    EXPECT_NE(result.output.find("usage: velmaris-sim"), std::string::npos) << arguments;
  }
}

}  // namespace
