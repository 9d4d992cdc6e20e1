#include "base/game_states.h"

namespace base {
namespace {

int g_StateCount = 0;

}  // namespace

void SetStateCount(int count) { g_StateCount = count; }
int StateCount() { return g_StateCount; }

GameStates& States() {
  static GameStates states;
  return states;
}

}  // namespace base
