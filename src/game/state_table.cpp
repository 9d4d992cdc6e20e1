// The game's table of fourteen states, one row each, in identifier order (see
// game_states.h): load, init, update, shutdown, unload.
#include "game/game.h"
#include "game/game_states.h"
#include "game/states/custom_level.h"
#include "game/states/levels.h"
#include "game/states/logos.h"
#include "game/states/test_states.h"
#include "game/states/win_level.h"

namespace game {

const core::StateTable& GameStateTable() {
  using core::EmptyOperation;
  using core::EmptyUpdate;
  static const core::StateTable kTable{
      /* 0 Empty */ core::kEmptyState,
      /* 1 Level1 */ {Level1Load, Level1Init, Level1Update, EmptyOperation, Level1Unload},
      /* 2 Level1Transition */
      {Level1TransitionLoad, EmptyOperation, Level1TransitionUpdate, TransitionShutdown,
       Level1TransitionUnload},
      /* 3 Level2 */ {Level2Load, Level2Init, LevelUpdate, EmptyOperation, Level2Unload},
      /* 4 Level2Transition */
      {Level2TransitionLoad, EmptyOperation, Level2TransitionUpdate, TransitionShutdown,
       Level2TransitionUnload},
      /* 5 Level3 */ {Level3Load, Level3Init, LevelUpdate, EmptyOperation, Level3Unload},
      /* 6 LevelWin */ {WinLoad, WinInit, WinUpdate, EmptyOperation, WinUnload},
      /* 7 GameLogos */ {LogosLoad, LogosInit, LogosUpdate, EmptyOperation, LogosUnload},
      /* 8 PlayerTest */ {EmptyOperation, PlayerTestInit, PlayerTestUpdate, EmptyOperation, EmptyOperation},
      /* 9 SBPimrow */ {EmptyOperation, EmptyOperation, SBPimrowUpdate, SBPimrowShutdown, EmptyOperation},
      /* 10 SBZorbel */ {EmptyOperation, SBZorbelInit, SBZorbelUpdate, SBZorbelShutdown, EmptyOperation},
      /* 11 SBQuenta */ {EmptyOperation, SBQuentaInit, SBQuentaUpdate, SBQuentaShutdown, EmptyOperation},
      /* 12 MenuTestSpace */ {EmptyOperation, MenuTestInit, MenuTestUpdate, EmptyOperation, EmptyOperation},
      /* 13 CustomLevel */
      {CustomLevelLoad, CustomLevelInit, CustomLevelUpdate, EmptyOperation, CustomLevelUnload},
  };
  static_assert(kStateCount == 14, "one row for each state identifier");
  return kTable;
}

}  // namespace game
