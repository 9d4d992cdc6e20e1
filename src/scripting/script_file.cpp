// The compiled chunk cache behind live reload: a look at the file on disk, taken at
// most a few times a second for all scripts together, decides whether the file must
// be compiled again.
#include "scripting/script_file.h"

#include <cerrno>
#include <cstring>
#include <utility>

#include <lua.hpp>
#include <sys/stat.h>

#include "base/data_path.h"
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

// Brings the look up to date: taken anew when it was forgotten or is
// kFileCheckInterval old. The name is resolved again at each look, so that a link
// put in since cannot lead the script out of the data folder.
void Refresh(FileChecks::Look& look, const std::string& path) {
  const auto now = GetFileChecks().now();
  if (look.taken && now - look.when < kFileCheckInterval) return;
  look.taken = true;
  look.when = now;
  look.error = 0;
  look.signature = {};
  const base::ResolvedPath resolved = base::ResolveDataPath(path);
  look.opened = resolved.path;
  look.refusal = resolved.Inside() ? std::string() : "the name " + resolved.reason;
  if (!resolved.Inside()) return;
  struct stat info {};
  if (::stat(look.opened.c_str(), &info) != 0) {
    look.error = errno;
    return;
  }
  // Reading a FIFO or a device would block the game or never end.
  look.refusal = base::RefusalOf(info, base::kScriptLimit);
  if (!look.refusal.empty()) return;
  look.signature = {static_cast<std::int64_t>(info.st_mtim.tv_sec),
                    static_cast<std::int64_t>(info.st_mtim.tv_nsec), static_cast<std::int64_t>(info.st_size),
                    static_cast<std::uint64_t>(info.st_ino), static_cast<std::uint64_t>(info.st_dev)};
}

}  // namespace

FileChecks& GetFileChecks() {
  static FileChecks checks;
  return checks;
}

void ResetFileChecks() {
  for (auto& [path, look] : GetFileChecks().looks) look.taken = false;
}

ScriptFile::ScriptFile(std::string path) : path_(std::move(path)), look_(&GetFileChecks().looks[path_]) {}

bool ScriptFile::Compile(lua_State* L, std::string* error) {
  Release(L);
  ++compiles_;
  const int top = lua_gettop(L);
  if (!lua_checkstack(L, 3)) {
    *error = path_ + ": stack overflow";
    return false;
  }
  lua_pushcfunction(L, &CompileThunk);
  lua_pushlightuserdata(L, const_cast<char*>(look_->opened.c_str()));
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
  FileChecks::Look& look = *look_;
  Refresh(look, path_);
  if (look.error != 0 || !look.refusal.empty()) {
    // Gone (or never there, or refused): behave as a load that fails, and compile
    // afresh once the file is back.
    Release(L);
    known_ = false;
    *error = path_ + ": " +
             (look.error != 0 ? "cannot open the file (" + std::string(std::strerror(look.error)) + ")"
                              : "refused: " + look.refusal);
    return false;
  }
  const FileSignature& now = look.signature;
  if (!known_ || now != signature_) {
    known_ = true;
    signature_ = now;
    if (!Compile(L, error)) return false;
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

bool IsJoinable(lua_State* L, int index) {
  if (lua_type(L, index) != LUA_TFUNCTION || lua_iscfunction(L, index)) return false;
  if (lua_getupvalue(L, index, 1) == nullptr) return false;
  lua_pop(L, 1);
  return true;
}

void ScriptFile::ReleaseEnvironment(lua_State* L) {
  if (!hasChunk_ || !lua_checkstack(L, 2)) return;
  lua_rawgetp(L, LUA_REGISTRYINDEX, this);
  // A fresh empty chunk's _ENV holds the state's globals and no script's environment.
  if (luaL_loadbuffer(L, "", 0, "=globals") == LUA_OK && IsJoinable(L, -2)) lua_upvaluejoin(L, -2, 1, -1, 1);
  lua_pop(L, 2);
}

}  // namespace scripting
