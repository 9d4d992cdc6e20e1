// TestComponent and its registration.
#include "serialization/test_component.h"

#include "objects/type_registry.h"

namespace serialization {

TestComponent::TestComponent() : BaseComponent("TestComponent") {}

void RegisterTestComponent(objects::TypeRegistry& registry) {
  registry.RegisterType<TestComponent>("TestComponent")
      .AddHeaderMember()
      .Add("int_vector", VELMARIS_FIELD(TestComponent, intVector))
      .Add("float_vector", VELMARIS_FIELD(TestComponent, floatVector))
      .AddVector({"x_position", "y_position"}, VELMARIS_FIELD(TestComponent, position))
      .AddVector({"x_scale", "y_scale"}, VELMARIS_FIELD(TestComponent, scale))
      .Add("rotation", VELMARIS_FIELD(TestComponent, rotation))
      .FinishType();
}

}  // namespace serialization
