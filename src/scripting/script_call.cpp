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

}  // namespace

bool CallScript(lua_State* L, lua_CFunction thunk, void* context, int arguments, std::string* error) {
  const int base = lua_gettop(L) - arguments;
  if (!lua_checkstack(L, 3)) {
    lua_settop(L, base);
    *error = "stack overflow";
    return false;
  }
  lua_pushcfunction(L, &AddPosition);
  lua_insert(L, base + 1);
  lua_pushcfunction(L, thunk);
  lua_insert(L, base + 2);
  lua_pushlightuserdata(L, context);
  lua_insert(L, base + 3);
  const int status = lua_pcall(L, arguments + 1, 0, base + 1);
  if (status != LUA_OK) {
    // Taking the text cannot raise (LuaException never calls Lua code).
    *error = LuaException(L).what();
  }
  lua_settop(L, base);
  return status == LUA_OK;
}

void CallWithBudget(lua_State* L, int arguments) {
  StartInstructionBudget(L);
  lua_call(L, arguments, 0);
}

void GetScriptFunction(lua_State* L, int environment) {
  lua_pushvalue(L, -1);
  lua_gettable(L, environment);
  if (!lua_isfunction(L, -1)) {
    if (!luaL_getmetafield(L, -1, "__call")) {
      luaL_error(L, "global '%s' is not a function (a %s value)", lua_tostring(L, -2), luaL_typename(L, -1));
    }
    lua_pop(L, 1);
  }
  lua_remove(L, -2);
}

}  // namespace scripting
