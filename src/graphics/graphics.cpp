#include "graphics/graphics.h"

#include "platform/window.h"

namespace graphics {

platform::Window* g_WindowHandle = nullptr;

void PresentFrame() {
  if (g_WindowHandle == nullptr) return;
  if (platform::GlSurface* surface = g_WindowHandle->GetGlSurface()) surface->SwapBuffers();
}

void SetFullScreen(bool fullScreen) {
  if (g_WindowHandle != nullptr) g_WindowHandle->SetFullScreen(fullScreen);
}

}  // namespace graphics
