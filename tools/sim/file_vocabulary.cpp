#include "file_vocabulary.h"

#include <charconv>
#include <cstdint>
#include <memory>

#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include "game/session.h"

namespace sim {
namespace {

// The shortest text that reads back to the same float.
std::string FloatJson(float value) {
  char text[32];
  const auto end = std::to_chars(text, text + sizeof text, value).ptr;
  std::string result(text, end);
  // A whole number stays a number with a fraction: the value of a Float member.
  if (result.find_first_of(".e") == std::string::npos) result += ".0";
  return result;
}

std::string StringJson(const std::string& text) {
  rapidjson::StringBuffer buffer;
  rapidjson::Writer<rapidjson::StringBuffer> writer(buffer);
  writer.String(text.data(), static_cast<rapidjson::SizeType>(text.size()));
  return buffer.GetString();
}

template <typename Element, typename Format>
std::string ArrayJson(const std::vector<Element>& elements, Format format) {
  std::string result = "[";
  for (const Element& element : elements) result += (result.size() > 1 ? ", " : "") + format(element);
  return result + "]";
}

std::string ValueJson(const std::uint8_t* at, objects::MemberType type) {
  switch (type) {
    case objects::MemberType::Int:
      return std::to_string(*reinterpret_cast<const std::int32_t*>(at));
    case objects::MemberType::Float:
      return FloatJson(*reinterpret_cast<const float*>(at));
    case objects::MemberType::String:
      return StringJson(*reinterpret_cast<const std::string*>(at));
    case objects::MemberType::Bool:
      return *reinterpret_cast<const bool*>(at) ? "true" : "false";
    case objects::MemberType::IntVector:
      return ArrayJson(*reinterpret_cast<const std::vector<std::int32_t>*>(at),
                       [](std::int32_t n) { return std::to_string(n); });
    case objects::MemberType::FloatVector:
      return ArrayJson(*reinterpret_cast<const std::vector<float>*>(at), FloatJson);
    case objects::MemberType::None:
      break;
  }
  return "null";
}

void Collect(const std::vector<objects::MemberDescriptor>& members, const std::uint8_t* object,
             std::vector<FileMember>& result) {
  for (const objects::MemberDescriptor& member : members) {
    if (!member.name.empty()) result.push_back({&member, ValueJson(object + member.offset, member.type)});
    Collect(member.children, object, result);
  }
}

}  // namespace

std::vector<FileMember> FileMembers(const objects::TypeDescriptor& type) {
  std::unique_ptr<objects::BaseComponent> component(objects::CreateComponent(type));
  std::vector<FileMember> result;
  Collect(type.members, reinterpret_cast<const std::uint8_t*>(component.get()), result);
  return result;
}

const char* FileKind(objects::MemberType type) {
  switch (type) {
    case objects::MemberType::Int:
      return "integer";
    case objects::MemberType::Float:
      return "number";
    case objects::MemberType::String:
      return "string";
    case objects::MemberType::Bool:
      return "boolean";
    case objects::MemberType::IntVector:
      return "array of integers";
    case objects::MemberType::FloatVector:
      return "array of numbers";
    case objects::MemberType::None:
      break;
  }
  return "nothing";
}

std::vector<HeaderMember> LevelHeaderMembers() {
  const game::LevelState level;
  return {
      {"name", "string", "\"\"", "",
       "the level's name on the custom levels page (the file's name when empty)"},
      {"starGoal", "integer", std::to_string(level.starGoal), "stars",
       "stars to collect for the star objective of the rating, 0 or more"},
      {"timeGoal", "number", FloatJson(level.timeGoal), "seconds",
       "the level must end within this time for the time objective, more than 0"},
  };
}

}  // namespace sim
