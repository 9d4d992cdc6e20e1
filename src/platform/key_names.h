// Names of virtual-key codes as people write them in input scripts:
// "A".."Z", "0".."9", "Enter", "Escape", "Space", "Tab", "Backspace", "Left",
// "Up", "Right", "Down", "Shift", "Ctrl", "Alt", "F1".."F12".
#pragma once

#include <string_view>

namespace platform {

// The code of a key name (case-sensitive), or 0 when the name is unknown.
int VirtualKeyFromName(std::string_view name);

// The code of a mouse button name ("left", "right", "middle"), or 0.
int MouseButtonFromName(std::string_view name);

}  // namespace platform
