// A fixture for Script tests: a scratch folder for script files, a game object to
// carry the components, and reads of the script's Lua globals.
#pragma once

#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include <gtest/gtest.h>
#include <lua.hpp>
#include <unistd.h>

#include "base/log.h"
#include "objects/game_object.h"
#include "scripting/binding/binding.h"
#include "scripting/script.h"
#include "scripting/script_data.h"
#include "scripting/script_file.h"
#include "working_directory.h"

namespace testing_support {

// The script's global as a number; NaN when it is not a number.
inline double Number(scripting::Script& script, const char* name) {
  lua_State* L = script.GetState();
  if (!script.PushGlobals()) return std::nan("");
  lua_getfield(L, -1, name);
  const double value = lua_isnumber(L, -1) ? lua_tonumber(L, -1) : std::nan("");
  lua_pop(L, 2);
  return value;
}

// Runs a chunk of Lua with the script's globals; returns the error text, or "" when it ran.
inline std::string RunLua(scripting::Script& script, const std::string& code) {
  lua_State* L = script.GetState();
  if (luaL_loadstring(L, code.c_str()) == LUA_OK) {
    script.PushGlobals();
    lua_setupvalue(L, -2, 1);
    if (lua_pcall(L, 0, 0, 0) == LUA_OK) return "";
  }
  std::string error = lua_tostring(L, -1);
  lua_pop(L, 1);
  return error;
}

// Sets the script's global name to an engine object, by pointer.
template <class T>
void SetScriptGlobal(scripting::Script& script, const char* name, T* object) {
  scripting::RunProtected(script.GetState(), [&](lua_State* L) {
    script.PushGlobals();
    scripting::binding::Push(L, object);
    lua_setfield(L, -2, name);
  });
}

// Gives the script's state the io and debug libraries that level scripts lack: for
// tests of the binding's own defences against Lua code that can swap metatables and
// upvalues.
inline void GiveIoAndDebug(scripting::Script& script) {
  scripting::RunProtected(script.GetState(), [](lua_State* L) {
    luaL_requiref(L, LUA_IOLIBNAME, luaopen_io, 1);
    luaL_requiref(L, LUA_DBLIBNAME, luaopen_debug, 1);
  });
}

class ScriptFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    base::ResetLogOnce();
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    folder = std::filesystem::temp_directory_path() /
             ("velmaris_script_" + std::to_string(::getpid()) + "_" + test->name());
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    inFolder = std::make_unique<ScopedWorkingDirectory>(folder);
  }
  void TearDown() override {
    object.reset();
    inFolder.reset();
    std::filesystem::remove_all(folder);
    base::ResetLogOnce();
  }

  // Writes a script file into the scratch folder, the working directory (the data
  // folder, as far as scripts see); returns its name there. When the
  // file existed, its modification time is moved a second past the old one, so the
  // change is seen even on file systems with coarse time stamps, and the scripts'
  // looks at their files are forgotten.
  std::string Write(const std::string& text, const std::string& name = "script.lua") {
    const std::filesystem::path path = folder / name;
    std::error_code error;
    const auto before = std::filesystem::last_write_time(path, error);
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
    if (!error) std::filesystem::last_write_time(path, before + std::chrono::seconds(1));
    scripting::ResetFileChecks();  // the next frame sees the edit at once
    return name;
  }

  // A Script on `object` running the file at path.
  scripting::Script& AddScript(const std::string& path) {
    auto* script = new scripting::Script();
    script->filename = path;
    object->AddComponent(script);
    return *script;
  }

  std::unique_ptr<objects::GameObject> object = std::make_unique<objects::GameObject>("Hero");
  std::filesystem::path folder;
  std::unique_ptr<ScopedWorkingDirectory> inFolder;
};

}  // namespace testing_support
