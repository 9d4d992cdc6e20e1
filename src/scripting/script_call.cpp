// Protected calls with a message handler that adds the script's position to errors
// raised where Lua does not add one itself (argument errors of bound functions,
// errors of the standard library's C functions).
#include "scripting/script_call.h"

#include <cstring>

#include <lua.hpp>

#include "scripting/binding/lua_exception.h"
#include "scripting/script_state.h"

namespace scripting {
namespace {

// True when text starts with "src:" for the source of any Lua function on the stack.
bool StartsWithPosition(lua_State* L, const char* text) {
  lua_Debug frame;
  for (int level = 1; lua_getstack(L, level, &frame); ++level) {
    if (!lua_getinfo(L, "Sl", &frame) || frame.currentline <= 0) continue;
    const std::size_t length = std::strlen(frame.short_src);
    if (std::strncmp(text, frame.short_src, length) == 0 && text[length] == ':') return true;
  }
  return false;
}

// The message handler: a string error without a position gets "file:line: " of the
// innermost Lua function in front. Other error values pass unchanged.
int AddPosition(lua_State* L) {
  if (lua_type(L, 1) != LUA_TSTRING) return 1;
  const char* text = lua_tostring(L, 1);
  if (StartsWithPosition(L, text)) return 1;
  lua_Debug frame;
  for (int level = 1; lua_getstack(L, level, &frame); ++level) {
    if (lua_getinfo(L, "Sl", &frame) && frame.currentline > 0) {
      lua_pushfstring(L, "%s:%d: %s", frame.short_src, frame.currentline, text);
      return 1;
    }
  }
  return 1;
}

// Runs inside the protected call: argument 1 is the global's name (a light
// userdata, so that pushing it cannot fail), the arguments of the call follow.
int CallGlobalThunk(lua_State* L) {
  const char* name = static_cast<const char*>(lua_touserdata(L, 1));
  lua_getglobal(L, name);
  if (!lua_isfunction(L, -1)) {
    if (!luaL_getmetafield(L, -1, "__call")) {
      return luaL_error(L, "global '%s' is not a function (a %s value)", name, luaL_typename(L, -1));
    }
    lua_pop(L, 1);
  }
  lua_replace(L, 1);
  lua_call(L, lua_gettop(L) - 1, 0);
  return 0;
}

// Calls what lies above base (the function and its arguments) under the handler
// and restores the stack to base.
bool ProtectedCall(lua_State* L, int base, std::string* error) {
  const int arguments = lua_gettop(L) - base - 1;
  lua_pushcfunction(L, &AddPosition);
  lua_insert(L, base + 1);
  StartInstructionBudget(L);
  const int status = lua_pcall(L, arguments, 0, base + 1);
  if (status != LUA_OK) {
    // Taking the text cannot raise (LuaException never calls Lua code).
    *error = LuaException(L).what();
  }
  lua_settop(L, base);
  return status == LUA_OK;
}

}  // namespace

bool CallChunk(lua_State* L, std::string* error) {
  const int base = lua_gettop(L) - 1;
  if (!lua_checkstack(L, 2)) {
    lua_settop(L, base);
    *error = "stack overflow";
    return false;
  }
  return ProtectedCall(L, base, error);
}

bool CallGlobal(lua_State* L, const char* name, const double* arguments, int count, std::string* error) {
  const int base = lua_gettop(L);
  if (!lua_checkstack(L, count + 3)) {
    *error = "stack overflow";
    return false;
  }
  lua_pushcfunction(L, &CallGlobalThunk);
  lua_pushlightuserdata(L, const_cast<char*>(name));
  for (int i = 0; i < count; ++i) lua_pushnumber(L, arguments[i]);
  return ProtectedCall(L, base, error);
}

}  // namespace scripting
