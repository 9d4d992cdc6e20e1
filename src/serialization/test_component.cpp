// TestComponent and its registration.
#include "serialization/test_component.h"

#include "objects/type_registry.h"

namespace serialization {

TestComponent::TestComponent() : BaseComponent("TestComponent") {}

void RegisterTestComponent(objects::TypeRegistry& registry) {
  registry.RegisterType<TestComponent>("TestComponent")
      .AddHeaderMember()
      .AddMember(objects::MemberType::IntVector, "int_vector", VELMARIS_FIELD(TestComponent, intVector))
      .AddMember(objects::MemberType::FloatVector, "float_vector", VELMARIS_FIELD(TestComponent, floatVector))
      .AddVectorMember({"x_position", "y_position"}, VELMARIS_OFFSETOF(TestComponent, position))
      .AddVectorMember({"x_scale", "y_scale"}, VELMARIS_OFFSETOF(TestComponent, scale))
      .AddMember(objects::MemberType::Float, "rotation", VELMARIS_FIELD(TestComponent, rotation))
      .FinishType();
}

}  // namespace serialization
