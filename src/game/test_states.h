// The developer sandbox states: each prints a line when entered or left and
// returns to the empty state while the digit key 0 is held.
#pragma once

namespace game {

void SBPimrowUpdate(float dt);
void SBPimrowShutdown();
void SBZorbelInit();
void SBZorbelUpdate(float dt);
void SBZorbelShutdown();
void SBQuentaInit();
void SBQuentaUpdate(float dt);
void SBQuentaShutdown();

// Asks for the empty state while the 0 key is held (live key state, not the snapshot).
void ReturnToEmptyOnKeyZero();

}  // namespace game
