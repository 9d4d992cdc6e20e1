// The shared state of one script file: made with every standard library and the API
// once, and closed when the last Script running the file lets it go.
#include "scripting/script_host.h"

#include <iterator>
#include <map>

#include <lua.hpp>

#include "base/log.h"
#include "scripting/binding/protected_call.h"
#include "scripting/script_state.h"
#include "scripting/scripting_api.h"

namespace scripting {
namespace {

// Every standard library, in the order luaL_openlibs opens them.
void OpenStandardLibraries(lua_State* L) {
  static const luaL_Reg kLibraries[] = {
      {"_G", luaopen_base},
      {LUA_LOADLIBNAME, luaopen_package},
      {LUA_COLIBNAME, luaopen_coroutine},
      {LUA_TABLIBNAME, luaopen_table},
      {LUA_IOLIBNAME, luaopen_io},
      {LUA_OSLIBNAME, luaopen_os},
      {LUA_STRLIBNAME, luaopen_string},
      {LUA_BITLIBNAME, luaopen_bit32},
      {LUA_MATHLIBNAME, luaopen_math},
      {LUA_DBLIBNAME, luaopen_debug},
  };
  for (const luaL_Reg& library : kLibraries) {
    luaL_requiref(L, library.name, library.func, 1);
    lua_pop(L, 1);
  }
}

// Stands in for setmetatable and debug.setmetatable: notes in the flag (upvalue 2)
// when the metatable given has "__gc", as Lua itself looks at it, then runs the
// library's own function (upvalue 1) in this same call, so that its results and
// error messages are exactly the library's.
int WatchFinalisers(lua_State* L) {
  if (lua_type(L, 2) == LUA_TTABLE) {
    lua_pushliteral(L, "__gc");
    lua_rawget(L, 2);
    if (!lua_isnil(L, -1)) *static_cast<bool*>(lua_touserdata(L, lua_upvalueindex(2))) = true;
    lua_pop(L, 1);
  }
  return lua_tocfunction(L, lua_upvalueindex(1))(L);
}

// Replaces the function table[name] (the table on top of the stack) with the watch.
void Watch(lua_State* L, const char* name, bool* flag) {
  lua_getfield(L, -1, name);
  lua_pushlightuserdata(L, flag);
  lua_pushcclosure(L, &WatchFinalisers, 2);
  lua_setfield(L, -2, name);
}

}  // namespace

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
      OpenStandardLibraries(state);
      RegisterScriptingApi(state);
      lua_rawgeti(state, LUA_REGISTRYINDEX, LUA_RIDX_GLOBALS);
      Watch(state, "setmetatable", &host->scriptsMadeFinalisers_);
      lua_getfield(state, -1, LUA_DBLIBNAME);
      Watch(state, "setmetatable", &host->scriptsMadeFinalisers_);
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
