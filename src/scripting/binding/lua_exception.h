// The error of a call from the engine into Lua: the text of the error value the
// script raised, carried across the boundary as a C++ exception.
#pragma once

#include <exception>
#include <string>

struct lua_State;

namespace scripting {

class LuaException : public std::exception {
 public:
  explicit LuaException(std::string message) : message_(std::move(message)) {}

  // Takes the text of the value on top of the stack without popping it: a string or
  // number as text, "missing error" when the stack is empty or the value is nil, and
  // "(error object is a <type> value)" for anything else. Never calls into Lua code
  // (no __tostring), so it cannot raise a Lua error itself.
  explicit LuaException(lua_State* L);

  const char* what() const noexcept override { return message_.c_str(); }

 private:
  std::string message_;
};

}  // namespace scripting
