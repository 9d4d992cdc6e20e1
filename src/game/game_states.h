// The game's states: the rows of the state table it gives the engine's state
// manager (state_table.cpp), by identifier, and their names.
#pragma once

#include <string_view>

namespace game {

enum GameStateId : int {
  kEmpty = 0,
  kLevel1 = 1,
  kLevel1Transition = 2,
  kLevel2 = 3,
  kLevel2Transition = 4,
  kLevel3 = 5,
  kLevelWin = 6,
  kGameLogos = 7,
  kPlayerTest = 8,
  kSBPimrow = 9,
  kSBZorbel = 10,
  kSBQuenta = 11,
  kMenuTestSpace = 12,
  kCustomLevel = 13,  // a level played from a file of its own
};
inline constexpr int kStateCount = 14;
// A UI may ask for the states below this one: a custom level is entered with its
// file (--level FILE or the Custom levels page), never by number.
inline constexpr int kUiStateCount = kCustomLevel;
// Where the game begins.
inline constexpr int kFirstState = kGameLogos;

// The name of a state identifier ("Level1", "GameLogos"), or "Quit", "None" and
// "Invalid" for the values outside the table.
std::string_view GameStateName(int state);
// What the state shows, in one line; empty outside the table.
std::string_view GameStateDescription(int state);

}  // namespace game
