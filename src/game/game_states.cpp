#include "game/game_states.h"

#include <array>

#include "base/game_states.h"

namespace game {

std::string_view GameStateName(int state) {
  static constexpr std::array<std::string_view, kStateCount> kNames{
      "Empty",    "Level1",   "Level1Transition", "Level2",     "Level2Transition",
      "Level3",   "LevelWin", "GameLogos",        "PlayerTest", "SBPimrow",
      "SBZorbel", "SBQuenta", "MenuTestSpace",    "CustomLevel"};
  if (state >= 0 && state < kStateCount) return kNames[static_cast<unsigned>(state)];
  if (state == base::kQuitState) return "Quit";
  if (state == base::kNoState) return "None";
  return "Invalid";
}

}  // namespace game
