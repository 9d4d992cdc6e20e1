#include "graphics/graphics.h"

#include <cmath>
#include <fstream>
#include <sstream>

#include "core/log.h"
#include "graphics/gl/gl_render_device.h"
#include "graphics/recording/recording_render_device.h"
#include "platform/window.h"

namespace graphics {

platform::Window* g_WindowHandle = nullptr;
std::unique_ptr<RenderDevice> g_Device;
Matrix4 g_Projection{};
Matrix4 g_CameraView{};
Matrix4 g_FixedView{};
std::vector<Vertex> g_Vertices;
std::vector<std::uint16_t> g_Indices;
const Texture* g_TextureView = nullptr;
float g_Zoom = 48.0f;
float g_Width = 0.0f;
float g_Height = 0.0f;

namespace {

XMFLOAT4 Normalize3(const XMFLOAT4& v) {
  const float length = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
  return {v.x / length, v.y / length, v.z / length, 0.0f};
}

XMFLOAT4 Cross3(const XMFLOAT4& a, const XMFLOAT4& b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x, 0.0f};
}

float Dot3(const XMFLOAT4& a, const XMFLOAT4& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

std::unique_ptr<RenderDevice> CreateDeviceFor(platform::Window& window) {
  if (platform::GlSurface* surface = window.GetGlSurface()) {
    return std::make_unique<gl::GlRenderDevice>(*surface);
  }
  return std::make_unique<recording::RecordingRenderDevice>();
}

// Compiles one stage; a failure shows the one message the player can act on.
int CompileStage(const char* entryPoint) {
  std::string log;
  const int result = CompileShaderFromFile(entryPoint, log);
  if (result < 0) {
    core::LogError("graphics", std::string(kShaderPath) + ": entry point " + entryPoint +
                                   " does not compile:\n" + log);
    if (g_WindowHandle != nullptr) g_WindowHandle->ShowMessageBox("Error", kShaderErrorText);
  }
  return result;
}

}  // namespace

Matrix4 BuildProjection(float width, float height, float zoom) {
  Matrix4 m{};
  m.m[0][0] = zoom / width;
  m.m[1][1] = zoom / height;
  const float range = 1.0f / (100.0f - 0.1f);
  m.m[2][2] = range;
  m.m[3][2] = -range * 0.1f;
  m.m[3][3] = 1.0f;
  return m;
}

Matrix4 BuildLookToView(const XMFLOAT4& eye, const XMFLOAT4& direction, const XMFLOAT4& up) {
  const XMFLOAT4 r2 = Normalize3(direction);
  const XMFLOAT4 r0 = Normalize3(Cross3(up, r2));
  const XMFLOAT4 r1 = Cross3(r2, r0);
  Matrix4 m{};
  m.m[0][0] = r0.x; m.m[0][1] = r1.x; m.m[0][2] = r2.x;
  m.m[1][0] = r0.y; m.m[1][1] = r1.y; m.m[1][2] = r2.y;
  m.m[2][0] = r0.z; m.m[2][1] = r1.z; m.m[2][2] = r2.z;
  m.m[3][0] = -Dot3(r0, eye);
  m.m[3][1] = -Dot3(r1, eye);
  m.m[3][2] = -Dot3(r2, eye);
  m.m[3][3] = 1.0f;
  return m;
}

int CompileShaderFromFile(const std::string& entryPoint, std::string& log) {
  std::ifstream file(kShaderPath, std::ios::binary);
  if (!file) {
    log = "cannot open the file";
    return -1;
  }
  std::ostringstream body;
  body << file.rdbuf();
  // The file holds both entry points; the define selects one.
  const std::string source = "#version 330 core\n#define " + entryPoint + " 1\n#line 1\n" + body.str();
  const ShaderStage stage = entryPoint == "VS" ? ShaderStage::kVertex : ShaderStage::kPixel;
  return g_Device->CompileShader(stage, source, log);
}

int InitializeGraphics() {
  if (g_WindowHandle == nullptr) return -1;
  return InitializeGraphics(CreateDeviceFor(*g_WindowHandle));
}

int InitializeGraphics(std::unique_ptr<RenderDevice> device) {
  g_Device = std::move(device);
  g_Width = g_WindowHandle != nullptr ? static_cast<float>(g_WindowHandle->GetClientRect().Width())
                                      : static_cast<float>(platform::Window::kClientWidth);
  g_Height = g_WindowHandle != nullptr ? static_cast<float>(g_WindowHandle->GetClientRect().Height())
                                       : static_cast<float>(platform::Window::kClientHeight);
  if (g_Device->Initialize(static_cast<int>(g_Width), static_cast<int>(g_Height)) < 0) {
    core::LogError("graphics", "the render device cannot be set up");
    return -1;
  }
  if (const int result = CompileStage("VS"); result < 0) return result;
  if (const int result = CompileStage("PS"); result < 0) return result;

  g_Projection = MatrixTranspose(BuildProjection(g_Width, g_Height, g_Zoom));
  g_Device->SetProjectionBlock(g_Projection);
  g_FixedView = MatrixTranspose(
      BuildLookToView({0.0f, 0.0f, -15.0f, 1.0f}, {0.0f, 0.0f, 15.0f, 0.0f}, {0.0f, 1.0f, 0.0f, 0.0f}));
  return 0;
}

void ClearScreen(const float colour[4]) {
  if (g_Device) g_Device->Clear(colour);
}

void DrawMesh() {
  if (!g_Device) return;
  g_Projection = MatrixTranspose(BuildProjection(g_Width, g_Height, g_Zoom));
  g_Device->SetProjectionBlock(g_Projection);
  g_Device->Draw(g_Vertices, g_Indices, g_TextureView);
}

void PresentFrame() {
  if (g_Device) g_Device->Present();
}

void SetFullScreen(bool fullScreen) {
  if (g_WindowHandle != nullptr) g_WindowHandle->SetFullScreen(fullScreen);
}

void ShutdownGraphics() {
  SetFullScreen(false);
  g_TextureView = nullptr;
  g_Device.reset();
}

void UploadView(const Matrix4& transposedView) {
  if (g_Device) g_Device->SetViewBlock(transposedView);
}

void UploadObject(const ObjectConstants& constants) {
  if (g_Device) g_Device->SetObjectBlock(constants);
}

void SetCameraView(const XMFLOAT4& eye, const XMFLOAT4& direction, const XMFLOAT4& up) {
  g_CameraView = MatrixTranspose(BuildLookToView(eye, direction, up));
  UploadView(g_CameraView);
}

bool CapturePicture(Picture& picture) { return g_Device && g_Device->ReadPicture(picture); }

}  // namespace graphics
