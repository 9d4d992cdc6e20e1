// Texture formats: the decoded pixel formats an image file yields, the GPU formats a
// texture is created in, and the tables that choose one from the other. How OpenGL
// realises each GPU format is in graphics/gl/gl_texture_format.h.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace graphics {

// Result codes of decoding and texture preparation; 0 is success. The values are the
// 32-bit codes callers compare against, so they stay fixed.
enum class ImageResult : uint32_t {
  kOk = 0,
  kInvalidArgument = 0x80070057,
  kNoInterface = 0x80004002,
  kNotSupported = 0x80070032,        // pixel format with no texture format
  kFail = 0x80004005,                // format of unknown size
  kArithmeticOverflow = 0x80070216,  // row pitch or image size above 32 bits
  kOutOfMemory = 0x8007000E,
  kUnexpected = 0x8000FFFF,  // no conversion between two pixel formats
  kFileNotFound = 0x80070002,
  kPathNotFound = 0x80070003,
  kAccessDenied = 0x80070005,
  kReadFault = 0x8007001E,
  kUnknownImageFormat = 0x88982F07,  // no decoder recognises the file
  kBadImage = 0x88982F60,            // pixel data broken or truncated
  kBadHeader = 0x88982F61,           // header fields invalid
  kUnsupportedImage = 0x88982F81,    // valid file of a kind not decoded here
};

// Short English text for a result, for diagnostics.
std::string_view ImageResultText(ImageResult result);

// Decoded pixel formats, named as the image codec layer names them ("32bppBGRA"...).
// Channel order is memory order: 32bppBGRA stores B, G, R, A bytes. Samples wider than
// 8 bits are in host byte order. Rows are packed most significant bit first below 8
// bits per pixel.
enum class PixelFormat : uint8_t {
  kUnknown,
  // In the direct table.
  k128bppRGBAFloat,
  k64bppRGBAHalf,
  k64bppRGBA,
  k32bppRGBA,
  k32bppBGRA,
  k32bppBGR,
  k32bppRGBA1010102XR,
  k32bppRGBA1010102,
  k16bppBGRA5551,
  k16bppBGR565,
  k32bppGrayFloat,
  k16bppGrayHalf,
  k16bppGray,
  k8bppGray,
  k8bppAlpha,
  k96bppRGBFloat,
  // Only in the conversion table.
  kBlackWhite,
  k2bppGray,
  k4bppGray,
  k1bppIndexed,
  k2bppIndexed,
  k4bppIndexed,
  k8bppIndexed,
  k16bppGrayFixedPoint,
  k32bppGrayFixedPoint,
  k16bppBGR555,
  k32bppBGR101010,
  k24bppBGR,
  k24bppRGB,
  k32bppPBGRA,
  k32bppPRGBA,
  k48bppRGB,
  k48bppBGR,
  k64bppBGRA,
  k64bppPRGBA,
  k64bppPBGRA,
  k48bppRGBFixedPoint,
  k48bppBGRFixedPoint,
  k64bppRGBAFixedPoint,
  k64bppBGRAFixedPoint,
  k64bppRGBFixedPoint,
  k64bppRGBHalf,
  k48bppRGBHalf,
  k128bppPRGBAFloat,
  k128bppRGBFloat,
  k128bppRGBAFixedPoint,
  k128bppRGBFixedPoint,
  k32bppRGBE,
  k32bppCMYK,
  k64bppCMYK,
  k40bppCMYKAlpha,
  k80bppCMYKAlpha,
  k32bppRGB,
  k64bppRGB,
  k64bppPRGBAHalf,
  // Converted specially (see ChooseTextureFormat).
  k96bppRGBFixedPoint,
  kCount
};

std::string_view PixelFormatName(PixelFormat format);
// Bits per pixel of a decoded format; 0 for kUnknown.
uint32_t BitsPerPixel(PixelFormat format);

// GPU formats, numbered as the texture API numbers them.
enum class GpuFormat : uint32_t {
  kUnknown = 0,
  kR32G32B32A32Float = 2,
  kR32G32B32Float = 6,
  kR16G16B16A16Float = 10,
  kR16G16B16A16Unorm = 11,
  kR10G10B10A2Unorm = 24,
  kR8G8B8A8Unorm = 28,
  kR8G8B8A8UnormSrgb = 29,
  kR32Float = 41,
  kR16Float = 54,
  kR16Unorm = 56,
  kR8Unorm = 61,
  kA8Unorm = 65,
  kBC1Unorm = 71,
  kBC1UnormSrgb = 72,
  kBC2Unorm = 74,
  kBC2UnormSrgb = 75,
  kBC3Unorm = 77,
  kBC3UnormSrgb = 78,
  kB5G6R5Unorm = 85,
  kB5G5R5A1Unorm = 86,
  kB8G8R8A8Unorm = 87,
  kB8G8R8X8Unorm = 88,
  kR10G10B10XrBiasA2Unorm = 89,
  kB8G8R8A8UnormSrgb = 91,
  kB8G8R8X8UnormSrgb = 93,
  kBC7Unorm = 98,
  kBC7UnormSrgb = 99,
};

// The direct table: the GPU format a decoded format is uploaded in unchanged, or
// kUnknown. 96bppRGBFloat is included (our decoding layer counts as the newer one).
GpuFormat DirectGpuFormat(PixelFormat format);
// The conversion table: the decoded format a format without a direct GPU format is
// converted to, or nullopt when it has no entry.
std::optional<PixelFormat> ConversionTarget(PixelFormat format);
// The sRGB form of a GPU format; others are returned unchanged.
GpuFormat ToSrgbFormat(GpuFormat format);
// The decoded format whose pixels a GPU format holds (inverse of the direct table).
PixelFormat PixelFormatOf(GpuFormat format);

}  // namespace graphics
