// The scripting API every script's Lua state gets: the "Math" functions and the
// engine classes scripts may build and use.
#pragma once

struct lua_State;

namespace scripting {

// Registers, in this order: the namespace "Math" (sinf, cosf, tanf, sqrtf, asinf,
// acosf, atanf, abs) and the classes Transform, Physics, Vector2D, GameObject, Pool,
// Timer, Data (ScriptData) and XMFLOAT4. Results returned by value (a translation,
// a velocity, a data block's start) reach Lua as copies.
void RegisterScriptingApi(lua_State* L);

}  // namespace scripting
