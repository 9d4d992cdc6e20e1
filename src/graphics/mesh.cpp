#include "graphics/mesh.h"

#include <iterator>

namespace graphics {

Mesh UnitQuad() {
  return Mesh{{{-1.0f, -1.0f, -1.0f, 0.0f, 1.0f},
               {1.0f, -1.0f, -1.0f, 1.0f, 1.0f},
               {1.0f, 1.0f, -1.0f, 1.0f, 0.0f},
               {-1.0f, 1.0f, -1.0f, 0.0f, 0.0f}},
              {std::begin(kQuadIndices), std::end(kQuadIndices)}};
}

}  // namespace graphics
