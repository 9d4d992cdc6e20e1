// What the engine needs of a 3D API: clear, three constant blocks (view, projection,
// object), textures, one indexed draw of textured triangles, one draw of a batch of
// sprites, present and read back.
// Backends: graphics/gl (OpenGL 3.3 core) and graphics/recording (keeps every call).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "base/math.h"
#include "graphics/texel_summary.h"

namespace graphics {

struct TextureImage;

// One corner of a mesh: position in world units, texture coordinate in 0..1 of the
// sheet, v growing downwards. 20 bytes, no padding: the vertex buffer's layout.
struct Vertex {
  float x, y, z;
  float u, v;
};
static_assert(sizeof(Vertex) == 20, "the vertex layout is position at 0, texture coordinate at 12");

// The two triangles of a quad over its corners bottom-left, bottom-right, top-right,
// top-left: each clockwise as seen on screen (y up).
inline constexpr std::uint16_t kQuadIndices[6] = {3, 1, 0, 2, 1, 3};

// One corner of a sprite in a batch: position already placed in the world by the
// sprite's world matrix (world units), texture coordinate in 0..1 of the sheet, and
// the sprite's tint (r, g, b, a), the same at its four corners. 36 bytes, no padding:
// the sprite vertex buffer's layout.
struct SpriteVertex {
  float x, y, z;
  float u, v;
  base::XMFLOAT4 colour;
};
static_assert(sizeof(SpriteVertex) == 36, "position at 0, texture coordinate at 12, colour at 20");

// A sprite is four corners in the order of kQuadIndices.
inline constexpr std::size_t kCornersPerSprite = 4;
// The most sprites one DrawSprites takes: the corners of one draw are counted by
// 16-bit indices.
inline constexpr std::size_t kMaxSpritesPerDraw = 65536 / kCornersPerSprite;

// The per-object constant block: the world matrix (transposed, as uploaded) and the
// tint colour. 80 bytes.
struct ObjectConstants {
  base::Matrix4 world;
  base::XMFLOAT4 colour;
};
static_assert(sizeof(ObjectConstants) == 80, "the object block is 80 bytes");

// A texture on the device; owned by whoever created it (the texture cache, shared by
// the sprite sources that show it).
class Texture {
 public:
  virtual ~Texture() = default;
  virtual std::uint32_t Width() const = 0;
  virtual std::uint32_t Height() const = 0;
  // What its texels are like, as prepared.
  virtual const TexelSummary& Texels() const = 0;
};

// What a batch of sprites needs of the pipeline. The device draws it the cheapest way
// that gives the same pixels: on software OpenGL most of a sprite's time goes into
// choosing and blending mip levels and into blending with the picture.
struct SpriteBatchLook {
  // The fewest drawable pixels that one texel spans along a side of a sprite, over the
  // batch. From 1 up the picture shows at its size or larger, where sampling its
  // full-size level alone is what mip filtering does too; below 1 it is filtered
  // between mip levels.
  float pixelsPerTexel = 0.0f;
  // The texture is opaque and every sprite's tint has alpha 1: each pixel replaces
  // the one under it, without blending.
  bool opaque = false;
  // Every texel of the texture is one colour, already multiplied into the corners'
  // tints: the pixels take the tint, with no texture sampled (kFlatSprites).
  bool flat = false;
};

// A picture read back from the device: RGBA8, rows top-down.
struct Picture {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> rgba;
};

enum class ShaderStage { kVertex, kPixel };

// The device's programs: kMesh draws one mesh placed and tinted by the object block;
// kSprites draws a batch of sprites whose corners carry their place and tint; and
// kFlatSprites such a batch of a picture of one colour, in the tints alone.
enum class ShaderProgram { kMesh, kSprites, kFlatSprites };

class RenderDevice {
 public:
  virtual ~RenderDevice() = default;

  // Sets up the fixed pipeline state (no depth test, no face culling so that mirrored
  // sprites show, alpha blending but for opaque batches, viewport, constant blocks) for
  // a picture of the given size in pixels. Returns 0, or a negative code when the
  // device cannot draw.
  virtual int Initialize(int width, int height) = 0;

  // Compiles one stage of a program from source text. Returns 0, or a negative code
  // with the compiler's log in `log`. Both stages of a program compiled: it is linked,
  // and used by the draws of its kind.
  virtual int CompileShader(ShaderProgram program, ShaderStage stage, const std::string& source,
                            std::string& log) = 0;

  // Clears the picture to an RGBA colour (0..1 each).
  virtual void Clear(const float rgba[4]) = 0;

  // The three constant blocks; matrices arrive transposed, as stored in the graphics block.
  virtual void SetViewBlock(const base::Matrix4& view) = 0;
  virtual void SetProjectionBlock(const base::Matrix4& projection) = 0;
  virtual void SetObjectBlock(const ObjectConstants& constants) = 0;

  // Draws the indexed triangles with the given texture (null: fully transparent),
  // with the kMesh program and the three blocks as they stand.
  virtual void Draw(const std::vector<Vertex>& vertices, const std::vector<std::uint16_t>& indices,
                    const Texture* texture) = 0;

  // Draws corners.size() / kCornersPerSprite sprites (at most kMaxSpritesPerDraw), in
  // order, each one later on top, all with the given texture (null: fully transparent),
  // with the kSprites program (kFlatSprites for a flat look) and the view and
  // projection blocks as they stand.
  virtual void DrawSprites(std::span<const SpriteVertex> corners, const Texture* texture,
                           const SpriteBatchLook& look) = 0;

  // Drawable pixels per pixel of the picture: how the viewport scales the picture of
  // the size given to Initialize (full screen enlarges it), as of the last Clear.
  virtual float PictureScale() const = 0;

  // Creates a texture from prepared pixels; null when the device refuses it.
  virtual std::unique_ptr<Texture> CreateTexture(const TextureImage& image) = 0;

  // Largest width or height of a texture, in pixels.
  virtual std::uint32_t MaxTextureSize() const = 0;

  // Shows the frame.
  virtual void Present() = 0;

  // Reads the picture drawn so far in this frame; false when the device cannot.
  virtual bool ReadPicture(Picture& picture) = 0;
};

}  // namespace graphics
