// Which game state runs and which one is wanted: the two integers every layer may
// read, and any code may write `next` of (a button, a UI component, a script, a
// level's logic), and the two values outside every state table. The states
// themselves are the game's (game/game_states.h); the state manager in core/ is the
// one reader that acts on the integers, at fixed points of the frame.
#pragma once

namespace base {

inline constexpr int kQuitState = -2;  // the main loop quits after the frame
inline constexpr int kNoState = -3;    // the current state before the first frame

// How many rows the state table has that the running state manager drives (set by
// it; 0 while there is none), and whether a number selects one of them.
void SetStateCount(int count);
int StateCount();
inline bool IsTableState(int state) { return state >= 0 && state < StateCount(); }

struct GameStates {
  int current = kNoState;  // the state that is running; written only by the manager
  int next = kNoState;     // the state asked for; the last write before the check wins

  // Start-up values: no current state and none asked for yet.
  void Reset() { *this = GameStates{}; }
};

// The one pair of state integers of the process.
GameStates& States();

}  // namespace base
