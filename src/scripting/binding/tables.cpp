// Namespaces, class tables and the member lookup. Plain C in spirit: no local with a
// destructor, since every Lua call here may raise.
#include "scripting/binding/tables.h"

namespace scripting::binding {
namespace {

// Pushes the key at index as text for an error message.
const char* KeyText(lua_State* L, int index) {
  switch (lua_type(L, index)) {
    case LUA_TSTRING:
    case LUA_TNUMBER:
      lua_pushvalue(L, index);
      return lua_tostring(L, -1);
    default:
      return lua_pushstring(L, luaL_typename(L, index));
  }
}

// The write algorithm: (object, key, value) at 1..3; message names the key.
int NewIndex(lua_State* L, const char* message) {
  lua_settop(L, 3);
  if (lua_getmetatable(L, 1)) {
    for (;;) {
      lua_pushliteral(L, "__propset");
      lua_rawget(L, 4);
      if (lua_istable(L, -1)) {
        lua_pushvalue(L, 2);
        lua_rawget(L, -2);
        if (!lua_isnil(L, -1)) {
          lua_pushvalue(L, 1);
          lua_pushvalue(L, 3);
          lua_call(L, 2, 0);
          return 0;
        }
        lua_pop(L, 1);
      }
      lua_pop(L, 1);
      lua_pushliteral(L, "__parent");
      lua_rawget(L, 4);
      if (lua_isnil(L, -1)) break;
      if (!lua_istable(L, -1)) return luaL_error(L, "__parent is not a table");
      lua_replace(L, 4);
    }
  }
  return luaL_error(L, message, KeyText(L, 2));
}

void PushNewTable(lua_State* L, int index, const char* name) {
  lua_newtable(L);
  RawSetField(L, index, name);
}

void SetFunction(lua_State* L, int index, const char* name, lua_CFunction function) {
  lua_pushcfunction(L, function);
  RawSetField(L, index, name);
}

}  // namespace

int IndexMetaMethod(lua_State* L) {
  lua_settop(L, 2);
  if (!lua_getmetatable(L, 1)) return 0;
  for (;;) {  // the metatable being searched is at 3
    lua_pushvalue(L, 2);
    lua_rawget(L, 3);
    if (!lua_isnil(L, -1)) return 1;
    lua_pop(L, 1);

    lua_pushliteral(L, "__propget");
    lua_rawget(L, 3);
    if (!lua_istable(L, -1)) return luaL_error(L, "missing __propget table");
    lua_pushvalue(L, 2);
    lua_rawget(L, -2);
    if (!lua_isnil(L, -1)) {
      if (!lua_iscfunction(L, -1)) return luaL_error(L, "not a cfunction");
      lua_pushvalue(L, 1);
      lua_call(L, 1, 1);
      return 1;
    }
    lua_pop(L, 2);

    lua_pushliteral(L, "__parent");
    lua_rawget(L, 3);
    if (lua_isnil(L, -1)) return 1;
    if (!lua_istable(L, -1)) return luaL_error(L, "__parent is not a table");
    lua_replace(L, 3);
  }
}

int ObjectNewIndexMetaMethod(lua_State* L) { return NewIndex(L, "no writable variable '%s'"); }

int StaticNewIndexMetaMethod(lua_State* L) { return NewIndex(L, "no member named '%s'"); }

void RawSetField(lua_State* L, int index, const char* name) {
  index = lua_absindex(L, index);
  lua_pushstring(L, name);
  lua_insert(L, -2);
  lua_rawset(L, index);
}

void RawSetInSubtable(lua_State* L, int index, const char* subtable, const char* name) {
  index = lua_absindex(L, index);
  lua_pushstring(L, subtable);
  lua_rawget(L, index);
  lua_insert(L, -2);
  RawSetField(L, -2, name);
  lua_pop(L, 1);
}

void MakeNamespace(lua_State* L, int index) {
  index = lua_absindex(L, index);
  lua_pushvalue(L, index);
  lua_setmetatable(L, index);
  SetFunction(L, index, "__index", &IndexMetaMethod);
  SetFunction(L, index, "__newindex", &StaticNewIndexMetaMethod);
  PushNewTable(L, index, "__propget");
  PushNewTable(L, index, "__propset");
}

void PushClassTables(lua_State* L, int namespace_index, const ClassKey& key, const char* name,
                     lua_CFunction gc) {
  namespace_index = lua_absindex(L, namespace_index);
  lua_rawgetp(L, LUA_REGISTRYINDEX, &key.static_table);
  if (lua_istable(L, -1)) {
    lua_rawgetp(L, LUA_REGISTRYINDEX, &key.class_table);
    lua_rawgetp(L, LUA_REGISTRYINDEX, &key.const_table);
  } else {
    lua_pop(L, 1);
    lua_newtable(L);
    lua_newtable(L);
    lua_newtable(L);
    const int static_table = lua_gettop(L) - 2;
    const int class_table = static_table + 1;
    const int const_table = static_table + 2;

    lua_pushstring(L, name);
    RawSetField(L, class_table, "__type");
    SetFunction(L, class_table, "__index", &IndexMetaMethod);
    SetFunction(L, class_table, "__newindex", &ObjectNewIndexMetaMethod);
    PushNewTable(L, class_table, "__propget");
    PushNewTable(L, class_table, "__propset");
    lua_pushvalue(L, const_table);
    RawSetField(L, class_table, "__const");
    SetFunction(L, class_table, "__gc", gc);

    lua_pushfstring(L, "const %s", name);
    RawSetField(L, const_table, "__type");
    SetFunction(L, const_table, "__index", &IndexMetaMethod);
    SetFunction(L, const_table, "__newindex", &ObjectNewIndexMetaMethod);
    PushNewTable(L, const_table, "__propget");
    lua_pushvalue(L, class_table);
    RawSetField(L, const_table, "__class");
    // Only pointers are ever pushed const today; a const value would still be
    // destroyed correctly.
    SetFunction(L, const_table, "__gc", gc);

    MakeNamespace(L, static_table);
    lua_pushvalue(L, class_table);
    RawSetField(L, static_table, "__class");

    lua_pushvalue(L, static_table);
    lua_rawsetp(L, LUA_REGISTRYINDEX, &key.static_table);
    lua_pushvalue(L, class_table);
    lua_rawsetp(L, LUA_REGISTRYINDEX, &key.class_table);
    lua_pushvalue(L, const_table);
    lua_rawsetp(L, LUA_REGISTRYINDEX, &key.const_table);
  }
  lua_pushvalue(L, -3);
  RawSetField(L, namespace_index, name);
}

bool LinkToBase(lua_State* L, const ClassKey& base, const Upcast* upcast) {
  const int static_table = lua_gettop(L) - 2;
  lua_rawgetp(L, LUA_REGISTRYINDEX, &base.static_table);
  if (!lua_istable(L, -1)) {
    lua_pop(L, 1);
    return false;
  }
  RawSetField(L, static_table, "__parent");
  lua_rawgetp(L, LUA_REGISTRYINDEX, &base.class_table);
  RawSetField(L, static_table + 1, "__parent");
  lua_rawgetp(L, LUA_REGISTRYINDEX, &base.const_table);
  RawSetField(L, static_table + 2, "__parent");
  for (int table = static_table + 1; table <= static_table + 2; ++table) {
    lua_pushlightuserdata(L, const_cast<Upcast*>(upcast));
    RawSetField(L, table, "__upcast");
  }
  return true;
}

}  // namespace scripting::binding
