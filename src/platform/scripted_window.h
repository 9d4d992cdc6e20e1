// A window whose message queue is fed by a script ahead of the messages of the
// window it wraps: scripted play on a real window, for screenshots of a run.
#pragma once

#include <deque>

#include "platform/key_state_tracker.h"
#include "platform/window.h"

namespace platform {

class ScriptedWindow final : public Window {
 public:
  // The wrapped window is not owned and must outlive this one. When the script owns
  // the input, the wrapped window's own key and mouse messages are dropped, so that a
  // scripted run plays the same on a real window as on a headless one.
  ScriptedWindow(Window& inner, bool scriptOwnsInput) : inner_(inner), scriptOwnsInput_(scriptOwnsInput) {}

  // Queues a message ahead of whatever the wrapped window reports.
  void Post(const Message& message) { queue_.push_back(message); }

  bool PeekMessage(Message& message) override;
  Rect GetClientRect() const override { return inner_.GetClientRect(); }
  bool IsKeyHeld(int virtualKey) const override;
  void GetKeyboardState(KeyboardState& state) const override;
  void SetFullScreen(bool fullScreen) override { inner_.SetFullScreen(fullScreen); }
  bool IsFullScreen() const override { return inner_.IsFullScreen(); }
  void Minimize() override { inner_.Minimize(); }
  void Destroy() override { inner_.Destroy(); }
  void ShowMessageBox(std::string_view caption, std::string_view text) override {
    inner_.ShowMessageBox(caption, text);
  }
  GlSurface* GetGlSurface() override { return inner_.GetGlSurface(); }

 private:
  Window& inner_;
  bool scriptOwnsInput_;
  std::deque<Message> queue_;
  KeyStateTracker scripted_;  // keys held by scripted messages
};

}  // namespace platform
