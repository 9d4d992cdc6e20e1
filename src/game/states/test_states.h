// The developer states: the player test (8), three sandboxes (9 to 11) that print a
// line when entered or left, and the menu test (12). States 8 to 11 return to the
// empty state while the digit key 0 is held.
#pragma once

namespace game {

// State 8: runs the serializer self-tests and reads "Levels/PlayerTest.txt" into a
// space list of its own; shows green.
void PlayerTestInit();
void PlayerTestUpdate(float dt);

// State 12: a space of three buttons and a keyboard cursor built in code; each
// button writes a line to "MenuTest.txt" in the cache folder.
void MenuTestInit();
void MenuTestUpdate(float dt);

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
