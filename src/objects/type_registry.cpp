// Registration and lookups of the reflection registry.
#include "objects/type_registry.h"

#include <stdexcept>
#include <utility>

namespace objects {
namespace {

// The width a named member of this kind must have; 0 when any width is allowed.
std::uint32_t RequiredWidth(MemberType type) {
  switch (type) {
    case MemberType::Int:
      return sizeof(std::int32_t);
    case MemberType::Float:
      return sizeof(float);
    case MemberType::String:
      return sizeof(std::string);
    case MemberType::Bool:
      return sizeof(bool);
    case MemberType::IntVector:
      return sizeof(std::vector<std::int32_t>);
    case MemberType::FloatVector:
      return sizeof(std::vector<float>);
    case MemberType::None:
      return 0;
  }
  return 0;
}

[[noreturn]] void ThrowLayoutError(const TypeDescriptor& type, const std::string& member,
                                   const std::string& problem) {
  throw std::logic_error("Registration of component type " + type.name + ", member \"" + member +
                         "\": " + problem);
}

const MemberDescriptor* FindInMembers(const std::vector<MemberDescriptor>& members,
                                      std::string_view memberName) {
  for (const MemberDescriptor& member : members) {
    if (member.name == memberName) return &member;
    if (const MemberDescriptor* child = FindInMembers(member.children, memberName)) return child;
  }
  return nullptr;
}

void CollectSerialized(const std::vector<MemberDescriptor>& members,
                       std::vector<const MemberDescriptor*>& result) {
  for (const MemberDescriptor& member : members) {
    CollectSerialized(member.children, result);
    if (!member.name.empty()) result.push_back(&member);
  }
}

}  // namespace

const char* MemberTypeName(MemberType type) {
  switch (type) {
    case MemberType::None:
      return "None";
    case MemberType::Int:
      return "Int";
    case MemberType::Float:
      return "Float";
    case MemberType::String:
      return "String";
    case MemberType::Bool:
      return "Bool";
    case MemberType::IntVector:
      return "IntVector";
    case MemberType::FloatVector:
      return "FloatVector";
  }
  return "unknown";
}

TypeDescriptor& TypeDescriptor::AddHeaderMember() {
  MemberDescriptor header;
  header.size = static_cast<std::uint32_t>(sizeof(objects::BaseComponent));
  header.offset = 0;
  members.push_back(std::move(header));
  size += members.back().size;
  return *this;
}

TypeDescriptor& TypeDescriptor::Describe(std::string text, std::string exampleJson) {
  description = std::move(text);
  example = std::move(exampleJson);
  return *this;
}

TypeDescriptor& TypeDescriptor::AddMember(MemberType type, std::string memberName, std::uint32_t offset,
                                          std::uint32_t width, Description about) {
  if (offset < size) {
    ThrowLayoutError(*this, memberName,
                     "offset " + std::to_string(offset) + " overlaps the member before it, which ends at " +
                         std::to_string(size));
  }
  const std::uint32_t required = RequiredWidth(type);
  if (!memberName.empty() && required != 0 && width != required) {
    ThrowLayoutError(*this, memberName,
                     "width " + std::to_string(width) + " does not fit a " + MemberTypeName(type) +
                         " member (" + std::to_string(required) + " bytes)");
  }
  if (offset + width > allocationSize) {
    ThrowLayoutError(*this, memberName, "extends past the end of the object");
  }
  MemberDescriptor member;
  member.name = std::move(memberName);
  member.size = width;
  member.offset = offset;
  member.type = type;
  member.about = std::move(about);
  members.push_back(std::move(member));
  size = offset + width;
  return *this;
}

TypeDescriptor& TypeDescriptor::AddVectorMember(std::initializer_list<const char*> childNames,
                                                std::uint32_t offset, Description about) {
  return AddFloatGroup(childNames.begin(), childNames.size(), offset, std::move(about));
}

TypeDescriptor& TypeDescriptor::AddFloatGroup(const char* const* childNames, std::size_t count,
                                              std::uint32_t offset, Description about) {
  if (offset < size) {
    ThrowLayoutError(*this, "(group)",
                     "offset " + std::to_string(offset) + " overlaps the member before it, which ends at " +
                         std::to_string(size));
  }
  MemberDescriptor group;
  group.offset = offset;
  group.type = MemberType::Float;
  group.about = about;
  for (std::size_t i = 0; i < count; ++i) {
    MemberDescriptor child;
    child.name = childNames[i];
    child.size = sizeof(float);
    child.offset = offset + group.size;
    child.type = MemberType::Float;
    if (!child.name.empty()) child.about = about;
    group.children.push_back(std::move(child));
    group.size += sizeof(float);
  }
  if (offset + group.size > allocationSize) {
    ThrowLayoutError(*this, "(group)", "extends past the end of the object");
  }
  size = offset + group.size;
  members.push_back(std::move(group));
  return *this;
}

void TypeDescriptor::FinishType() { size = allocationSize; }

const TypeDescriptor* TypeRegistry::TryFindType(std::string_view name) const {
  auto position = types_.find(name);
  return position == types_.end() ? nullptr : &position->second;
}

const TypeDescriptor& TypeRegistry::FindType(std::string_view name) const {
  const TypeDescriptor* descriptor = TryFindType(name);
  if (descriptor == nullptr) {
    throw std::runtime_error("Attempted to find component of type " + std::string(name) +
                             ".  This type does not exist.");
  }
  return *descriptor;
}

const MemberDescriptor& TypeRegistry::FindMember(std::string_view typeName,
                                                 std::string_view memberName) const {
  const TypeDescriptor& descriptor = FindType(typeName);
  // An empty name would match the header, which covers the base part of the object.
  const MemberDescriptor* member =
      memberName.empty() ? nullptr : FindInMembers(descriptor.members, memberName);
  if (member == nullptr) {
    throw std::runtime_error("Tried to find member " + std::string(memberName) + " in component " +
                             std::string(typeName) + ".  This is not a member of this component.");
  }
  return *member;
}

std::vector<const MemberDescriptor*> TypeRegistry::GetSerializedMembers(std::string_view typeName) const {
  std::vector<const MemberDescriptor*> result;
  CollectSerialized(FindType(typeName).members, result);
  return result;
}

TypeRegistry& GetTypeRegistry() {
  static TypeRegistry registry;
  return registry;
}

void ResetTypeRegistry() { GetTypeRegistry().Clear(); }

const TypeDescriptor& FindType(std::string_view typeName) { return GetTypeRegistry().FindType(typeName); }

const MemberDescriptor& FindMember(std::string_view typeName, std::string_view memberName) {
  return GetTypeRegistry().FindMember(typeName, memberName);
}

std::vector<const MemberDescriptor*> GetSerializedMembers(std::string_view typeName) {
  return GetTypeRegistry().GetSerializedMembers(typeName);
}

objects::BaseComponent* CreateComponent(const TypeDescriptor& descriptor) {
  const bool overAligned = descriptor.alignment > __STDCPP_DEFAULT_NEW_ALIGNMENT__;
  void* memory = overAligned
                     ? ::operator new(descriptor.allocationSize, std::align_val_t(descriptor.alignment))
                     : ::operator new(descriptor.allocationSize);
  try {
    return descriptor.create(memory);
  } catch (...) {
    if (overAligned) {
      ::operator delete(memory, std::align_val_t(descriptor.alignment));
    } else {
      ::operator delete(memory);
    }
    throw;
  }
}

}  // namespace objects
