// Text of a Lua error value, read without running Lua code.
#include "scripting/binding/lua_exception.h"

#include <cstdio>

#include <lua.hpp>

namespace scripting {
namespace {

std::string ErrorText(lua_State* L) {
  if (lua_gettop(L) == 0) return "missing error";
  switch (lua_type(L, -1)) {
    case LUA_TNIL:
      return "missing error";
    case LUA_TSTRING: {
      size_t size = 0;
      const char* text = lua_tolstring(L, -1, &size);
      return std::string(text, size);
    }
    case LUA_TNUMBER: {
      // Formatted here rather than by lua_tostring, which would convert the slot in
      // place and may allocate (and so raise) outside any protected call.
      char buffer[64];
      std::snprintf(buffer, sizeof buffer, LUA_NUMBER_FMT, lua_tonumber(L, -1));
      return buffer;
    }
    default:
      return std::string("(error object is a ") + luaL_typename(L, -1) + " value)";
  }
}

}  // namespace

LuaException::LuaException(lua_State* L) : message_(ErrorText(L)) {}

}  // namespace scripting
