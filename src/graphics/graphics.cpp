#include "graphics/graphics.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <utility>

#include "base/file_read.h"
#include "base/log.h"
#include "graphics/gl/gl_render_device.h"
#include "graphics/recording/recording_render_device.h"
#include "platform/window.h"

namespace graphics {

GraphicsBlock& Block() {
  static GraphicsBlock block;
  return block;
}

namespace {

base::XMFLOAT4 Normalize3(const base::XMFLOAT4& v) {
  const float length = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
  return {v.x / length, v.y / length, v.z / length, 0.0f};
}

base::XMFLOAT4 Cross3(const base::XMFLOAT4& a, const base::XMFLOAT4& b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x, 0.0f};
}

float Dot3(const base::XMFLOAT4& a, const base::XMFLOAT4& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

std::unique_ptr<RenderDevice> CreateDeviceFor(platform::Window& window) {
  if (platform::GlSurface* surface = window.GetGlSurface()) {
    return std::make_unique<gl::GlRenderDevice>(*surface);
  }
  return std::make_unique<recording::RecordingRenderDevice>();
}

// What the shader file is compiled with for each program, and how an error names it.
struct ProgramDefines {
  const char* source;
  const char* named;
};
ProgramDefines DefinesOf(ShaderProgram program) {
  switch (program) {
    case ShaderProgram::kMesh:
      return {"", ""};
    case ShaderProgram::kSprites:
      return {"#define BATCH 1\n", " (BATCH)"};
    case ShaderProgram::kFlatSprites:
      return {"#define BATCH 1\n#define FLAT 1\n", " (BATCH, FLAT)"};
  }
  return {"", ""};
}

// Compiles one stage; a failure shows the one message the player can act on.
int CompileStage(ShaderProgram program, const char* entryPoint) {
  std::string log;
  const int result = CompileShaderFromFile(program, entryPoint, log);
  if (result < 0) {
    const std::string entry = std::string(entryPoint) + DefinesOf(program).named;
    base::LogError("graphics",
                   std::string(kShaderPath) + ": entry point " + entry + " does not compile:\n" + log);
    if (Block().windowHandle != nullptr) Block().windowHandle->ShowMessageBox("Error", kShaderErrorText);
  }
  return result;
}

// Builds the projection of the zoom as it is now into Block().projection.
const base::Matrix4& CurrentProjection() {
  GraphicsBlock& block = Block();
  block.projection = base::MatrixTranspose(BuildProjection(block.width, block.height, block.zoom));
  return block.projection;
}

bool SameBytes(const base::Matrix4& a, const base::Matrix4& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// A direction (w = 0) carried by a matrix stored transposed, row-vector convention.
base::XMFLOAT4 Carry(const base::XMFLOAT4& d, const base::Matrix4& transposed) {
  const auto& m = transposed.m;
  return {d.x * m[0][0] + d.y * m[0][1] + d.z * m[0][2], d.x * m[1][0] + d.y * m[1][1] + d.z * m[1][2],
          d.x * m[2][0] + d.y * m[2][1] + d.z * m[2][2], 0.0f};
}

// Drawable pixels per texel along the edge from corner `from` to corner `to`;
// infinite when the edge spans no texels.
float EdgePixelsPerTexel(const SpriteVertex& from, const SpriteVertex& to, const base::Matrix4& view,
                         const base::Matrix4& projection, const Texture& texture) {
  const float texelsU = (to.u - from.u) * static_cast<float>(texture.Width());
  const float texelsV = (to.v - from.v) * static_cast<float>(texture.Height());
  const float texels = std::sqrt(texelsU * texelsU + texelsV * texelsV);
  if (texels == 0.0f) return std::numeric_limits<float>::infinity();
  const base::XMFLOAT4 clip =
      Carry(Carry({to.x - from.x, to.y - from.y, to.z - from.z, 0.0f}, view), projection);
  // Clip space runs from -1 to 1 across the picture; the projection has no perspective.
  const float pixelsX = clip.x * Block().width / 2.0f;
  const float pixelsY = clip.y * Block().height / 2.0f;
  return std::sqrt(pixelsX * pixelsX + pixelsY * pixelsY) / texels * Block().device->PictureScale();
}

// What one sprite needs: the fewer drawable pixels per texel of its two sides (the
// sides stay square on the screen, as the view and projection neither shear nor
// skew), whether it is opaque, and whether its picture is of one colour.
SpriteBatchLook LookOf(const SpriteCorners& corners, const base::Matrix4& view,
                       const base::Matrix4& projection, const Texture* texture) {
  if (texture == nullptr) return {std::numeric_limits<float>::infinity(), false, false};
  const float across = EdgePixelsPerTexel(corners[0], corners[1], view, projection, *texture);
  const float up = EdgePixelsPerTexel(corners[0], corners[3], view, projection, *texture);
  const TexelSummary& texels = texture->Texels();
  return {std::min(across, up), texels.opaque && corners[0].colour.w >= 1.0f, texels.uniform.has_value()};
}

// Texels beyond the covered part of a picture that a sprite keeps: a pixel of a
// picture shown at its size or larger samples the texels within one texel of its
// place, and one more keeps rounding on the safe side.
constexpr float kTrimMarginTexels = 2.0f;

// The part [low, high] of 0..1 along a side of a sprite whose texture coordinate,
// running from `from` to `to`, lies within [coveredLow, coveredHigh].
std::pair<float, float> KeptAlong(float from, float to, float coveredLow, float coveredHigh) {
  const float a = (coveredLow - from) / (to - from);
  const float b = (coveredHigh - from) / (to - from);
  return {std::max(0.0f, std::min(a, b)), std::min(1.0f, std::max(a, b))};
}

// Shrinks a sprite to the part of its frame where its picture has any alpha, when
// the picture shows at its size or larger: every pixel left out would have blended
// a fully transparent sample, which changes nothing. False when that part is empty:
// the sprite draws nothing.
bool TrimToCovered(SpriteCorners& corners, float pixelsPerTexel, const Texture& texture) {
  const UvRect& covered = texture.Texels().covered;
  if (pixelsPerTexel < 1.0f ||
      (covered.left <= 0.0f && covered.top <= 0.0f && covered.right >= 1.0f && covered.bottom >= 1.0f)) {
    return true;
  }
  // The frame's texture coordinates run along the sides from corner 0: u towards
  // corner 1, v towards corner 3.
  const SpriteVertex& origin = corners[0];
  const SpriteVertex& across = corners[1];
  const SpriteVertex& up = corners[3];
  if (across.u == origin.u || up.v == origin.v || across.v != origin.v || up.u != origin.u) return true;
  if (covered.Empty()) return false;
  const float marginU = kTrimMarginTexels / static_cast<float>(texture.Width());
  const float marginV = kTrimMarginTexels / static_cast<float>(texture.Height());
  const auto [s0, s1] = KeptAlong(origin.u, across.u, covered.left - marginU, covered.right + marginU);
  const auto [t0, t1] = KeptAlong(origin.v, up.v, covered.top - marginV, covered.bottom + marginV);
  if (s0 >= s1 || t0 >= t1) return false;
  if (s0 == 0.0f && s1 == 1.0f && t0 == 0.0f && t1 == 1.0f) return true;
  // The sprite is a parallelogram: a corner at (s, t) is origin + s (across - origin)
  // + t (up - origin), in place and in texture coordinates alike.
  auto at = [&](float s, float t) {
    SpriteVertex corner = origin;
    corner.x += s * (across.x - origin.x) + t * (up.x - origin.x);
    corner.y += s * (across.y - origin.y) + t * (up.y - origin.y);
    corner.z += s * (across.z - origin.z) + t * (up.z - origin.z);
    corner.u += s * (across.u - origin.u);
    corner.v += t * (up.v - origin.v);
    return corner;
  };
  corners = {at(s0, t0), at(s1, t0), at(s1, t1), at(s0, t1)};
  return true;
}

}  // namespace

base::Matrix4 BuildProjection(float width, float height, float zoom) {
  base::Matrix4 m{};
  m.m[0][0] = zoom / width;
  m.m[1][1] = zoom / height;
  const float range = 1.0f / (100.0f - 0.1f);
  m.m[2][2] = range;
  m.m[3][2] = -range * 0.1f;
  m.m[3][3] = 1.0f;
  return m;
}

base::Matrix4 BuildLookToView(const base::XMFLOAT4& eye, const base::XMFLOAT4& direction,
                              const base::XMFLOAT4& up) {
  const base::XMFLOAT4 r2 = Normalize3(direction);
  const base::XMFLOAT4 r0 = Normalize3(Cross3(up, r2));
  const base::XMFLOAT4 r1 = Cross3(r2, r0);
  base::Matrix4 m{};
  m.m[0][0] = r0.x;
  m.m[0][1] = r1.x;
  m.m[0][2] = r2.x;
  m.m[1][0] = r0.y;
  m.m[1][1] = r1.y;
  m.m[1][2] = r2.y;
  m.m[2][0] = r0.z;
  m.m[2][1] = r1.z;
  m.m[2][2] = r2.z;
  m.m[3][0] = -Dot3(r0, eye);
  m.m[3][1] = -Dot3(r1, eye);
  m.m[3][2] = -Dot3(r2, eye);
  m.m[3][3] = 1.0f;
  return m;
}

int CompileShaderFromFile(ShaderProgram program, const std::string& entryPoint, std::string& log) {
  std::string body;
  if (const base::FileRead read = base::ReadWholeFile(kShaderPath, base::kShaderLimit, body); !read.Ok()) {
    log = "the file " + read.Said();
    return -1;
  }
  // The file holds both entry points of every program; the defines select one.
  const std::string source =
      "#version 330 core\n#define " + entryPoint + " 1\n" + DefinesOf(program).source + "#line 1\n" + body;
  const ShaderStage stage = entryPoint == "VS" ? ShaderStage::kVertex : ShaderStage::kPixel;
  return Block().device->CompileShader(program, stage, source, log);
}

int InitializeGraphics() {
  if (Block().windowHandle == nullptr) return -1;
  return InitializeGraphics(CreateDeviceFor(*Block().windowHandle));
}

int InitializeGraphics(std::unique_ptr<RenderDevice> device) {
  FlushSprites();
  Block().textures.Clear();
  Block().device = std::move(device);
  Block().width = Block().windowHandle != nullptr
                      ? static_cast<float>(Block().windowHandle->GetClientRect().Width())
                      : static_cast<float>(platform::Window::kClientWidth);
  Block().height = Block().windowHandle != nullptr
                       ? static_cast<float>(Block().windowHandle->GetClientRect().Height())
                       : static_cast<float>(platform::Window::kClientHeight);
  if (Block().device->Initialize(static_cast<int>(Block().width), static_cast<int>(Block().height)) < 0) {
    base::LogError("graphics", "the render device cannot be set up");
    return -1;
  }
  for (const ShaderProgram program :
       {ShaderProgram::kMesh, ShaderProgram::kSprites, ShaderProgram::kFlatSprites}) {
    if (const int result = CompileStage(program, "VS"); result < 0) return result;
    if (const int result = CompileStage(program, "PS"); result < 0) return result;
  }

  Block().projection = base::MatrixTranspose(BuildProjection(Block().width, Block().height, Block().zoom));
  Block().device->SetProjectionBlock(Block().projection);
  Block().fixedView = base::MatrixTranspose(
      BuildLookToView({0.0f, 0.0f, -15.0f, 1.0f}, {0.0f, 0.0f, 15.0f, 0.0f}, {0.0f, 1.0f, 0.0f, 0.0f}));
  return 0;
}

void ClearScreen(const float colour[4]) {
  FlushSprites();
  if (Block().device) Block().device->Clear(colour);
}

void DrawSprite(const SpriteCorners& corners, const base::Matrix4& view,
                const std::shared_ptr<const Texture>& texture) {
  if (!Block().device) return;
  const base::Matrix4& projection = CurrentProjection();
  const SpriteBatchLook look = LookOf(corners, view, projection, texture.get());
  SpriteCorners drawn = corners;
  if (texture != nullptr) {
    if (!TrimToCovered(drawn, look.pixelsPerTexel, *texture)) return;
    if (const auto& colour = texture->Texels().uniform) {
      for (SpriteVertex& corner : drawn) {
        corner.colour = {corner.colour.x * colour->x, corner.colour.y * colour->y,
                         corner.colour.z * colour->z, corner.colour.w * colour->w};
      }
    }
  }
  SpriteBatch& batch = Block().sprites;
  if (!batch.corners.empty() &&
      (batch.texture != texture || !SameBytes(batch.view, view) || !SameBytes(batch.projection, projection) ||
       batch.corners.size() == kMaxSpritesPerDraw * kCornersPerSprite)) {
    FlushSprites();
  }
  if (batch.corners.empty()) {
    batch.texture = texture;
    batch.view = view;
    batch.projection = projection;
    batch.look = look;
  } else {
    batch.look.pixelsPerTexel = std::min(batch.look.pixelsPerTexel, look.pixelsPerTexel);
    batch.look.opaque = batch.look.opaque && look.opaque;
  }
  batch.corners.insert(batch.corners.end(), drawn.begin(), drawn.end());
}

void FlushSprites() {
  SpriteBatch& batch = Block().sprites;
  if (batch.corners.empty()) return;
  if (Block().device) {
    Block().device->SetViewBlock(batch.view);
    Block().device->SetProjectionBlock(batch.projection);
    Block().device->DrawSprites(batch.corners, batch.texture.get(), batch.look);
  }
  batch.corners.clear();
  // Not held past its draw: a texture goes when its last sprite source does.
  batch.texture.reset();
}

void DrawMesh() {
  FlushSprites();
  if (!Block().device) return;
  Block().device->SetProjectionBlock(CurrentProjection());
  Block().device->Draw(Block().vertices, Block().indices, Block().textureView);
}

void PresentFrame() {
  FlushSprites();
  if (Block().device) Block().device->Present();
}

void SetFullScreen(bool fullScreen) {
  if (Block().windowHandle != nullptr) Block().windowHandle->SetFullScreen(fullScreen);
}

void ShutdownGraphics() {
  FlushSprites();
  SetFullScreen(false);
  Block().textureView = nullptr;
  Block().textures.Clear();
  Block().device.reset();
}

void UploadView(const base::Matrix4& transposedView) {
  FlushSprites();
  if (Block().device) Block().device->SetViewBlock(transposedView);
}

void UploadObject(const ObjectConstants& constants) {
  FlushSprites();
  if (Block().device) Block().device->SetObjectBlock(constants);
}

void SetCameraView(const base::XMFLOAT4& eye, const base::XMFLOAT4& direction, const base::XMFLOAT4& up) {
  Block().cameraView = base::MatrixTranspose(BuildLookToView(eye, direction, up));
  UploadView(Block().cameraView);
}

bool CapturePicture(Picture& picture) {
  FlushSprites();
  return Block().device && Block().device->ReadPicture(picture);
}

}  // namespace graphics
