#include "platform/key_names.h"

#include <array>
#include <utility>

#include "platform/window.h"

namespace platform {

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
  static constexpr std::array<std::pair<std::string_view, int>, 12> kNamed{{
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
  }};
  for (const auto& [known, code] : kNamed) {
    if (known == name) return code;
  }
  return 0;
}

int MouseButtonFromName(std::string_view name) {
  if (name == "left") return kVkLeftButton;
  if (name == "right") return kVkRightButton;
  if (name == "middle") return kVkMiddleButton;
  return 0;
}

}  // namespace platform
