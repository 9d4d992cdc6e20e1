// The immediate key state a window reports: which keys and buttons are held as of
// the messages taken so far. Shared by the window backends.
#pragma once

#include "platform/window.h"

namespace platform {

class KeyStateTracker {
 public:
  // Updates the state from a message that has just been taken from the queue.
  void Apply(const Message& message);

  bool IsHeld(int virtualKey) const;
  const KeyboardState& State() const { return held_; }

 private:
  KeyboardState held_{};
};

}  // namespace platform
