// TestComponent: a small component that exists only for the serializer self-tests.
#pragma once

#include <cstdint>
#include <vector>

#include "base/math.h"
#include "objects/base_component.h"

namespace objects {
class TypeRegistry;
}

namespace serialization {

class TestComponent : public objects::BaseComponent {
 public:
  TestComponent();

  std::vector<std::int32_t> intVector;  // file name "int_vector"
  std::vector<float> floatVector;       // file name "float_vector"
  base::vector2D position;              // "x_position", "y_position"
  base::vector2D scale;                 // "x_scale", "y_scale"
  float rotation = 0.0f;                // "rotation", degrees
};

// Registers "TestComponent" with its members in field order.
void RegisterTestComponent(objects::TypeRegistry& registry);

}  // namespace serialization
