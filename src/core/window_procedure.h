// The game's decisions on window messages: keys and mouse into the input tables,
// close and minimise into the exit prompt and the pause request.
#pragma once

#include "platform/window.h"

namespace core {

// The quit message of the frame loop: once posted, the loop ends as soon as no
// other message is waiting.
struct QuitMessage {
  bool posted = false;
  int exitCode = 0;

  void Post(int code) {
    posted = true;
    exitCode = code;
  }
};

// Handles one message taken from the window's queue.
void WindowProcedure(const platform::Message& message, platform::Window& window, QuitMessage& quit);

}  // namespace core
