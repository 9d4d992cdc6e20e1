#include "platform/scripted_window.h"

namespace platform {

namespace {

// What the script stands in for when it owns the input: keys, buttons, the pointer,
// the stick and the keyboard focus. A recording carries its own focus lines; the real
// window's focus (another window opening on the same display) is no part of the run.
bool IsInput(const Message& message) {
  if (message.type == MessageType::kSystemCommand) return message.command == SystemCommand::kFocusLost;
  return message.type != MessageType::kDestroy;
}

}  // namespace

bool ScriptedWindow::PeekMessage(Message& message) {
  if (!queue_.empty()) {
    message = queue_.front();
    queue_.pop_front();
    scripted_.Apply(message);
    return true;
  }
  while (inner_.PeekMessage(message)) {
    if (!scriptOwnsInput_ || !IsInput(message)) return true;
  }
  return false;
}

bool ScriptedWindow::IsKeyHeld(int virtualKey) const {
  return scripted_.IsHeld(virtualKey) || (!scriptOwnsInput_ && inner_.IsKeyHeld(virtualKey));
}

void ScriptedWindow::GetKeyboardState(KeyboardState& state) const {
  state = scripted_.State();
  if (scriptOwnsInput_) return;
  KeyboardState own{};
  inner_.GetKeyboardState(own);
  for (int code = 0; code < kKeyCount; ++code) state[code] |= own[code];
}

}  // namespace platform
