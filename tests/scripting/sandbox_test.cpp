// Level scripts from a level file, through the real loader: what reaches outside the
// game is refused at the script's line, once, and the level goes on; what the
// game's scripts and the scripting API use keeps working; a script that runs away
// every frame is switched off, one that leaves a looping finaliser cannot stop the
// state from closing, and NaN or infinite numbers never become object state.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "base/log.h"
#include "components/physics.h"
#include "objects/transform.h"
#include "scripting/script.h"
#include "scripting/script_data.h"
#include "scripting/script_file.h"
#include "scripting/script_fixture.h"
#include "serialization/serializer_fixture.h"

namespace {

using ::testing::HasSubstr;
using testing_support::SerializerFixture;

class SandboxTest : public SerializerFixture {
 protected:
  void SetUp() override {
    SerializerFixture::SetUp();
    base::ResetLogOnce();
    std::filesystem::create_directories(folder / "LuaScripts");
    Write("LuaScripts/steady.lua",
          "function Init() end\nfunction Update(dt) updates = (updates or 0) + 1 end\n");
  }
  void TearDown() override {
    spaces.Clear();
    scripting::ResetFileChecks();
    base::ResetLogOnce();
    SerializerFixture::TearDown();
  }

  // Loads a level of two objects, "Hostile" (with a Transform, a Physics and a
  // ScriptData) running `body` as line 3 of its Update and "Steady" counting its
  // updates; runs `frames` frames and returns what was written to standard error.
  std::string RunHostile(const std::string& name, const std::string& body, int frames = 3) {
    Write("LuaScripts/" + name, "function Init() end\nfunction Update(dt)\n  " + body + "\nend\n");
    Load(R"({"Level": {"Hostile": {"Script": {"filename": "LuaScripts/)" + name +
         R"("}, "Transform": {}, "Physics": {}, "ScriptData": {}},
               "Steady": {"Script": {"filename": "LuaScripts/steady.lua"}}}})");
    return Frames(frames);
  }

  // Runs frames of the level; returns what was written to standard error.
  std::string Frames(int frames) {
    ::testing::internal::CaptureStderr();
    for (int frame = 0; frame < frames; ++frame) spaces.UpdateSpaces(0.016f);
    return ::testing::internal::GetCapturedStderr();
  }

  double HostileGlobal(const char* name) {
    auto* script = ComponentOf<scripting::Script>("Level", "Hostile", "Script");
    return script != nullptr ? testing_support::Number(*script, name) : std::nan("");
  }

  double SteadyUpdates() {
    auto* script = ComponentOf<scripting::Script>("Level", "Steady", "Script");
    return script != nullptr ? testing_support::Number(*script, "updates") : 0;
  }
};

