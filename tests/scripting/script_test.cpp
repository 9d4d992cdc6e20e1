// The Script component frame by frame: initialisation and its retries, the file run
// every frame, the globals, error reports, ScriptData binding and live reload.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <lua.hpp>
#include <string>

#include "components/physics.h"
#include "components/transform.h"
#include "scripting/script_fixture.h"

namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;
using testing_support::ScriptFixture;

// Init and Update count their calls; the top level counts its runs.
constexpr const char* kCounting = R"(
runs = (runs or 0) + 1
function Init() inits = (inits or 0) + 1 end
function Update(dt) updates = (updates or 0) + 1; lastDt = dt end
)";

// Lines written to standard error while body runs.
template <class Body>
std::string Stderr(const Body& body) {
  ::testing::internal::CaptureStderr();
  body();
  return ::testing::internal::GetCapturedStderr();
}

int Lines(const std::string& text) { return static_cast<int>(std::count(text.begin(), text.end(), '\n')); }

using ScriptTest = ScriptFixture;

TEST_F(ScriptTest, MissingFileNeverRunsInitOrUpdateAndIsReportedOnce) {
  scripting::Script& script = AddScript((folder / "absent.lua").string());
  const std::string errors = Stderr([&] {
    for (int frame = 0; frame < 3; ++frame) script.Update(0.016f);
  });
  EXPECT_FALSE(script.initState);
  EXPECT_TRUE(IsNil(script, "Init"));
  EXPECT_EQ(Lines(errors), 1) << errors;
  EXPECT_THAT(errors, StartsWith("SCRIPT: " + script.filename + ": cannot open the file"));
  EXPECT_EQ(lua_gettop(script.GetState()), 0);
}

TEST_F(ScriptTest, WithoutGlobalInitUpdateIsNeverReachedAndInitIsRetriedEachFrame) {
  scripting::Script& script = AddScript(Write("runs = (runs or 0) + 1\nfunction Update() updates = 1 end\n"));
  const std::string errors = Stderr([&] {
    for (int frame = 0; frame < 3; ++frame) script.Update(0.016f);
  });
  EXPECT_EQ(Number(script, "runs"), 3);  // the file ran once per frame, for ScriptInit
  EXPECT_TRUE(IsNil(script, "updates"));
  EXPECT_FALSE(script.initState);
  EXPECT_EQ(Lines(errors), 1) << errors;
  EXPECT_THAT(errors, HasSubstr("global 'Init' is not a function (a nil value)"));

  // Once the file gains an Init, the next frame initialises and updates.
  Write(kCounting);
  script.Update(0.016f);
  EXPECT_TRUE(script.initState);
  EXPECT_EQ(Number(script, "inits"), 1);
  EXPECT_EQ(Number(script, "updates"), 1);
}

