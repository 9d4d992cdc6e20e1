// The engine's handling of window messages: keys and mouse into the input tables;
// close, minimise and window switching into hooks that the game installs.
#pragma once

#include "platform/window.h"

namespace core {

// What the window procedure asks of the frame loop.
struct LoopRequests {
  // The quit message: once posted, the loop ends as soon as no other message waits.
  bool quitPosted = false;
  int exitCode = 0;
  // F12 was pressed: the next frame is saved before it is presented. Taken from the
  // key message itself, so a tap shorter than a frame still counts.
  bool screenshot = false;
  // F9 was pressed: a recording of the input starts or stops.
  bool toggleRecording = false;

  void PostQuit(int code) {
    quitPosted = true;
    exitCode = code;
  }
};

// What the game does when the window is closed, minimised, switched away from or
// loses the focus.
// Installed once at start-up; each hook may be null.
struct WindowEventHooks {
  // The close button (or Alt+F4): true closes the window and quits; false keeps it
  // open (the game shows its own question). Without a hook a close quits.
  bool (*onClose)() = nullptr;
  // Runs before the window minimises.
  void (*onMinimize)() = nullptr;
  // The user switched to another window.
  void (*onSwitchWindow)() = nullptr;
  // The window lost the keyboard focus; the keys held were released just before.
  void (*onFocusLost)() = nullptr;
};
void SetWindowEventHooks(const WindowEventHooks& hooks);

// Handles one message taken from the window's queue.
void WindowProcedure(const platform::Message& message, platform::Window& window, LoopRequests& requests);

}  // namespace core
