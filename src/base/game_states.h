// Which game state runs and which one is wanted: the state identifiers and the two
// integers every layer may read, and any code may write `next` of (a button, a UI
// component, a script, a level's logic). The state manager in core/ is the one
// reader that acts on them, at fixed points of the frame.
#pragma once

#include <string_view>

namespace base {

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
};
inline constexpr int kStateCount = 13;
inline constexpr int kQuitState = -2;  // the main loop quits after the frame
inline constexpr int kNoState = -3;    // the current state before the first frame

// True for identifiers that select a row of the state table.
inline bool IsTableState(int state) {
  return static_cast<unsigned>(state) < static_cast<unsigned>(kStateCount);
}

// The name of a state identifier ("Level1", "GameLogos"), or "Quit", "None" and
// "Invalid" for the values outside the table.
std::string_view GameStateName(int state);

struct GameStates {
  int current = kNoState;  // the state that is running; written only by the manager
  int next = kGameLogos;   // the state asked for; the last write before the check wins

  // Start-up values: no current state, GameLogos wanted.
  void Reset() { *this = GameStates{}; }
};

// The one pair of state integers of the process.
GameStates& States();

}  // namespace base
