// The object check, pointer pushes and destruction of bound objects. Every function
// here is plain C in spirit: no local with a destructor, so a Lua error raised inside
// unwinds nothing C++ needs to clean up.
#include "scripting/binding/userdata.h"

#include <cstring>

namespace scripting::binding {
namespace {

// Pushes the name used for the value at index in "%s expected, got %s": the
// "__type" of the class a live object of ours was made as, else the Lua type name.
void PushActualTypeName(lua_State* L, int index) {
  if (const BlockHeader* header = HeaderOf(L, index)) {
    lua_rawgetp(L, LUA_REGISTRYINDEX,
                header->isConst ? &header->made->constTable : &header->made->classTable);
    if (lua_istable(L, -1)) {
      lua_pushliteral(L, "__type");
      lua_rawget(L, -2);
      if (lua_type(L, -1) == LUA_TSTRING) {
        lua_remove(L, -2);
        return;
      }
      lua_pop(L, 1);
    }
    lua_pop(L, 1);
  }
  lua_pushstring(L, luaL_typename(L, index));
}

}  // namespace

void* NewBlock(lua_State* L, std::size_t size) {
  void* block = AlignBlock(lua_newuserdata(L, kHeaderSize + size + kBlockAlign - 1));
  new (block) BlockHeader{kBlockMagic, nullptr, false};
  return static_cast<char*>(block) + kHeaderSize;
}

BlockHeader* HeaderOf(lua_State* L, int index) noexcept {
  void* raw = lua_touserdata(L, index);
  // Null for anything but userdata. A light userdata has no length, and any other
  // full userdata (a file handle of the io library, a bound function's upvalue) is
  // smaller than the smallest block of ours.
  if (raw == nullptr || lua_rawlen(L, index) < kHeaderSize + sizeof(UserdataPtr) + kBlockAlign - 1) {
    return nullptr;
  }
  auto* header = static_cast<BlockHeader*>(AlignBlock(raw));
  std::uint64_t magic = 0;
  std::memcpy(&magic, header, sizeof magic);
  if (magic != kBlockMagic || header->made == nullptr) return nullptr;
  return header;
}

void* FindObject(lua_State* L, int index, const ClassKey& key, bool* isConst) {
  const BlockHeader* header = HeaderOf(L, index);
  if (header == nullptr) return nullptr;
  void* object = ToUserdata(L, index)->Object();
  for (const ClassKey* made = header->made; made != nullptr; made = made->base) {
    if (made == &key) {
      *isConst = header->isConst;
      return object;
    }
    if (made->upcast == nullptr) return nullptr;
    object = made->upcast->cast(object);
  }
  return nullptr;
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
  auto* header = static_cast<BlockHeader*>(AlignBlock(lua_touserdata(L, -1)));
  header->made = &key;
  header->isConst = isConst;
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

void DestroyObject(lua_State* L, int index) noexcept {
  BlockHeader* header = HeaderOf(L, index);
  if (header == nullptr) return;
  // The destructor is virtual: whichever class's "__gc" this is, the object goes as
  // the type it was made as.
  ToUserdata(L, index)->~Userdata();
  header->made = nullptr;
  lua_pushnil(L);
  lua_setmetatable(L, index < 0 && index > LUA_REGISTRYINDEX ? index - 1 : index);
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
