// Which game state runs: a table of states with five operations each, which the
// game fills (one row a state, by identifier), driven by the state integers of
// base/game_states.h. Any code asks for a
// state by writing base::States().next; the change happens at fixed points of the
// frame, so no state is torn down in the middle of its own update.
#pragma once

#include <vector>

#include "base/game_states.h"

namespace core {

struct GameStateOperations {
  void (*load)();
  void (*init)();
  void (*update)(float dt);  // dt in seconds
  void (*shutdown)();
  void (*unload)();
};
using StateTable = std::vector<GameStateOperations>;

// The one operation every slot without work holds.
void EmptyOperation();
void EmptyUpdate(float dt);
inline constexpr GameStateOperations kEmptyState{EmptyOperation, EmptyOperation, EmptyUpdate, EmptyOperation,
                                                 EmptyOperation};

class GameStateManager {
 public:
  // The table is not copied and must outlive the manager; its size becomes the
  // state count every layer checks a state number against.
  explicit GameStateManager(const StateTable& table) : table_(table) {
    base::SetStateCount(static_cast<int>(table.size()));
  }

  // One frame: enter the wanted state (Load, Init), update the current one, and
  // leave it (Shutdown, Unload) if another state has been asked for meanwhile.
  void Step(float dt);

 private:
  const StateTable& table_;
};

}  // namespace core