TEST_F(SandboxTest, WhatReachesOutsideIsRefusedAtItsLineOnceAndTheLevelGoesOn) {
  struct Attack {
    const char* body;
    const char* error;
  };
  const Attack attacks[] = {
      {"os.execute('touch pwned')", "os.execute is not available to level scripts"},
      {"os.remove('LuaScripts/steady.lua')", "os.remove is not available to level scripts"},
      {"local home = os.getenv('HOME')", "os.getenv is not available to level scripts"},
      {"os.exit(3)", "os.exit is not available to level scripts"},
      {"io.open('pwned', 'w'):write('x')", "io is not available to level scripts"},
      {"local f = io.lines('/etc/passwd')", "io is not available to level scripts"},
      {"package.loadlib('libc.so.6', 'system')", "package is not available to level scripts"},
      {"require('os')", "require is not available to level scripts"},
      {"require('../../outside')", "require is not available to level scripts"},
      {"dofile('/etc/passwd')", "dofile is not available to level scripts"},
      {"loadfile('LuaScripts/steady.lua')", "loadfile is not available to level scripts"},
      {"debug.sethook()", "debug is not available to level scripts"},
      {"string.dump(Init)", "string.dump is not available to level scripts"},
      {"local dump = ('').dump; dump(Init)", "string.dump is not available to level scripts"},
      {"local s = getmetatable('').__index", "attempt to index a boolean value"},
      {"assert(load('\\27LuaR\\0\\1\\4\\8\\4\\8\\0'))", "attempt to load a binary chunk (mode is 't')"},
      {"load('return 1', 'x', 'b')", "binary chunks are not available to level scripts"},
      {"local G = getmetatable(_ENV).__index; G.os.execute('touch pwned')",
       "os.execute is not available to level scripts"},
      {"local _ENV = {o = os}; o.execute('touch pwned')", "os.execute is not available to level scripts"},
      {"rawget(os, 'execute')('touch pwned')", "attempt to call a nil value"},
      {"setmetatable(os, nil)", "cannot change a protected metatable"},
      {"setmetatable({}, {__gc = function() while true do end end})",
       "a metatable with __gc is not available to level scripts"},
      {"Transform.__class.__gc = print", "attempt to index field '__class' (a nil value)"},
      {"rawset(myTransform.__const, '__gc', print)", "bad argument #1 to 'rawset' (table expected, got nil)"},
      {"myTransform.__gc(myTransform)", "attempt to call field '__gc' (a nil value)"},
      {"collectgarbage('stop')", "collectgarbage(\"stop\") is not available to level scripts"},
  };
  int index = 0;
  for (const Attack& attack : attacks) {
    SCOPED_TRACE(attack.body);
    spaces.Clear();
    const std::string name = "hostile" + std::to_string(index++) + ".lua";
    const std::string report = RunHostile(name, attack.body);
    EXPECT_THAT(report, ::testing::StartsWith("SCRIPT: LuaScripts/" + name + ":3: "));
    EXPECT_THAT(report, HasSubstr(attack.error));
    EXPECT_EQ(std::count(report.begin(), report.end(), '\n'), 1) << report;  // once, not every frame
    EXPECT_EQ(SteadyUpdates(), 3);
  }
  EXPECT_FALSE(std::filesystem::exists(folder / "pwned"));
  EXPECT_TRUE(std::filesystem::exists(folder / "LuaScripts/steady.lua"));
}

// A script file named by code, not by a level: the script itself keeps to the data
// folder and to plain files, reporting the refusal once.
TEST_F(SandboxTest, AScriptFileOutsideTheDataFolderOrNotPlainIsNeverRead) {
  ASSERT_EQ(::mkfifo((folder / "LuaScripts/pipe.lua").c_str(), 0600), 0);
  std::filesystem::create_directory_symlink(std::filesystem::temp_directory_path(), folder / "tmp");
  const struct {
    const char* filename;
    const char* refusal;
  } cases[] = {
      {"/etc/passwd", "refused: the name is an absolute path"},
      {"LuaScripts/../../x.lua", "refused: the name climbs out of the data folder"},
      {"tmp/x.lua", "refused: the name leads out of the data folder through the symbolic link \"tmp\""},
      {"LuaScripts/pipe.lua", "refused: is a FIFO (named pipe), not a plain file"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.filename);
    objects::GameObject object("Hero");
    auto* script = new scripting::Script();
    script->filename = c.filename;
    object.AddComponent(script);
    ::testing::internal::CaptureStderr();
    for (int frame = 0; frame < 3; ++frame) script->Update(0.016f);
    const std::string report = ::testing::internal::GetCapturedStderr();
    EXPECT_THAT(report, ::testing::StartsWith(std::string("SCRIPT: ") + c.filename + ": " + c.refusal));
    EXPECT_EQ(std::count(report.begin(), report.end(), '\n'), 1) << report;
  }
}

