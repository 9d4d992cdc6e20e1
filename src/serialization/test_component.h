// TestComponent: a small component that exists only for the serializer self-tests.
#pragma once

#include <cstdint>
#include <vector>

#include "graphics/math.h"
#include "objects/base_component.h"

namespace serialization {

class TypeRegistry;

class TestComponent : public objects::BaseComponent {
 public:
  TestComponent();

  std::vector<std::int32_t> intVector;  // file name "int_vector"
  std::vector<float> floatVector;       // file name "float_vector"
  graphics::vector2D position;          // "x_position", "y_position"
  graphics::vector2D scale;             // "x_scale", "y_scale"
  float rotation = 0.0f;                // "rotation", degrees
};

// Registers "TestComponent" with its members in field order.
void RegisterTestComponent(TypeRegistry& registry);

}  // namespace serialization
