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

std::string_view GameStateDescription(int state) {
  static constexpr std::array<std::string_view, kStateCount> kDescriptions{
      "nothing: a blank screen (holding 0 in states 8 to 11 leads here)",
      "the first level, with the welcome intro",
      "the screen between Level1 and Level2",
      "the second level",
      "the screen between Level2 and Level3",
      "the third level",
      "the win level after Level3, with the end screen over it",
      "the logo screens that open the game",
      "developer: runs the serializer self-tests",
      "developer: a sandbox that prints a line when entered and left",
      "developer: a sandbox that prints a line when entered and left",
      "developer: a sandbox that prints a line when entered and left",
      "developer: the menu test (three buttons and a keyboard cursor)",
      "a level file of the player's own, entered with --level FILE or from the Custom levels page"};
  if (state >= 0 && state < kStateCount) return kDescriptions[static_cast<unsigned>(state)];
  return {};
}

}  // namespace game