TEST_F(ScriptTest, TopLevelStatementsRunEveryFrameFromOneCompile) {
  scripting::Script& script = AddScript(Write(R"(
runs = (runs or 0) + 1
counter = 0
function Init() inits = (inits or 0) + 1 end
function Update(dt) counter = counter + 1; seen = counter; lastDt = dt end
)"));
  for (int frame = 0; frame < 3; ++frame) script.Update(0.25f * static_cast<float>(frame + 1));
  EXPECT_TRUE(script.initState);
  EXPECT_EQ(Number(script, "inits"), 1);
  EXPECT_EQ(Number(script, "lastDt"), 0.75);
  // Frame 1 runs the file for ScriptInit and again for Update; then once a frame.
  EXPECT_EQ(Number(script, "runs"), 4);
  EXPECT_EQ(Number(script, "seen"), 1);  // the top level reset the counter each time
  EXPECT_EQ(script.CompileCount(), 1u);
}

TEST_F(ScriptTest, ErrorInUpdateIsReportedOnceWithLineAndNextFrameStillUpdates) {
  scripting::Script& script = AddScript(Write(
      "function Init() end\n"
      "function Update(dt)\n"
      "  calls = (calls or 0) + 1\n"
      "  error('boom')\n"
      "end\n"));
  const std::string errors = Stderr([&] {
    for (int frame = 0; frame < 3; ++frame) script.Update(0.016f);
  });
  EXPECT_EQ(Number(script, "calls"), 3);
  EXPECT_EQ(errors, "SCRIPT: " + script.filename + ":4: boom\n");
  EXPECT_EQ(lua_gettop(script.GetState()), 0);
}

TEST_F(ScriptTest, ErrorOfABoundFunctionGetsTheScriptLine) {
  object->AddComponent(new components::Transform());
  scripting::Script& script = AddScript(Write(
      "function Init() end\n"
      "function Update(dt)\n"
      "  myTransform:TransformAddX('far')\n"
      "end\n"));
  const std::string errors = Stderr([&] { script.Update(0.016f); });
  EXPECT_THAT(errors, StartsWith("SCRIPT: " + script.filename + ":3: bad argument #1"));
  EXPECT_THAT(errors, HasSubstr("number expected"));
}

TEST_F(ScriptTest, BrokenFileFailsEveryFrameWithoutRecompilingOrGrowingTheStack) {
  scripting::Script& script = AddScript(Write("function Init()\n  x = = 1\nend\n"));
  const std::string errors = Stderr([&] {
    for (int frame = 0; frame < 4; ++frame) script.Update(0.016f);
  });
  EXPECT_FALSE(script.initState);
  EXPECT_EQ(script.CompileCount(), 1u);
  EXPECT_EQ(Lines(errors), 1) << errors;
  EXPECT_THAT(errors, StartsWith("SCRIPT: " + script.filename + ":2:"));
  EXPECT_EQ(lua_gettop(script.GetState()), 0);
}

TEST_F(ScriptTest, ErrorInTopLevelCodeStopsTheFrameBeforeUpdate) {
  scripting::Script& script = AddScript(Write(kCounting));
  script.Update(0.016f);
  Write("function Update() updates = 100 end\nerror('top')\n");
  const std::string errors = Stderr([&] { script.Update(0.016f); });
  EXPECT_EQ(Number(script, "updates"), 1);
  EXPECT_THAT(errors, HasSubstr(":2: top"));
  EXPECT_EQ(lua_gettop(script.GetState()), 0);
}

TEST_F(ScriptTest, EditedFileTakesEffectOnTheNextFrame) {
  const std::string path = Write("function Init() end\nfunction Update() version = 1 end\n");
  scripting::Script& script = AddScript(path);
  script.Update(0.016f);
  script.Update(0.016f);
  EXPECT_EQ(Number(script, "version"), 1);
  EXPECT_EQ(script.CompileCount(), 1u);

  Write("function Init() end\nfunction Update() version = 2 end\n");
  script.Update(0.016f);
  EXPECT_EQ(Number(script, "version"), 2);
  EXPECT_EQ(script.CompileCount(), 2u);

  // A deleted file stops the script as a missing one does; it comes back with it.
  std::filesystem::remove(path);
  Stderr([&] { script.Update(0.016f); });
  EXPECT_EQ(Number(script, "version"), 2);
  Write("function Init() end\nfunction Update() version = 3 end\n");
  script.Update(0.016f);
  EXPECT_EQ(Number(script, "version"), 3);

  // Another file name loads the other file, even with the old one unchanged.
  script.filename = Write("function Init() end\nfunction Update() version = 4 end\n", "other.lua");
  script.Update(0.016f);
  EXPECT_EQ(Number(script, "version"), 4);
}

TEST_F(ScriptTest, GlobalsHandTheScriptItsObjectAndComponents) {
  auto* transform = new components::Transform(1.0f, 2.0f, 0.0f);
  object->AddComponent(transform);
  auto* physics = new components::Physics();
  object->AddComponent(physics);
  scripting::Script& script = AddScript(Write(R"(
function Init() initData = data end
function Update(dt)
  myTransform:TransformAddX(10)
  physics:SetVelocity(Vector2D(3, 4))
  data.speed = 7
  parent:SetActive(false)
end
)"));
  script.Update(0.016f);
  EXPECT_FALSE(IsNil(script, "initData"));  // data is set before Init
  EXPECT_EQ(transform->translation.x, 11.0f);
  EXPECT_EQ(physics->velocity.x, 3.0f);
  EXPECT_EQ(physics->velocity.y, 4.0f);
  EXPECT_EQ(script.data->speed, 7.0f);
  EXPECT_FALSE(object->IsActive());
}

TEST_F(ScriptTest, MissingComponentLeavesItsGlobalAsItWas) {
  scripting::Script& script = AddScript(Write(R"(
function Init() physics = 42 end
function Update(dt) seenPhysics = physics; seenTransform = myTransform end
)"));
  script.Update(0.016f);
  EXPECT_EQ(Number(script, "seenPhysics"), 42);
  EXPECT_TRUE(IsNil(script, "seenTransform"));  // nil in a new state
}

TEST_F(ScriptTest, WithoutOwnerNothingRuns) {
  scripting::Script script;
  script.filename = Write(kCounting);
  script.Update(0.016f);
  EXPECT_FALSE(script.ScriptInit());
  EXPECT_FALSE(script.initState);
  EXPECT_TRUE(IsNil(script, "runs"));
}

TEST_F(ScriptTest, WithScriptDataInitRunsTwiceBeforeTheFirstUpdate) {
  scripting::Script& script = AddScript(Write(kCounting));
  auto* block = new scripting::ScriptData();
  block->speed = 3.0f;
  object->AddComponent(block);
  ASSERT_TRUE(object->Initialize());  // as the loader does: binds and runs Init
  EXPECT_TRUE(block->bound);
  EXPECT_EQ(script.data, block);
  EXPECT_EQ(Number(script, "inits"), 1);
  EXPECT_TRUE(IsNil(script, "updates"));

  // A second initialisation (a prefab layer, a level loaded again) changes nothing.
  ASSERT_TRUE(object->Initialize());
  EXPECT_EQ(Number(script, "inits"), 1);

  script.Update(0.016f);
  EXPECT_EQ(Number(script, "inits"), 2);
  EXPECT_EQ(Number(script, "updates"), 1);
  EXPECT_EQ(Run(script, "assert(data.speed == 3)"), "");
}

// The block a script saw before its object's ScriptData was attached stays usable.
TEST_F(ScriptTest, BlockAttachedLaterReplacesTheScriptsOwnForTheScript) {
  scripting::Script& script = AddScript(Write(R"(
function Init() end
function Update(dt) kept = kept or data; kept.speed = kept.speed + 1; seen = data.speed end
)"));
  script.Update(0.016f);
  auto* block = new scripting::ScriptData();
  block->speed = 10.0f;
  object->AddComponent(block);
  ASSERT_TRUE(object->Initialize());
  script.Update(0.016f);
  EXPECT_EQ(script.data, block);
  EXPECT_EQ(block->speed, 10.0f);       // the old block took the write
  EXPECT_EQ(Number(script, "seen"), 10);  // data is the object's block
}

TEST_F(ScriptTest, DataStartReadsAsACopyAndIsWrittenAsAWhole) {
  scripting::Script& script = AddScript(Write(R"(
function Init() end
function Update(dt)
  if step == 1 then data.start.x = 5 else data.start = Vector2D(5, 0) end
end
)"));
  Run(script, "step = 1");
  script.Update(0.016f);
  EXPECT_EQ(script.data->start.x, 0.0f);
  Run(script, "step = 2");
  script.Update(0.016f);
  EXPECT_EQ(script.data->start.x, 5.0f);
  EXPECT_EQ(script.data->start.y, 0.0f);
}

// The default script shipped in data/ is an example of the API; it must run clean.
TEST_F(ScriptTest, DefaultScriptCirclesItsObjectAndSwitchesItOffAfterInitTime) {
  auto* transform = new components::Transform(3.0f, 1.0f, 0.0f);
  object->AddComponent(transform);
  scripting::Script& script = AddScript(std::string(VELMARIS_SOURCE_DIR) + "/data/LuaScripts/testlua.lua");
  auto* block = new scripting::ScriptData();
  block->initTime = 2.0f;
  object->AddComponent(block);
  ASSERT_TRUE(object->Initialize());
  const std::string errors = Stderr([&] {
    for (int frame = 0; frame < 10; ++frame) script.Update(0.1f);
  });
  EXPECT_EQ(errors, "");
  // Centre two units left of the start, radius 2 (chosen by Init), 1.5 rad/s.
  EXPECT_FLOAT_EQ(block->start.x, 1.0f);
  EXPECT_FLOAT_EQ(block->angle, 1.5f);
  EXPECT_NEAR(transform->translation.x, 1.0f + 2.0f * std::cos(1.5), 1e-5);
  EXPECT_NEAR(transform->translation.y, 1.0f + 2.0f * std::sin(1.5), 1e-5);
  EXPECT_TRUE(object->IsActive());
  for (int frame = 0; frame < 10; ++frame) script.Update(0.1f);
  EXPECT_FALSE(object->IsActive());
}

}  // namespace
