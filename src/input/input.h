// Keyboard and mouse as the game reads them: process-wide tables that the window
// procedure fills from messages and the frame loop turns into a per-frame snapshot.
// Keys and the three mouse buttons are addressed by their virtual-key codes, 0-255.
#pragma once

#include "base/math.h"
#include "platform/window.h"

namespace input {

// Writers, used by the window procedure between frames.
void SetRawKey(int virtualKey, bool down);
// The pointer in client pixels, (0, 0) top left.
void SetMousePosition(int x, int y);

// The first game controller's left stick, -32768..32767 each way, right and down
// positive (window procedure). Pushed well over, it also holds the stick's
// direction keys (kVkPadStickUp and the others), so that menus step with it.
void SetPadStick(int x, int y);

// Frame loop: at the start of each frame's update, previous = current and
// current = raw for every code, or down when the key was pressed since the last
// snapshot: no press between two frames is lost, however short. Then, while the
// left stick is out of its dead zone (or else an arrow key or the D-pad is held),
// the pointer goes to that direction from the centre of the view, where the camera
// keeps the player: the controllers steer by it exactly as by the mouse.
// kPadPointerDistance pixels out, since steering takes only the direction.
void TakeSnapshot();
// Frame loop, after presenting: the platform's whole keyboard state, one frame
// behind the snapshot, for code that wants the platform's own view of the keys.
void ReadPlatformKeyBuffer(const platform::Window& window);

// How far from the centre the stick and the arrow keys put the pointer, in client
// pixels; the player's speeds do not depend on it.
inline constexpr float kPadPointerDistance = 240.0f;
// Stick deflection below which the stick counts as at rest (about a quarter).
inline constexpr int kStickDeadZone = 8000;

// Down in this frame's snapshot.
bool IsKeyDown(int virtualKey);
// Flight held: the left mouse button, Space or the controller's A.
bool IsFlyDown();
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
// The projection GetMouseViewPosition maps through: the graphics block's, as it keeps
// it (transposed), attached by the engine at start-up so that input needs nothing of
// the graphics. Not owned; null (no view yet) maps every position to the origin.
void AttachProjection(const base::Matrix4* projection);
// The immediate state of a key as the window knows it now, not the snapshot.
bool IsKeyHeldNow(int virtualKey);

// Zeroes every table (start-up state; tests).
void ResetInput();

}  // namespace input
