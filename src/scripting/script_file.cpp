// The compiled chunk cache behind live reload: a look at the file on disk, taken at
// most a few times a second for all scripts together, decides whether the file must
// be compiled again.
#include "scripting/script_file.h"

#include <cerrno>
#include <cstring>

#include <lua.hpp>
#include <sys/stat.h>

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

// The look at path, taken anew when the last one is kFileCheckInterval old.
const FileChecks::Look& LookAt(const std::string& path) {
  FileChecks& checks = GetFileChecks();
  const auto now = checks.now();
  auto [entry, added] = checks.looks.try_emplace(path);
  FileChecks::Look& look = entry->second;
  if (!added && now - look.when < kFileCheckInterval) return look;
  look.when = now;
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) {
    look.error = errno;
    look.signature = {};
    return look;
  }
  look.error = 0;
  look.signature = {static_cast<std::int64_t>(info.st_mtim.tv_sec),
                    static_cast<std::int64_t>(info.st_mtim.tv_nsec), static_cast<std::int64_t>(info.st_size),
                    static_cast<std::uint64_t>(info.st_ino), static_cast<std::uint64_t>(info.st_dev)};
  return look;
}

}  // namespace

FileChecks& GetFileChecks() {
  static FileChecks checks;
  return checks;
}

void ResetFileChecks() { GetFileChecks().looks.clear(); }

bool ScriptFile::Compile(lua_State* L, const std::string& path, std::string* error) {
  Release(L);
  ++compiles_;
  const int top = lua_gettop(L);
  if (!lua_checkstack(L, 3)) {
    *error = path + ": stack overflow";
    return false;
  }
  lua_pushcfunction(L, &CompileThunk);
  lua_pushlightuserdata(L, const_cast<char*>(path.c_str()));
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

bool ScriptFile::Push(lua_State* L, const std::string& path, std::string* error) {
  const FileChecks::Look& look = LookAt(path);
  if (look.error != 0) {
    // Gone (or never there): behave as a load that fails, and compile afresh once
    // the file is back.
    Release(L);
    known_ = false;
    *error = path + ": cannot open the file (" + std::strerror(look.error) + ")";
    return false;
  }
  const FileSignature& now = look.signature;
  if (!known_ || now != signature_ || path != path_) {
    known_ = true;
    signature_ = now;
    path_ = path;
    if (!Compile(L, path, error)) return false;
  } else if (!hasChunk_) {
    *error = compileError_;
    return false;
  }
  if (!lua_checkstack(L, 1)) {
    *error = path + ": stack overflow";
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

void ScriptFile::ReleaseEnvironment(lua_State* L) {
  if (!hasChunk_ || !lua_checkstack(L, 2)) return;
  lua_rawgetp(L, LUA_REGISTRYINDEX, this);
  // A fresh empty chunk's _ENV holds the state's globals and no script's environment.
  if (luaL_loadbuffer(L, "", 0, "=globals") == LUA_OK) lua_upvaluejoin(L, -2, 1, -1, 1);
  lua_pop(L, 2);
}

}  // namespace scripting
