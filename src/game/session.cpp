#include "game/session.h"

namespace game {

GameSession& Session() {
  static GameSession session;
  return session;
}

}  // namespace game
