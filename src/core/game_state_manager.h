// Which game state runs: a fixed table of thirteen states with five operations
// each, driven by the state integers of base/game_states.h. Any code asks for a
// state by writing base::States().next; the change happens at fixed points of the
// frame, so no state is torn down in the middle of its own update.
#pragma once

#include <array>

#include "base/game_states.h"

namespace core {

struct GameStateOperations {
  void (*load)();
  void (*init)();
  void (*update)(float dt);  // dt in seconds
  void (*shutdown)();
  void (*unload)();
};
using StateTable = std::array<GameStateOperations, base::kStateCount>;

// The one operation every slot without work holds.
void EmptyOperation();
void EmptyUpdate(float dt);
inline constexpr GameStateOperations kEmptyState{EmptyOperation, EmptyOperation, EmptyUpdate, EmptyOperation,
                                                 EmptyOperation};

class GameStateManager {
 public:
  // The table is not copied and must outlive the manager.
  explicit GameStateManager(const StateTable& table) : table_(table) {}

  // One frame: enter the wanted state (Load, Init), update the current one, and
  // leave it (Shutdown, Unload) if another state has been asked for meanwhile.
  void Step(float dt);

 private:
  const StateTable& table_;
};

}  // namespace core
