// Scripts as level files give them: the registered members of "Script" and
// "ScriptData", loading with prefabs, and a level run through the headless runner.
#include <array>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <rapidjson/document.h>
#include <rapidjson/istreamwrapper.h>
#include <sys/wait.h>

#include "scripting/script_fixture.h"
#include "serialization/serializer_fixture.h"

namespace {

using testing_support::Number;
using testing_support::SerializerFixture;

class ScriptLevelTest : public SerializerFixture {
 protected:
  void SetUp() override {
    SerializerFixture::SetUp();
    base::ResetLogOnce();
    scriptPath = Write("counting.lua", R"(
function Init() inits = (inits or 0) + 1 end
function Update(dt) updates = (updates or 0) + 1; speed = data and data.speed end
)");
  }

  std::string scriptPath;
};

TEST_F(ScriptLevelTest, ScriptDataFromTheFileIsTheScriptsDataAndInitRunsTwice) {
  Load(R"({"Level": {"Hero": {
    "Script": {"filename": ")" +
       scriptPath + R"("},
    "ScriptData": {"start_x": 1.5, "start_y": 2.5, "end_x": 3.5, "end_y": -2, "initTime": 4.5, "timer": 5.5,
                   "angle": 6.5, "radius": 7.5, "speed": 4, "state": true}}}})");
  auto* script = ComponentOf<scripting::Script>("Level", "Hero", "Script");
  auto* block = ComponentOf<scripting::ScriptData>("Level", "Hero", "ScriptData");
  ASSERT_NE(script, nullptr);
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(script->data, block);
  const scripting::ScriptData& d = *block;  // every member lands in its own field
  EXPECT_EQ((std::vector<float>{d.start.x, d.start.y, d.finish.x, d.finish.y, d.initTime, d.timer, d.angle,
                                d.radius, d.speed}),
            (std::vector<float>{1.5f, 2.5f, 3.5f, -2, 4.5f, 5.5f, 6.5f, 7.5f, 4}));
  EXPECT_TRUE(d.state);
  EXPECT_EQ(Number(*script, "inits"), 1);  // during the load
  spaces.UpdateSpaces(0.016f);
  EXPECT_EQ(Number(*script, "inits"), 2);
  EXPECT_EQ(Number(*script, "updates"), 1);
  EXPECT_EQ(Number(*script, "speed"), 4);
}

TEST_F(ScriptLevelTest, InitStateTrueFromTheFileSkipsInit) {
  Load(R"({"Level": {"Hero": {"Script": {"filename": ")" + scriptPath + R"(", "initState": true}}}})");
  auto* script = ComponentOf<scripting::Script>("Level", "Hero", "Script");
  ASSERT_NE(script, nullptr);
  spaces.UpdateSpaces(0.016f);
  EXPECT_TRUE(std::isnan(Number(*script, "inits")));
  EXPECT_EQ(Number(*script, "updates"), 1);
}

TEST_F(ScriptLevelTest, ScriptDataWithoutScriptStopsTheLoad) {
  testing::internal::CaptureStderr();
  EXPECT_THAT(LoadError(R"({"Level": {"Hero": {"ScriptData": {"speed": 1}}}})"),
              testing::StartsWith("A component did not initialize correctly."));
  EXPECT_THAT(
      testing::internal::GetCapturedStderr(),
      testing::HasSubstr("component: object Hero in space Level: ScriptData needs a Script on its object\n"));
}

// An object initialised once per layer: the bound block must not fail the later ones.
TEST_F(ScriptLevelTest, ScriptFromAPrefabAndALevelLoadedTwiceKeepLoading) {
  const std::string prefab = Write("scripted.json", R"({"Scripted": {
    "Script": {"filename": ")" + scriptPath + R"("}, "ScriptData": {"speed": 2}}})");
  const std::string level =
      R"({"Level": {"Hero": {"prefab": ")" + prefab + R"(", "ScriptData": {"speed": 5}}}})";
  Load(level);
  Load(level);
  auto* script = ComponentOf<scripting::Script>("Level", "Hero", "Script");
  ASSERT_NE(script, nullptr);
  EXPECT_EQ(script->data->speed, 5.0f);
  EXPECT_EQ(Number(*script, "inits"), 1);
}

// The headless runner plays a level whose script moves its object one unit a frame.
TEST(ScriptRunnerTest, TenFramesOfTransformAddXMoveTheObjectByTen) {
  const std::string dump = testing::TempDir() + "script_mover_dump.json";
  const std::string command = std::string(VELMARIS_SIM_PATH) + " --load " + VELMARIS_SOURCE_DIR +
                              "/tests/scripting/fixtures/script_mover.txt --frames 10 --dump " + dump +
                              " 2>&1";
  FILE* pipe = popen(command.c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  std::string output;
  std::array<char, 512> buffer{};
  while (fgets(buffer.data(), buffer.size(), pipe) != nullptr) output += buffer.data();
  const int status = pclose(pipe);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << output;
  EXPECT_EQ(output.find("SCRIPT:"), std::string::npos) << output;

  std::ifstream file(dump);
  rapidjson::IStreamWrapper stream(file);
  rapidjson::Document document;
  document.ParseStream(stream);
  ASSERT_FALSE(document.HasParseError());
  std::remove(dump.c_str());
  ASSERT_TRUE(document.IsObject() && document.HasMember("ScriptMover"));
  const rapidjson::Value& mover = document["ScriptMover"]["objects"]["Mover"]["components"];
  EXPECT_EQ(mover["Transform"]["x_position"].GetDouble(), 10.0);  // started at 0
  EXPECT_EQ(mover["Transform"]["y_position"].GetDouble(), 2.0);
  EXPECT_TRUE(mover["Script"]["initState"].GetBool());
}

}  // namespace
