// The reflection registry: lookups and their messages, member orders, and that every
// registered position is where the field really is.
#include "serialization/type_registry.h"

#include <gtest/gtest.h>

#include <cstring>
#include <stdexcept>

#include "components/physics.h"
#include "components/transform.h"
#include "objects/probe_component.h"
#include "serialization/component_registration.h"
#include "serialization/test_component.h"

namespace {

using serialization::MemberType;

class TypeRegistryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    serialization::ResetTypeRegistry();
    serialization::RegisterComponents();
  }
  void TearDown() override { serialization::ResetTypeRegistry(); }

  static std::vector<std::string> SerializedNames(const std::string& type) {
    std::vector<std::string> names;
    for (const auto* member : serialization::GetSerializedMembers(type)) names.push_back(member->name);
    return names;
  }

  static std::string ErrorOf(const std::function<void()>& call) {
    try {
      call();
    } catch (const std::runtime_error& error) {
      return error.what();
    }
    return "(no exception)";
  }

  // Writes a distinct float through every serialized Float member's offset.
  static void FillFloatsThroughRegistry(objects::BaseComponent& component) {
    float value = 10.0f;
    for (const auto* member : serialization::GetSerializedMembers(component.type)) {
      if (member->type != MemberType::Float) continue;
      std::memcpy(reinterpret_cast<unsigned char*>(&component) + member->offset, &value, sizeof value);
      value += 1.0f;
    }
  }
};

TEST_F(TypeRegistryTest, UnknownTypeMessages) {
  EXPECT_EQ(ErrorOf([] { serialization::FindType(""); }),
            "Attempted to find component of type .  This type does not exist.");
  EXPECT_EQ(ErrorOf([] { serialization::FindType("transform"); }),
            "Attempted to find component of type transform.  This type does not exist.");
  EXPECT_EQ(ErrorOf([] { serialization::FindMember("Camera2", "x"); }),
            "Attempted to find component of type Camera2.  This type does not exist.");
  EXPECT_EQ(ErrorOf([] { serialization::GetSerializedMembers("Nope"); }),
            "Attempted to find component of type Nope.  This type does not exist.");
  EXPECT_EQ(serialization::FindType("Transform").name, "Transform");
}

TEST_F(TypeRegistryTest, UnknownMemberMessagesNameMemberThenType) {
  EXPECT_EQ(ErrorOf([] { serialization::FindMember("Physics", "velocity"); }),
            "Tried to find member velocity in component Physics.  This is not a member of this component.");
  // The empty name would reach the header, which covers the base part.
  EXPECT_EQ(ErrorOf([] { serialization::FindMember("Transform", ""); }),
            "Tried to find member  in component Transform.  This is not a member of this component.");
  EXPECT_EQ(ErrorOf([] { serialization::FindMember("Physics", "X_velocity"); }),
            "Tried to find member X_velocity in component Physics.  This is not a member of this component.");
}

TEST_F(TypeRegistryTest, GroupChildIsFoundWithItsOwnPosition) {
  const auto& child = serialization::FindMember("Physics", "x_velocity");
  const auto& sibling = serialization::FindMember("Physics", "y_velocity");
  EXPECT_EQ(child.type, MemberType::Float);
  EXPECT_EQ(child.size, 4u);
  EXPECT_EQ(sibling.offset, child.offset + 4);
  const auto& physics = serialization::FindType("Physics");
  const serialization::MemberDescriptor* group = nullptr;
  for (const auto& member : physics.members) {
    if (!member.children.empty() && member.children[0].name == "x_velocity") group = &member;
  }
  ASSERT_NE(group, nullptr);
  EXPECT_EQ(group->offset, child.offset);
  EXPECT_EQ(group->size, 8u);
  EXPECT_TRUE(group->name.empty());
}

TEST_F(TypeRegistryTest, SameMemberNameResolvesPerType) {
  // "rotation" exists in Transform and in TestComponent, at different positions.
  EXPECT_NE(serialization::FindMember("Transform", "rotation").offset,
            serialization::FindMember("TestComponent", "rotation").offset);
}

TEST_F(TypeRegistryTest, SerializedMembersInDeclarationOrderGroupsReplacedByChildren) {
  EXPECT_EQ(SerializedNames("Physics"),
            (std::vector<std::string>{"x_acceleration", "y_acceleration", "x_velocity", "y_velocity",
                                      "max_velocity", "mass"}));
  EXPECT_EQ(SerializedNames("Transform"),
            (std::vector<std::string>{"x_position", "y_position", "z_position", "rotation", "x_scale",
                                      "y_scale", "z_scale"}));
  EXPECT_EQ(SerializedNames("TestComponent"),
            (std::vector<std::string>{"int_vector", "float_vector", "x_position", "y_position",
                                      "x_scale", "y_scale", "rotation"}));
}

TEST_F(TypeRegistryTest, HeaderOnlyTypeHasNoSerializedMembers) {
  serialization::GetTypeRegistry()
      .RegisterType<objects::BaseComponent>("Camera",
                                            [](void* memory) -> objects::BaseComponent* {
                                              return new (memory) objects::BaseComponent("Camera");
                                            })
      .AddHeaderMember()
      .FinishType();
  EXPECT_TRUE(serialization::GetSerializedMembers("Camera").empty());
  EXPECT_EQ(serialization::FindType("Camera").size, sizeof(objects::BaseComponent));
}

