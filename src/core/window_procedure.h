// The game's decisions on window messages: keys and mouse into the input tables,
// close and minimise into the exit prompt and the pause request.
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

  void PostQuit(int code) {
    quitPosted = true;
    exitCode = code;
  }
};

// Handles one message taken from the window's queue.
void WindowProcedure(const platform::Message& message, platform::Window& window, LoopRequests& requests);

}  // namespace core
