#include "platform/key_state_tracker.h"

namespace platform {

void KeyStateTracker::Apply(const Message& message) {
  const bool mouse = message.type == MessageType::kMouseMove ||
                     message.type == MessageType::kMouseButtonDown ||
                     message.type == MessageType::kMouseButtonUp;
  if (mouse) {
    pointerX_ = message.x;
    pointerY_ = message.y;
  }
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

bool KeyStateTracker::TakeRelease(Message& release, bool padOnly) {
  for (int code = 0; code < kKeyCount; ++code) {
    if ((held_[code] & 0x80) == 0 || (padOnly && !IsPadKey(code))) continue;
    release = Message{};
    const bool button = code == kVkLeftButton || code == kVkRightButton || code == kVkMiddleButton;
    release.type = button ? MessageType::kMouseButtonUp : MessageType::kKeyUp;
    release.virtualKey = code;
    // A button comes up where the pointer is, as a real release would.
    if (button) {
      release.x = pointerX_;
      release.y = pointerY_;
    }
    Apply(release);
    return true;
  }
  return false;
}

bool KeyStateTracker::IsHeld(int virtualKey) const {
  return virtualKey >= 0 && virtualKey < kKeyCount && (held_[virtualKey] & 0x80) != 0;
}

}  // namespace platform
