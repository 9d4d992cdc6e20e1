#include "game/game_flags.h"

#include "graphics/graphics.h"

namespace game {

bool g_CloseWithoutPrompt = true;
bool g_MenuOpen = false;
bool g_PauseRequested = false;
bool g_PausedFromMinimize = false;
bool g_GamePaused = false;
bool g_FullScreen = true;
std::string g_CurrentLevelSpace = "BLANK";

void ResetGameFlags() {
  g_CloseWithoutPrompt = true;
  g_MenuOpen = false;
  g_PauseRequested = false;
  g_PausedFromMinimize = false;
  g_GamePaused = false;
  g_FullScreen = true;
  g_CurrentLevelSpace = "BLANK";
}

void ToggleFullScreen() {
  graphics::SetFullScreen(!g_FullScreen);
  g_FullScreen = !g_FullScreen;
}

void ShowWindowExitPrompt() {
  // The exit question lives in the menu spaces, which no state loads yet: until
  // they do, a close after the first level is ignored, as it is whenever the
  // question's space is missing.
}

}  // namespace game
