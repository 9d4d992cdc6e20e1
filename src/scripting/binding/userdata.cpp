// The object check, pointer pushes and destruction of bound objects. Every function
// here is plain C in spirit: no local with a destructor, so a Lua error raised inside
// unwinds nothing C++ needs to clean up.
#include "scripting/binding/userdata.h"

namespace scripting::binding {
namespace {

// Pushes the name used for the value at index in "%s expected, got %s": the
// "__type" of a registered object, else the Lua type name.
void PushActualTypeName(lua_State* L, int index) {
  if (lua_type(L, index) == LUA_TUSERDATA && lua_getmetatable(L, index)) {
    lua_pushliteral(L, "__type");
    lua_rawget(L, -2);
    if (lua_type(L, -1) == LUA_TSTRING) {
      lua_remove(L, -2);
      return;
    }
    lua_pop(L, 2);
  }
  lua_pushstring(L, luaL_typename(L, index));
}

// Follows "__parent" links from the table on top (popped) to want (an absolute
// index). Returns the number of links followed, or -1 when want is not reached.
int ParentDistance(lua_State* L, int want) {
  for (int distance = 0;; ++distance) {
    if (lua_rawequal(L, -1, want)) {
      lua_pop(L, 1);
      return distance;
    }
    lua_pushliteral(L, "__parent");
    lua_rawget(L, -2);
    lua_remove(L, -2);
    if (!lua_istable(L, -1)) {
      lua_pop(L, 1);
      return -1;
    }
  }
}

// Applies the "__upcast" of each table on the way from the table on top (popped)
// up distance links.
void* ApplyUpcasts(lua_State* L, void* object, int distance) {
  for (int step = 0; step < distance; ++step) {
    lua_pushliteral(L, "__upcast");
    lua_rawget(L, -2);
    if (lua_islightuserdata(L, -1)) {
      object = static_cast<const Upcast*>(lua_touserdata(L, -1))->cast(object);
    }
    lua_pop(L, 1);
    lua_pushliteral(L, "__parent");
    lua_rawget(L, -2);
    lua_remove(L, -2);
  }
  lua_pop(L, 1);
  return object;
}

}  // namespace

void* NewBlock(lua_State* L, std::size_t size) {
  return AlignBlock(lua_newuserdata(L, size + kBlockAlign - 1));
}

void* FindObject(lua_State* L, int index, const ClassKey& key, bool* isConst) {
  index = lua_absindex(L, index);
  if (lua_type(L, index) != LUA_TUSERDATA || !lua_getmetatable(L, index)) return nullptr;
  const int metatable = lua_gettop(L);

  // The common cases: the object's own class, mutable, then const.
  lua_rawgetp(L, LUA_REGISTRYINDEX, &key.classTable);
  if (lua_rawequal(L, metatable, -1)) {
    lua_settop(L, metatable - 1);
    *isConst = false;
    return ToUserdata(L, index)->Object();
  }
  lua_pop(L, 1);
  lua_rawgetp(L, LUA_REGISTRYINDEX, &key.constTable);
  if (lua_rawequal(L, metatable, -1)) {
    lua_settop(L, metatable - 1);
    *isConst = true;
    return ToUserdata(L, index)->Object();
  }
  lua_pop(L, 1);

  // A derived class: class tables carry "__const", const tables do not.
  lua_pushliteral(L, "__const");
  lua_rawget(L, metatable);
  *isConst = lua_isnil(L, -1);
  lua_pop(L, 1);
  lua_rawgetp(L, LUA_REGISTRYINDEX, *isConst ? &key.constTable : &key.classTable);
  const int want = lua_gettop(L);
  void* object = nullptr;
  if (lua_istable(L, want)) {
    lua_pushvalue(L, metatable);
    const int distance = ParentDistance(L, want);
    if (distance >= 0) {
      lua_pushvalue(L, metatable);
      object = ApplyUpcasts(L, ToUserdata(L, index)->Object(), distance);
    }
  }
  lua_settop(L, metatable - 1);
  return object;
}

void* CheckObject(lua_State* L, int index, const ClassKey& key, bool allowConst) {
  if (lua_isnoneornil(L, index)) luaL_argerror(L, index, "nil passed to reference");
  bool isConst = false;
  void* object = FindObject(L, index, key, &isConst);
  if (object != nullptr) {
    if (isConst && !allowConst) luaL_argerror(L, index, "cannot be const");
    return object;
  }
  CheckRegistered(L, key);
  lua_rawgetp(L, LUA_REGISTRYINDEX, &key.classTable);
  lua_pushliteral(L, "__type");
  lua_rawget(L, -2);
  const char* expected = lua_tostring(L, -1);
  PushActualTypeName(L, index);
  const char* actual = lua_tostring(L, -1);
  luaL_argerror(L, index, lua_pushfstring(L, "%s expected, got %s", expected, actual));
  return nullptr;
}

void CheckRegistered(lua_State* L, const ClassKey& key) {
  lua_rawgetp(L, LUA_REGISTRYINDEX, &key.classTable);
  const bool registered = lua_istable(L, -1);
  lua_pop(L, 1);
  if (!registered) luaL_error(L, "class is not registered");
}

void SetClassMetatable(lua_State* L, const ClassKey& key, bool isConst) {
  lua_rawgetp(L, LUA_REGISTRYINDEX, isConst ? &key.constTable : &key.classTable);
  if (!lua_istable(L, -1)) luaL_error(L, "class is not registered");
  lua_setmetatable(L, -2);
}

void PushPointer(lua_State* L, const void* object, const ClassKey& key, bool isConst) {
  if (object == nullptr) {
    lua_pushnil(L);
    return;
  }
  CheckRegistered(L, key);
  new (NewBlock(L, sizeof(UserdataPtr))) UserdataPtr(const_cast<void*>(object));
  SetClassMetatable(L, key, isConst);
}

void DestroyObject(lua_State* L, const ClassKey& key) {
  if (lua_type(L, 1) != LUA_TUSERDATA || !lua_getmetatable(L, 1)) return;
  lua_rawgetp(L, LUA_REGISTRYINDEX, &key.classTable);
  lua_rawgetp(L, LUA_REGISTRYINDEX, &key.constTable);
  const bool ours = lua_rawequal(L, -3, -2) || lua_rawequal(L, -3, -1);
  lua_pop(L, 3);
  if (!ours) return;
  ToUserdata(L, 1)->~Userdata();
  lua_pushnil(L);
  lua_setmetatable(L, 1);
}

namespace {

struct PendingString {
  const char* data;
  std::size_t size;
};

int PushStringThunk(lua_State* L) {
  const auto* text = static_cast<const PendingString*>(lua_touserdata(L, 1));
  lua_pushlstring(L, text->data, text->size);
  return 1;
}

}  // namespace

bool ProtectedPushString(lua_State* L, const char* data, std::size_t size) noexcept {
  if (!lua_checkstack(L, 2)) return false;
  PendingString text{data, size};
  lua_pushcfunction(L, &PushStringThunk);
  lua_pushlightuserdata(L, &text);
  return lua_pcall(L, 1, 1, 0) == LUA_OK;
}

int RaiseTop(lua_State* L) {
  if (lua_type(L, -1) == LUA_TSTRING) {
    luaL_where(L, 1);
    lua_insert(L, -2);
    lua_concat(L, 2);
  }
  return lua_error(L);
}

}  // namespace scripting::binding
