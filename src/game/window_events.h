// The game's answers to the window's close, minimise and window switching,
// installed into the engine's window procedure at start-up.
#pragma once

namespace game {

// Before the first level a close quits; afterwards it asks (the exit question),
// unless no question can be shown, which quits as before.
bool OnWindowClose();
// A minimise during play opens the pause menu on the level's next frame.
void OnWindowMinimize();
// Losing the focus during a level does the same, so that play never runs on
// unattended; coming back finds the pause menu open.
void OnWindowFocusLost();
// Switching away must not leave the game stuck windowed: back to full screen.
void OnWindowSwitch();

}  // namespace game
