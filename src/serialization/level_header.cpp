#include "serialization/level_header.h"

#include <cmath>
#include <limits>

namespace serialization {
namespace {

constexpr const char* kName = "name";
constexpr const char* kStarGoal = "starGoal";
constexpr const char* kTimeGoal = "timeGoal";

}  // namespace

LevelHeader ReadLevelHeader(const rapidjson::Value& root, std::vector<HeaderProblem>& problems) {
  LevelHeader header;
  if (!root.IsObject()) return header;
  const auto entry = root.FindMember(rapidjson::StringRef(kLevelHeaderKey.data(), kLevelHeaderKey.size()));
  if (entry == root.MemberEnd()) return header;
  const rapidjson::Value& value = entry->value;
  if (!value.IsObject()) {
    problems.push_back(
        {&value, "the level header \"level\" must be an object of name, starGoal and timeGoal"});
    return header;
  }
  for (const auto& member : value.GetObject()) {
    const std::string_view key(member.name.GetString(), member.name.GetStringLength());
    const rapidjson::Value& field = member.value;
    if (key == kName) {
      if (field.IsString()) {
        header.name.assign(field.GetString(), field.GetStringLength());
      } else {
        problems.push_back({&field, "the level's \"name\" must be a string"});
      }
    } else if (key == kStarGoal) {
      if (field.IsInt() && field.GetInt() >= 0) {
        header.starGoal = field.GetInt();
      } else {
        problems.push_back({&field, "the level's \"starGoal\" must be a whole number of stars, 0 or more"});
      }
    } else if (key == kTimeGoal) {
      const double seconds = field.IsNumber() ? field.GetDouble() : -1.0;
      if (std::isfinite(seconds) && seconds > 0.0 && seconds <= std::numeric_limits<float>::max()) {
        header.timeGoal = static_cast<float>(seconds);
      } else {
        problems.push_back({&field, "the level's \"timeGoal\" must be a number of seconds above 0"});
      }
    } else {
      problems.push_back({&member.name, "the level header has no member \"" + std::string(key) +
                                            "\"; it knows name, starGoal and timeGoal"});
    }
  }
  return header;
}

}  // namespace serialization
