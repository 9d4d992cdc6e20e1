// Namespaces, class tables and the member lookup. Plain C in spirit: no local with a
// destructor, since every Lua call here may raise.
#include "scripting/binding/tables.h"

namespace scripting::binding {
namespace {

// The lookup functions are closures over the names of the fields they read, so
// that a lookup does not intern the same strings again at every access:
// "__propget" (or "__propset") and "__parent".
constexpr int kTableUpvalue = 1;
constexpr int kParentUpvalue = 2;

// Stores under name in the table at index the lookup function, closed over
// propertyTable ("__propget" or "__propset") and "__parent".
void SetLookup(lua_State* L, int index, const char* name, lua_CFunction function, const char* propertyTable) {
  lua_pushstring(L, propertyTable);
  lua_pushliteral(L, "__parent");
  lua_pushcclosure(L, function, 2);
  RawSetField(L, index, name);
}

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
      lua_pushvalue(L, lua_upvalueindex(kTableUpvalue));
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
      lua_pushvalue(L, lua_upvalueindex(kParentUpvalue));
      lua_rawget(L, 4);
      if (lua_isnil(L, -1)) break;
      if (!lua_istable(L, -1)) return luaL_error(L, "__parent is not a table");
      lua_replace(L, 4);
    }
  }
  return luaL_error(L, message, KeyText(L, 2));
}

// True for a string key that starts with "__": the names of the tables' own fields
// ("__index", "__gc", "__parent", "__propget", ...). The class and const tables are
// the metatables of their objects, so a lookup through an object never hands one of
// these out: a script holding such a table could give every object of the class a
// finaliser of its own, which Lua runs outside the instruction budget.
bool IsTableFieldName(lua_State* L, int index) {
  if (lua_type(L, index) != LUA_TSTRING) return false;
  const char* name = lua_tostring(L, index);
  return name[0] == '_' && name[1] == '_';
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
  if (IsTableFieldName(L, 2) || !lua_getmetatable(L, 1)) return 0;
  for (;;) {  // the metatable being searched is at 3
    lua_pushvalue(L, 2);
    lua_rawget(L, 3);
    if (!lua_isnil(L, -1)) return 1;
    lua_pop(L, 1);

    lua_pushvalue(L, lua_upvalueindex(kTableUpvalue));
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

    lua_pushvalue(L, lua_upvalueindex(kParentUpvalue));
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
  SetLookup(L, index, "__index", &IndexMetaMethod, "__propget");
  SetLookup(L, index, "__newindex", &StaticNewIndexMetaMethod, "__propset");
  PushNewTable(L, index, "__propget");
  PushNewTable(L, index, "__propset");
  // getmetatable gives false, and setmetatable is refused.
  lua_pushboolean(L, 0);
  RawSetField(L, index, "__metatable");
}

void PushClassTables(lua_State* L, int namespaceIndex, const ClassKey& key, const char* name,
                     lua_CFunction gc) {
  namespaceIndex = lua_absindex(L, namespaceIndex);
  lua_rawgetp(L, LUA_REGISTRYINDEX, &key.staticTable);
  if (lua_istable(L, -1)) {
    lua_rawgetp(L, LUA_REGISTRYINDEX, &key.classTable);
    lua_rawgetp(L, LUA_REGISTRYINDEX, &key.constTable);
  } else {
    lua_pop(L, 1);
    lua_newtable(L);
    lua_newtable(L);
    lua_newtable(L);
    const int staticTable = lua_gettop(L) - 2;
    const int classTable = staticTable + 1;
    const int constTable = staticTable + 2;

    lua_pushstring(L, name);
    RawSetField(L, classTable, "__type");
    // getmetatable(object) gives the class name, and setmetatable is refused.
    lua_pushstring(L, name);
    RawSetField(L, classTable, "__metatable");
    SetLookup(L, classTable, "__index", &IndexMetaMethod, "__propget");
    SetLookup(L, classTable, "__newindex", &ObjectNewIndexMetaMethod, "__propset");
    PushNewTable(L, classTable, "__propget");
    PushNewTable(L, classTable, "__propset");
    SetFunction(L, classTable, "__gc", gc);

    lua_pushfstring(L, "const %s", name);
    RawSetField(L, constTable, "__type");
    lua_pushfstring(L, "const %s", name);
    RawSetField(L, constTable, "__metatable");
    SetLookup(L, constTable, "__index", &IndexMetaMethod, "__propget");
    SetLookup(L, constTable, "__newindex", &ObjectNewIndexMetaMethod, "__propset");
    PushNewTable(L, constTable, "__propget");
    // Only pointers are ever pushed const today; a const value would still be
    // destroyed correctly.
    SetFunction(L, constTable, "__gc", gc);

    // The class and const tables stay out of the static table's reach (see
    // IsTableFieldName): the registry holds them.
    MakeNamespace(L, staticTable);

    lua_pushvalue(L, staticTable);
    lua_rawsetp(L, LUA_REGISTRYINDEX, &key.staticTable);
    lua_pushvalue(L, classTable);
    lua_rawsetp(L, LUA_REGISTRYINDEX, &key.classTable);
    lua_pushvalue(L, constTable);
    lua_rawsetp(L, LUA_REGISTRYINDEX, &key.constTable);
  }
  lua_pushvalue(L, -3);
  RawSetField(L, namespaceIndex, name);
}

bool LinkToBase(lua_State* L, const ClassKey& base, const Upcast* upcast) {
  const int staticTable = lua_gettop(L) - 2;
  lua_rawgetp(L, LUA_REGISTRYINDEX, &base.staticTable);
  if (!lua_istable(L, -1)) {
    lua_pop(L, 1);
    return false;
  }
  RawSetField(L, staticTable, "__parent");
  lua_rawgetp(L, LUA_REGISTRYINDEX, &base.classTable);
  RawSetField(L, staticTable + 1, "__parent");
  lua_rawgetp(L, LUA_REGISTRYINDEX, &base.constTable);
  RawSetField(L, staticTable + 2, "__parent");
  for (int table = staticTable + 1; table <= staticTable + 2; ++table) {
    lua_pushlightuserdata(L, const_cast<Upcast*>(upcast));
    RawSetField(L, table, "__upcast");
  }
  return true;
}

}  // namespace scripting::binding
