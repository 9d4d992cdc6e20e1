// The game as the engine runs it: its table of fourteen states and the hooks it
// installs into the engine. Only the entry point and the runner include this.
#pragma once

#include "core/game_state_manager.h"

namespace game {

// One row for each identifier of game_states.h.
const core::StateTable& GameStateTable();

// Installs the level-end hook of the "nextLevelTrigger" handler, the star count
// that PlayerUI publishes, the answers to the window's close, minimise and
// window switching, and the notices shown over the frames. Call once, after the
// engine has started.
void InstallGameHooks();

// Puts the whole game back to its start-up state: session, menus, level logic,
// logos, references into spaces (tests and tools, after the spaces were reset).
void ResetGame();

}  // namespace game
