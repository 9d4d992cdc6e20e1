// The window system as the engine sees it: one window of a fixed client size, a
// queue of messages, key state, full screen, presentation and message boxes.
// Backends: platform/sdl (a real window) and platform/headless (a scripted queue).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

// Virtual-key codes carried by key and mouse-button messages; the full table of
// keyboard keys lives with the SDL backend's translation.
enum VirtualKey : int {
  kVkLeftButton = 0x01,
  kVkRightButton = 0x02,
  kVkMiddleButton = 0x04,
  kVkBackspace = 0x08,
  kVkTab = 0x09,
  kVkReturn = 0x0D,
  kVkShift = 0x10,
  kVkControl = 0x11,
  kVkAlt = 0x12,
  kVkEscape = 0x1B,
  kVkSpace = 0x20,
  kVkLeft = 0x25,
  kVkUp = 0x26,
  kVkRight = 0x27,
  kVkDown = 0x28,
  kVk0 = 0x30,   // digits 0x30-0x39, letters 0x41-0x5A as their upper-case ASCII codes
  kVkF1 = 0x70,  // F1-F12 are 0x70-0x7B
  kVkF9 = 0x78,
  kVkF12 = 0x7B,
  // The first game controller's buttons, carried as key messages under the codes
  // Windows gives gamepads (0xC3-0xD6), in the layout of an Xbox pad: A south, B east.
  kVkPadA = 0xC3,
  kVkPadB = 0xC4,
  kVkPadX = 0xC5,
  kVkPadY = 0xC6,
  kVkPadRightShoulder = 0xC7,
  kVkPadLeftShoulder = 0xC8,
  kVkPadUp = 0xCB,  // the D-pad
  kVkPadDown = 0xCC,
  kVkPadLeft = 0xCD,
  kVkPadRight = 0xCE,
  kVkPadStart = 0xCF,
  kVkPadBack = 0xD0,
  kVkPadLeftStickButton = 0xD1,
  kVkPadRightStickButton = 0xD2,
  // The left stick pushed well over in one direction, as keys; the input tables
  // derive them from stick messages, so menus can step with the stick.
  kVkPadStickUp = 0xD3,
  kVkPadStickDown = 0xD4,
  kVkPadStickRight = 0xD5,
  kVkPadStickLeft = 0xD6,
};

inline constexpr bool IsPadKey(int virtualKey) {
  return virtualKey >= kVkPadA && virtualKey <= kVkPadStickLeft;
}

// Full deflection of a stick axis in a stick message.
inline constexpr int kStickMax = 32767;

// Number of entries of every key table: virtual-key codes are below 256.
inline constexpr int kKeyCount = 256;

// System commands: what the window asks the game to do with itself.
enum class SystemCommand {
  kClose,       // close button, Alt+F4
  kMinimize,    // minimise box
  kNextWindow,  // switching windows away from full screen
  kPrevWindow,
  kFocusLost,  // another window took the keyboard focus (alt-tab, a click elsewhere)
};

enum class MessageType {
  kKeyDown,
  kKeyUp,
  kMouseMove,
  kMouseButtonDown,
  kMouseButtonUp,
  kSystemCommand,
  kDestroy,   // the window has been destroyed
  kPadStick,  // the first game controller's left stick moved
};

struct Message {
  MessageType type = MessageType::kKeyDown;
  int virtualKey = 0;  // key and button messages
  int x = 0;           // mouse messages: client pixels, 0..1279 left to right
  int y = 0;           //                 0..719 top to bottom
                       // stick messages: deflection, -32768..32767, right and down positive
  SystemCommand command = SystemCommand::kClose;
};

struct Rect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
};

// Whole-keyboard state: one byte per virtual-key code, bit 0x80 set while held.
using KeyboardState = std::array<std::uint8_t, kKeyCount>;

// What an OpenGL renderer needs of the window that owns its context.
class GlSurface {
 public:
  virtual ~GlSurface() = default;
  // Size of the drawable in device pixels (larger than the client area in full screen).
  virtual void GetDrawableSize(int& width, int& height) const = 0;
  // Where the fixed-size picture goes inside the drawable, letterboxed, in GL's
  // bottom-up pixel coordinates.
  virtual Rect PictureViewport() const = 0;
  // Shows the back buffer, without waiting for the vertical blank.
  virtual void SwapBuffers() = 0;
};

class Window {
 public:
  // The game's picture and client area, in pixels.
  static constexpr int kClientWidth = 1280;
  static constexpr int kClientHeight = 720;

  virtual ~Window() = default;

  // Takes the oldest waiting message; false when none is waiting.
  virtual bool PeekMessage(Message& message) = 0;

  // The client rectangle, always (0, 0, 1280, 720): full screen scales the picture,
  // not the client space.
  virtual Rect GetClientRect() const = 0;

  // Immediate state of one key as of the messages taken so far.
  virtual bool IsKeyHeld(int virtualKey) const = 0;

  // The whole keyboard state as of the messages taken so far.
  virtual void GetKeyboardState(KeyboardState& state) const = 0;

  virtual void SetFullScreen(bool fullScreen) = 0;
  virtual bool IsFullScreen() const = 0;

  // The default handling of the system commands: minimise the window; destroy it
  // (a kDestroy message follows).
  virtual void Minimize() = 0;
  virtual void Destroy() = 0;

  // Shows a modal message where a person can answer it; headless backends record
  // it instead, and the runner's real window drops it. Callers write the text to
  // standard error too, so it is never lost.
  virtual void ShowMessageBox(std::string_view caption, std::string_view text) = 0;

  // The OpenGL surface of a real window; null for windows without one.
  virtual GlSurface* GetGlSurface() { return nullptr; }
};

}  // namespace platform
