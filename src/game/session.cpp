#include "game/session.h"

#include "game/blocks.h"

namespace game {

GameSession& Session() { return GameBlock<GameSession>(); }

}  // namespace game
