// The immediate key state a window reports: which keys and buttons are held as of
// the messages taken so far. Shared by the window backends.
#pragma once

#include "platform/window.h"

namespace platform {

class KeyStateTracker {
 public:
  // Updates the state from a message that has just been taken from the queue.
  void Apply(const Message& message);

  // The release of one key or button still held, as a message that has been
  // applied; false when nothing is held. A window that loses the focus gets no
  // releases, so it hands these out first and no key stays down behind its back.
  // With `padOnly`, only the game controller's buttons (its removal).
  bool TakeRelease(Message& release, bool padOnly = false);

  bool IsHeld(int virtualKey) const;
  const KeyboardState& State() const { return held_; }

 private:
  KeyboardState held_{};
  int pointerX_ = 0;  // where the last mouse message put the pointer, client pixels
  int pointerY_ = 0;
};

}  // namespace platform
