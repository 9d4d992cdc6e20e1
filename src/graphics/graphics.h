// The graphics block: the process-wide state of everything that talks to the GPU,
// and the operations over it (clear, draw, present, full screen, shut down).
#pragma once

namespace platform {
class Window;
}

namespace graphics {

// The game window; set by the entry point before InitializeGraphics. Not owned.
extern platform::Window* g_WindowHandle;

// Shows the frame drawn since the last call, without waiting for the vertical blank.
void PresentFrame();

// Full screen (true) or windowed (false).
void SetFullScreen(bool fullScreen);

}  // namespace graphics
