#include "core/window_procedure.h"

#include "game/game_flags.h"
#include "input/input.h"

namespace core {
namespace {

void OnSystemCommand(platform::SystemCommand command, platform::Window& window) {
  using platform::SystemCommand;
  switch (command) {
    case SystemCommand::kClose:
      if (game::g_CloseWithoutPrompt) {
        window.Destroy();  // a destroy message follows, which quits
      } else {
        game::ShowWindowExitPrompt();
      }
      break;
    case SystemCommand::kMinimize:
      if (!game::g_PausedFromMinimize && !game::g_MenuOpen) game::g_PauseRequested = true;
      window.Minimize();
      break;
    case SystemCommand::kNextWindow:
    case SystemCommand::kPrevWindow:
      // Switching windows must not leave the game stuck windowed: the toggle,
      // seeing the flag clear, goes (back) to full screen.
      game::g_FullScreen = false;
      game::ToggleFullScreen();
      break;
  }
}

}  // namespace

void WindowProcedure(const platform::Message& message, platform::Window& window, LoopRequests& requests) {
  using platform::MessageType;
  switch (message.type) {
    case MessageType::kDestroy:
      requests.PostQuit(0);
      break;
    case MessageType::kKeyDown:
    case MessageType::kKeyUp:
      input::SetRawKey(message.virtualKey, message.type == MessageType::kKeyDown);
      if (message.type == MessageType::kKeyDown && message.virtualKey == platform::kVkF12) {
        requests.screenshot = true;
      }
      break;
    case MessageType::kMouseButtonDown:
    case MessageType::kMouseButtonUp:
      input::SetRawKey(message.virtualKey, message.type == MessageType::kMouseButtonDown);
      input::SetMousePosition(message.x, message.y);
      break;
    case MessageType::kMouseMove:
      input::SetMousePosition(message.x, message.y);
      break;
    case MessageType::kSystemCommand:
      OnSystemCommand(message.command, window);
      break;
  }
}

}  // namespace core
