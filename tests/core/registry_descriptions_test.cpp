// Every component type and every member a data file may name has a one-line
// description for the generated reference and schema, and every type an example
// entry that the loader takes.
#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <rapidjson/document.h>

#include "base/math.h"
#include "core/component_registration.h"
#include "objects/type_registry.h"
#include "serialization/level_rules.h"

namespace {

class RegistryDescriptionsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    objects::ResetTypeRegistry();
    core::RegisterComponents();
  }
  void TearDown() override { objects::ResetTypeRegistry(); }
};

// Why the type's example is not an entry the loader takes; empty when it is.
std::string ExampleFault(const objects::TypeRegistry& registry, const objects::TypeDescriptor& type) {
  rapidjson::Document example;
  if (example.Parse(type.example.c_str()).HasParseError() || !example.IsObject()) return "not a JSON object";
  for (const auto& member : example.GetObject()) {
    const std::string name = member.name.GetString();
    try {
      const serialization::ValueRefusal refusal =
          serialization::CheckMemberValue(registry.FindMember(type.name, name), member.value);
      if (refusal.refused) return name + " " + refusal.reason;
    } catch (const std::runtime_error& error) {
      return error.what();
    }
  }
  return "";
}

// "Type" or "Type.member" for each name that has no description, and "Type example:
// why" for an example the loader would refuse.
std::vector<std::string> Undescribed(const objects::TypeRegistry& registry) {
  std::vector<std::string> missing;
  for (const auto& [name, type] : registry.GetTypes()) {
    if (type.description.empty()) missing.push_back(name);
    if (const std::string fault = ExampleFault(registry, type); !fault.empty())
      missing.push_back(name + " example: " + fault);
    for (const objects::MemberDescriptor* member : registry.GetSerializedMembers(name)) {
      if (member->about.text.empty()) missing.push_back(name + "." + member->name);
    }
  }
  return missing;
}

TEST_F(RegistryDescriptionsTest, EveryTypeAndMemberFilesNameIsDescribed) {
  EXPECT_EQ(Undescribed(objects::GetTypeRegistry()), std::vector<std::string>{});
}

// The check itself: a registration without descriptions is caught, named in full.
TEST_F(RegistryDescriptionsTest, AnUndescribedTypeAndItsMembersAreNamed) {
  struct Probe : objects::BaseComponent {
    Probe() : BaseComponent("Probe") {}
    base::vector2D position;
    std::int32_t count = 0;
  };
  objects::TypeRegistry registry;
  registry.RegisterType<Probe>("Probe")
      .Describe("", R"({"x": 1.0, "count": 1.5, "y": 0})")
      .AddHeaderMember()
      .AddVector({"x", ""}, VELMARIS_FIELD(Probe, position))
      .Add("count", VELMARIS_FIELD(Probe, count), {"described"})
      .FinishType();
  const std::vector<std::string> faults = Undescribed(registry);
  ASSERT_EQ(faults.size(), 3u);
  EXPECT_EQ(faults[0], "Probe");
  EXPECT_EQ(faults[1].rfind("Probe example: count expects an integer", 0), 0u) << faults[1];
  EXPECT_EQ(faults[2], "Probe.x");
}

}  // namespace
