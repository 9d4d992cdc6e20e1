// Every component type and every member a data file may name has a one-line
// description for the generated reference and schema.
#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "base/math.h"
#include "core/component_registration.h"
#include "objects/type_registry.h"

namespace {

class RegistryDescriptionsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    objects::ResetTypeRegistry();
    core::RegisterComponents();
  }
  void TearDown() override { objects::ResetTypeRegistry(); }
};

// "Type" or "Type.member" for each name that has no description.
std::vector<std::string> Undescribed(const objects::TypeRegistry& registry) {
  std::vector<std::string> missing;
  for (const auto& [name, type] : registry.GetTypes()) {
    if (type.description.empty()) missing.push_back(name);
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
      .AddHeaderMember()
      .AddVector({"x", ""}, VELMARIS_FIELD(Probe, position))
      .Add("count", VELMARIS_FIELD(Probe, count), {"described"})
      .FinishType();
  EXPECT_EQ(Undescribed(registry), (std::vector<std::string>{"Probe", "Probe.x"}));
}

}  // namespace
