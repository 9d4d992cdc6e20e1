// The data file validator's own types, shared by its two halves: the walk over files
// and components (validator.cpp) and the checks of what the game needs of a level
// (level_needs.cpp). Nothing outside serialization/ includes this.
#pragma once

#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include <rapidjson/document.h>

#include "serialization/json_file.h"
#include "serialization/level_rules.h"
#include "serialization/validator.h"

namespace serialization::validation {

// Where a key or value sits: the file as shown, and the position in it.
struct Place {
  std::string file;
  TextPosition at;
};

// A member value as the last layer that gave it left it.
struct MemberValue {
  const rapidjson::Value* value = nullptr;
  Place place;
};

struct ComponentView {
  Place place;  // the component's key in the last layer that names it
  std::map<std::string, MemberValue> members;
};

// An object's components as its prefab layers and then its own entry leave them:
// what the loader would have built, as far as the checks need it.
using ObjectView = std::map<std::string, ComponentView>;

// A file, read once, with what the prefab checks need to know about it.
struct DataFile {
  std::string shown;
  std::filesystem::path path;
  std::string relative;  // to the data folder, "/" separated; empty outside it
  FileShape shape = FileShape::Level;
  // A level file from outside the data folder: a level of its own, played as one.
  bool custom = false;
  JsonFileResult result = JsonFileResult::NotOpened;
  std::string error;
  JsonText text;
  bool queued = false;
  // As a prefab: its component table, and the "prefab" string naming its base; null
  // when there is none or it has the wrong shape.
  const rapidjson::Value* table = nullptr;
  const rapidjson::Value* baseLink = nullptr;

  Place PlaceOf(const rapidjson::Value& value) const { return {shown, text.PositionOf(value)}; }
};

struct ObjectInfo {
  Place place;  // the object's key
  ObjectView view;
};

// The objects of a level file by (space, object) name.
using LevelObjects = std::map<std::pair<std::string, std::string>, ObjectInfo>;

// Takes a problem at a place.
using Report = std::function<void(const Place& place, const std::string& message)>;

// The text quoted, with control bytes made visible.
std::string Quoted(const std::string& text);

// " (did you mean "X"?)" for the closest candidate within two edits, else "".
std::string Suggestion(const std::string& name, const std::vector<std::string>& candidates);

// The objects of `required` whose file is this file's: their spaces, the objects in
// them and the components those have.
void CheckRequiredObjects(const DataFile& file, const LevelObjects& objects,
                          const std::vector<RequiredObject>& required, const Report& report);

// What the game needs of a level file beyond its components: buttons that get an
// action, and for a playable level its level space, required objects, exit and stars.
void CheckLevelNeeds(const DataFile& file, const LevelObjects& objects, const ValidationRules& rules,
                     const Report& report);

}  // namespace serialization::validation
