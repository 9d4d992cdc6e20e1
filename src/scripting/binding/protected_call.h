// Engine code calling into Lua: a body run inside lua_pcall, so that a Lua error
// (from a script, a memory failure or a failed finaliser) reaches the engine as a
// LuaException instead of unwinding through C++ frames or panicking.
#pragma once

#include <lua.hpp>

#include "scripting/binding/lua_exception.h"
#include "scripting/binding/stack.h"

namespace scripting {
namespace binding {

// Calls thunk with context as a light userdata in protected mode. Leaves the stack
// as it was; throws LuaException with the error's text on failure.
void RunProtectedThunk(lua_State* L, lua_CFunction thunk, void* context);

template <class Body>
int ProtectedThunk(lua_State* L) {
  const Body& body = *static_cast<const Body*>(lua_touserdata(L, 1));
  if (!Guarded(L, [&] { body(L); })) return RaiseTop(L);
  return 0;
}

}  // namespace binding

// Runs body(L) inside a protected call; whatever it pushes is popped afterwards.
// body may raise Lua errors but must not hold C++ objects with destructors across
// the Lua calls that may raise (capture what it needs by reference).
template <class Body>
void RunProtected(lua_State* L, const Body& body) {
  binding::RunProtectedThunk(L, &binding::ProtectedThunk<Body>,
                             const_cast<void*>(static_cast<const void*>(&body)));
}

// Sets the global name to value (see binding::Push for how values cross).
// Throws LuaException if Lua raises an error meanwhile.
template <class T>
void SetGlobal(lua_State* L, const char* name, const T& value) {
  RunProtected(L, [&](lua_State* state) {
    binding::Push(state, value);
    lua_setglobal(state, name);
  });
}

// Pushes an engine value for code already inside a protected call or a bound
// function (it may raise a Lua error).
using binding::Push;

// The object of class T at index, or null when the value there is not a mutable T
// (or an object derived from T). Never raises.
template <class T>
T* ToObject(lua_State* L, int index) {
  bool isConst = false;
  void* object = binding::FindObject(L, index, binding::KeyOf<T>(), &isConst);
  return isConst ? nullptr : static_cast<T*>(object);
}

// As ToObject, but accepts const objects too.
template <class T>
const T* ToConstObject(lua_State* L, int index) {
  bool isConst = false;
  return static_cast<const T*>(binding::FindObject(L, index, binding::KeyOf<T>(), &isConst));
}

}  // namespace scripting
