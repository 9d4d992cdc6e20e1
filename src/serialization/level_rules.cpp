// The value rules of level and prefab files, shared by the loader and the validator.
#include "serialization/level_rules.h"

#include <cmath>
#include <filesystem>

namespace serialization {
namespace {

// The kind of a JSON value, for messages.
const char* KindOf(const rapidjson::Value& value) {
  if (value.IsNull()) return "null";
  if (value.IsBool()) return "a boolean";
  if (value.IsObject()) return "an object";
  if (value.IsArray()) return "an array";
  if (value.IsString()) return "a string";
  if (value.IsInt()) return "an integer";
  if (value.IsInt64() || value.IsUint64()) return "an integer outside the 32-bit range";
  // Too large for any member, whatever its fraction: say so, not what it looks like.
  if (!std::isfinite(static_cast<float>(value.GetDouble()))) return "a number out of range";
  return "a number with a fraction or exponent";
}

// What a member of this type accepts, for messages.
const char* ExpectedKind(objects::MemberType type) {
  switch (type) {
    case objects::MemberType::Int:
      return "an integer in the 32-bit range";
    case objects::MemberType::Float:
      return "a number in the 32-bit float range";
    case objects::MemberType::String:
      return "a string";
    case objects::MemberType::Bool:
      return "true or false";
    case objects::MemberType::IntVector:
      return "an array of integers in the 32-bit range";
    case objects::MemberType::FloatVector:
      return "an array of numbers in the 32-bit float range";
    case objects::MemberType::None:
      return "nothing (the member is not read from files)";
  }
  return "nothing";
}

bool Fits(objects::MemberType type, const rapidjson::Value& value) {
  float ignored = 0.0f;
  switch (type) {
    case objects::MemberType::Int:
      return value.IsInt();
    case objects::MemberType::Float:
      return ToFloat(value, ignored);
    case objects::MemberType::String:
      return value.IsString();
    case objects::MemberType::Bool:
      return value.IsBool();
    case objects::MemberType::IntVector:
    case objects::MemberType::FloatVector:
      return value.IsArray();
    case objects::MemberType::None:
      return false;
  }
  return false;
}

}  // namespace

bool ToFloat(const rapidjson::Value& value, float& result) {
  if (!value.IsNumber()) return false;
  result = static_cast<float>(value.GetDouble());
  return std::isfinite(result);
}

ValueRefusal CheckMemberValue(const objects::MemberDescriptor& member, const rapidjson::Value& value) {
  if (value.IsNull()) return {};
  if (!Fits(member.type, value)) {
    return {true,
            std::string("expects ") + ExpectedKind(member.type) + ", but the file gives " + KindOf(value),
            &value};
  }
  if (member.type != objects::MemberType::IntVector && member.type != objects::MemberType::FloatVector)
    return {};
  const objects::MemberType elementType =
      member.type == objects::MemberType::IntVector ? objects::MemberType::Int : objects::MemberType::Float;
  std::size_t index = 0;
  for (const rapidjson::Value& element : value.GetArray()) {
    if (!Fits(elementType, element)) {
      return {true,
              std::string("expects ") + ExpectedKind(member.type) + ", but element " + std::to_string(index) +
                  " is " + KindOf(element),
              &element};
    }
    ++index;
  }
  return {};
}

const char* KeyKind(FileShape shape, int depth) {
  static const char* const kLevel[] = {"space", "object", "component", "member"};
  static const char* const kPrefab[] = {"prefab entry", "component", "member"};
  if (shape == FileShape::Level) return depth >= 1 && depth <= 4 ? kLevel[depth - 1] : "key";
  return depth >= 1 && depth <= 3 ? kPrefab[depth - 1] : "key";
}

std::string Printable(const std::string& text) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string result;
  result.reserve(text.size());
  for (char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) {
      result += "\\x";
      result += kHex[byte >> 4];
      result += kHex[byte & 0xF];
    } else {
      result += c;
    }
  }
  return result;
}

std::string NormalPath(const std::string& path) {
  return std::filesystem::path(path).lexically_normal().generic_string();
}

LoaderRules& GetLoaderRules() {
  static LoaderRules rules;
  return rules;
}

const FileReference* FindFileMember(const std::string& type, const std::string& member) {
  for (const FileReference& reference : GetLoaderRules().fileMembers) {
    if (reference.type == type && reference.member == member) return &reference;
  }
  return nullptr;
}

}  // namespace serialization
