// What the game installs into the gameplay components: the operations they call
// out to, kept in one block so that one call puts them all back.
#pragma once

namespace components {

struct ComponentHooks {
  // The level-end operation "nextLevelTrigger" runs; null (nothing happens beyond
  // the sound) until the game installs it. It runs inside a space's collision pass:
  // it may change flags, objects' activity and the next state, but must not load,
  // unload or clear spaces, which are being walked.
  void (*levelEnd)() = nullptr;
  // Where PlayerUI publishes the collected-star count whenever the counter it shows
  // changes; null (the count is only shown) until the game installs it.
  void (*starCount)(int count) = nullptr;

  // Nothing installed (start-up; tests).
  void Reset() { *this = ComponentHooks{}; }
};

// The one block of the process.
ComponentHooks& Hooks();

}  // namespace components
