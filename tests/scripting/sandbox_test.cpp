// Level scripts from a level file, through the real loader: what reaches outside the
// game is refused at the script's line, once, and the level goes on; what the
// game's scripts and the scripting API use keeps working.
#include <algorithm>
#include <filesystem>
#include <string>

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "base/log.h"
#include "scripting/script.h"
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

  // Loads a level of two objects, "Hostile" running `body` as line 3 of its Update
  // and "Steady" counting its updates; runs three frames and returns what was
  // written to standard error.
  std::string RunHostile(const std::string& name, const std::string& body) {
    Write("LuaScripts/" + name, "function Init() end\nfunction Update(dt)\n  " + body + "\nend\n");
    Load(R"({"Level": {"Hostile": {"Script": {"filename": "LuaScripts/)" + name +
         R"("}}, "Steady": {"Script": {"filename": "LuaScripts/steady.lua"}}}})");
    ::testing::internal::CaptureStderr();
    for (int frame = 0; frame < 3; ++frame) spaces.UpdateSpaces(0.016f);
    return ::testing::internal::GetCapturedStderr();
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

}  // namespace