TEST_F(SandboxTest, WhatTheGamesScriptsAndTheApiUseKeepsWorking) {
  const std::string report = RunHostile("allowed.lua", R"(
    assert(type(os.clock()) == 'number' and type(os.time()) == 'number')
    assert(type(os.date('%Y')) == 'string' and os.difftime(5, 3) == 2)
    assert(string.format('%d-%s', 3, 'x') == '3-x' and ('abc'):upper() == 'ABC')
    assert(table.concat({1, 2}, ',') == '1,2' and math.floor(math.pi) == 3 and bit32.band(6, 3) == 2)
    assert(select('#', 1, 2) == 2 and tostring(nil) == 'nil' and tonumber('4') == 4)
    assert(load('return 1 + 1')() == 2 and pcall(error, 'caught') == false)
    local co = coroutine.wrap(function() coroutine.yield(7) end)
    assert(co() == 7)
    local weak = setmetatable({}, {__mode = 'k', __index = function() return 5 end})
    assert(weak.anything == 5 and getmetatable(weak).__mode == 'k')
    assert(collectgarbage('count') > 0 and collectgarbage() == 0)
    assert(missingGlobal == nil and Math.abs(-2) == 2 and Vector2D(1, 2).y == 2)
    done = true)");
  EXPECT_EQ(report, "");
  auto* script = ComponentOf<scripting::Script>("Level", "Hostile", "Script");
  ASSERT_NE(script, nullptr);
  EXPECT_EQ(testing_support::RunLua(*script, "assert(done == true)"), "");
}

// The script's Update runs away on the frames its pattern marks 'x' (from the first).
std::string Runaway(const std::string& pattern) {
  return "pattern = '" + pattern +
         "'\nfunction Init() end\nfunction Update(dt)\n  calls = (calls or 0) + 1\n"
         "  if pattern:sub(calls, calls) == 'x' then while true do end end\nend\n";
}

constexpr const char* kStopped =
    "SCRIPT: LuaScripts/runaway.lua:5: script stopped: more than 50000000 instructions in one call\n";
constexpr const char* kSwitchedOff =
    "SCRIPT: LuaScripts/runaway.lua:5: script switched off: 3 calls in a row ran out of the instruction "
    "budget; it runs again once the file changes\n";

TEST_F(SandboxTest, AnUpdateThatRunsAwayFrameAfterFrameIsSwitchedOffUntilItsFileChanges) {
  const struct {
    const char* pattern;
    int frames;
    double calls;  // Update calls made
    bool switchedOff;
  } cases[] = {
      {"xxxxx", 5, 3, true},
      {"xxoxxox", 7, 7, false},  // a call that ends in time starts the count again
      {"oxxxo", 5, 4, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.pattern);
    spaces.Clear();
    base::ResetLogOnce();
    Write("LuaScripts/runaway.lua", Runaway(c.pattern));
    scripting::ResetFileChecks();
    Load(R"({"Level": {"Hostile": {"Script": {"filename": "LuaScripts/runaway.lua"}},
                       "Steady": {"Script": {"filename": "LuaScripts/steady.lua"}}}})");
    const std::string report = Frames(c.frames);
    EXPECT_EQ(report, std::string(kStopped) + (c.switchedOff ? kSwitchedOff : ""));
    EXPECT_EQ(HostileGlobal("calls"), c.calls);
    EXPECT_EQ(SteadyUpdates(), c.frames);
  }
  // Saving the file (a new version) switches the last one on again; the same
  // version stays off.
  EXPECT_EQ(Frames(2), "");
  EXPECT_EQ(HostileGlobal("calls"), 4);
  Write("LuaScripts/runaway.lua", Runaway("oo"));
  scripting::ResetFileChecks();
  EXPECT_EQ(Frames(2), "");
  EXPECT_EQ(HostileGlobal("calls"), 6);
}

