// What the generated schema and reference tell level makers beyond the registry's
// names and kinds: each member's value before a file speaks, read from a freshly
// made component, and the members of the optional level header.
#pragma once

#include <string>
#include <vector>

#include "objects/type_registry.h"

namespace sim {

// A named member or named group child of a type, as files name it.
struct FileMember {
  const objects::MemberDescriptor* member;
  std::string defaultJson;  // the value a new component holds, as JSON text ("0", "1.5", "[]")
};

// The members files may name, in registration order (a group's children in its
// place), each with its default from a component made by the type's create function.
std::vector<FileMember> FileMembers(const objects::TypeDescriptor& type);

// The JSON kind a member takes, for people: "integer", "number", "string",
// "boolean", "array of integers", "array of numbers".
const char* FileKind(objects::MemberType type);

// A member of the level header (the top-level "level" object of a level file).
struct HeaderMember {
  const char* name;
  const char* kind;  // as FileKind
  std::string defaultJson;
  const char* unit;
  const char* description;
};

inline constexpr const char* kLevelHeaderKey = "level";

// The header's members, their defaults those of a level without a header.
std::vector<HeaderMember> LevelHeaderMembers();

}  // namespace sim
