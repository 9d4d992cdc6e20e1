// What a level script may reach. Level files are shared between players, so the
// scripts they name are untrusted: they get the standard libraries that compute
// (base, string, table, math, coroutine, bit32, and of os only the clock and the
// date), and nothing that reaches files, processes, native code, the debug library
// or the VM's bytecode loader. Every name taken away raises a clear error when used.
#pragma once

struct lua_State;

namespace scripting {

// The message for a taken-away name: "os.execute is not available to level scripts".
inline constexpr const char* kNotAvailable = "%s%s is not available to level scripts";

// Opens the libraries a level script gets into L's globals, with the taken-away names
// raising kNotAvailable, load() restricted to text chunks, collectgarbage() to its
// harmless options, setmetatable() refusing a metatable with "__gc" (a finaliser runs
// without the instruction budget's hook, so one that loops would hang the game) and
// the string metatable hidden. Raises a Lua error when memory runs out; run it in a
// protected call.
void OpenSandboxedLibraries(lua_State* L);

}  // namespace scripting