// Lua runs finalisers outside the instruction budget, so no script may leave one
// behind: closing the state (the level's end, the game's exit) must return whatever
// a script kept in its globals. Run in a child process, which is ended if it hangs.
TEST_F(SandboxTest, WhatAScriptKeepsInItsGlobalsCannotStopItsStateClosing) {
  const struct {
    const char* body;
    const char* error;  // "" when the script runs without one
  } cases[] = {
      {"keep = setmetatable({}, {__gc = function() while true do end end})", "a metatable with __gc"},
      {"local mt = {}; keep = setmetatable({}, mt); mt.__gc = function() while true do end end", ""},
      {"keep = Transform(0, 0, 0); Transform.__class.__gc = function() while true do end end",
       "attempt to index field '__class'"},
      {"keep = Vector2D(0, 0); rawset(keep.__const or keep.__parent, '__gc', function() while true do end "
       "end)",
       "bad argument #1 to 'rawset'"},
      {"keep = myTransform; keep.__gc = function() while true do end end", "no writable variable '__gc'"},
  };
  int index = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.body);
    spaces.Clear();
    const std::string name = "keeper" + std::to_string(index++) + ".lua";
    const std::string errors = (folder / (name + ".err")).string();
    const pid_t child = ::fork();
    if (child == 0) {
      std::ofstream(errors) << RunHostile(name, c.body);
      spaces.Clear();  // the last script of each file closes its state
      ::_exit(0);
    }
    int status = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (::waitpid(child, &status, WNOHANG) == 0) {
      if (std::chrono::steady_clock::now() > deadline) {
        ::kill(child, SIGKILL);
        ::waitpid(child, &status, 0);
        ADD_FAILURE() << "the script state did not close";
        break;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    std::ostringstream report;
    report << std::ifstream(errors).rdbuf();
    if (*c.error == '\0') {
      EXPECT_EQ(report.str(), "");
    } else {
      EXPECT_THAT(report.str(), HasSubstr("SCRIPT: LuaScripts/" + name + ":3: "));
      EXPECT_THAT(report.str(), HasSubstr(c.error));
    }
  }
}

// Every binding that takes a number into object state refuses NaN, infinities and
// values past the 32-bit float range, as level files do, at the script's line; the
// object keeps what it had.
TEST_F(SandboxTest, NaNAndInfiniteNumbersAreRefusedByEveryBindingThatKeepsThem) {
  const struct {
    const char* body;
    const char* refusal;  // after "number in the 32-bit float range expected, got "
  } cases[] = {
      {"myTransform:TransformAddX(0/0)", "nan"},
      {"myTransform:TransformAddY(math.huge)", "inf"},
      {"myTransform:TransformAddZ(-math.huge)", "-inf"},
      {"myTransform:TransformSetTranslation(0, 0/0, 0, 1)", "nan"},
      {"myTransform:TransformSetRotation(math.huge)", "inf"},
      {"myTransform:TransformSetScale(1, 1e39)", "1e+39"},
      {"physics:SetVelocity(Vector2D(0/0, 0))", "nan"},
      {"local v = physics:GetVelocity(); v.y = -math.huge; physics:SetVelocity(v)", "-inf"},
      {"physics:SetStartPosition(Vector2D(0, math.huge))", "inf"},
      {"data.speed = 0/0", "nan"},
      {"data.angle = math.huge", "inf"},
      {"data.radius = -1e300", "-1e+300"},
      {"data.start = Vector2D(math.huge, 0)", "inf"},
      {"local t = Transform(0/0, 0, 0)", "nan"},
      {"local c = XMFLOAT4(1, 2, 0/0, 4)", "nan"},
      {"local t = Timer(1); t:Update(0/0)", "nan"},
      {"local t = Timer(1); t.timePassed = math.huge", "inf"},
  };
  int index = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.body);
    spaces.Clear();
    const std::string name = "nan" + std::to_string(index++) + ".lua";
    const std::string report = RunHostile(name, c.body);
    EXPECT_THAT(report, ::testing::StartsWith("SCRIPT: LuaScripts/" + name + ":3: "));
    EXPECT_THAT(report, ::testing::EndsWith(std::string("number in the 32-bit float range expected, got ") +
                                            c.refusal + ")\n"));
    EXPECT_EQ(std::count(report.begin(), report.end(), '\n'), 1) << report;
    auto* transform = ComponentOf<objects::Transform>("Level", "Hostile", "Transform");
    auto* physics = ComponentOf<components::Physics>("Level", "Hostile", "Physics");
    auto* data = ComponentOf<scripting::ScriptData>("Level", "Hostile", "ScriptData");
    ASSERT_TRUE(transform != nullptr && physics != nullptr && data != nullptr);
    for (const float value :
         {transform->translation.x, transform->translation.y, transform->translation.z, transform->rotation,
          transform->scale.x, transform->scale.y, physics->velocity.x, physics->velocity.y,
          physics->previousPosition.x, physics->previousPosition.y, data->speed, data->angle, data->radius,
          data->start.x, data->start.y}) {
      EXPECT_TRUE(std::isfinite(value));
    }
    EXPECT_EQ(SteadyUpdates(), 3);
  }
}

}  // namespace
