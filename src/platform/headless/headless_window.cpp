#include "platform/headless/headless_window.h"

namespace platform::headless {

void HeadlessWindow::Post(const Message& message) { queue_.push_back(message); }

void HeadlessWindow::PostKey(int virtualKey, bool down) {
  Message message;
  message.type = down ? MessageType::kKeyDown : MessageType::kKeyUp;
  message.virtualKey = virtualKey;
  Post(message);
}

void HeadlessWindow::PostMouseMove(int x, int y) {
  Message message;
  message.type = MessageType::kMouseMove;
  message.x = x;
  message.y = y;
  Post(message);
}

void HeadlessWindow::PostMouseButton(int virtualKey, bool down, int x, int y) {
  Message message;
  message.type = down ? MessageType::kMouseButtonDown : MessageType::kMouseButtonUp;
  message.virtualKey = virtualKey;
  message.x = x;
  message.y = y;
  Post(message);
}

void HeadlessWindow::PostSystemCommand(SystemCommand command) {
  Message message;
  message.type = MessageType::kSystemCommand;
  message.command = command;
  Post(message);
}

bool HeadlessWindow::PeekMessage(Message& message) {
  if (queue_.empty()) return false;
  const Message& next = queue_.front();
  const bool focusLost =
      next.type == MessageType::kSystemCommand && next.command == SystemCommand::kFocusLost;
  if (focusLost && keys_.TakeRelease(message)) return true;
  message = queue_.front();
  queue_.pop_front();
  keys_.Apply(message);
  return true;
}

Rect HeadlessWindow::GetClientRect() const { return Rect{0, 0, kClientWidth, kClientHeight}; }

bool HeadlessWindow::IsKeyHeld(int virtualKey) const { return keys_.IsHeld(virtualKey); }

void HeadlessWindow::GetKeyboardState(KeyboardState& state) const { state = keys_.State(); }

void HeadlessWindow::Destroy() {
  if (destroyed_) return;
  destroyed_ = true;
  Message message;
  message.type = MessageType::kDestroy;
  Post(message);
}

void HeadlessWindow::ShowMessageBox(std::string_view caption, std::string_view text) {
  messageBoxes_.push_back({std::string(caption), std::string(text)});
}

}  // namespace platform::headless
