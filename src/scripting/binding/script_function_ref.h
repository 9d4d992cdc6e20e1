// A Lua function the engine keeps and calls by reference: looked up once, called
// many times, with errors turned into LuaException.
#pragma once

#include <lua.hpp>

#include "scripting/binding/protected_call.h"

namespace scripting {

// Holds a Lua value in a registry slot of one state; calling it pushes the engine
// values given as arguments and makes a protected call. Must be destroyed (or
// Reset) before its state is closed.
class ScriptFunctionRef {
 public:
  ScriptFunctionRef() = default;
  // The global name as it is now (nil when absent: calling it then fails with Lua's
  // "attempt to call a nil value"). Throws LuaException if reading the global raises.
  ScriptFunctionRef(lua_State* L, const char* globalName);
  ~ScriptFunctionRef() { Reset(); }

  ScriptFunctionRef(ScriptFunctionRef&& other) noexcept;
  ScriptFunctionRef& operator=(ScriptFunctionRef&& other) noexcept;
  ScriptFunctionRef(const ScriptFunctionRef&) = delete;
  ScriptFunctionRef& operator=(const ScriptFunctionRef&) = delete;

  // True when the referenced value is nil or there is no reference.
  bool IsNil() const { return ref_ == LUA_NOREF || ref_ == LUA_REFNIL; }

  // Calls the value with args (numbers, booleans, strings, object pointers and
  // object values, as binding::Push takes them); results are dropped. Throws
  // LuaException carrying the error's text when the call fails. The stack is left
  // as it was in every case.
  template <class... A>
  void operator()(const A&... args) const {
    if (L_ == nullptr) throw LuaException("call through an empty function reference");
    RunProtected(L_, [&](lua_State* L) {
      luaL_checkstack(L, static_cast<int>(sizeof...(A)) + 1, "too many arguments");
      lua_rawgeti(L, LUA_REGISTRYINDEX, ref_);
      (binding::Push(L, args), ...);
      lua_call(L, static_cast<int>(sizeof...(A)), 0);
    });
  }

  // Frees the registry slot.
  void Reset() noexcept;

 private:
  lua_State* L_ = nullptr;
  int ref_ = LUA_NOREF;
};

}  // namespace scripting
