#include "input/input.h"

#include <array>
#include <cstdint>

#include "base/math.h"
#include "graphics/graphics.h"

namespace input {
namespace {

struct KeyFrame {
  std::uint8_t current = 0;
  std::uint8_t previous = 0;
};

std::array<std::uint8_t, platform::kKeyCount> g_RawKeys{};
std::array<KeyFrame, platform::kKeyCount> g_FrameKeys{};
platform::KeyboardState g_PlatformKeyBuffer{};
MousePosition g_Mouse;
const platform::Window* g_Window = nullptr;

bool InRange(int virtualKey) { return virtualKey >= 0 && virtualKey < platform::kKeyCount; }

}  // namespace

void SetRawKey(int virtualKey, bool down) {
  if (InRange(virtualKey)) g_RawKeys[virtualKey] = down ? 1 : 0;
}

void SetMousePosition(int x, int y) {
  // Client coordinates travel as unsigned 16-bit values.
  g_Mouse.x = static_cast<float>(static_cast<std::uint16_t>(x));
  g_Mouse.y = static_cast<float>(static_cast<std::uint16_t>(y));
}

void TakeSnapshot() {
  for (int code = 0; code < platform::kKeyCount; ++code) {
    g_FrameKeys[code].previous = g_FrameKeys[code].current;
    g_FrameKeys[code].current = g_RawKeys[code];
  }
}

void ReadPlatformKeyBuffer(const platform::Window& window) { window.GetKeyboardState(g_PlatformKeyBuffer); }

bool IsKeyDown(int virtualKey) { return InRange(virtualKey) && g_FrameKeys[virtualKey].current != 0; }

bool IsKeyTriggered(int virtualKey) {
  return InRange(virtualKey) && g_FrameKeys[virtualKey].current != 0 && g_FrameKeys[virtualKey].previous == 0;
}

MousePosition GetMousePosition() { return g_Mouse; }

MousePosition GetMouseViewPosition() {
  platform::Rect client{0, 0, platform::Window::kClientWidth, platform::Window::kClientHeight};
  if (g_Window != nullptr) client = g_Window->GetClientRect();
  const float w = static_cast<float>(client.right - client.left);
  const float h = static_cast<float>(client.bottom - client.top);
  const float xNdc = (g_Mouse.x - w * 0.5f) / (w * 0.5f);
  const float yNdc = (h - g_Mouse.y - h * 0.5f) / (h * 0.5f);
  // The point is a row vector times the inverse of the projection as the graphics
  // block stores it; a degenerate projection has no inverse, and is used as it is.
  base::Matrix4 inverse = base::MatrixInverse(graphics::Block().projection);
  if (base::HasNonFinite(inverse)) inverse = graphics::Block().projection;
  const base::vector2D view = base::TransformPoint({xNdc, yNdc}, inverse);
  return {view.x, view.y, 0.0f};
}

const platform::KeyboardState& PlatformKeyBuffer() { return g_PlatformKeyBuffer; }

void AttachWindow(const platform::Window* window) { g_Window = window; }

bool IsKeyHeldNow(int virtualKey) { return g_Window != nullptr && g_Window->IsKeyHeld(virtualKey); }

void ResetInput() {
  g_RawKeys.fill(0);
  g_FrameKeys.fill(KeyFrame{});
  g_PlatformKeyBuffer.fill(0);
  g_Mouse = MousePosition{};
}

}  // namespace input
