// The compiled chunk cache behind live reload: a look of the script files' watcher
// decides whether the file must be compiled again.
#include "scripting/script_file.h"

#include <cstring>
#include <utility>

#include <lua.hpp>

#include "base/file_read.h"
#include "scripting/binding/lua_exception.h"

namespace scripting {
namespace {

// Runs in protected mode: loads the file named by argument 1 and stores the
// compiled chunk in the registry under the key argument 2 (both light userdata);
// raises the load error.
int CompileThunk(lua_State* L) {
  const char* path = static_cast<const char*>(lua_touserdata(L, 1));
  const void* key = lua_touserdata(L, 2);
  // Text only: Lua does not verify precompiled chunks, and a broken one can crash it.
  if (luaL_loadfilex(L, path, "t") != LUA_OK) return lua_error(L);
  lua_rawsetp(L, LUA_REGISTRYINDEX, key);
  return 0;
}

// Why the file of a look cannot be compiled; empty when it can.
std::string Refusal(const base::FileLook& look) {
  if (!look.refusal.empty()) return "refused: " + look.refusal;
  if (!look.stamp.Exists())
    return "cannot open the file (" + std::string(std::strerror(look.stamp.error)) + ")";
  // Reading a FIFO or a device would block the game or never end. The look only
  // tells that the file is refused; the read check says why, in the words every
  // other file's refusal uses.
  if (!look.stamp.plain || static_cast<std::uintmax_t>(look.stamp.size) > base::kScriptLimit.bytes) {
    return "refused: " + base::CheckReadable(look.file, base::kScriptLimit).Said();
  }
  return {};
}

}  // namespace

base::FileWatcher& ScriptFileWatcher() {
  static base::FileWatcher watcher(&base::SteadyNanoseconds, base::WatchedNames::kInsideDataFolder);
  return watcher;
}

void ResetFileChecks() { ScriptFileWatcher().LookAgain(); }

ScriptFile::ScriptFile(std::string path) : path_(std::move(path)) {}

bool ScriptFile::Compile(lua_State* L, const std::string& file, std::string* error) {
  Release(L);
  ++compiles_;
  const int top = lua_gettop(L);
  if (!lua_checkstack(L, 3)) {
    *error = path_ + ": stack overflow";
    return false;
  }
  lua_pushcfunction(L, &CompileThunk);
  lua_pushlightuserdata(L, const_cast<char*>(file.c_str()));
  lua_pushlightuserdata(L, this);
  const bool ok = lua_pcall(L, 2, 0, 0) == LUA_OK;
  if (ok) {
    hasChunk_ = true;
    compileError_.clear();
  } else {
    compileError_ = LuaException(L).what();
  }
  lua_settop(L, top);
  if (!ok) *error = compileError_;
  return ok;
}

bool ScriptFile::Push(lua_State* L, std::string* error) {
  const base::FileLook& look = ScriptFileWatcher().Look(path_);
  if (const std::string refusal = Refusal(look); !refusal.empty()) {
    // Gone (or never there, or refused): behave as a load that fails, and compile
    // afresh once the file is back.
    Release(L);
    known_ = false;
    *error = path_ + ": " + refusal;
    return false;
  }
  if (!known_ || look.stamp != stamp_) {
    known_ = true;
    stamp_ = look.stamp;
    if (!Compile(L, look.file, error)) return false;
  } else if (!hasChunk_) {
    *error = compileError_;
    return false;
  }
  if (!lua_checkstack(L, 1)) {
    *error = path_ + ": stack overflow";
    return false;
  }
  lua_rawgetp(L, LUA_REGISTRYINDEX, this);
  return true;
}

void ScriptFile::Release(lua_State* L) {
  if (hasChunk_ && L != nullptr) {
    // Clearing a key that exists does not allocate, so this cannot raise.
    lua_pushnil(L);
    lua_rawsetp(L, LUA_REGISTRYINDEX, this);
  }
  hasChunk_ = false;
}

bool ScriptFile::Changed() const {
  const base::FileLook& look = ScriptFileWatcher().Look(path_);
  return !look.refusal.empty() || look.stamp != stamp_;
}

void ScriptFile::ReleaseEnvironment(lua_State* L) {
  if (!hasChunk_ || !lua_checkstack(L, 2)) return;
  lua_rawgetp(L, LUA_REGISTRYINDEX, this);
  // A fresh empty chunk's _ENV holds the state's globals and no script's environment.
  if (luaL_loadbuffer(L, "", 0, "=globals") == LUA_OK) lua_upvaluejoin(L, -2, 1, -1, 1);
  lua_pop(L, 2);
}

}  // namespace scripting
