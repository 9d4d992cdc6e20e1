// The level header: the one top-level member "level" a level file may hold beside
// its spaces, giving the level its name and its goals.
//   "level": {"name": "Windy Cave", "starGoal": 10, "timeGoal": 90}
// Every member is optional. The loader passes the header over (it is no space);
// the game reads it for a level played from a file of its own, and the validator
// checks it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include <rapidjson/document.h>

#include "serialization/json_file.h"

namespace serialization {

inline constexpr std::string_view kLevelHeaderKey = "level";

struct LevelHeader {
  std::string name;         // shown on the custom levels page; empty: the folder's name
  int starGoal = 25;        // stars needed for the star objective
  float timeGoal = 120.0f;  // seconds within which the level must end for the time objective
};

// A member of the header that is wrong, and where.
struct HeaderProblem {
  const rapidjson::Value* at;  // the value at fault (or the header itself)
  std::string message;
};

// Reads the header of a parsed level file's root; a level without one gets the
// defaults. What is wrong is listed and left at its default.
LevelHeader ReadLevelHeader(const rapidjson::Value& root, std::vector<HeaderProblem>& problems);

}  // namespace serialization
