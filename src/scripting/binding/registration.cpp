// The namespace builder.
#include "scripting/binding/registration.h"

#include "base/log.h"

namespace scripting {

Namespace::~Namespace() {
  if (slots_ <= 0) return;
  if (lua_gettop(L_) < slots_) {
    base::LogError("lua", "invalid stack: a registration builder lost its tables");
    return;
  }
  lua_pop(L_, slots_);
}

Namespace GetGlobalNamespace(lua_State* L) {
  lua_rawgeti(L, LUA_REGISTRYINDEX, LUA_RIDX_GLOBALS);
  return Namespace(L, 1);
}

Namespace Namespace::BeginNamespace(const char* name) {
  lua_pushstring(L_, name);
  lua_rawget(L_, -2);
  if (lua_isnil(L_, -1)) {
    lua_pop(L_, 1);
    lua_newtable(L_);
    binding::MakeNamespace(L_, -1);
    lua_pushvalue(L_, -1);
    binding::RawSetField(L_, -3, name);
  } else if (!lua_istable(L_, -1)) {
    lua_pop(L_, 1);
    throw std::logic_error(std::string("'") + name + "' is not a namespace");
  } else if (!lua_getmetatable(L_, -1)) {
    binding::MakeNamespace(L_, -1);
  } else {
    lua_pop(L_, 1);
  }
  return Namespace(L_, std::exchange(slots_, 0) + 1);
}

Namespace Namespace::EndNamespace() {
  if (slots_ < 2) throw std::logic_error("EndNamespace without BeginNamespace");
  lua_pop(L_, 1);
  return Namespace(L_, std::exchange(slots_, 0) - 1);
}

Namespace& Namespace::AddFunction(const char* name, lua_CFunction function) {
  lua_pushcfunction(L_, function);
  binding::RawSetField(L_, -2, name);
  return *this;
}

void Namespace::RequireProperties() const {
  lua_pushliteral(L_, "__propget");
  lua_rawget(L_, -2);
  const bool hasProperties = lua_istable(L_, -1);
  lua_pop(L_, 1);
  if (!hasProperties) throw std::logic_error("variables need a namespace, not the global table");
}

}  // namespace scripting
