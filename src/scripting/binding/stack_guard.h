// Checked pops and a scope guard that leaves the Lua stack as it found it.
#pragma once

struct lua_State;

namespace scripting {

// Pops count values. Popping more than the stack holds is a fault of the caller and
// throws std::logic_error("invalid stack") instead of corrupting the state.
void Pop(lua_State* L, int count);

// Remembers the stack top on construction and restores it on destruction, so that a
// block that pushes values (or leaves an error value behind) ends balanced.
class StackGuard {
 public:
  explicit StackGuard(lua_State* L);
  ~StackGuard();
  StackGuard(const StackGuard&) = delete;
  StackGuard& operator=(const StackGuard&) = delete;

  int Top() const { return top_; }

 private:
  lua_State* L_;
  int top_;
};

}  // namespace scripting
