#include "game/state_table.h"

#include "game/test_states.h"

namespace game {

using core::EmptyOperation;
using core::EmptyUpdate;
using core::kEmptyState;

const core::StateTable& GameStateTable() {
  // Rows without their own operations yet hold the shared empty ones.
  static const core::StateTable kTable{{
      /* 0 Empty */ kEmptyState,
      /* 1 Level1 */ kEmptyState,
      /* 2 Level1Transition */ kEmptyState,
      /* 3 Level2 */ kEmptyState,
      /* 4 Level2Transition */ kEmptyState,
      /* 5 Level3 */ kEmptyState,
      /* 6 LevelWin */ kEmptyState,
      /* 7 GameLogos */ kEmptyState,
      /* 8 PlayerTest */ kEmptyState,
      /* 9 SBPimrow */
      {EmptyOperation, EmptyOperation, SBPimrowUpdate, SBPimrowShutdown, EmptyOperation},
      /* 10 SBZorbel */
      {EmptyOperation, SBZorbelInit, SBZorbelUpdate, SBZorbelShutdown, EmptyOperation},
      /* 11 SBQuenta */
      {EmptyOperation, SBQuentaInit, SBQuentaUpdate, SBQuentaShutdown, EmptyOperation},
      /* 12 MenuTestSpace */ kEmptyState,
  }};
  return kTable;
}

}  // namespace game
