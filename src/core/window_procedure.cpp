#include "core/window_procedure.h"

#include "input/input.h"

namespace core {
namespace {

WindowEventHooks g_Hooks;

void OnSystemCommand(platform::SystemCommand command, platform::Window& window) {
  using platform::SystemCommand;
  switch (command) {
    case SystemCommand::kClose:
      // A destroy message follows the window's destruction, which quits.
      if (g_Hooks.onClose == nullptr || g_Hooks.onClose()) window.Destroy();
      break;
    case SystemCommand::kMinimize:
      if (g_Hooks.onMinimize != nullptr) g_Hooks.onMinimize();
      window.Minimize();
      break;
    case SystemCommand::kFocusLost:
      if (g_Hooks.onFocusLost != nullptr) g_Hooks.onFocusLost();
      break;
    case SystemCommand::kNextWindow:
    case SystemCommand::kPrevWindow:
      if (g_Hooks.onSwitchWindow != nullptr) g_Hooks.onSwitchWindow();
      break;
  }
}

}  // namespace

void SetWindowEventHooks(const WindowEventHooks& hooks) { g_Hooks = hooks; }

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
      if (message.type == MessageType::kKeyDown && message.virtualKey == platform::kVkF9) {
        requests.toggleRecording = true;
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
    case MessageType::kPadStick:
      input::SetPadStick(message.x, message.y);
      break;
    case MessageType::kSystemCommand:
      OnSystemCommand(message.command, window);
      break;
  }
}

}  // namespace core
