// The level loader and the component writer.
#include "serialization/serializer.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <utility>

#include "base/log.h"
#include "objects/space_registry.h"
#include "serialization/json_file.h"
#include "serialization/level_reads.h"

namespace serialization {
namespace {

// A prefab chain longer than this is taken for a loop (one spelled with different
// paths to the same file).
constexpr std::size_t kMaxPrefabDepth = 64;

std::string Text(const rapidjson::Value& value) {
  return std::string(value.GetString(), value.GetStringLength());
}

// Sets a location field for the length of a scope and restores it afterwards.
class ScopedField {
 public:
  ScopedField(std::string& field, std::string value) : field_(field), saved_(std::move(field)) {
    field_ = std::move(value);
  }
  ~ScopedField() { field_ = std::move(saved_); }
  ScopedField(const ScopedField&) = delete;
  ScopedField& operator=(const ScopedField&) = delete;

 private:
  std::string& field_;
  std::string saved_;
};

class ScopedPrefab {
 public:
  ScopedPrefab(std::vector<std::string>& chain, std::string path) : chain_(chain) {
    chain_.push_back(std::move(path));
  }
  ~ScopedPrefab() { chain_.pop_back(); }
  ScopedPrefab(const ScopedPrefab&) = delete;
  ScopedPrefab& operator=(const ScopedPrefab&) = delete;

