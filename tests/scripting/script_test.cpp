// The Script component frame by frame: initialisation and its retries, the file run
// every frame, the globals, error reports, ScriptData binding and live reload.
#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <lua.hpp>

#include "components/physics.h"
#include "objects/transform.h"
#include "scripting/script_file.h"
#include "scripting/script_fixture.h"
#include "scripting/script_state.h"

namespace {

using testing_support::Number;
using testing_support::RunLua;
using testing_support::ScriptFixture;

// Init and Update count their calls; the top level counts its runs.
constexpr const char* kCounting = R"(
runs = (runs or 0) + 1
function Init() inits = (inits or 0) + 1 end
function Update(dt) updates = (updates or 0) + 1; lastDt = dt end
)";

// A script whose Update sets the global version to v.
std::string Versioned(int v) {
  return "function Init() end\nfunction Update() version = " + std::to_string(v) + " end\n";
}

// What the script wrote to standard error during frames updates of dt 0.016.
std::string Frames(scripting::Script& script, int frames) {
  ::testing::internal::CaptureStderr();
  for (int frame = 0; frame < frames; ++frame) script.Update(0.016f);
  return ::testing::internal::GetCapturedStderr();
}

using ScriptTest = ScriptFixture;

TEST_F(ScriptTest, EachFailureIsReportedOnceWithTheScriptLine) {
  struct Failure {
    const char* text;  // null: no file
    const char* report;
    double updates;  // NaN: Update never reached
  };
  const double never = std::nan("");
  int index = 0;
  for (const Failure& failure : {
           Failure{nullptr, ": cannot open the file (No such file or directory)", never},
           Failure{"function Init()\n  x = = 1\nend\nfunction Update() updates = 1 end\n",
                   ":2: unexpected symbol near '='", never},
           Failure{"function Init() end\nfunction Update(dt)\n  updates = (updates or 0) + 1\n  "
                   "error('boom')\nend\n",
                   ":4: boom", 3},
           Failure{"function Init() end\nfunction Update(dt)\n  updates = (updates or 0) + 1\n"
                   "  myTransform:TransformAddX('far')\nend\n",
                   ":4: bad argument #1 to 'TransformAddX' (number expected, got string)", 3},
           // Precompiled chunks are refused: Lua does not verify them.
           Failure{"\x1bLuaR\x00\x01\x04\x08\x04\x08\x00", ": attempt to load a binary chunk (mode is 't')",
                   never},
       }) {
    const std::string name = "failure" + std::to_string(index++) + ".lua";
    SCOPED_TRACE(name);
    object = std::make_unique<objects::GameObject>("Hero");
    object->AddComponent(new objects::Transform());
    scripting::Script& script = AddScript(failure.text ? Write(failure.text, name) : name);
    EXPECT_EQ(Frames(script, 3), "SCRIPT: " + script.filename + failure.report + "\n");
    EXPECT_THAT(Number(script, "updates"), ::testing::NanSensitiveDoubleEq(failure.updates));
    EXPECT_LE(script.CompileCount(), 1u);  // a broken file is not compiled again every frame
    EXPECT_EQ(lua_gettop(script.GetState()), 0);
  }
}

