// The script state's allocator and count hook. Both reach the state's limits through
// the allocator's user data, which every coroutine of the state shares.
#include "scripting/script_state.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <lua.hpp>

#include "scripting/small_block_pool.h"

namespace scripting {
namespace {

// Under AddressSanitizer every block comes from malloc, so that a fault in Lua's use
// of its memory is still caught where it happens.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kPoolSmallBlocks = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kPoolSmallBlocks = false;
#else
constexpr bool kPoolSmallBlocks = true;
#endif
#else
constexpr bool kPoolSmallBlocks = true;
#endif

struct Limits {
  std::size_t used = 0;          // bytes the state holds now, never above kMemoryCap
  std::uint64_t slicesLeft = 0;  // count hook calls before the running call is stopped
  bool ranOut = false;           // the running call was stopped
  SmallBlockPool pool;           // the state's small blocks; freed with the state
};

bool Pooled(std::size_t size) { return kPoolSmallBlocks && SmallBlockPool::Serves(size); }

void Release(Limits* limits, void* block, std::size_t size) {
  if (Pooled(size)) {
    limits->pool.Free(block, size);
  } else {
    std::free(block);
  }
}

// Moves block (held bytes; none when null) to a block of newSize bytes. Null when no
// memory is to be had, which never happens to a shrink.
void* Resize(Limits* limits, void* block, std::size_t held, std::size_t newSize) {
  const bool pooled = Pooled(newSize);
  if (block != nullptr && pooled == Pooled(held)) {
    if (!pooled) return std::realloc(block, newSize);
    if (SmallBlockPool::SameClass(held, newSize)) return block;
  }
  void* moved = pooled ? limits->pool.Allocate(newSize) : std::malloc(newSize);
  if (moved == nullptr) {
    // Lua relies on a shrink never failing: the block stays, bigger than asked.
    // Known by its new size from then on, it ends up in the pool's free lists,
    // which take any block big enough for their class, and is not returned to
    // malloc (only out of memory, and only that block).
    return newSize < held ? block : nullptr;
  }
  if (block != nullptr) {
    std::memcpy(moved, block, held < newSize ? held : newSize);
    Release(limits, block, held);
  }
  return moved;
}

void* Allocate(void* ud, void* block, std::size_t oldSize, std::size_t newSize) {
  auto* limits = static_cast<Limits*>(ud);
  // Without a block, oldSize tells the kind of object being made, not a size.
  const std::size_t held = block != nullptr ? oldSize : 0;
  if (newSize == 0) {
    if (block != nullptr) Release(limits, block, held);
    limits->used -= held;
    return nullptr;
  }
  // Refusing makes Lua collect garbage and try once more before it raises
  // "not enough memory". Shrinking is never refused (Lua relies on it).
  if (newSize > held && newSize - held > kMemoryCap - limits->used) return nullptr;
  void* moved = Resize(limits, block, held, newSize);
  if (moved == nullptr) return nullptr;
  limits->used = limits->used - held + newSize;
  return moved;
}

Limits* LimitsOf(lua_State* L) {
  void* ud = nullptr;
  return lua_getallocf(L, &ud) == &Allocate ? static_cast<Limits*>(ud) : nullptr;
}

void CountHook(lua_State* L, lua_Debug*) {
  Limits* limits = LimitsOf(L);
  if (limits == nullptr) return;
  if (limits->slicesLeft > 0 && --limits->slicesLeft > 0) return;
  limits->ranOut = true;
  // From now on every instruction raises again, so that code which catches the
  // error with pcall is stopped at its next instruction outside the pcall.
  lua_sethook(L, &CountHook, LUA_MASKCOUNT, 1);
  // Level 0 is the Lua function whose instruction the hook interrupted.
  lua_Debug frame;
  if (lua_getstack(L, 0, &frame) && lua_getinfo(L, "Sl", &frame) && frame.currentline > 0) {
    lua_pushfstring(L, "%s:%d: script stopped: more than %d instructions in one call", frame.short_src,
                    frame.currentline, static_cast<int>(kInstructionBudget));
  } else {
    lua_pushfstring(L, "script stopped: more than %d instructions in one call",
                    static_cast<int>(kInstructionBudget));
  }
  lua_error(L);
}

// As the Lua auxiliary library's own: report, then Lua aborts.
int Panic(lua_State* L) {
  const char* text = lua_tostring(L, -1);
  std::fprintf(stderr, "PANIC: unprotected error in call to Lua API (%s)\n", text ? text : "no message");
  return 0;
}

}  // namespace

lua_State* NewScriptState() {
  auto* limits = new Limits();
  lua_State* L = lua_newstate(&Allocate, limits);
  if (L == nullptr) {
    delete limits;
    return nullptr;
  }
  lua_atpanic(L, &Panic);
  // Coroutines made later copy the hook of the thread that makes them.
  lua_sethook(L, &CountHook, LUA_MASKCOUNT, kBudgetSlice);
  StartInstructionBudget(L);
  return L;
}

void CloseScriptState(lua_State* L) {
  if (L == nullptr) return;
  Limits* limits = LimitsOf(L);
  StartInstructionBudget(L);
  lua_close(L);
  delete limits;
}

std::size_t MemoryInUse(lua_State* L) {
  const Limits* limits = LimitsOf(L);
  return limits != nullptr ? limits->used : 0;
}

void StartInstructionBudget(lua_State* L) {
  Limits* limits = LimitsOf(L);
  if (limits == nullptr) return;
  limits->slicesLeft = kInstructionBudget / kBudgetSlice;
  limits->ranOut = false;
  // Setting the hook again restarts its count, so the first slice is a whole one.
  lua_sethook(L, &CountHook, LUA_MASKCOUNT, kBudgetSlice);
}

bool BudgetRanOut(lua_State* L) {
  const Limits* limits = LimitsOf(L);
  return limits != nullptr && limits->ranOut;
}

}  // namespace scripting