 private:
  std::vector<std::string>& chain_;
};

// The kind of a JSON value, for messages.
const char* KindOf(const rapidjson::Value& value) {
  if (value.IsNull()) return "null";
  if (value.IsBool()) return "a boolean";
  if (value.IsObject()) return "an object";
  if (value.IsArray()) return "an array";
  if (value.IsString()) return "a string";
  if (value.IsInt()) return "an integer";
  if (value.IsInt64() || value.IsUint64()) return "an integer outside the 32-bit range";
  return "a number with a fraction or exponent";
}

// What a member of this type accepts, for messages.
const char* ExpectedKind(objects::MemberType type) {
  switch (type) {
    case objects::MemberType::Int: return "an integer in the 32-bit range";
    case objects::MemberType::Float: return "a number in the 32-bit float range";
    case objects::MemberType::String: return "a string";
    case objects::MemberType::Bool: return "true or false";
    case objects::MemberType::IntVector: return "an array of integers in the 32-bit range";
    case objects::MemberType::FloatVector: return "an array of numbers in the 32-bit float range";
    case objects::MemberType::None: return "nothing (the member is not read from files)";
  }
  return "nothing";
}

// The value as a 32-bit float; false when it is not a number or out of float range.
bool ToFloat(const rapidjson::Value& value, float& result) {
  if (!value.IsNumber()) return false;
  result = static_cast<float>(value.GetDouble());
  return std::isfinite(result);
}

// The text with control bytes written as \xNN, so names from a file cannot disturb
// the terminal that shows a message.
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

}  // namespace

Serializer::Serializer(objects::SpaceRegistry* spaceRegistry) : spaces(spaceRegistry) {}

std::string Serializer::Where() const {
  std::string where;
  auto add = [&where](const char* label, const std::string& value) {
    where += where.empty() ? "(" : ", ";
    where += label;
    where += " '" + Printable(value) + "'";
  };
  if (!location.file.empty()) add("file", location.file);
  if (!location.space.empty()) add("space", location.space);
  if (!location.object.empty()) add("object", location.object);
  for (const std::string& prefab : location.prefabs) add("prefab", prefab);
  if (!location.component.empty()) add("component", location.component);
  if (!location.member.empty()) add("member", location.member);
  return where.empty() ? where : where + ")";
}

void Serializer::Fail(const std::string& problem) const {
  const std::string where = Where();
  throw std::runtime_error(where.empty() ? problem : problem + " " + where);
}

void Serializer::Report(const std::string& message) const {
  const std::string where = Where();
  base::LogError("SERIALIZER", where.empty() ? Printable(message) : Printable(message) + " " + where);
}

bool Serializer::LoadLevel(const std::string& fileName) {
  rapidjson::Document document;
  std::string error;
  const JsonFileResult result = ReadJsonFile(fileName, document, error);
  if (result == JsonFileResult::NotOpened) return false;
  if (result == JsonFileResult::Malformed) {
    throw std::runtime_error("Level file " + fileName + " is not well-formed JSON " + error);
  }
  if (!document.IsObject()) {
    throw std::runtime_error("Level file " + fileName +
                             " is not a level: its root is not a JSON object.");
  }
  ScopedField fileField(location.file, fileName);
  LevelReadRecorder read(spaces, fileName);
  for (const JsonMember& space : document.GetObject()) DeserializeSpace(Text(space.name), document);
  read.Finish();
  return true;
}

void Serializer::DeserializeSpace(const std::string& spaceName, const rapidjson::Value& document) {
  ScopedField spaceField(location.space, spaceName);
  const rapidjson::Value key(rapidjson::StringRef(spaceName.data(), spaceName.size()));
  auto entry = document.IsObject() ? document.FindMember(key) : document.MemberEnd();
  if (!document.IsObject() || entry == document.MemberEnd() || !entry->value.IsObject()) {
    Report("Serializer Error: no data for space " + spaceName + " found.");
    return;
  }
  if (spaces == nullptr) throw std::logic_error("Serializer without a space registry cannot load spaces");
  objects::Space& space = spaces->CreateSpace(spaceName);
  for (const JsonMember& objectEntry : entry->value.GetObject()) {
    const std::string objectName = Text(objectEntry.name);
    ScopedField objectField(location.object, objectName);
    // Refused before the object is created, so a bad entry leaves no empty object.
    if (!objectEntry.value.IsObject()) Fail("Object entry " + objectName + " is not a JSON object.");
    space.CreateObject(objectName);
    std::weak_ptr<objects::GameObject> object = space.FindObject(objectName);
    if (object.expired()) {
      Report("Serializer Error: tried to deserialize game object " + objectName +
             ". No instance of this object exists.");
      return;
    }
    DeserializeObject(objectEntry, object);
  }
}

void Serializer::DeserializeObject(const JsonMember& objectEntry,
                                   std::weak_ptr<objects::GameObject> gameObject) {
  const rapidjson::Value& value = objectEntry.value;
  if (!value.IsObject()) Fail("Object entry " + Text(objectEntry.name) + " is not a JSON object.");
  auto prefab = value.FindMember("prefab");
  if (prefab != value.MemberEnd()) {
    if (!prefab->value.IsString()) Fail("The \"prefab\" value is not a string (a file path).");
    DeserializePrefab(gameObject, Text(prefab->value));
  }
  DeserializeComponents(objectEntry, gameObject);
}

void Serializer::DeserializePrefab(std::weak_ptr<objects::GameObject> gameObject,
                                   const std::string& prefabPath) {
  const std::string normal = NormalPath(prefabPath);
  for (const std::string& applying : location.prefabs) {
    if (NormalPath(applying) == normal) {
      Fail("Prefab chain comes back to " + prefabPath + ", which is already being applied.");
    }
  }
  if (location.prefabs.size() >= kMaxPrefabDepth) {
    Fail("Prefab chain is longer than " + std::to_string(kMaxPrefabDepth) + " files.");
  }

  NotePrefabRead(prefabPath);
  rapidjson::Document document;
  std::string error;
  const JsonFileResult result = ReadJsonFile(prefabPath, document, error);
  if (result == JsonFileResult::NotOpened) {
    Report("Serializer Error: could not open prefab file " + prefabPath);
    return;
  }
  if (result == JsonFileResult::Malformed || !document.IsObject()) {
    Report("Serializer Error: prefab file " + prefabPath +
           " contains something other than JSON object." +
           (error.empty() ? std::string() : " (" + error + ")"));
    return;
  }

  ScopedPrefab chain(location.prefabs, prefabPath);
  if (document.ObjectEmpty()) Fail("Prefab file is empty: it has no component table.");
  auto base = document.FindMember("prefab");
  if (base != document.MemberEnd()) {
    if (!base->value.IsString()) Fail("The \"prefab\" value is not a string (a file path).");
    DeserializePrefab(gameObject, Text(base->value));
  }
  const JsonMember& table = *document.MemberBegin();
  if (!table.value.IsObject()) {
    Fail("The first member of the prefab file, " + Text(table.name) +
         ", is not a component table (a JSON object).");
  }
  DeserializeComponents(table, gameObject);
}

void Serializer::DeserializeComponents(const JsonMember& entry,
                                       std::weak_ptr<objects::GameObject> gameObject) {
  std::shared_ptr<objects::GameObject> object = gameObject.lock();
  if (!object) return;
  if (!entry.value.IsObject()) Fail("Entry " + Text(entry.name) + " is not a JSON object.");
  for (const JsonMember& componentEntry : entry.value.GetObject()) {
    const std::string typeName = Text(componentEntry.name);
    if (typeName == "prefab") continue;
    ScopedField componentField(location.component, typeName);
    if (!componentEntry.value.IsObject()) {
      Fail("Component entry " + typeName + " is not a JSON object of member values.");
    }
    objects::BaseComponent* component = object->GetComponent(typeName);
    if (component == nullptr) {
      try {
        component = object->AddComponent(typeName);
      } catch (const std::runtime_error& typeError) {
        Fail(typeError.what());
      }
    }
    DeserializeComponent(component, componentEntry);
  }
  if (!object->Initialize()) {
    Report("Serializer Error: game object " + object->GetName() +
           " returned false from post-deserialization initialization.");
    Fail("A component did not initialize correctly.");
  }
}

void Serializer::DeserializeComponent(objects::BaseComponent* component,
                                      const JsonMember& componentEntry) {
  const std::string typeName = Text(componentEntry.name);
  ScopedField componentField(location.component, typeName);
  if (!componentEntry.value.IsObject()) {
    Fail("Component entry " + typeName + " is not a JSON object of member values.");
  }
  for (const JsonMember& memberEntry : componentEntry.value.GetObject()) {
    const std::string memberName = Text(memberEntry.name);
    ScopedField memberField(location.member, memberName);
    const objects::MemberDescriptor* member = nullptr;
    try {
      member = &objects::FindMember(typeName, memberName);
    } catch (const std::runtime_error& lookupError) {
      Fail(lookupError.what());
    }
    DeserializeMember(component, *member, memberEntry.value);
  }
}

void Serializer::DeserializeMember(objects::BaseComponent* component, const objects::MemberDescriptor& member,
                                   const rapidjson::Value& value) {
  if (value.IsNull()) return;
  auto refuse = [&]() {
    Fail("Member " + member.name + " expects " + ExpectedKind(member.type) + ", but the file gives " +
         KindOf(value) + ".");
  };
  void* field = reinterpret_cast<unsigned char*>(component) + member.offset;
  switch (member.type) {
    case objects::MemberType::Int:
      if (!value.IsInt()) refuse();
      *static_cast<std::int32_t*>(field) = value.GetInt();
      return;
    case objects::MemberType::Float: {
      float number = 0.0f;
      if (!ToFloat(value, number)) refuse();
      *static_cast<float*>(field) = number;
      return;
    }
    case objects::MemberType::String:
      if (!value.IsString()) refuse();
      *static_cast<std::string*>(field) = Text(value);
      return;
    case objects::MemberType::Bool:
      if (!value.IsBool()) refuse();
      *static_cast<bool*>(field) = value.GetBool();
      return;
    case objects::MemberType::IntVector: {
      if (!value.IsArray()) refuse();
      std::vector<std::int32_t> numbers;
      numbers.reserve(value.Size());
      for (const rapidjson::Value& element : value.GetArray()) {
        if (!element.IsInt()) {
          Fail("Member " + member.name + " expects " + ExpectedKind(member.type) +
               ", but element " + std::to_string(numbers.size()) + " is " + KindOf(element) + ".");
        }
        numbers.push_back(element.GetInt());
      }
      *static_cast<std::vector<std::int32_t>*>(field) = std::move(numbers);
      return;
    }
    case objects::MemberType::FloatVector: {
      if (!value.IsArray()) refuse();
      std::vector<float> numbers;
      numbers.reserve(value.Size());
      for (const rapidjson::Value& element : value.GetArray()) {
        float number = 0.0f;
        if (!ToFloat(element, number)) {
          Fail("Member " + member.name + " expects " + ExpectedKind(member.type) +
               ", but element " + std::to_string(numbers.size()) + " is " + KindOf(element) + ".");
        }
        numbers.push_back(number);
      }
      *static_cast<std::vector<float>*>(field) = std::move(numbers);
      return;
    }
    case objects::MemberType::None:
      refuse();
  }
  refuse();
}

void Serializer::SerializeComponent(const objects::BaseComponent& component, JsonWriter& writer) {
  const unsigned char* base = reinterpret_cast<const unsigned char*>(&component);
  const std::vector<const objects::MemberDescriptor*> members = objects::GetSerializedMembers(component.type);
  writer.Key(component.type.c_str(), static_cast<rapidjson::SizeType>(component.type.size()));
  writer.StartObject();
  auto writeFloat = [&writer](float number) {
    if (std::isfinite(number)) {
      writer.Double(static_cast<double>(number));
    } else {
      writer.Null();
    }
  };
  for (const objects::MemberDescriptor* member : members) {
    const void* field = base + member->offset;
    writer.Key(member->name.c_str(), static_cast<rapidjson::SizeType>(member->name.size()));
    switch (member->type) {
      case objects::MemberType::Int:
        writer.Int(*static_cast<const std::int32_t*>(field));
        break;
      case objects::MemberType::Float:
        writeFloat(*static_cast<const float*>(field));
        break;
      case objects::MemberType::String: {
        const std::string& text = *static_cast<const std::string*>(field);
        writer.String(text.c_str(), static_cast<rapidjson::SizeType>(text.size()));
        break;
      }
      case objects::MemberType::Bool:
        // Read as a byte: a field a constructor left unset may hold any value.
        writer.Bool(*static_cast<const unsigned char*>(field) != 0);
        break;
      case objects::MemberType::IntVector:
        writer.StartArray();
        for (std::int32_t number : *static_cast<const std::vector<std::int32_t>*>(field)) writer.Int(number);
        writer.EndArray();
        break;
      case objects::MemberType::FloatVector:
        writer.StartArray();
        for (float number : *static_cast<const std::vector<float>*>(field)) writeFloat(number);
        writer.EndArray();
        break;
      case objects::MemberType::None:
        writer.Null();
        break;
    }
  }
  writer.EndObject();
}

void WriteSpacesJson(std::ostream& stream, const objects::SpaceRegistry& registry) {
  rapidjson::OStreamWrapper wrapper(stream);
  JsonWriter writer(wrapper);
  auto key = [&writer](const std::string& text) {
    writer.Key(text.c_str(), static_cast<rapidjson::SizeType>(text.size()));
  };
  writer.StartObject();
  for (const auto& [spaceName, space] : registry.GetSpaces()) {
    key(spaceName);
    writer.StartObject();
    key("active");
    writer.Bool(space->IsActive());
    key("paused");
    writer.Bool(space->IsPaused());
    key("objects");
    writer.StartObject();
    for (const auto& [objectName, object] : space->GetObjects()) {
      key(objectName);
      writer.StartObject();
      key("active");
      writer.Bool(object->IsActive());
      key("components");
      writer.StartObject();
      for (const auto& [typeName, component] : object->GetComponents()) {
        if (objects::GetTypeRegistry().TryFindType(component->type) != nullptr) {
          Serializer::SerializeComponent(*component, writer);
        } else {
          key(typeName);
          writer.StartObject();
          writer.EndObject();
        }
      }
      writer.EndObject();
      writer.EndObject();
    }
    writer.EndObject();
    writer.EndObject();
  }
  writer.EndObject();
  stream << '\n';
  stream.flush();
}

void WriteSpacesJson(std::ostream& stream) { WriteSpacesJson(stream, objects::GetSpaceRegistry()); }

}  // namespace serialization
