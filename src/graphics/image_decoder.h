// Image decoding and texture preparation: turns a PNG or BMP file into pixels in a
// GPU format, ready for one texture upload. Pure CPU work; the renderer creates the
// texture from the TextureImage it gets here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "graphics/gl/gl_texture_format.h"
#include "graphics/texel_summary.h"
#include "graphics/texture_format.h"

namespace graphics {

// The container an image came from; it decides which colour-space metadata counts.
enum class ImageContainer : uint8_t { kUnknown, kPng, kBmp };

struct PaletteEntry {
  uint8_t r = 0, g = 0, b = 0, a = 255;
};

// Frame 0 of an image file, as decoded.
struct DecodedImage {
  uint32_t width = 0;   // pixels
  uint32_t height = 0;  // pixels
  PixelFormat format = PixelFormat::kUnknown;
  size_t rowPitch = 0;          // bytes from one row to the next; rows run top-down
  std::vector<uint8_t> pixels;  // rowPitch x height bytes
  // Indexed formats: always 256 entries, those past the file's palette opaque black,
  // so any index reads a defined colour.
  std::vector<PaletteEntry> palette;
  ImageContainer container = ImageContainer::kUnknown;
  bool hasSrgbIntent = false;  // PNG: the file carries an sRGB rendering intent
  uint16_t colourSpace = 0;    // other containers: 1 means sRGB, 0 unknown
};

// One decoder per container format.
class ImageDecoder {
 public:
  virtual ~ImageDecoder() = default;
  // True when the bytes start like a file of this decoder's format.
  virtual bool Recognises(std::span<const uint8_t> bytes) const = 0;
  // Decodes frame 0. On failure returns the code, sets reason to a short text, and
  // leaves out in an unspecified but valid state.
  virtual ImageResult Decode(std::span<const uint8_t> bytes, DecodedImage& out,
                             std::string& reason) const = 0;
};

std::unique_ptr<ImageDecoder> CreatePngDecoder();
std::unique_ptr<ImageDecoder> CreateBmpDecoder();

// Decodes bytes with the first decoder that recognises them (PNG, then BMP).
ImageResult DecodeImage(std::span<const uint8_t> bytes, DecodedImage& out, std::string& reason);

// Reads and decodes a file. On failure writes one line naming the file to standard
// error.
ImageResult DecodeImageFile(const std::string& path, DecodedImage& out);

// Converts (and, when the size differs, area-filters) an image into another decoded
// format. Fails with kUnexpected when no conversion between the two exists.
ImageResult ConvertImage(const DecodedImage& source, PixelFormat target, uint32_t width, uint32_t height,
                         DecodedImage& out);

// Load flags.
inline constexpr uint32_t kLoadForceSrgb = 0x1;   // always take the sRGB variant
inline constexpr uint32_t kLoadIgnoreSrgb = 0x2;  // ignore the file's colour space

inline constexpr uint32_t kFallbackMaxTextureSize = 16384;

struct TextureLoadOptions {
  // Largest width or height of the texture; 0 means deviceMaxTextureSize.
  uint32_t maxSize = 0;
  // The device's limit (GL_MAX_TEXTURE_SIZE); 0 means kFallbackMaxTextureSize.
  uint32_t deviceMaxTextureSize = 0;
  uint32_t loadFlags = 0;
  // The caller creates a shader view and may generate a mip chain.
  bool wantMips = true;
  // Whether the device can create 2D textures of a GL format. Empty: every format
  // gl::GlFormatFor gives is taken as supported (true of GL 3.3 core; RGB565 needs 4.1 or
  // ARB_ES2_compatibility). Unsupported formats are converted to 32bppRGBA.
  std::function<bool(const gl::GlTextureFormat&)> formatSupported;
};

// Pixels ready for one upload of mip level 0.
struct TextureImage {
  uint32_t width = 0;                               // pixels, at most the size cap
  uint32_t height = 0;                              // pixels
  GpuFormat gpuFormat = GpuFormat::kUnknown;        // sRGB variant when the image is sRGB
  PixelFormat pixelFormat = PixelFormat::kUnknown;  // layout of pixels
  gl::GlTextureFormat gl;                           // how to create and upload it in OpenGL
  uint32_t bitsPerPixel = 0;
  // Bytes per row, (width x bits + 7) / 8: rows are tightly packed, so upload with
  // GL_UNPACK_ALIGNMENT 1. Rows run top-down (the first row is the image's top).
  size_t rowPitch = 0;
  std::vector<uint8_t> pixels;  // rowPitch x height bytes
  bool generateMips = false;    // create all levels and generate them from level 0
  TexelSummary texels;          // what drawing may leave out
};

// The size an image of width x height is shrunk to under a cap: unchanged when both
// fit; otherwise the longer side becomes the cap and the other keeps the aspect ratio
// (truncated, at least 1).
void TargetSize(uint32_t width, uint32_t height, uint32_t maxSize, uint32_t& targetWidth,
                uint32_t& targetHeight);

// Chooses the GPU format, converts and scales the pixels. No logging.
ImageResult PrepareTexture(const DecodedImage& image, const TextureLoadOptions& options, TextureImage& out);

// DecodeImageFile then PrepareTexture. On failure writes one line naming the file to
// standard error and leaves out empty.
ImageResult LoadTextureImage(const std::string& path, const TextureLoadOptions& options, TextureImage& out);

}  // namespace graphics
