// The Lua state a Script runs in and the limits that keep one script from stopping
// the game: an instruction budget for every call into Lua and a cap on its memory.
#pragma once

#include <cstddef>
#include <cstdint>

struct lua_State;

namespace scripting {

// Lua instructions one call into a script (its file's top level, Init, Update) may
// run before it is stopped with an error. The game's scripts run a few hundred to a
// few thousand per call; 50 million take a tenth of a second or more, many frames'
// worth, so only a runaway loop ever meets the budget, and the game stalls for a
// moment instead of for good.
inline constexpr std::uint64_t kInstructionBudget = 50'000'000;

// The count hook looks at the budget once per this many instructions.
inline constexpr int kBudgetSlice = 10'000;

// Bytes of memory one script's Lua state may hold. The game's scripts hold well
// under a megabyte each (the API and a few tables); 64 MB leaves room for any real
// use and keeps a script that hoards memory from starving the game. Past it the
// script gets Lua's "not enough memory" error, which it may catch.
inline constexpr std::size_t kMemoryCap = std::size_t{64} << 20;

// A new Lua state under the limits, with Lua's usual panic report. Null when it
// cannot be made. Close it with CloseScriptState only.
lua_State* NewScriptState();

// Bytes a state made by NewScriptState holds now; 0 for any other state.
std::size_t MemoryInUse(lua_State* L);

// Closes a state made by NewScriptState (null is fine) and frees its limits.
void CloseScriptState(lua_State* L);

// Gives the next call into L a whole instruction budget. Every engine entry into a
// script calls this first; a call that uses the budget up raises
// "file:line: script stopped: more than 50000000 instructions in one call", and
// every later instruction until the next entry raises it again, so a script cannot
// catch it with pcall and loop on. Does nothing for a state not made here.
void StartInstructionBudget(lua_State* L);

// True when the call into L that began with the last StartInstructionBudget used its
// budget up. False for a state not made here.
bool BudgetRanOut(lua_State* L);

}  // namespace scripting
