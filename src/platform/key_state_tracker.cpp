#include "platform/key_state_tracker.h"

namespace platform {

void KeyStateTracker::Apply(const Message& message) {
  if (message.virtualKey < 0 || message.virtualKey >= kKeyCount) return;
  switch (message.type) {
    case MessageType::kKeyDown:
    case MessageType::kMouseButtonDown:
      held_[message.virtualKey] = 0x80;
      break;
    case MessageType::kKeyUp:
    case MessageType::kMouseButtonUp:
      held_[message.virtualKey] = 0;
      break;
    default:
      break;
  }
}

bool KeyStateTracker::IsHeld(int virtualKey) const {
  return virtualKey >= 0 && virtualKey < kKeyCount && (held_[virtualKey] & 0x80) != 0;
}

}  // namespace platform
