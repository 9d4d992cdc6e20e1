#include "input/input.h"

#include <array>
#include <cmath>
#include <cstdint>

#include "base/math.h"

namespace input {
namespace {

struct KeyFrame {
  std::uint8_t current = 0;
  std::uint8_t previous = 0;
  // A press reached the raw table since the snapshot before this one, so the key
  // triggers in this frame even if it was already down in the previous one (a
  // release and press again between two frames).
  std::uint8_t pressed = 0;
};

// Every table input keeps, as ResetInput starts them.
struct InputBlock {
  std::array<std::uint8_t, platform::kKeyCount> rawKeys{};
  // Presses since the last snapshot: a key pressed and released between two frames
  // still shows as down (and triggered) in the next frame, and as up in the one after.
  std::array<std::uint8_t, platform::kKeyCount> pressedSinceSnapshot{};
  std::array<KeyFrame, platform::kKeyCount> frameKeys{};
  platform::KeyboardState platformKeyBuffer{};
  MousePosition mouse;
  int stickX = 0;  // the left stick as the last stick message left it
  int stickY = 0;
};

// What the engine attaches at start-up; not owned, and kept by ResetInput.
struct Attachments {
  const platform::Window* window = nullptr;
  const base::Matrix4* projection = nullptr;  // the graphics block's
};

InputBlock g_Input;
Attachments g_Attached;

bool InRange(int virtualKey) { return virtualKey >= 0 && virtualKey < platform::kKeyCount; }

// A stick direction key goes down past half deflection and up again below a
// little less, so that a stick resting near the edge does not chatter.
constexpr int kStickKeyOn = 16000;
constexpr int kStickKeyOff = 12000;

void SetStickKey(int virtualKey, int deflection) {
  if (deflection > kStickKeyOn) {
    SetRawKey(virtualKey, true);
  } else if (deflection < kStickKeyOff) {
    SetRawKey(virtualKey, false);
  }
}

// The direction to steer in, client pixel axes (y down), unit length; zero when
// neither the stick nor a direction key asks for one.
base::vector2D SteeringDirection() {
  const double stickLength =
      std::hypot(static_cast<double>(g_Input.stickX), static_cast<double>(g_Input.stickY));
  if (stickLength > kStickDeadZone) {
    return {static_cast<float>(g_Input.stickX / stickLength),
            static_cast<float>(g_Input.stickY / stickLength)};
  }
  auto held = [](int key, int pad) { return IsKeyDown(key) || IsKeyDown(pad) ? 1.0f : 0.0f; };
  const float x =
      held(platform::kVkRight, platform::kVkPadRight) - held(platform::kVkLeft, platform::kVkPadLeft);
  const float y = held(platform::kVkDown, platform::kVkPadDown) - held(platform::kVkUp, platform::kVkPadUp);
  const float length = std::sqrt(x * x + y * y);
  if (length == 0.0f) return {0.0f, 0.0f};
  return {x / length, y / length};
}

void SteerPointer() {
  const base::vector2D direction = SteeringDirection();
  if (direction.x == 0.0f && direction.y == 0.0f) return;
  g_Input.mouse.x = platform::Window::kClientWidth * 0.5f + direction.x * kPadPointerDistance;
  g_Input.mouse.y = platform::Window::kClientHeight * 0.5f + direction.y * kPadPointerDistance;
}

}  // namespace

void SetRawKey(int virtualKey, bool down) {
  if (!InRange(virtualKey)) return;
  // A repeated key-down of a held key is no new press.
  if (down && g_Input.rawKeys[virtualKey] == 0) g_Input.pressedSinceSnapshot[virtualKey] = 1;
  g_Input.rawKeys[virtualKey] = down ? 1 : 0;
}

void SetMousePosition(int x, int y) {
  // Client coordinates travel as unsigned 16-bit values.
  g_Input.mouse.x = static_cast<float>(static_cast<std::uint16_t>(x));
  g_Input.mouse.y = static_cast<float>(static_cast<std::uint16_t>(y));
}

void SetPadStick(int x, int y) {
  g_Input.stickX = x;
  g_Input.stickY = y;
  SetStickKey(platform::kVkPadStickRight, x);
  SetStickKey(platform::kVkPadStickLeft, -x);
  SetStickKey(platform::kVkPadStickDown, y);
  SetStickKey(platform::kVkPadStickUp, -y);
}

void TakeSnapshot() {
  for (int code = 0; code < platform::kKeyCount; ++code) {
    KeyFrame& key = g_Input.frameKeys[code];
    key.previous = key.current;
    key.pressed = g_Input.pressedSinceSnapshot[code];
    key.current = g_Input.rawKeys[code] | key.pressed;
  }
  g_Input.pressedSinceSnapshot.fill(0);
  SteerPointer();
}

void ReadPlatformKeyBuffer(const platform::Window& window) {
  window.GetKeyboardState(g_Input.platformKeyBuffer);
}

bool IsKeyDown(int virtualKey) { return InRange(virtualKey) && g_Input.frameKeys[virtualKey].current != 0; }

bool IsKeyTriggered(int virtualKey) {
  if (!InRange(virtualKey)) return false;
  const KeyFrame& key = g_Input.frameKeys[virtualKey];
  return key.current != 0 && (key.previous == 0 || key.pressed != 0);
}

bool IsFlyDown() {
  return IsKeyDown(platform::kVkLeftButton) || IsKeyDown(platform::kVkSpace) || IsKeyDown(platform::kVkPadA);
}

MousePosition GetMousePosition() { return g_Input.mouse; }

MousePosition GetMouseViewPosition() {
  platform::Rect client{0, 0, platform::Window::kClientWidth, platform::Window::kClientHeight};
  if (g_Attached.window != nullptr) client = g_Attached.window->GetClientRect();
  const float w = static_cast<float>(client.right - client.left);
  const float h = static_cast<float>(client.bottom - client.top);
  const float xNdc = (g_Input.mouse.x - w * 0.5f) / (w * 0.5f);
  const float yNdc = (h - g_Input.mouse.y - h * 0.5f) / (h * 0.5f);
  // The point is a row vector times the inverse of the projection as the graphics
  // block stores it; a degenerate projection has no inverse, and is used as it is.
  const base::Matrix4 projection =
      g_Attached.projection != nullptr ? *g_Attached.projection : base::Matrix4{};
  base::Matrix4 inverse = base::MatrixInverse(projection);
  if (base::HasNonFinite(inverse)) inverse = projection;
  const base::vector2D view = base::TransformPoint({xNdc, yNdc}, inverse);
  return {view.x, view.y, 0.0f};
}

const platform::KeyboardState& PlatformKeyBuffer() { return g_Input.platformKeyBuffer; }

void AttachWindow(const platform::Window* window) { g_Attached.window = window; }

void AttachProjection(const base::Matrix4* projection) { g_Attached.projection = projection; }

bool IsKeyHeldNow(int virtualKey) {
  return g_Attached.window != nullptr && g_Attached.window->IsKeyHeld(virtualKey);
}

void ResetInput() { g_Input = InputBlock{}; }

}  // namespace input
