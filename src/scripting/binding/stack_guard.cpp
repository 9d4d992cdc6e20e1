// Checked pops and the stack scope guard.
#include "scripting/binding/stack_guard.h"

#include <stdexcept>

#include <lua.hpp>

#include "base/log.h"

namespace scripting {

void Pop(lua_State* L, int count) {
  if (count < 0 || count > lua_gettop(L)) throw std::logic_error("invalid stack");
  lua_pop(L, count);
}

StackGuard::StackGuard(lua_State* L) : L_(L), top_(lua_gettop(L)) {}

StackGuard::~StackGuard() {
  // A stack lower than where the guard started means someone popped values they did
  // not push: report it rather than pad the stack with nils.
  if (lua_gettop(L_) < top_) {
    base::LogError("lua", "invalid stack: values popped below a StackGuard");
    return;
  }
  lua_settop(L_, top_);
}

}  // namespace scripting
