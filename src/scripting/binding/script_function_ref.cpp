// Protected calls from the engine into Lua and the function reference.
#include "scripting/binding/script_function_ref.h"

#include <utility>

#include "base/log.h"

namespace scripting {
namespace binding {

void RunProtectedThunk(lua_State* L, lua_CFunction thunk, void* context) {
  const int top = lua_gettop(L);
  if (!lua_checkstack(L, 2)) throw LuaException("stack overflow");
  lua_pushcfunction(L, thunk);
  lua_pushlightuserdata(L, context);
  if (lua_pcall(L, 1, 0, 0) != LUA_OK) {
    LuaException error(L);
    lua_settop(L, top);
    throw error;
  }
  lua_settop(L, top);
}

}  // namespace binding

ScriptFunctionRef::ScriptFunctionRef(lua_State* L, const char* globalName) : L_(L) {
  int ref = LUA_NOREF;
  RunProtected(L, [&](lua_State* state) {
    lua_getglobal(state, globalName);
    ref = luaL_ref(state, LUA_REGISTRYINDEX);
  });
  ref_ = ref;
}

ScriptFunctionRef::ScriptFunctionRef(ScriptFunctionRef&& other) noexcept
    : L_(other.L_), ref_(std::exchange(other.ref_, LUA_NOREF)) {}

ScriptFunctionRef& ScriptFunctionRef::operator=(ScriptFunctionRef&& other) noexcept {
  if (this != &other) {
    Reset();
    L_ = other.L_;
    ref_ = std::exchange(other.ref_, LUA_NOREF);
  }
  return *this;
}

void ScriptFunctionRef::Reset() noexcept {
  if (IsNil()) {
    ref_ = LUA_NOREF;
    return;
  }
  const int ref = std::exchange(ref_, LUA_NOREF);
  try {
    // Freeing a slot may grow the registry's free list, which allocates.
    RunProtected(L_, [ref](lua_State* state) { luaL_unref(state, LUA_REGISTRYINDEX, ref); });
  } catch (const LuaException& error) {
    base::LogError("lua", std::string("could not free a function reference: ") + error.what());
  }
}

}  // namespace scripting
