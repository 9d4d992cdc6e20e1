// What the component registration puts in the reflection registry, member by member:
// names, order, kinds, widths and positions. The level files and the loader depend on
// every line, so a change to how types register must leave this list as it is.
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "core/component_registration.h"
#include "objects/type_registry.h"

namespace {

void Describe(const objects::MemberDescriptor& member, int depth, std::ostream& out) {
  out << std::string(2 * depth, ' ') << (member.name.empty() ? "-" : member.name) << ' '
      << objects::MemberTypeName(member.type) << " size " << member.size << " at " << member.offset << '\n';
  for (const objects::MemberDescriptor& child : member.children) Describe(child, depth + 1, out);
}

std::string RegistryContents() {
  std::ostringstream out;
  for (const auto& [name, type] : objects::GetTypeRegistry().GetTypes()) {
    out << name << " size " << type.size << " allocation " << type.allocationSize << " align "
        << type.alignment << '\n';
    for (const objects::MemberDescriptor& member : type.members) Describe(member, 1, out);
  }
  return out.str();
}

TEST(RegistryContentsTest, EveryTypeAndMemberIsRegisteredAsTheLevelFilesExpect) {
  objects::ResetTypeRegistry();
  core::RegisterComponents();
  const std::string contents = RegistryContents();
  objects::ResetTypeRegistry();
  std::stringstream expected;
  expected << std::ifstream(VELMARIS_SOURCE_DIR "/tests/core/registry_contents.txt").rdbuf();
  EXPECT_EQ(contents, expected.str()) << "the registry now holds:\n" << contents;
}

}  // namespace
