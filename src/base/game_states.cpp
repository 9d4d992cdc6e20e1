#include "base/game_states.h"

#include <array>

namespace base {

GameStates& States() {
  static GameStates states;
  return states;
}

std::string_view GameStateName(int state) {
  static constexpr std::array<std::string_view, kStateCount> kNames{
      "Empty",    "Level1",   "Level1Transition", "Level2",     "Level2Transition",
      "Level3",   "LevelWin", "GameLogos",        "PlayerTest", "SBPimrow",
      "SBZorbel", "SBQuenta", "MenuTestSpace"};
  if (IsTableState(state)) return kNames[static_cast<unsigned>(state)];
  if (state == kQuitState) return "Quit";
  if (state == kNoState) return "None";
  return "Invalid";
}

}  // namespace base
