// Process-wide flags of the menus and overlays, read and written by the window
// procedure, the level logic and the menus.
#pragma once

#include <string>

namespace game {

// Closing the window quits at once; cleared by the first level's Init, after
// which a close shows the exit prompt.
extern bool g_CloseWithoutPrompt;
// An in-game overlay (pause menu or exit prompt) is showing.
extern bool g_MenuOpen;
// The window was minimised; the pause menu opens at its next check.
extern bool g_PauseRequested;
// The pause menu was opened because of a minimise.
extern bool g_PausedFromMinimize;
// Toggled each time an overlay opens or closes.
extern bool g_GamePaused;
// The picture is shown full screen; the game starts so.
extern bool g_FullScreen;
// Name of the space of the level being played ("BLANK" before the first level).
extern std::string g_CurrentLevelSpace;

// Puts every flag back to its start-up value (tests).
void ResetGameFlags();

// The screen switch: windowed when full screen, full screen otherwise.
void ToggleFullScreen();

// The window's close button after the first level has started: shows the exit
// question over the paused level, or ignores the close while that question's
// space is not loaded or the pause menu's own exit question is showing.
void ShowWindowExitPrompt();

}  // namespace game