TEST_F(TypeRegistryTest, RegisteredSizeIsTheClassSize) {
  EXPECT_EQ(serialization::FindType("Transform").size, sizeof(components::Transform));
  EXPECT_EQ(serialization::FindType("Physics").size, sizeof(components::Physics));
  EXPECT_EQ(serialization::FindType("TestComponent").size, sizeof(serialization::TestComponent));
  // The matrix is 16-byte aligned, so the widths sum to less than the object.
  const auto& transform = serialization::FindType("Transform");
  std::uint32_t sum = 0;
  for (const auto& member : transform.members) sum += member.size;
  EXPECT_LT(sum, transform.size);
  for (const auto& [name, type] : serialization::GetTypeRegistry().GetTypes()) {
    EXPECT_EQ(type.size, type.allocationSize) << name;
    EXPECT_EQ(type.members.at(0).offset, 0u) << name;
    EXPECT_EQ(type.members.at(0).size, sizeof(objects::BaseComponent)) << name;
  }
}

TEST_F(TypeRegistryTest, PhysicsOffsetsReachTheFields) {
  components::Physics physics;
  FillFloatsThroughRegistry(physics);
  EXPECT_EQ(physics.acceleration.x, 10.0f);
  EXPECT_EQ(physics.acceleration.y, 11.0f);
  EXPECT_EQ(physics.velocity.x, 12.0f);
  EXPECT_EQ(physics.velocity.y, 13.0f);
  EXPECT_EQ(physics.maxVelocity, 14.0f);
  EXPECT_EQ(physics.mass, 15.0f);
  EXPECT_EQ(physics.previousPosition.x, 0.0f);
  EXPECT_EQ(physics.inverseMass, 1.0f);
  EXPECT_EQ(physics.transform, nullptr);
}

TEST_F(TypeRegistryTest, TransformOffsetsReachTheFields) {
  components::Transform transform;
  FillFloatsThroughRegistry(transform);
  EXPECT_EQ(transform.translation.x, 10.0f);
  EXPECT_EQ(transform.translation.y, 11.0f);
  EXPECT_EQ(transform.translation.z, 12.0f);
  EXPECT_EQ(transform.translation.w, 1.0f);
  EXPECT_EQ(transform.rotation, 13.0f);
  EXPECT_EQ(transform.scale.x, 14.0f);
  EXPECT_EQ(transform.scale.y, 15.0f);
  EXPECT_EQ(transform.scale.z, 16.0f);
  EXPECT_TRUE(transform.dirty);
}

TEST_F(TypeRegistryTest, TestComponentOffsetsReachTheFields) {
  serialization::TestComponent test;
  FillFloatsThroughRegistry(test);
  EXPECT_EQ(test.position.x, 10.0f);
  EXPECT_EQ(test.position.y, 11.0f);
  EXPECT_EQ(test.scale.x, 12.0f);
  EXPECT_EQ(test.scale.y, 13.0f);
  EXPECT_EQ(test.rotation, 14.0f);
  const auto base = reinterpret_cast<const unsigned char*>(&test);
  EXPECT_EQ(base + serialization::FindMember("TestComponent", "int_vector").offset,
            reinterpret_cast<const unsigned char*>(&test.intVector));
  EXPECT_EQ(base + serialization::FindMember("TestComponent", "float_vector").offset,
            reinterpret_cast<const unsigned char*>(&test.floatVector));
}

TEST_F(TypeRegistryTest, CreateFunctionConstructsTheRegisteredClass) {
  for (const char* name : {"Transform", "Physics", "TestComponent"}) {
    std::unique_ptr<objects::BaseComponent> component(
        serialization::CreateComponent(serialization::FindType(name)));
    EXPECT_EQ(component->type, name);
    EXPECT_EQ(component->owner, nullptr);
  }
}

TEST_F(TypeRegistryTest, RegisteringAgainReplacesTheDescriptor) {
  const std::size_t members = serialization::FindType("Physics").members.size();
  serialization::RegisterComponents();
  EXPECT_EQ(serialization::FindType("Physics").members.size(), members);
}

TEST_F(TypeRegistryTest, RegistrationRefusesLayoutsThatDoNotFitTheClass) {
  using testing_support::Probe;
  auto& registry = serialization::GetTypeRegistry();
  // Members out of declaration order overlap.
  EXPECT_THROW(registry.RegisterType<Probe>("Bad1")
                   .AddHeaderMember()
                   .AddMember(MemberType::Float, "factor", VELMARIS_FIELD(Probe, factor))
                   .AddMember(MemberType::Int, "count", VELMARIS_FIELD(Probe, count)),
               std::logic_error);
  // A named Int that is not four bytes wide.
  EXPECT_THROW(registry.RegisterType<Probe>("Bad2").AddHeaderMember().AddMember(
                   MemberType::Int, "label", VELMARIS_FIELD(Probe, label)),
               std::logic_error);
  // A group running past the end of the object.
  EXPECT_THROW(registry.RegisterType<Probe>("Bad3").AddVectorMember({"a", "b"}, sizeof(Probe) - 4),
               std::logic_error);
}

}  // namespace
