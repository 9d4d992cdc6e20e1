// The game layer's state for the whole run, in named blocks: each module keeps its
// own block type (private to it where nothing else reads it) and reaches its one
// instance through GameBlock<T>(); ResetGameBlocks puts every block back to its
// start-up value in one call.
#pragma once

namespace game {

namespace blocks_detail {
// Remembers how to put one block back; called once per block type, on first use.
void AddReset(void (*reset)());
}  // namespace blocks_detail

// The one block of type T of the process, made with its start-up values on first use.
template <typename T>
T& GameBlock() {
  static T block;
  [[maybe_unused]] static const bool registered = (blocks_detail::AddReset([] { block = T{}; }), true);
  return block;
}

// Every block that has been used back to its start-up values (tests, tools, and
// the game between runs of the whole sequence).
void ResetGameBlocks();

}  // namespace game
