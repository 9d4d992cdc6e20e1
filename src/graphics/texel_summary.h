// What the texels of a prepared picture are like, found once when it is prepared, so
// that drawing can leave out work that changes no pixel.
#pragma once

#include <optional>

#include "base/math.h"

namespace graphics {

// A rectangle in texture coordinates: 0..1 of the width and the height, v growing
// downwards. Empty when right <= left or bottom <= top.
struct UvRect {
  float left = 0.0f;
  float top = 0.0f;
  float right = 1.0f;
  float bottom = 1.0f;

  bool Empty() const { return right <= left || bottom <= top; }
};

// Known for 8-bit RGBA and BGRA pixels, the formats pictures arrive in; of the other
// formats nothing is known (the default: translucent, every texel possibly visible).
struct TexelSummary {
  // Every texel has alpha 255: the picture replaces what is under it.
  bool opaque = false;
  // Holds every texel whose alpha is above 0; outside it the picture is fully
  // transparent.
  UvRect covered;
  // Every texel is this colour (RGBA, 0..1, as sampling returns it), at every size
  // the picture is shown at.
  std::optional<base::XMFLOAT4> uniform;
};

}  // namespace graphics
