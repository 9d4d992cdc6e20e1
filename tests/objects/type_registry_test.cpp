// The reflection registry: lookups and their messages, member orders, and that every
// registered position and size is where and how big the field or class really is.
#include "objects/type_registry.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include <gtest/gtest.h>

#include "components/physics.h"
#include "objects/transform.h"
#include "serialization/serializer_fixture.h"
#include "serialization/test_component.h"

namespace {

using objects::FindMember;
using objects::FindType;
using objects::MemberType;
using testing_support::Probe;

class TypeRegistryTest : public testing_support::SerializerFixture {
 protected:
  static std::vector<std::string> SerializedNames(const std::string& type) {
    std::vector<std::string> names;
    for (const auto* member : objects::GetSerializedMembers(type)) names.push_back(member->name);
    return names;
  }

  // Writes 10, 11, ... through the offsets of the serialized Float members in order.
  static void FillFloatsThroughRegistry(objects::BaseComponent& component) {
    float value = 10.0f;
    for (const auto* member : objects::GetSerializedMembers(component.GetType())) {
      if (member->type != MemberType::Float) continue;
      std::memcpy(reinterpret_cast<unsigned char*>(&component) + member->offset, &value, sizeof value);
      value += 1.0f;
    }
  }
};

TEST_F(TypeRegistryTest, UnknownTypesAndMembersGiveTheExactMessages) {
  const std::string noType = ".  This type does not exist.";
  const std::string noMember = ".  This is not a member of this component.";
  const std::pair<std::function<void()>, std::string> cases[] = {
      {[] { FindType(""); }, "Attempted to find component of type " + noType},
      {[] { FindType("transform"); }, "Attempted to find component of type transform" + noType},
      {[] { FindMember("Camera2", "x"); }, "Attempted to find component of type Camera2" + noType},
      {[] { objects::GetSerializedMembers("Nope"); }, "Attempted to find component of type Nope" + noType},
      {[] { FindMember("Physics", "velocity"); },
       "Tried to find member velocity in component Physics" + noMember},
      {[] { FindMember("Physics", "X_velocity"); },
       "Tried to find member X_velocity in component Physics" + noMember},
      // The empty name would reach the header, which covers the base part.
      {[] { FindMember("Transform", ""); }, "Tried to find member  in component Transform" + noMember},
  };
  for (const auto& [call, expected] : cases) EXPECT_EQ(ErrorOf(call), expected);
}

TEST_F(TypeRegistryTest, SerializedMembersInDeclarationOrderGroupsReplacedByChildren) {
  EXPECT_EQ(SerializedNames("Physics"),
            (std::vector<std::string>{"x_acceleration", "y_acceleration", "x_velocity", "y_velocity",
                                      "max_velocity", "mass"}));
  EXPECT_EQ(SerializedNames("Transform"),
            (std::vector<std::string>{"x_position", "y_position", "z_position", "rotation", "x_scale",
                                      "y_scale", "z_scale"}));
  EXPECT_EQ(SerializedNames("TestComponent"),
            (std::vector<std::string>{"int_vector", "float_vector", "x_position", "y_position", "x_scale",
                                      "y_scale", "rotation"}));
  RegisterCamera();
  EXPECT_TRUE(objects::GetSerializedMembers("Camera").empty());
  // A group child is found with its own position; the unnamed group spans both.
  const auto& child = FindMember("Physics", "x_velocity");
  EXPECT_EQ(child.size, 4u);
  EXPECT_EQ(FindMember("Physics", "y_velocity").offset, child.offset + 4);
  const auto& members = FindType("Physics").members;
  const auto group = std::find_if(members.begin(), members.end(), [](const auto& m) {
    return !m.children.empty() && m.children[0].name == "x_velocity";
  });
  ASSERT_NE(group, members.end());
  EXPECT_EQ(group->offset, child.offset);
  EXPECT_EQ(group->size, 8u);
  EXPECT_TRUE(group->name.empty());
  // "rotation" exists in two types, at different positions.
  EXPECT_NE(FindMember("Transform", "rotation").offset, FindMember("TestComponent", "rotation").offset);
}

TEST_F(TypeRegistryTest, SizesAreTheClassSizesAndCreateBuildsTheClass) {
  RegisterCamera();
  const std::pair<const char*, std::size_t> cases[] = {
      {"Transform", sizeof(objects::Transform)},
      {"Physics", sizeof(components::Physics)},
      {"TestComponent", sizeof(serialization::TestComponent)},
      {"Camera", sizeof(objects::BaseComponent)}};
  for (const auto& [name, size] : cases) {
    EXPECT_EQ(FindType(name).size, size) << name;
    std::unique_ptr<objects::BaseComponent> component(objects::CreateComponent(FindType(name)));
    EXPECT_EQ(component->GetType(), name);
    EXPECT_EQ(component->GetOwner(), nullptr);
  }
  for (const auto& [name, type] : objects::GetTypeRegistry().GetTypes()) {
    EXPECT_EQ(type.size, type.allocationSize) << name;
    EXPECT_EQ(type.members.at(0).offset, 0u) << name;
    EXPECT_EQ(type.members.at(0).size, sizeof(objects::BaseComponent)) << name;
  }
  const std::size_t members = FindType("Physics").members.size();
  core::RegisterComponents();  // registering again replaces, not appends
  EXPECT_EQ(FindType("Physics").members.size(), members);
}

TEST_F(TypeRegistryTest, OffsetsReachTheFieldsAndNothingBeside) {
  components::Physics p;
  FillFloatsThroughRegistry(p);
  EXPECT_EQ((std::vector<float>{p.acceleration.x, p.acceleration.y, p.velocity.x, p.velocity.y, p.maxVelocity,
                                p.mass, p.previousPosition.x, p.inverseMass}),
            (std::vector<float>{10, 11, 12, 13, 14, 15, 0, 1}));
  EXPECT_EQ(p.transform, nullptr);
  objects::Transform t;
  FillFloatsThroughRegistry(t);
  EXPECT_EQ((std::vector<float>{t.translation.x, t.translation.y, t.translation.z, t.translation.w,
                                t.rotation, t.scale.x, t.scale.y, t.scale.z}),
            (std::vector<float>{10, 11, 12, 1, 13, 14, 15, 16}));
  EXPECT_TRUE(t.dirty);
  serialization::TestComponent c;
  FillFloatsThroughRegistry(c);
  EXPECT_EQ((std::vector<float>{c.position.x, c.position.y, c.scale.x, c.scale.y, c.rotation}),
            (std::vector<float>{10, 11, 12, 13, 14}));
  const auto* base = reinterpret_cast<const unsigned char*>(&c);
  EXPECT_EQ(base + FindMember("TestComponent", "int_vector").offset,
            reinterpret_cast<const unsigned char*>(&c.intVector));
  EXPECT_EQ(base + FindMember("TestComponent", "float_vector").offset,
            reinterpret_cast<const unsigned char*>(&c.floatVector));
}

TEST_F(TypeRegistryTest, RegistrationRefusesLayoutsThatDoNotFitTheClass) {
  auto& registry = objects::GetTypeRegistry();
  // Members out of declaration order overlap.
  EXPECT_THROW(registry.RegisterType<Probe>("Bad1")
                   .AddHeaderMember()
                   .Add("factor", VELMARIS_FIELD(Probe, factor))
                   .Add("count", VELMARIS_FIELD(Probe, count)),
               std::logic_error);
  // A named Int that is not four bytes wide (the untyped form; the typed one does
  // not compile for it).
  EXPECT_THROW(registry.RegisterType<Probe>("Bad2").AddHeaderMember().AddMember(
                   MemberType::Int, "label", VELMARIS_OFFSETOF(Probe, label), sizeof(Probe::label)),
               std::logic_error);
  // A group running past the end of the object.
  EXPECT_THROW(registry.RegisterType<Probe>("Bad3").AddVectorMember({"a", "b"}, sizeof(Probe) - 4),
               std::logic_error);
}

// What the typed registration takes from a field's C++ type.
static_assert(objects::KindOf<float>() == MemberType::Float);
static_assert(objects::KindOf<std::int32_t>() == MemberType::Int);
static_assert(objects::KindOf<bool>() == MemberType::Bool);
static_assert(objects::KindOf<std::string>() == MemberType::String);
static_assert(objects::KindOf<std::vector<std::int32_t>>() == MemberType::IntVector);
static_assert(objects::KindOf<std::vector<float>>() == MemberType::FloatVector);
static_assert(objects::KindOf<double>() == MemberType::None, "a double is no Float: Add refuses it");
static_assert(objects::KindOf<std::uint32_t>() == MemberType::Int, "a counter takes an Int's bit pattern");
static_assert(objects::KindOf<std::int64_t>() == MemberType::None);
static_assert(objects::KindOf<objects::BaseComponent*>() == MemberType::None);

}  // namespace
