// The OpenGL realisation of each GPU format.
#include "graphics/gl/gl_texture_format.h"

namespace graphics::gl {
namespace {

using GF = GpuFormat;

constexpr std::array<GlSwizzle, 4> kGraySwizzle{GlSwizzle::kRed, GlSwizzle::kRed, GlSwizzle::kRed,
                                                GlSwizzle::kOne};
constexpr std::array<GlSwizzle, 4> kAlphaOnlySwizzle{GlSwizzle::kZero, GlSwizzle::kZero, GlSwizzle::kZero,
                                                     GlSwizzle::kRed};

GlTextureFormat Plain(GlInternalFormat internal, GlPixelLayout layout, GlComponentType type,
                      bool mips = true) {
  GlTextureFormat f;
  f.internalFormat = internal;
  f.layout = layout;
  f.type = type;
  f.canGenerateMips = mips;
  return f;
}

GlTextureFormat Swizzled(GlInternalFormat internal, GlComponentType type,
                         const std::array<GlSwizzle, 4>& swizzle) {
  GlTextureFormat f = Plain(internal, GlPixelLayout::kRed, type);
  f.swizzle = swizzle;
  f.needsSwizzle = true;
  return f;
}

}  // namespace

std::optional<GlTextureFormat> GlFormatFor(GpuFormat format) {
  using I = GlInternalFormat;
  using L = GlPixelLayout;
  using T = GlComponentType;
  switch (format) {
    case GF::kR32G32B32A32Float:
      return Plain(I::kRGBA32F, L::kRGBA, T::kFloat);
    // Not colour-renderable in GL 3.3, so no mip generation: the loader then converts
    // it to four channels, as it does on a device without mip support for it.
    case GF::kR32G32B32Float:
      return Plain(I::kRGB32F, L::kRGB, T::kFloat, false);
    case GF::kR16G16B16A16Float:
      return Plain(I::kRGBA16F, L::kRGBA, T::kHalfFloat);
    case GF::kR16G16B16A16Unorm:
      return Plain(I::kRGBA16, L::kRGBA, T::kUnsignedShort);
    case GF::kR10G10B10A2Unorm:
      return Plain(I::kRGB10_A2, L::kRGBA, T::kUnsignedInt2101010Rev);
    case GF::kR8G8B8A8Unorm:
      return Plain(I::kRGBA8, L::kRGBA, T::kUnsignedByte);
    // The sRGB variants are stored as their bytes, like their plain forms: the frame
    // buffer holds sRGB values and does not encode, so a texture that decoded to linear
    // light on sampling would draw far too dark (grey 128 would show as 55).
    case GF::kR8G8B8A8UnormSrgb:
      return Plain(I::kRGBA8, L::kRGBA, T::kUnsignedByte);
    case GF::kB8G8R8A8Unorm:
      return Plain(I::kRGBA8, L::kBGRA, T::kUnsignedByte);
    case GF::kB8G8R8A8UnormSrgb:
      return Plain(I::kRGBA8, L::kBGRA, T::kUnsignedByte);
    // The fourth byte is padding: a three-channel texture ignores it, so a BMP whose
    // padding bytes are 0 does not turn invisible.
    case GF::kB8G8R8X8Unorm:
      return Plain(I::kRGB8, L::kBGRA, T::kUnsignedByte);
    case GF::kB8G8R8X8UnormSrgb:
      return Plain(I::kRGB8, L::kBGRA, T::kUnsignedByte);
    case GF::kB5G5R5A1Unorm:
      return Plain(I::kRGB5_A1, L::kBGRA, T::kUnsignedShort1555Rev);
    case GF::kB5G6R5Unorm:
      return Plain(I::kRGB565, L::kRGB, T::kUnsignedShort565);
    case GF::kR32Float:
      return Swizzled(I::kR32F, T::kFloat, kGraySwizzle);
    case GF::kR16Float:
      return Swizzled(I::kR16F, T::kHalfFloat, kGraySwizzle);
    case GF::kR16Unorm:
      return Swizzled(I::kR16, T::kUnsignedShort, kGraySwizzle);
    case GF::kR8Unorm:
      return Swizzled(I::kR8, T::kUnsignedByte, kGraySwizzle);
    case GF::kA8Unorm:
      return Swizzled(I::kR8, T::kUnsignedByte, kAlphaOnlySwizzle);
    default:
      return std::nullopt;  // extended-range and block-compressed formats
  }
}

}  // namespace graphics::gl
