// What the image decoders share: limits that bound what a hostile header can make a
// decoder allocate before the pixel data proves the image real, and the indexed
// formats by palette bit depth.
#pragma once

#include <cstdint>

#include "graphics/image_decoder.h"

namespace graphics {

inline constexpr uint32_t kMaxImageSide = 1u << 16;       // pixels, either side
inline constexpr uint64_t kMaxDecodedBytes = 1ull << 30;  // decoded pixel buffer

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
