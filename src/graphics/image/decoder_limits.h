// What the image decoders share: limits that bound what a hostile header can make a
// decoder allocate before the pixel data proves the image real, and the indexed
// formats by palette bit depth.
#pragma once

#include <cstdint>
#include <string>

#include "graphics/image_decoder.h"

namespace graphics {

inline constexpr uint32_t kMaxImageSide = 1u << 16;  // pixels, either side, that libpng reads a header of
inline constexpr uint64_t kMaxDecodedBytes = 1ull << 30;  // decoded pixel buffer

// The largest picture the game takes, more than a 2D game on a desktop needs: 8192
// pixels a side and 64 M pixels in all (256 MB as RGBA). Larger ones are refused
// from their header, before anything is decoded, so a small file cannot make the
// game allocate gigabytes.
inline constexpr uint64_t kMaxPictureSide = 8192;
inline constexpr uint64_t kMaxPicturePixels = 64ull << 20;

// Empty when a picture of this size may be decoded; else why not, with its size.
inline std::string PictureSizeProblem(uint64_t width, uint64_t height) {
  if (width <= kMaxPictureSide && height <= kMaxPictureSide && width * height <= kMaxPicturePixels) return {};
  return std::to_string(width) + " x " + std::to_string(height) +
         " pixels is larger than a picture may be (at most 8192 a side and 64 M pixels)";
}

// The indexed format of 1, 2 or 4 bits a pixel; every other depth is 8 bits.
inline PixelFormat IndexedFormat(uint32_t bits) {
  switch (bits) {
    case 1:
      return PixelFormat::k1bppIndexed;
    case 2:
      return PixelFormat::k2bppIndexed;
    case 4:
      return PixelFormat::k4bppIndexed;
    default:
      return PixelFormat::k8bppIndexed;
  }
}

}  // namespace graphics
