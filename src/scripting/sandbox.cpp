// The level scripts' libraries: the computing ones opened as Lua opens them, then
// the names that reach outside taken away and the few functions that could hand a
// script more than it may have wrapped.
#include "scripting/sandbox.h"

#include <cstring>
#include <initializer_list>

#include <lua.hpp>

namespace scripting {
namespace {

// __index of a table that had names taken away: raises kNotAvailable for those
// (upvalue 1 the table's prefix, upvalue 2 the set of names); any other missing key
// reads as nil, as before. Level 1 of the error's position is the script's line.
int RaiseTakenAway(lua_State* L) {
  lua_pushvalue(L, 2);
  lua_rawget(L, lua_upvalueindex(2));
  if (lua_toboolean(L, -1) && lua_type(L, 2) == LUA_TSTRING) {
    return luaL_error(L, kNotAvailable, lua_tostring(L, lua_upvalueindex(1)), lua_tostring(L, 2));
  }
  lua_pushnil(L);
  return 1;
}

// Removes the names from the table on top of the stack and gives it a metatable,
// hidden from getmetatable, whose __index raises for them.
void TakeAway(lua_State* L, const char* prefix, std::initializer_list<const char*> names) {
  const int table = lua_absindex(L, -1);
  lua_createtable(L, 0, 2);
  lua_pushstring(L, prefix);
  lua_createtable(L, 0, static_cast<int>(names.size()));
  for (const char* name : names) {
    lua_pushboolean(L, 1);
    lua_setfield(L, -2, name);
    lua_pushnil(L);
    lua_setfield(L, table, name);
  }
  lua_pushcclosure(L, &RaiseTakenAway, 2);
  lua_setfield(L, -2, "__index");
  lua_pushboolean(L, 0);
  lua_setfield(L, -2, "__metatable");
  lua_setmetatable(L, table);
}

// The library's own function, upvalue 1, run in this same call, so that its results
// and error messages are exactly its own.
int CallOriginal(lua_State* L) { return lua_tocfunction(L, lua_upvalueindex(1))(L); }

// load(chunk [, name [, mode [, env]]]) for text chunks only: Lua does not verify
// bytecode, and a crafted binary chunk can break the VM.
int LoadText(lua_State* L) {
  const char* mode = luaL_optstring(L, 3, "t");
  if (std::strchr(mode, 'b') != nullptr) {
    return luaL_error(L, "binary chunks are not available to level scripts (load mode \"%s\")", mode);
  }
  if (lua_gettop(L) < 3) lua_settop(L, 3);
  lua_pushliteral(L, "t");
  lua_replace(L, 3);
  return CallOriginal(L);
}

// collectgarbage with the options that only look or collect: stopping the collector
// or retuning it would let one script change the memory behaviour of every script
// of its file.
int CollectWithinLimits(lua_State* L) {
  const char* option = luaL_optstring(L, 1, "collect");
  for (const char* allowed : {"collect", "count", "step", "isrunning"}) {
    if (std::strcmp(option, allowed) == 0) return CallOriginal(L);
  }
  return luaL_error(L, "collectgarbage(\"%s\") is not available to level scripts", option);
}

// setmetatable refusing a metatable with "__gc" (as Lua looks at it: raw): Lua runs
// finalisers with hooks off, so the instruction budget could not stop one that loops.
int SetMetatableWithoutFinaliser(lua_State* L) {
  if (lua_type(L, 2) == LUA_TTABLE) {
    lua_pushliteral(L, "__gc");
    lua_rawget(L, 2);
    if (!lua_isnil(L, -1)) {
      return luaL_error(L,
                        "a metatable with __gc is not available to level scripts (a finaliser runs "
                        "outside the instruction budget)");
    }
    lua_pop(L, 1);
  }
  return CallOriginal(L);
}

// Replaces table[name] (the table on top of the stack) by wrapper over the function
// it held; a name the table lacks is left alone.
void Wrap(lua_State* L, const char* name, lua_CFunction wrapper) {
  lua_getfield(L, -1, name);
  if (!lua_iscfunction(L, -1)) {
    lua_pop(L, 1);
    return;
  }
  lua_pushcclosure(L, wrapper, 1);
  lua_setfield(L, -2, name);
}

// The libraries as luaL_openlibs opens them, without io, package and debug.
void OpenComputingLibraries(lua_State* L) {
  static const luaL_Reg kLibraries[] = {
      {"_G", luaopen_base},
      {LUA_COLIBNAME, luaopen_coroutine},
      {LUA_TABLIBNAME, luaopen_table},
      {LUA_OSLIBNAME, luaopen_os},
      {LUA_STRLIBNAME, luaopen_string},
      {LUA_BITLIBNAME, luaopen_bit32},
      {LUA_MATHLIBNAME, luaopen_math},
  };
  for (const luaL_Reg& library : kLibraries) {
    luaL_requiref(L, library.name, library.func, 1);
    lua_pop(L, 1);
  }
}

}  // namespace

void OpenSandboxedLibraries(lua_State* L) {
  OpenComputingLibraries(L);
  lua_rawgeti(L, LUA_REGISTRYINDEX, LUA_RIDX_GLOBALS);
  Wrap(L, "load", &LoadText);
  Wrap(L, "loadstring", &LoadText);  // present when Lua keeps its 5.1 name
  Wrap(L, "collectgarbage", &CollectWithinLimits);
  Wrap(L, "setmetatable", &SetMetatableWithoutFinaliser);
  TakeAway(L, "", {"dofile", "loadfile", "require", "module", "io", "debug", "package"});
  lua_getfield(L, -1, LUA_OSLIBNAME);
  TakeAway(L, "os.", {"execute", "remove", "rename", "exit", "getenv", "tmpname", "setlocale"});
  lua_getfield(L, -2, LUA_STRLIBNAME);
  TakeAway(L, "string.", {"dump"});
  lua_pop(L, 3);
  // The strings' metatable leads to the string table (its __index): hidden, so that
  // a script cannot change how every string of its file behaves.
  lua_pushliteral(L, "");
  lua_getmetatable(L, -1);
  lua_pushboolean(L, 0);
  lua_setfield(L, -2, "__metatable");
  lua_pop(L, 2);
}

}  // namespace scripting
