#include "game/window_events.h"

#include "game/menus/menus.h"
#include "game/session.h"

namespace game {

bool OnWindowClose() {
  if (Session().closeWithoutPrompt) return true;
  return ShowWindowExitPrompt() == CloseAnswer::kQuit;
}

void OnWindowMinimize() {
  GameSession& session = Session();
  if (!session.pausedFromMinimize && !session.menuOpen) session.pauseRequested = true;
}

void OnWindowSwitch() {
  // The toggle, seeing the flag clear, goes (back) to full screen.
  Session().fullScreen = false;
  ToggleFullScreen();
}

}  // namespace game
