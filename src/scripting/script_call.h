// Protected calls into a script's Lua code that report where the script failed:
// every error text comes back starting with the script file and line.
#pragma once

#include <string>

struct lua_State;

namespace scripting {

// Calls the function on top of the stack with no arguments and pops it; results
// are dropped. On failure returns false and sets *error to the error's text,
// prefixed with "file:line:" of the innermost Lua code running when it was raised
// unless the text starts with a position already. The call gets a whole instruction
// budget (script_state.h). The stack is left as it was
// before the function was pushed, in every case. Never raises.
bool CallChunk(lua_State* L, std::string* error);

// Looks up the global function name and calls it with the number arguments given
// (count 0 or 1: Init() and Update(dt)). A missing global fails with "global 'Name'
// is not a function (a nil value)". Same error and stack rules as CallChunk.
bool CallGlobal(lua_State* L, const char* name, const double* arguments, int count, std::string* error);

}  // namespace scripting
