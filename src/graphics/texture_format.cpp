// Texture format tables: decoded format -> GPU format, conversions and sRGB variants.
#include "graphics/texture_format.h"

#include <utility>

namespace graphics {
namespace {

using PF = PixelFormat;
using GF = GpuFormat;

struct FormatInfo {
  PixelFormat format;
  std::string_view name;
  uint32_t bits;
};

// Indexed by PixelFormat; the static_assert below keeps it in step with the enum.
constexpr FormatInfo kFormatInfo[] = {
    {PF::kUnknown, "Unknown", 0},
    {PF::k128bppRGBAFloat, "128bppRGBAFloat", 128},
    {PF::k64bppRGBAHalf, "64bppRGBAHalf", 64},
    {PF::k64bppRGBA, "64bppRGBA", 64},
    {PF::k32bppRGBA, "32bppRGBA", 32},
    {PF::k32bppBGRA, "32bppBGRA", 32},
    {PF::k32bppBGR, "32bppBGR", 32},
    {PF::k32bppRGBA1010102XR, "32bppRGBA1010102XR", 32},
    {PF::k32bppRGBA1010102, "32bppRGBA1010102", 32},
    {PF::k16bppBGRA5551, "16bppBGRA5551", 16},
    {PF::k16bppBGR565, "16bppBGR565", 16},
    {PF::k32bppGrayFloat, "32bppGrayFloat", 32},
    {PF::k16bppGrayHalf, "16bppGrayHalf", 16},
    {PF::k16bppGray, "16bppGray", 16},
    {PF::k8bppGray, "8bppGray", 8},
    {PF::k8bppAlpha, "8bppAlpha", 8},
    {PF::k96bppRGBFloat, "96bppRGBFloat", 96},
    {PF::kBlackWhite, "BlackWhite", 1},
    {PF::k2bppGray, "2bppGray", 2},
    {PF::k4bppGray, "4bppGray", 4},
    {PF::k1bppIndexed, "1bppIndexed", 1},
    {PF::k2bppIndexed, "2bppIndexed", 2},
    {PF::k4bppIndexed, "4bppIndexed", 4},
    {PF::k8bppIndexed, "8bppIndexed", 8},
    {PF::k16bppGrayFixedPoint, "16bppGrayFixedPoint", 16},
    {PF::k32bppGrayFixedPoint, "32bppGrayFixedPoint", 32},
    {PF::k16bppBGR555, "16bppBGR555", 16},
    {PF::k32bppBGR101010, "32bppBGR101010", 32},
    {PF::k24bppBGR, "24bppBGR", 24},
    {PF::k24bppRGB, "24bppRGB", 24},
    {PF::k32bppPBGRA, "32bppPBGRA", 32},
    {PF::k32bppPRGBA, "32bppPRGBA", 32},
    {PF::k48bppRGB, "48bppRGB", 48},
    {PF::k48bppBGR, "48bppBGR", 48},
    {PF::k64bppBGRA, "64bppBGRA", 64},
    {PF::k64bppPRGBA, "64bppPRGBA", 64},
    {PF::k64bppPBGRA, "64bppPBGRA", 64},
    {PF::k48bppRGBFixedPoint, "48bppRGBFixedPoint", 48},
    {PF::k48bppBGRFixedPoint, "48bppBGRFixedPoint", 48},
    {PF::k64bppRGBAFixedPoint, "64bppRGBAFixedPoint", 64},
    {PF::k64bppBGRAFixedPoint, "64bppBGRAFixedPoint", 64},
    {PF::k64bppRGBFixedPoint, "64bppRGBFixedPoint", 64},
    {PF::k64bppRGBHalf, "64bppRGBHalf", 64},
    {PF::k48bppRGBHalf, "48bppRGBHalf", 48},
    {PF::k128bppPRGBAFloat, "128bppPRGBAFloat", 128},
    {PF::k128bppRGBFloat, "128bppRGBFloat", 128},
    {PF::k128bppRGBAFixedPoint, "128bppRGBAFixedPoint", 128},
    {PF::k128bppRGBFixedPoint, "128bppRGBFixedPoint", 128},
    {PF::k32bppRGBE, "32bppRGBE", 32},
    {PF::k32bppCMYK, "32bppCMYK", 32},
    {PF::k64bppCMYK, "64bppCMYK", 64},
    {PF::k40bppCMYKAlpha, "40bppCMYKAlpha", 40},
    {PF::k80bppCMYKAlpha, "80bppCMYKAlpha", 80},
    {PF::k32bppRGB, "32bppRGB", 32},
    {PF::k64bppRGB, "64bppRGB", 64},
    {PF::k64bppPRGBAHalf, "64bppPRGBAHalf", 64},
    {PF::k96bppRGBFixedPoint, "96bppRGBFixedPoint", 96},
};
static_assert(std::size(kFormatInfo) == static_cast<size_t>(PF::kCount));

constexpr bool InfoMatchesEnum() {
  for (size_t i = 0; i < std::size(kFormatInfo); ++i) {
    if (static_cast<size_t>(kFormatInfo[i].format) != i) return false;
  }
  return true;
}
static_assert(InfoMatchesEnum());

// Searched in this order.
constexpr std::pair<PixelFormat, GpuFormat> kDirectTable[] = {
    {PF::k128bppRGBAFloat, GF::kR32G32B32A32Float},
    {PF::k64bppRGBAHalf, GF::kR16G16B16A16Float},
    {PF::k64bppRGBA, GF::kR16G16B16A16Unorm},
    {PF::k32bppRGBA, GF::kR8G8B8A8Unorm},
    {PF::k32bppBGRA, GF::kB8G8R8A8Unorm},
    {PF::k32bppBGR, GF::kB8G8R8X8Unorm},
    {PF::k32bppRGBA1010102XR, GF::kR10G10B10XrBiasA2Unorm},
    {PF::k32bppRGBA1010102, GF::kR10G10B10A2Unorm},
    {PF::k16bppBGRA5551, GF::kB5G5R5A1Unorm},
    {PF::k16bppBGR565, GF::kB5G6R5Unorm},
    {PF::k32bppGrayFloat, GF::kR32Float},
    {PF::k16bppGrayHalf, GF::kR16Float},
    {PF::k16bppGray, GF::kR16Unorm},
    {PF::k8bppGray, GF::kR8Unorm},
    {PF::k8bppAlpha, GF::kA8Unorm},
    {PF::k96bppRGBFloat, GF::kR32G32B32Float},
};

// 39 rows, searched in this order.
constexpr std::pair<PixelFormat, PixelFormat> kConversionTable[] = {
    {PF::kBlackWhite, PF::k8bppGray},
    {PF::k2bppGray, PF::k8bppGray},
    {PF::k4bppGray, PF::k8bppGray},
    {PF::k1bppIndexed, PF::k32bppRGBA},
    {PF::k2bppIndexed, PF::k32bppRGBA},
    {PF::k4bppIndexed, PF::k32bppRGBA},
    {PF::k8bppIndexed, PF::k32bppRGBA},
    {PF::k16bppGrayFixedPoint, PF::k16bppGrayHalf},
    {PF::k32bppGrayFixedPoint, PF::k32bppGrayFloat},
    {PF::k16bppBGR555, PF::k16bppBGRA5551},
    {PF::k32bppBGR101010, PF::k32bppRGBA1010102},
    {PF::k24bppBGR, PF::k32bppRGBA},
    {PF::k24bppRGB, PF::k32bppRGBA},
    {PF::k32bppPBGRA, PF::k32bppRGBA},
    {PF::k32bppPRGBA, PF::k32bppRGBA},
    {PF::k48bppRGB, PF::k64bppRGBA},
    {PF::k48bppBGR, PF::k64bppRGBA},
    {PF::k64bppBGRA, PF::k64bppRGBA},
    {PF::k64bppPRGBA, PF::k64bppRGBA},
    {PF::k64bppPBGRA, PF::k64bppRGBA},
    {PF::k48bppRGBFixedPoint, PF::k64bppRGBAHalf},
    {PF::k48bppBGRFixedPoint, PF::k64bppRGBAHalf},
    {PF::k64bppRGBAFixedPoint, PF::k64bppRGBAHalf},
    {PF::k64bppBGRAFixedPoint, PF::k64bppRGBAHalf},
    {PF::k64bppRGBFixedPoint, PF::k64bppRGBAHalf},
    {PF::k64bppRGBHalf, PF::k64bppRGBAHalf},
    {PF::k48bppRGBHalf, PF::k64bppRGBAHalf},
    {PF::k128bppPRGBAFloat, PF::k128bppRGBAFloat},
    {PF::k128bppRGBFloat, PF::k128bppRGBAFloat},
    {PF::k128bppRGBAFixedPoint, PF::k128bppRGBAFloat},
    {PF::k128bppRGBFixedPoint, PF::k128bppRGBAFloat},
    {PF::k32bppRGBE, PF::k128bppRGBAFloat},
    {PF::k32bppCMYK, PF::k32bppRGBA},
    {PF::k64bppCMYK, PF::k64bppRGBA},
    {PF::k40bppCMYKAlpha, PF::k32bppRGBA},
    {PF::k80bppCMYKAlpha, PF::k64bppRGBA},
    {PF::k32bppRGB, PF::k32bppRGBA},
    {PF::k64bppRGB, PF::k64bppRGBA},
    {PF::k64bppPRGBAHalf, PF::k64bppRGBAHalf},
};
static_assert(std::size(kConversionTable) == 39);

constexpr std::pair<GpuFormat, GpuFormat> kSrgbTable[] = {
    {GF::kR8G8B8A8Unorm, GF::kR8G8B8A8UnormSrgb}, {GF::kBC1Unorm, GF::kBC1UnormSrgb},
    {GF::kBC2Unorm, GF::kBC2UnormSrgb},           {GF::kBC3Unorm, GF::kBC3UnormSrgb},
    {GF::kB8G8R8A8Unorm, GF::kB8G8R8A8UnormSrgb}, {GF::kB8G8R8X8Unorm, GF::kB8G8R8X8UnormSrgb},
    {GF::kBC7Unorm, GF::kBC7UnormSrgb},
};

}  // namespace

std::string_view ImageResultText(ImageResult result) {
  switch (result) {
    case ImageResult::kOk:
      return "success";
    case ImageResult::kInvalidArgument:
      return "invalid argument";
    case ImageResult::kNoInterface:
      return "no image decoding available";
    case ImageResult::kNotSupported:
      return "pixel format not supported";
    case ImageResult::kFail:
      return "pixel format of unknown size";
    case ImageResult::kArithmeticOverflow:
      return "image too large (size overflow)";
    case ImageResult::kOutOfMemory:
      return "out of memory";
    case ImageResult::kUnexpected:
      return "pixel format cannot be converted";
    case ImageResult::kFileNotFound:
      return "file not found";
    case ImageResult::kPathNotFound:
      return "path not found";
    case ImageResult::kAccessDenied:
      return "access denied";
    case ImageResult::kReadFault:
      return "read error";
    case ImageResult::kUnknownImageFormat:
      return "not a PNG or BMP image";
    case ImageResult::kBadImage:
      return "broken image data";
    case ImageResult::kBadHeader:
      return "broken image header";
    case ImageResult::kUnsupportedImage:
      return "image kind not supported";
  }
  return "unknown error";
}

std::string_view PixelFormatName(PixelFormat format) {
  auto index = static_cast<size_t>(format);
  return index < std::size(kFormatInfo) ? kFormatInfo[index].name : "Unknown";
}

uint32_t BitsPerPixel(PixelFormat format) {
  auto index = static_cast<size_t>(format);
  return index < std::size(kFormatInfo) ? kFormatInfo[index].bits : 0;
}

GpuFormat DirectGpuFormat(PixelFormat format) {
  for (const auto& [pixel, gpu] : kDirectTable) {
    if (pixel == format) return gpu;
  }
  return GF::kUnknown;
}

std::optional<PixelFormat> ConversionTarget(PixelFormat format) {
  for (const auto& [from, to] : kConversionTable) {
    if (from == format) return to;
  }
  return std::nullopt;
}

GpuFormat ToSrgbFormat(GpuFormat format) {
  for (const auto& [linear, srgb] : kSrgbTable) {
    if (linear == format) return srgb;
  }
  return format;
}

PixelFormat PixelFormatOf(GpuFormat format) {
  for (const auto& [linear, srgb] : kSrgbTable) {
    if (srgb == format) format = linear;
  }
  for (const auto& [pixel, gpu] : kDirectTable) {
    if (gpu == format) return pixel;
  }
  return PF::kUnknown;
}

}  // namespace graphics
