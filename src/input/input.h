// Keyboard and mouse as the game reads them: process-wide tables that the window
// procedure fills from messages and the frame loop turns into a per-frame snapshot.
// Keys and the three mouse buttons are addressed by their virtual-key codes, 0-255.
#pragma once

#include "platform/window.h"

namespace input {

// Writers, used by the window procedure between frames.
void SetRawKey(int virtualKey, bool down);
// The pointer in client pixels, (0, 0) top left.
void SetMousePosition(int x, int y);

// Frame loop: at the start of each frame's update, previous = current and
// current = raw for every code, or down when the key was pressed since the last
// snapshot: no press between two frames is lost, however short.
void TakeSnapshot();
// Frame loop, after presenting: the platform's whole keyboard state, one frame
// behind the snapshot, for code that wants the platform's own view of the keys.
void ReadPlatformKeyBuffer(const platform::Window& window);

// Down in this frame's snapshot.
bool IsKeyDown(int virtualKey);
// Pressed since the last frame: down now and up in the previous frame, or released
// and pressed again in between. A held key triggers once.
bool IsKeyTriggered(int virtualKey);

struct MousePosition {
  float x = 0.0f;  // client pixels
  float y = 0.0f;
  float z = 0.0f;  // always 0
};
MousePosition GetMousePosition();

// The pointer in view space: world units relative to the centre of the view (the
// camera is not applied), x from -26.67 at the left edge to 26.67 at the right and y
// from 15 at the top to -15 at the bottom of the 1280 x 720 client area.
MousePosition GetMouseViewPosition();

// The platform key buffer of the end of the previous frame (bit 0x80 down).
const platform::KeyboardState& PlatformKeyBuffer();

// The window whose immediate key state IsKeyHeldNow reports; not owned, may be null.
void AttachWindow(const platform::Window* window);
// The immediate state of a key as the window knows it now, not the snapshot.
bool IsKeyHeldNow(int virtualKey);

// Zeroes every table (start-up state; tests).
void ResetInput();

}  // namespace input
