// A window without a screen: messages come from a script the caller queues, and
// everything the game does to the window is recorded for inspection.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "platform/key_state_tracker.h"
#include "platform/window.h"

namespace platform::headless {

class HeadlessWindow final : public Window {
 public:
  struct MessageBoxRecord {
    std::string caption;
    std::string text;
  };

  // Appends a message to the queue, as if the user had produced it.
  void Post(const Message& message);
  void PostKey(int virtualKey, bool down);
  void PostMouseMove(int x, int y);
  void PostMouseButton(int virtualKey, bool down, int x, int y);
  void PostSystemCommand(SystemCommand command);

  std::size_t PendingMessages() const { return queue_.size(); }
  bool IsMinimized() const { return minimized_; }
  bool IsDestroyed() const { return destroyed_; }
  const std::vector<MessageBoxRecord>& MessageBoxes() const { return messageBoxes_; }

  bool PeekMessage(Message& message) override;
  Rect GetClientRect() const override;
  bool IsKeyHeld(int virtualKey) const override;
  void GetKeyboardState(KeyboardState& state) const override;
  void SetFullScreen(bool fullScreen) override { fullScreen_ = fullScreen; }
  bool IsFullScreen() const override { return fullScreen_; }
  void Minimize() override { minimized_ = true; }
  void Destroy() override;
  void ShowMessageBox(std::string_view caption, std::string_view text) override;

 private:
  std::deque<Message> queue_;
  KeyStateTracker keys_;
  bool fullScreen_ = true;
  bool minimized_ = false;
  bool destroyed_ = false;
  std::vector<MessageBoxRecord> messageBoxes_;
};

}  // namespace platform::headless