// A call that never ends is stopped at its line, reported once, and tried again the
// next frame; neither pcall nor a coroutine gets round the budget.
TEST_F(ScriptTest, RunawayCallIsStoppedAtItsLineAndTheGameGoesOn) {
  struct Runaway {
    const char* text;
    int line;             // where the report places it
    const char* counter;  // a global counting entries into the runaway code
  };
  int index = 0;
  for (const Runaway& runaway : {
           Runaway{"tops = (tops or 0) + 1\nwhile true do end\nfunction Init() end\n", 2, "tops"},
           Runaway{"function Init()\n  inits = (inits or 0) + 1\n  while true do end\nend\n", 3, "inits"},
           Runaway{"function Init() end\nfunction Update()\n  updates = (updates or 0) + 1\n"
                   "  while true do pcall(function() while true do end end) end\nend\n",
                   4, "updates"},
           Runaway{"function Init() end\nfunction Update()\n  updates = (updates or 0) + 1\n"
                   "  while true do coroutine.resume(coroutine.create(function() while true do end end)) "
                   "end\nend\n",
                   4, "updates"},
       }) {
    const std::string name = "runaway" + std::to_string(index++) + ".lua";
    SCOPED_TRACE(name);
    scripting::Script& script = AddScript(Write(runaway.text, name));
    EXPECT_EQ(Frames(script, 2), "SCRIPT: " + script.filename + ":" + std::to_string(runaway.line) +
                                     ": script stopped: more than 50000000 instructions in one call\n");
    EXPECT_EQ(Number(script, runaway.counter), 2);
    EXPECT_EQ(lua_gettop(script.GetState()), 0);
  }
}

