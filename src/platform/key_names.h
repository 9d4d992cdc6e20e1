// Names of virtual-key codes as people write them in input scripts:
// "A".."Z", "0".."9", "Enter", "Escape", "Space", "Tab", "Backspace", "Left",
// "Up", "Right", "Down", "Shift", "Ctrl", "Alt", "F1".."F12", and the game
// controller's buttons "PadA", "PadB", "PadX", "PadY", "PadLeftShoulder",
// "PadRightShoulder", "PadUp", "PadDown", "PadLeft", "PadRight" (the D-pad),
// "PadStart", "PadBack", "PadLeftStick", "PadRightStick" (the sticks pressed in).
#pragma once

#include <string>
#include <string_view>

namespace platform {

// The code of a key name (case-sensitive), or 0 when the name is unknown.
int VirtualKeyFromName(std::string_view name);

// The code of a mouse button name ("left", "right", "middle"), or 0.
int MouseButtonFromName(std::string_view name);

// The name of a key code as VirtualKeyFromName reads it, or "" for a code without one.
std::string VirtualKeyName(int virtualKey);
// The name of a mouse button code, or "" for another code.
std::string MouseButtonName(int virtualKey);

}  // namespace platform
