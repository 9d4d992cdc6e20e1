#include "graphics/mesh.h"

namespace graphics {

Mesh UnitQuad() {
  return Mesh{{{-1.0f, -1.0f, -1.0f, 0.0f, 1.0f},
               {1.0f, -1.0f, -1.0f, 1.0f, 1.0f},
               {1.0f, 1.0f, -1.0f, 1.0f, 0.0f},
               {-1.0f, 1.0f, -1.0f, 0.0f, 0.0f}},
              {3, 1, 0, 2, 1, 3}};
}

}  // namespace graphics
