// The shared state of one script file: made with the level scripts' libraries and the
// API once, and closed when the last Script running the file lets it go.
#include "scripting/script_host.h"

#include <iterator>
#include <map>

#include <lua.hpp>

#include "base/log.h"
#include "scripting/binding/protected_call.h"
#include "scripting/sandbox.h"
#include "scripting/script_state.h"
#include "scripting/scripting_api.h"

namespace scripting {

std::shared_ptr<ScriptHost> ScriptHost::Of(const std::string& path) {
  // Keyed by the path as scripts name it; a host lives only as long as its Scripts.
  static std::map<std::string, std::weak_ptr<ScriptHost>> hosts;
  std::weak_ptr<ScriptHost>& entry = hosts[path];
  if (std::shared_ptr<ScriptHost> host = entry.lock()) return host;
  lua_State* L = NewScriptState();
  if (L == nullptr) {
    base::LogErrorOnce("SCRIPT", "cannot create a Lua state: out of memory; scripts do not run");
    return nullptr;
  }
  std::shared_ptr<ScriptHost> host(new ScriptHost(L, path));
  try {
    RunProtected(L, [&host](lua_State* state) {
      OpenSandboxedLibraries(state);
      RegisterScriptingApi(state);
      // In the order of Name.
      static const char* const kNames[] = {"myTransform", "parent", "physics", "data", "Init", "Update"};
      lua_createtable(state, static_cast<int>(std::size(kNames)), 0);
      for (const char* name : kNames) {
        lua_pushstring(state, name);
        lua_rawseti(state, -2, static_cast<int>(lua_rawlen(state, -2)) + 1);
      }
      host->names_ = luaL_ref(state, LUA_REGISTRYINDEX);
    });
  } catch (const LuaException& error) {
    base::LogErrorOnce("SCRIPT",
                       std::string("cannot set up a Lua state: ") + error.what() + "; scripts do not run");
    return nullptr;
  }
  entry = host;
  return host;
}

ScriptHost::ScriptHost(lua_State* state, const std::string& path) : state_(state), file_(path) {}

ScriptHost::~ScriptHost() {
  file_.Release(state_);
  CloseScriptState(state_);
}

void ScriptHost::PushNames(lua_State* L) const { lua_rawgeti(L, LUA_REGISTRYINDEX, names_); }

bool ScriptHost::CollectorTurn(long scripts) {
  if (++callsSinceCollectorTurn_ < scripts) return false;
  callsSinceCollectorTurn_ = 0;
  return true;
}

void PushNewEnvironment(lua_State* L) {
  lua_createtable(L, 0, 8);
  lua_pushvalue(L, -1);
  lua_setfield(L, -2, "_G");
  lua_createtable(L, 0, 1);
  lua_rawgeti(L, LUA_REGISTRYINDEX, LUA_RIDX_GLOBALS);
  lua_setfield(L, -2, "__index");
  lua_setmetatable(L, -2);
}

}  // namespace scripting
