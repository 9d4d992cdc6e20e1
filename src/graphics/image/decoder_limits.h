// Limits shared by the image decoders: they bound what a hostile header can make a
// decoder allocate before the pixel data proves the image real.
#pragma once

#include <cstdint>

namespace graphics {

inline constexpr uint32_t kMaxImageSide = 1u << 16;       // pixels, either side
inline constexpr uint64_t kMaxDecodedBytes = 1ull << 30;  // decoded pixel buffer

}  // namespace graphics