// Past its memory cap a script gets Lua's "not enough memory": it may catch it, and
// when it does not, the frame stops as for any error and the next one runs.
TEST_F(ScriptTest, ScriptPastItsMemoryCapGetsNotEnoughMemory) {
  scripting::Script& script = AddScript(Write(R"(
function Init() end
function Update(dt)
  updates = (updates or 0) + 1
  caught = select(2, pcall(string.rep, "x", 80 * 2^20))
  hoard = string.rep("y", 80 * 2^20)
end
)"));
  EXPECT_EQ(Frames(script, 2), "SCRIPT: " + script.filename + ": not enough memory\n");
  EXPECT_EQ(Number(script, "updates"), 2);
  EXPECT_EQ(RunLua(script, "assert(caught == 'not enough memory' and hoard == nil)"), "");
  EXPECT_LE(scripting::MemoryInUse(script.GetState()), scripting::kMemoryCap);
  EXPECT_GT(scripting::MemoryInUse(script.GetState()), 0u);
}

// An error whose text changes every frame is written once for its place; another
// place in the same file gets its own line.
TEST_F(ScriptTest, ChangingErrorTextIsReportedOncePerPlace) {
  scripting::Script& script = AddScript(Write(R"(
function Init() end
function Update(dt)
  frame = (frame or 0) + 1
  if frame > 3 then error("late t=" .. os.clock() .. frame) end
  error("t=" .. os.clock() .. frame)
end
)"));
  const std::string out = Frames(script, 6);
  EXPECT_THAT(out, ::testing::MatchesRegex("SCRIPT: [^\n]*:6: t=[^\n]*\nSCRIPT: [^\n]*:5: late t=[^\n]*\n"));
  EXPECT_EQ(Number(script, "frame"), 6);
}

// Scripts of one file share its state and its compiled chunk; each keeps its own
// globals and is handed its own object.
TEST_F(ScriptTest, ScriptsOfOneFileShareTheStateButNotTheirGlobals) {
  const std::string path = Write(R"(
runs = (runs or 0) + 1
function Init() inits = (inits or 0) + 1; _G.named = data ~= nil end
function Update(dt)
  updates = (updates or 0) + 1
  myTransform:TransformAddX(updates)
  hasPhysics = physics ~= nil
end
)");
  auto* transform = new objects::Transform();
  object->AddComponent(transform);
  scripting::Script& script = AddScript(path);
  objects::GameObject other("Other");
  auto* otherTransform = new objects::Transform();
  other.AddComponent(otherTransform);
  auto* otherScriptComponent = new scripting::Script();
  otherScriptComponent->filename = path;
  other.AddComponent(otherScriptComponent);
  scripting::Script& otherScript = *otherScriptComponent;

  Frames(script, 3);
  EXPECT_EQ(Frames(otherScript, 1), "");
  EXPECT_EQ(script.GetState(), otherScript.GetState());
  EXPECT_EQ(script.CompileCount(), 1u);
  EXPECT_EQ(Number(script, "updates"), 3);
  EXPECT_EQ(Number(otherScript, "updates"), 1);
  EXPECT_EQ(Number(script, "inits"), 1);
  EXPECT_EQ(Number(otherScript, "inits"), 1);
  EXPECT_EQ(transform->translation.x, 6.0f);       // 1 + 2 + 3
  EXPECT_EQ(otherTransform->translation.x, 1.0f);  // its own object
  EXPECT_EQ(RunLua(otherScript, "assert(named == true and rawget(_G, 'updates') == 1)"), "");
  EXPECT_EQ(RunLua(otherScript, "assert(hasPhysics == false)"), "");

  // A component added later reaches the script at its next frame.
  other.AddComponent(new components::Physics());
  otherScript.Update(0.016f);
  EXPECT_EQ(RunLua(otherScript, "assert(hasPhysics == true)"), "");
}

// Once an object is gone, what it lent its script cannot be reached from another
// script of the state: the userdata left behind hold nothing.
TEST_F(ScriptTest, ObjectsOfAScriptThatLeftCannotBeReachedThroughTheSharedState) {
  const std::string path = Write(R"(
function Init() end
function Update(dt)
  if string.kept == nil then string.kept = {myTransform, parent, data} return end
  local ok = pcall(function() string.kept[1]:TransformAddX(1) end)
  local okParent = pcall(function() string.kept[2]:SetActive(false) end)
  local okData = pcall(function() return string.kept[3].speed end)
  blocked = not ok and not okParent and not okData
end
)");
  object->AddComponent(new objects::Transform());
  scripting::Script& script = AddScript(path);
  EXPECT_EQ(Frames(script, 1), "");
  objects::GameObject other("Other");
  other.AddComponent(new objects::Transform());
  auto* otherScript = new scripting::Script();
  otherScript->filename = path;
  other.AddComponent(otherScript);
  EXPECT_EQ(Frames(*otherScript, 1), "");
  EXPECT_EQ(RunLua(*otherScript, "assert(blocked == false)"), "");  // the objects are still alive
  object.reset();
  EXPECT_EQ(Frames(*otherScript, 1), "");
  EXPECT_EQ(RunLua(*otherScript, "assert(blocked == true)"), "");
}

TEST_F(ScriptTest, WithoutGlobalInitUpdateIsNeverReachedAndInitIsRetriedEachFrame) {
  scripting::Script& script = AddScript(Write("runs = (runs or 0) + 1\nfunction Update() updates = 1 end\n"));
  EXPECT_EQ(Frames(script, 3),
            "SCRIPT: " + script.filename + ": global 'Init' is not a function (a nil value)\n");
  EXPECT_EQ(Number(script, "runs"), 3);  // the file ran once per frame, for ScriptInit
  EXPECT_EQ(RunLua(script, "assert(updates == nil)"), "");
  EXPECT_FALSE(script.initState);

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

TEST_F(ScriptTest, EditedFileTakesEffectOnTheNextFrame) {
  const std::string path = Write(Versioned(1));
  scripting::Script& script = AddScript(path);
  Frames(script, 2);
  EXPECT_EQ(Number(script, "version"), 1);
  EXPECT_EQ(script.CompileCount(), 1u);

  Write(Versioned(2));
  script.Update(0.016f);
  EXPECT_EQ(Number(script, "version"), 2);
  EXPECT_EQ(script.CompileCount(), 2u);

  // An error in the top-level code stops the frame before Update.
  Write("function Update() version = 100 end\nerror('top')\n");
  EXPECT_EQ(Frames(script, 1), "SCRIPT: " + path + ":2: top\n");
  EXPECT_EQ(Number(script, "version"), 2);
  EXPECT_EQ(lua_gettop(script.GetState()), 0);

  // A deleted file stops the script as a missing one does; it comes back with it.
  std::filesystem::remove(path);
  scripting::ResetFileChecks();
  EXPECT_EQ(Frames(script, 1), "SCRIPT: " + path + ": cannot open the file (No such file or directory)\n");
  Write(Versioned(3));
  script.Update(0.016f);
  EXPECT_EQ(Number(script, "version"), 3);

  // Another file name loads the other file, even with the old one unchanged.
  script.filename = Write(Versioned(4), "other.lua");
  script.Update(0.016f);
  EXPECT_EQ(Number(script, "version"), 4);
}

TEST_F(ScriptTest, GlobalsHandTheScriptItsObjectAndComponents) {
  auto* transform = new objects::Transform(1.0f, 2.0f, 0.0f);
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
  EXPECT_EQ(RunLua(script, "assert(initData ~= nil)"), "");  // data is set before Init
  EXPECT_EQ(transform->translation.x, 11.0f);
  EXPECT_EQ(physics->velocity.x, 3.0f);
  EXPECT_EQ(physics->velocity.y, 4.0f);
  EXPECT_EQ(script.data->speed, 7.0f);
  EXPECT_FALSE(object->IsActive());
}

TEST_F(ScriptTest, MissingComponentLeavesItsGlobalAsItWasAndNoOwnerRunsNothing) {
  scripting::Script& script = AddScript(Write(R"(
function Init() physics = 42 end
function Update(dt) seenPhysics = physics; seenTransform = myTransform end
)"));
  script.Update(0.016f);
  EXPECT_EQ(Number(script, "seenPhysics"), 42);
  EXPECT_EQ(RunLua(script, "assert(seenTransform == nil)"), "");  // nil in a new state

  scripting::Script orphan;
  orphan.filename = Write(kCounting, "orphan.lua");
  orphan.Update(0.016f);
  EXPECT_FALSE(orphan.ScriptInit());
  EXPECT_FALSE(orphan.initState);
  EXPECT_EQ(RunLua(orphan, "assert(runs == nil)"), "");
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
  EXPECT_EQ(block->speed, 10.0f);         // the old block took the write
  EXPECT_EQ(Number(script, "seen"), 10);  // data is the object's block
}

TEST_F(ScriptTest, DataStartReadsAsACopyAndIsWrittenAsAWhole) {
  scripting::Script& script = AddScript(Write(R"(
function Init() end
function Update(dt)
  if step == 1 then data.start.x = 5 else data.start = Vector2D(5, 0) end
end
)"));
  RunLua(script, "step = 1");
  script.Update(0.016f);
  EXPECT_EQ(script.data->start.x, 0.0f);
  RunLua(script, "step = 2");
  script.Update(0.016f);
  EXPECT_EQ(script.data->start.x, 5.0f);
  EXPECT_EQ(script.data->start.y, 0.0f);
}

// The default script shipped in data/ is an example of the API; it must run clean.
TEST_F(ScriptTest, DefaultScriptCirclesItsObjectAndSwitchesItOffAfterInitTime) {
  auto* transform = new objects::Transform(3.0f, 1.0f, 0.0f);
  object->AddComponent(transform);
  const testing_support::ScopedWorkingDirectory inData(std::string(VELMARIS_SOURCE_DIR) + "/data");
  scripting::Script& script = AddScript("LuaScripts/testlua.lua");
  auto* block = new scripting::ScriptData();
  block->initTime = 2.0f;
  object->AddComponent(block);
  ASSERT_TRUE(object->Initialize());
  ::testing::internal::CaptureStderr();
  for (int frame = 0; frame < 10; ++frame) script.Update(0.1f);
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
  // Centre two units left of the start, radius 2 (chosen by Init), 1.5 rad/s.
  EXPECT_FLOAT_EQ(block->start.x, 1.0f);
  EXPECT_FLOAT_EQ(block->angle, 1.5f);
  EXPECT_NEAR(transform->translation.x, 1.0f + 2.0f * std::cos(1.5), 1e-5);
  EXPECT_NEAR(transform->translation.y, 1.0f + 2.0f * std::sin(1.5), 1e-5);
  EXPECT_TRUE(object->IsActive());
  for (int frame = 0; frame < 10; ++frame) script.Update(0.1f);
  EXPECT_FALSE(object->IsActive());
}

// A file edited behind the scripts' back is seen once the last look at it is the
// watcher's interval old, not at every frame of every object.
std::int64_t g_fakeNow = 0;  // nanoseconds
std::int64_t FakeNow() { return g_fakeNow; }

TEST_F(ScriptTest, EditIsSeenAfterTheCheckIntervalNotAtEveryFrame) {
  g_fakeNow = 0;
  base::FileWatcher& watcher = scripting::ScriptFileWatcher();
  watcher.SetClock(&FakeNow);
  const std::string path = Write(Versioned(1));
  scripting::Script& script = AddScript(path);
  objects::GameObject twinObject("Twin");
  auto* twinScript = new scripting::Script();
  twinScript->filename = path;
  twinObject.AddComponent(twinScript);
  scripting::Script& twin = *twinScript;
  Frames(script, 2);
  Frames(twin, 2);
  const auto before = std::filesystem::last_write_time(path);
  std::ofstream(path, std::ios::trunc) << Versioned(2);
  std::filesystem::last_write_time(path, before + std::chrono::seconds(1));

  constexpr std::int64_t kInterval = base::FileWatcher::kIntervalNanoseconds;
  struct Step {
    std::int64_t after;  // nanoseconds since the first look
    double version;
  };
  for (const Step& step : {Step{0, 1}, Step{kInterval - 1, 1}, Step{kInterval, 2}}) {
    g_fakeNow = step.after;
    script.Update(0.016f);
    twin.Update(0.016f);
    EXPECT_EQ(Number(script, "version"), step.version) << step.after;
    EXPECT_EQ(Number(twin, "version"), step.version) << step.after;
  }
  EXPECT_EQ(script.CompileCount(), 2u);
  watcher.SetClock(&base::SteadyNanoseconds);
}

// While they point at the same objects, the frame globals are the same userdata each
// frame; a new block behind data gives a new one.
TEST_F(ScriptTest, FrameGlobalsAreKeptWhileTheyHoldTheSameObjects) {
  object->AddComponent(new objects::Transform());
  object->AddComponent(new components::Physics());
  scripting::Script& script = AddScript(Write(R"(
function Init() end
function Update(dt)
  same = last ~= nil and rawequal(last[1], parent) and rawequal(last[2], myTransform)
         and rawequal(last[3], physics) and rawequal(last[4], data)
  sameParent = last ~= nil and rawequal(last[1], parent)
  last = {parent, myTransform, physics, data}
  speed = data.speed
end
)"));
  Frames(script, 3);
  EXPECT_EQ(RunLua(script, "assert(same == true)"), "");
  scripting::ScriptData block;
  block.speed = 4.0f;
  script.AttachData(&block);
  script.Update(0.016f);
  EXPECT_EQ(RunLua(script, "assert(same == false and sameParent == true)"), "");
  EXPECT_EQ(Number(script, "speed"), 4);
  script.AttachData(nullptr);
}

// Garbage is collected in steps every frame, even when a script makes too little of
// it for Lua's own collector to start a cycle.
TEST_F(ScriptTest, GarbageIsCollectedAFewFramesAfterItIsMade) {
  scripting::Script& script = AddScript(Write(R"(
function Init() end
function Update(dt)
  frame = (frame or 0) + 1
  if frame == 1 then made = setmetatable({}, {__mode = "k"}); made[{}] = true end
  if not collectedAt and next(made) == nil then collectedAt = frame end
end
)"));
  Frames(script, 300);
  EXPECT_LT(Number(script, "collectedAt"), 300);
}

}  // namespace
