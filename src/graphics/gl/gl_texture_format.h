// How OpenGL realises each GPU format: the internal format, upload layout and
// component type, and the swizzle that shows one-channel images right. Pure tables
// with the values of the GL headers, so code that prepares pixels needs no GL header.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "graphics/texture_format.h"

namespace graphics::gl {

// OpenGL identifiers, with the values of the GL headers so that the renderer can pass
// them through after a cast.
enum class GlInternalFormat : uint32_t {
  kNone = 0,
  kRGBA8 = 0x8058,
  kRGB8 = 0x8051,
  kRGBA16 = 0x805B,
  kRGBA16F = 0x881A,
  kRGBA32F = 0x8814,
  kRGB32F = 0x8815,
  kRGB10_A2 = 0x8059,
  kRGB5_A1 = 0x8057,
  kRGB565 = 0x8D62,
  kR8 = 0x8229,
  kR16 = 0x822A,
  kR16F = 0x822D,
  kR32F = 0x822E,
};
enum class GlPixelLayout : uint32_t {  // the "format" argument of a texture upload
  kRed = 0x1903,
  kRGB = 0x1907,
  kRGBA = 0x1908,
  kBGRA = 0x80E1,
};
enum class GlComponentType : uint32_t {  // the "type" argument of a texture upload
  kUnsignedByte = 0x1401,
  kUnsignedShort = 0x1403,
  kFloat = 0x1406,
  kHalfFloat = 0x140B,
  kUnsignedShort565 = 0x8363,
  kUnsignedShort1555Rev = 0x8366,
  kUnsignedInt2101010Rev = 0x8368,
};
enum class GlSwizzle : uint32_t {
  kZero = 0,
  kOne = 1,
  kRed = 0x1903,
  kGreen = 0x1904,
  kBlue = 0x1905,
  kAlpha = 0x1906,
};

// How a GPU format is created and uploaded in OpenGL.
struct GlTextureFormat {
  GlInternalFormat internalFormat = GlInternalFormat::kNone;
  GlPixelLayout layout = GlPixelLayout::kRGBA;
  GlComponentType type = GlComponentType::kUnsignedByte;
  // What the red, green, blue and alpha of a sample read. A one-channel texture reads
  // (v, 0, 0, 1) by default, which shows gray images in red; gray formats therefore
  // read (v, v, v, 1) and the alpha-only format (0, 0, 0, v).
  std::array<GlSwizzle, 4> swizzle{GlSwizzle::kRed, GlSwizzle::kGreen, GlSwizzle::kBlue, GlSwizzle::kAlpha};
  bool needsSwizzle = false;  // swizzle differs from the identity
  // glGenerateMipmap is defined for it (colour-renderable and filterable in GL 3.3).
  bool canGenerateMips = false;
};

// The GL realisation of a GPU format, or nullopt when OpenGL has none (the caller
// then converts to 32bppRGBA, as for any format the device does not support). An
// sRGB variant is realised as its plain form: the picture is composed in sRGB values
// as the files store them, so its texels are sampled unchanged.
std::optional<GlTextureFormat> GlFormatFor(GpuFormat format);

}  // namespace graphics::gl
