// The Lua binding layer in one include: registration, value transfer, calls from
// the engine into Lua, LuaException and the stack guard.
#pragma once

#include "scripting/binding/lua_exception.h"
#include "scripting/binding/protected_call.h"
#include "scripting/binding/registration.h"
#include "scripting/binding/script_function_ref.h"
#include "scripting/binding/stack_guard.h"
#include "scripting/binding/userdata.h"
