// TestComponent and its registration.
#include "serialization/test_component.h"

#include "objects/type_registry.h"

namespace serialization {

TestComponent::TestComponent() : BaseComponent("TestComponent") {}

void RegisterTestComponent(objects::TypeRegistry& registry) {
  registry.RegisterType<TestComponent>("TestComponent")
      .Describe("for the serializer self-tests (state 8); no use in a level",
                R"({"int_vector": [1, 2], "float_vector": [0.5, 1.5], "rotation": 45.0})")
      .AddHeaderMember()
      .Add("int_vector", VELMARIS_FIELD(TestComponent, intVector), {"a list the self-tests read back"})
      .Add("float_vector", VELMARIS_FIELD(TestComponent, floatVector), {"a list the self-tests read back"})
      .AddVector({"x_position", "y_position"}, VELMARIS_FIELD(TestComponent, position),
                 {"a position the self-tests read back", "world units"})
      .AddVector({"x_scale", "y_scale"}, VELMARIS_FIELD(TestComponent, scale),
                 {"a scale the self-tests read back", "world units"})
      .Add("rotation", VELMARIS_FIELD(TestComponent, rotation),
           {"a rotation the self-tests read back", "degrees"})
      .FinishType();
}

}  // namespace serialization
