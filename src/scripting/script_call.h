// Protected calls into a script's Lua code that report where the script failed:
// every error text comes back starting with the script file and line.
#pragma once

#include <string>

#include <lua.hpp>

namespace scripting {

// Calls thunk in protected mode with context (a light userdata) as its first
// argument, followed by the `arguments` values on top of the stack, which are
// popped. On failure returns false and sets *error to the error's text, prefixed
// with "file:line:" of the innermost Lua code running when it was raised unless the
// text starts with a position already. The stack is left as it was before the
// arguments were pushed, in every case. Never raises. thunk may raise Lua errors
// but must hold nothing with a destructor across them.
bool CallScript(lua_State* L, lua_CFunction thunk, void* context, int arguments, std::string* error);

// For thunks run by CallScript: calls the function below the `arguments` values on
// top of the stack, dropping its results, with a whole instruction budget (see
// script_state.h). Raises what the function raises.
void CallWithBudget(lua_State* L, int arguments);

// For thunks run by CallScript: replaces the name on top of the stack with the
// value of that global in the script environment at stack index environment, read
// as Lua code reads a global (through the environment's metatable). Raises "global
// 'Name' is not a function (a nil value)" for a value that cannot be called.
void GetScriptFunction(lua_State* L, int environment);

}  // namespace scripting
