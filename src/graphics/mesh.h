// The geometry of a sprite: a vertex list and an index list.
#pragma once

#include <cstdint>
#include <vector>

#include "graphics/render_device.h"

namespace graphics {

struct Mesh {
  std::vector<Vertex> vertices;
  std::vector<std::uint16_t> indices;
};

// The quad every sprite draws: 2 x 2 world units around the origin at z = -1, its
// two triangles wound clockwise as seen on screen (y up).
Mesh UnitQuad();

}  // namespace graphics
