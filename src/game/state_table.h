// The game's table of thirteen states, in identifier order.
#pragma once

#include "core/game_state_manager.h"

namespace game {

const core::StateTable& GameStateTable();

}  // namespace game
