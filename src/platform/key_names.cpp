#include "platform/key_names.h"

#include <array>
#include <utility>

#include "platform/window.h"

namespace platform {
namespace {

constexpr std::array<std::pair<std::string_view, int>, 26> kNamedKeys{{
    {"Enter", kVkReturn},
    {"Escape", kVkEscape},
    {"Space", kVkSpace},
    {"Tab", kVkTab},
    {"Backspace", kVkBackspace},
    {"Left", kVkLeft},
    {"Up", kVkUp},
    {"Right", kVkRight},
    {"Down", kVkDown},
    {"Shift", kVkShift},
    {"Ctrl", kVkControl},
    {"Alt", kVkAlt},
    {"PadA", kVkPadA},
    {"PadB", kVkPadB},
    {"PadX", kVkPadX},
    {"PadY", kVkPadY},
    {"PadRightShoulder", kVkPadRightShoulder},
    {"PadLeftShoulder", kVkPadLeftShoulder},
    {"PadUp", kVkPadUp},
    {"PadDown", kVkPadDown},
    {"PadLeft", kVkPadLeft},
    {"PadRight", kVkPadRight},
    {"PadStart", kVkPadStart},
    {"PadBack", kVkPadBack},
    {"PadLeftStick", kVkPadLeftStickButton},
    {"PadRightStick", kVkPadRightStickButton},
}};

constexpr std::array<std::pair<std::string_view, int>, 3> kMouseButtons{{
    {"left", kVkLeftButton},
    {"right", kVkRightButton},
    {"middle", kVkMiddleButton},
}};

}  // namespace

int VirtualKeyFromName(std::string_view name) {
  if (name.size() == 1) {
    const char c = name[0];
    if (c >= 'A' && c <= 'Z') return c;
    if (c >= '0' && c <= '9') return c;
  }
  if (name.size() >= 2 && name.size() <= 3 && name[0] == 'F') {
    int number = 0;
    for (char c : name.substr(1)) {
      if (c < '0' || c > '9') return 0;
      number = number * 10 + (c - '0');
    }
    if (number >= 1 && number <= 12 && name[1] != '0') return kVkF1 + number - 1;
    return 0;
  }
  for (const auto& [known, code] : kNamedKeys) {
    if (known == name) return code;
  }
  return 0;
}

int MouseButtonFromName(std::string_view name) {
  for (const auto& [known, code] : kMouseButtons) {
    if (known == name) return code;
  }
  return 0;
}

std::string VirtualKeyName(int virtualKey) {
  if ((virtualKey >= 'A' && virtualKey <= 'Z') || (virtualKey >= '0' && virtualKey <= '9')) {
    return std::string(1, static_cast<char>(virtualKey));
  }
  if (virtualKey >= kVkF1 && virtualKey <= kVkF12) return "F" + std::to_string(virtualKey - kVkF1 + 1);
  for (const auto& [name, code] : kNamedKeys) {
    if (code == virtualKey) return std::string(name);
  }
  return "";
}

std::string MouseButtonName(int virtualKey) {
  for (const auto& [name, code] : kMouseButtons) {
    if (code == virtualKey) return std::string(name);
  }
  return "";
}

}  // namespace platform
