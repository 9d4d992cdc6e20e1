// The end screen, shown over the win level once Level3 is won: each built-in
// level's rating and time of this run, their total, and the buttons Play again
// (a new run from Level1) and Quit (the exit question).
#pragma once

namespace game {

// Reads the screen's file once (an inactive space) and makes its text and cursor.
void LoadEndScreen();
// Fills the rows from this run's results and shows the screen over the win level,
// which stands still behind it.
void ShowEndScreen();
// Each frame before the spaces run: the exit question Quit asked for, the keyboard
// and controller on whichever of the screen and the question is on top.
void UpdateEndScreen();
void HideEndScreen();

}  // namespace game
