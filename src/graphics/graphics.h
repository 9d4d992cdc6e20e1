// The graphics block: the process-wide state of everything that talks to the GPU,
// and the operations over it (clear, draw sprites in batches, draw one mesh, present,
// full screen, shut down). Engine code draws through these; only the render device
// backends know the API.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/math.h"
#include "graphics/render_device.h"
#include "graphics/texture_cache.h"

namespace platform {
class Window;
}

namespace graphics {

// Sprites handed over since the last flush that share one texture, view and
// projection, waiting to be drawn in one device call.
struct SpriteBatch {
  std::vector<SpriteVertex> corners;       // kCornersPerSprite a sprite, in the order handed over
  std::shared_ptr<const Texture> texture;  // held until drawn; null draws transparent
  base::Matrix4 view{};                    // transposed, as uploaded
  base::Matrix4 projection{};              // transposed, as uploaded
  SpriteBatchLook look;                    // what its sprites need, folded over all of them
};

// The graphics block: everything the drawing shares for the whole run.
struct GraphicsBlock {
  // The game window; set by the entry point before InitializeGraphics. Not owned.
  platform::Window* windowHandle = nullptr;
  // The device everything is drawn with; null before InitializeGraphics and after
  // ShutdownGraphics.
  std::unique_ptr<RenderDevice> device;

  // Matrices are stored transposed, as they are uploaded.
  base::Matrix4 projection{};  // the last projection built
  base::Matrix4 cameraView{};  // set by a camera or a state; zeros until then
  base::Matrix4 fixedView{};   // the view of static sprites, built at initialisation

  // The geometry and texture of the next DrawMesh.
  std::vector<Vertex> vertices;
  std::vector<std::uint16_t> indices;
  const Texture* textureView = nullptr;  // borrowed from the caller; may be null

  float zoom = 48.0f;   // projection divisor: 48 gives 24 pixels to the world unit
  float width = 0.0f;   // client width in pixels, set by InitializeGraphics
  float height = 0.0f;  // client height in pixels

  // The pictures of image files by path, made on `device`.
  TextureCache textures;
  // Declared after the device, so that at exit the batch's texture goes first.
  SpriteBatch sprites;

  // Start-up values; releases the device (tests). The batch's texture goes before it.
  void Reset() {
    sprites = SpriteBatch{};
    *this = GraphicsBlock{};
  }
};

// The one graphics block of the process.
GraphicsBlock& Block();

// The shader file, relative to the working directory.
inline constexpr const char* kShaderPath = "images/Shaders/UIShader.fx";
inline constexpr const char* kShaderErrorText =
    "The FX file cannot be compiled.  Please run this executable from the directory that "
    "contains the FX file.";

// Creates the device for Block().windowHandle (OpenGL for a real window, the recording
// device for a headless one), compiles the shader file and builds the projection and
// the fixed view. Returns 0, or a negative code; the game runs on either way.
int InitializeGraphics();
// As above with a device of the caller's choosing (tests).
int InitializeGraphics(std::unique_ptr<RenderDevice> device);

// Compiles one entry point ("VS" or "PS") of the shader file for one of the device's
// programs; the sprites program is the same file with BATCH defined. Returns 0 or
// negative, with the compiler's log in `log`.
int CompileShaderFromFile(ShaderProgram program, const std::string& entryPoint, std::string& log);

// Clears the frame to an RGBA colour.
void ClearScreen(const float colour[4]);

// One sprite's four corners, in the order of kQuadIndices.
using SpriteCorners = std::array<SpriteVertex, kCornersPerSprite>;
// Hands one sprite to the batch, to be drawn over everything handed over before it
// with `view` (transposed) and the projection of Block().zoom as it is now (stored in
// Block().projection). The waiting sprites are drawn first when the texture, the view
// or the projection differs from theirs (compared by value), or when the batch is
// full. Nothing happens without a device.
void DrawSprite(const SpriteCorners& corners, const base::Matrix4& view,
                const std::shared_ptr<const Texture>& texture);
// Draws the waiting sprites in one device call. Every other operation below that
// reaches the device does this first, so what is drawn, and in which order, is what
// drawing each sprite on its own would give.
void FlushSprites();

// Draws Block().indices over Block().vertices with Block().textureView: uploads the projection again,
// then draws with the view and object blocks as they stand.
void DrawMesh();
// Shows the frame drawn since the last call, without waiting for the vertical blank.
void PresentFrame();
// Full screen (true) or windowed (false).
void SetFullScreen(bool fullScreen);
// Leaves full screen and releases the device. Whatever holds a texture (the sprite
// sources of every space) must be gone by then.
void ShutdownGraphics();

// The view and object blocks, written before each draw.
void UploadView(const base::Matrix4& transposedView);
void UploadObject(const ObjectConstants& constants);

// Left-handed off-centre orthographic projection spanning +-width/zoom by
// +-height/zoom world units, near 0.1, far 100.
base::Matrix4 BuildProjection(float width, float height, float zoom);
// Left-handed look-to view.
base::Matrix4 BuildLookToView(const base::XMFLOAT4& eye, const base::XMFLOAT4& direction,
                              const base::XMFLOAT4& up);

// Builds a look-to view, stores it transposed in Block().cameraView and uploads it.
void SetCameraView(const base::XMFLOAT4& eye, const base::XMFLOAT4& direction, const base::XMFLOAT4& up);

// Reads back the frame drawn so far; false when the device cannot.
bool CapturePicture(Picture& picture);

}  // namespace graphics
