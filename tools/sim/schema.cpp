#include "schema.h"

#include <cfloat>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>

#include <rapidjson/ostreamwrapper.h>
#include <rapidjson/prettywriter.h>

#include "core/data_file_rules.h"
#include "file_vocabulary.h"

namespace sim {
namespace {

using Writer = rapidjson::PrettyWriter<rapidjson::OStreamWrapper>;

void Key(Writer& w, const std::string& key) {
  w.Key(key.data(), static_cast<rapidjson::SizeType>(key.size()));
}

void Text(Writer& w, const std::string& key, const std::string& text) {
  Key(w, key);
  w.String(text.data(), static_cast<rapidjson::SizeType>(text.size()));
}

void Ref(Writer& w, const std::string& key, const std::string& target) {
  Key(w, key);
  w.StartObject();
  Text(w, "$ref", "#/$defs/" + target);
  w.EndObject();
}

// The kind as JSON Schema types: a member also takes null, which keeps its value.
void Types(Writer& w, const char* type, bool nullable) {
  Key(w, "type");
  if (!nullable) {
    w.String(type);
    return;
  }
  w.StartArray();
  w.String(type);
  w.String("null");
  w.EndArray();
}

// What the loader stores in an Int or a Float, without the null; `least` narrows an
// Int from below.
void Range(Writer& w, objects::MemberType element, std::optional<int> least = std::nullopt) {
  if (element == objects::MemberType::Int) {
    Key(w, "minimum");
    w.Int(least.value_or(std::numeric_limits<std::int32_t>::min()));
    Key(w, "maximum");
    w.Int(std::numeric_limits<std::int32_t>::max());
  } else {
    Key(w, "minimum");
    w.Double(-FLT_MAX);
    Key(w, "maximum");
    w.Double(FLT_MAX);
  }
}

void ValueKind(Writer& w, objects::MemberType type, std::optional<int> least) {
  switch (type) {
    case objects::MemberType::Int:
      Types(w, "integer", true);
      return Range(w, type, least);
    case objects::MemberType::Float:
      Types(w, "number", true);
      return Range(w, type);
    case objects::MemberType::String:
      return Types(w, "string", true);
    case objects::MemberType::Bool:
      return Types(w, "boolean", true);
    case objects::MemberType::IntVector:
    case objects::MemberType::FloatVector: {
      const bool ints = type == objects::MemberType::IntVector;
      Types(w, "array", true);
      Key(w, "items");
      w.StartObject();
      Types(w, ints ? "integer" : "number", false);
      Range(w, ints ? objects::MemberType::Int : objects::MemberType::Float);
      w.EndObject();
      return;
    }
    case objects::MemberType::None:
      return;
  }
}

std::string Described(const objects::Description& about) {
  return about.unit.empty() ? about.text : about.text + " (" + about.unit + ")";
}

// The least value the engine's rules allow an Int member: a sprite sheet has a row
// and a column at least, and its frames count from 0.
std::optional<int> Least(const std::string& type, const std::string& member) {
  for (const serialization::SheetRule& sheet : core::EngineValidationRules().sheets) {
    if (type == sheet.sheetType && (member == sheet.rows || member == sheet.columns)) return 1;
    if (type == sheet.frameType && member == sheet.frame) return 0;
  }
  return std::nullopt;
}

void Component(Writer& w, const objects::TypeDescriptor& type) {
  Key(w, type.name);
  w.StartObject();
  Text(w, "description", type.description);
  Types(w, "object", false);
  Key(w, "examples");
  w.StartArray();
  w.RawValue(type.example.data(), type.example.size(), rapidjson::kObjectType);
  w.EndArray();
  Key(w, "properties");
  w.StartObject();
  for (const FileMember& file : FileMembers(type)) {
    Key(w, file.member->name);
    w.StartObject();
    Text(w, "description", Described(file.member->about));
    ValueKind(w, file.member->type, Least(type.name, file.member->name));
    Key(w, "default");
    w.RawValue(file.defaultJson.data(), file.defaultJson.size(), rapidjson::kNumberType);
    w.EndObject();
  }
  w.EndObject();
  Key(w, "additionalProperties");
  w.Bool(false);
  w.EndObject();
}

void PrefabPath(Writer& w) {
  Key(w, "prefabPath");
  w.StartObject();
  Text(w, "description",
       "a prefab file, from the data folder (e.g. \"Prefabs/Star.txt\"): its components are applied first");
  Types(w, "string", false);
  w.EndObject();
}

// An object entry of a level and the component table of a prefab: components by
// type name, and a prefab to start from.
void Components(Writer& w, const objects::TypeRegistry& registry) {
  Key(w, "components");
  w.StartObject();
  Text(w, "description", "components by registered type name, and the prefab they start from");
  Types(w, "object", false);
  Key(w, "properties");
  w.StartObject();
  Ref(w, "prefab", "prefabPath");
  for (const auto& [name, type] : registry.GetTypes()) Ref(w, name, name);
  w.EndObject();
  Key(w, "additionalProperties");
  w.Bool(false);
  w.EndObject();
}

void LevelHeader(Writer& w) {
  Key(w, "levelHeader");
  w.StartObject();
  Text(w, "description", "the level's own name and goals; a level without it has the built-in goals");
  Types(w, "object", false);
  Key(w, "properties");
  w.StartObject();
  for (const HeaderMember& member : LevelHeaderMembers()) {
    Key(w, member.name);
    w.StartObject();
    Text(w, "description", Described({member.description, member.unit}));
    const std::string kind = member.kind;
    Types(w, kind.c_str(), false);
    if (kind == "integer") {
      Key(w, "minimum");
      w.Int(0);
    } else if (kind == "number") {
      Key(w, "exclusiveMinimum");
      w.Int(0);
    }
    Key(w, "default");
    w.RawValue(member.defaultJson.data(), member.defaultJson.size(), rapidjson::kNumberType);
    w.EndObject();
  }
  w.EndObject();
  Key(w, "additionalProperties");
  w.Bool(false);
  w.EndObject();
}

void LevelFile(Writer& w) {
  Key(w, "levelFile");
  w.StartObject();
  Text(w, "description",
       "a level: spaces by name, each an object of game objects by name; and an optional level header");
  Types(w, "object", false);
  Key(w, "properties");
  w.StartObject();
  Ref(w, kLevelHeaderKey, "levelHeader");
  w.EndObject();
  Key(w, "additionalProperties");
  w.StartObject();
  Text(w, "description", "a space: its game objects by name");
  Types(w, "object", false);
  Key(w, "additionalProperties");
  w.StartObject();
  Text(w, "$ref", "#/$defs/components");
  w.EndObject();
  w.EndObject();
  w.EndObject();
}

// One component table (its key the prefab's name) and, after it, an optional base.
void PrefabFile(Writer& w) {
  Key(w, "prefabFile");
  w.StartObject();
  Text(w, "description",
       "a prefab: one component table under the prefab's name, then optionally \"prefab\", its base");
  Types(w, "object", false);
  Key(w, "properties");
  w.StartObject();
  Ref(w, "prefab", "prefabPath");
  w.EndObject();
  Key(w, "additionalProperties");
  w.StartObject();
  Text(w, "$ref", "#/$defs/components");
  w.EndObject();
  Key(w, "minProperties");
  w.Int(1);
  Key(w, "if");
  w.StartObject();
  Key(w, "required");
  w.StartArray();
  w.String("prefab");
  w.EndArray();
  w.EndObject();
  Key(w, "then");
  w.StartObject();
  Key(w, "minProperties");
  w.Int(2);
  Key(w, "maxProperties");
  w.Int(2);
  w.EndObject();
  Key(w, "else");
  w.StartObject();
  Key(w, "maxProperties");
  w.Int(1);
  w.EndObject();
  w.EndObject();
}

}  // namespace

void WriteSchema(std::ostream& out) {
  const objects::TypeRegistry& registry = objects::GetTypeRegistry();
  rapidjson::OStreamWrapper stream(out);
  Writer w(stream);
  w.SetIndent(' ', 2);
  w.StartObject();
  Text(w, "$schema", "https://json-schema.org/draft/2020-12/schema");
  Text(w, "title", "Velmaris level or prefab file");
  Text(w, "description",
       "A level, menu or prefab file of Velmaris, made from the engine's registry of component types "
       "(velmaris-sim --schema). Paths lead from the data folder.");
  Key(w, "anyOf");
  w.StartArray();
  for (const char* shape : {"levelFile", "prefabFile"}) {
    w.StartObject();
    Text(w, "$ref", std::string("#/$defs/") + shape);
    w.EndObject();
  }
  w.EndArray();
  Key(w, "$defs");
  w.StartObject();
  LevelFile(w);
  LevelHeader(w);
  PrefabFile(w);
  PrefabPath(w);
  Components(w, registry);
  // Component types are upper camel case, so they cannot meet the names above.
  for (const auto& [name, type] : registry.GetTypes()) Component(w, type);
  w.EndObject();
  w.EndObject();
  stream.Flush();
  out << '\n';
}

}  // namespace sim
