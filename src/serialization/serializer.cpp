// The level loader and the component writer.
#include "serialization/serializer.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <new>
#include <stdexcept>
#include <utility>

#include "base/data_path.h"
#include "base/log.h"
#include "objects/space_registry.h"
#include "serialization/json_file.h"
#include "serialization/level_header.h"
#include "serialization/level_reads.h"
#include "serialization/level_rules.h"

namespace serialization {
namespace {

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

}  // namespace

Serializer::Serializer(objects::SpaceRegistry* spaceRegistry) : spaces_(spaceRegistry) {}

std::string Serializer::Where() const {
  std::string where;
  auto add = [&where](const char* label, const std::string& value) {
    where += where.empty() ? "(" : ", ";
    where += label;
    where += " '" + Printable(value) + "'";
  };
  if (!location_.file.empty()) add("file", location_.file);
  if (!location_.space.empty()) add("space", location_.space);
  if (!location_.object.empty()) add("object", location_.object);
  for (const std::string& prefab : location_.prefabs) add("prefab", prefab);
  if (!location_.component.empty()) add("component", location_.component);
  if (!location_.member.empty()) add("member", location_.member);
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
  try {
    JsonText text;
    std::string error;
    const JsonFileResult result = ReadJsonFile(fileName, text, error);
    if (result == JsonFileResult::NotOpened) return false;
    if (result == JsonFileResult::Refused) {
      throw std::runtime_error("Level file " + fileName + " " + error + ".");
    }
    if (result == JsonFileResult::Malformed) {
      throw std::runtime_error("Level file " + fileName + " is not well-formed JSON " + error);
    }
    const rapidjson::Document& document = text.document;
    if (!document.IsObject()) {
      throw std::runtime_error("Level file " + fileName + " is not a level: its root is not a JSON object.");
    }
    RefuseDuplicates(text, FileShape::Level, "Level file " + fileName);
    ScopedField fileField(location_.file, fileName);
    LevelReadRecorder read(spaces_, fileName);
    for (const JsonMember& space : document.GetObject()) {
      const std::string spaceName = Text(space.name);
      if (spaceName != kLevelHeaderKey) DeserializeSpace(spaceName, document);  // the header is no space
    }
    read.Finish();
    return true;
  } catch (const std::bad_alloc&) {
    // Whatever was being read or built, the level maker learns which file did it.
    throw std::runtime_error("Out of memory while loading level file " + fileName + ".");
  }
}

void Serializer::RefuseDuplicates(const JsonText& text, FileShape shape, const std::string& what) const {
  const std::vector<DuplicateKey> duplicates = FindDuplicateKeys(text);
  if (duplicates.empty()) return;
  const DuplicateKey& repeated = duplicates.front();
  const std::string message = what + " names the " + KeyKind(shape, repeated.depth) + " " +
                              Printable(repeated.name) + " twice: at " + DescribePosition(repeated.at) +
                              " and first at " + DescribePosition(repeated.first) + ".";
  if (shape == FileShape::Level) throw std::runtime_error(message);
  Fail(message);
}

void Serializer::DeserializeSpace(const std::string& spaceName, const rapidjson::Value& document) {
  ScopedField spaceField(location_.space, spaceName);
  const rapidjson::Value key(rapidjson::StringRef(spaceName.data(), spaceName.size()));
  auto entry = document.IsObject() ? document.FindMember(key) : document.MemberEnd();
  if (!document.IsObject() || entry == document.MemberEnd() || !entry->value.IsObject()) {
    Report("Serializer Error: no data for space " + spaceName + " found.");
    return;
  }
  if (spaces_ == nullptr) throw std::logic_error("Serializer without a space registry cannot load spaces");
  objects::Space& space = spaces_->CreateSpace(spaceName);
  for (const JsonMember& objectEntry : entry->value.GetObject()) {
    const std::string objectName = Text(objectEntry.name);
    ScopedField objectField(location_.object, objectName);
    // Refused before the object is created, so a bad entry leaves no empty object.
    if (!objectEntry.value.IsObject()) Fail("Object entry " + objectName + " is not a JSON object.");
    try {
      space.CreateObject(objectName);
      std::weak_ptr<objects::GameObject> object = space.FindObject(objectName);
      if (object.expired()) {
        Report("Serializer Error: tried to deserialize game object " + objectName +
               ". No instance of this object exists.");
        return;
      }
      DeserializeObject(objectEntry, object);
    } catch (const std::bad_alloc&) {
      Fail("Out of memory.");
    }
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

std::string Serializer::InsideData(const std::string& written, const char* what) const {
  const base::ResolvedPath resolved = base::ResolveDataPath(written);
  if (!resolved.Inside())
    Fail("The " + std::string(what) + " \"" + Printable(written) + "\" " + resolved.reason + ".");
  return resolved.path;
}

void Serializer::DeserializePrefab(std::weak_ptr<objects::GameObject> gameObject,
                                   const std::string& prefabPath) {
  std::string opened;
  {
    ScopedField memberField(location_.member, "prefab");
    opened = InsideData(prefabPath, "prefab file");
  }
  const std::string normal = NormalPath(prefabPath);
  for (const std::string& applying : location_.prefabs) {
    if (NormalPath(applying) == normal) {
      Fail("Prefab chain comes back to " + prefabPath + ", which is already being applied.");
    }
  }
  if (location_.prefabs.size() >= kMaxPrefabDepth) {
    Fail("Prefab chain is longer than " + std::to_string(kMaxPrefabDepth) + " files.");
  }

  NotePrefabRead(opened);
  JsonText text;
  std::string error;
  const JsonFileResult result = ReadJsonFile(opened, text, error);
  if (result == JsonFileResult::NotOpened) {
    SkipPrefab(prefabPath,
               "Serializer Error: could not open prefab file " + prefabPath +
                   (error.empty() ? std::string() : " (" + error + ")"),
               error.empty() ? "does not exist" : error);
    return;
  }
  if (result == JsonFileResult::Refused) {
    SkipPrefab(prefabPath, "Serializer Error: prefab file " + prefabPath + " " + error + "; it is skipped.",
               error);
    return;
  }
  const rapidjson::Document& document = text.document;
  if (result == JsonFileResult::Malformed || !document.IsObject()) {
    SkipPrefab(prefabPath,
               "Serializer Error: prefab file " + prefabPath + " contains something other than JSON object." +
                   (error.empty() ? std::string() : " (" + error + ")"),
               error.empty() ? "is not a JSON object" : "is not well-formed JSON " + error);
    return;
  }

  ScopedPrefab chain(location_.prefabs, prefabPath);
  RefuseDuplicates(text, FileShape::Prefab, "Prefab file " + prefabPath);
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

void Serializer::SkipPrefab(const std::string& prefabPath, const std::string& message,
                            const std::string& reason) {
  Report(message);
  const std::string skipped = prefabPath + " (" + reason + ")";
  if (std::find(skippedPrefabs_.begin(), skippedPrefabs_.end(), skipped) == skippedPrefabs_.end())
    skippedPrefabs_.push_back(skipped);
}

void Serializer::DeserializeComponents(const JsonMember& entry,
                                       std::weak_ptr<objects::GameObject> gameObject) {
  std::shared_ptr<objects::GameObject> object = gameObject.lock();
  if (!object) return;
  if (!entry.value.IsObject()) Fail("Entry " + Text(entry.name) + " is not a JSON object.");
  for (const JsonMember& componentEntry : entry.value.GetObject()) {
    const std::string typeName = Text(componentEntry.name);
    if (typeName == "prefab") continue;
    ScopedField componentField(location_.component, typeName);
    if (!componentEntry.value.IsObject()) {
      Fail("Component entry " + typeName + " is not a JSON object of member values.");
    }
    // Out of memory is turned into a refusal here, where the message can still say
    // which file, prefab, object and component were being read.
    try {
      objects::BaseComponent* component = object->GetComponent(typeName);
      if (component == nullptr) {
        try {
          component = object->AddComponent(typeName);
        } catch (const std::runtime_error& typeError) {
          Fail(typeError.what());
        }
      }
      DeserializeComponent(component, componentEntry);
    } catch (const std::bad_alloc&) {
      Fail("Out of memory.");
    }
  }
  bool initialized = false;
  try {
    initialized = object->Initialize();
  } catch (const std::bad_alloc&) {
    Fail("Out of memory while initialising the object.");
  }
  if (!initialized) {
    Report("Serializer Error: game object " + object->GetName() +
           " returned false from post-deserialization initialization.");
    Fail("A component did not initialize correctly.");
  }
}

void Serializer::DeserializeComponent(objects::BaseComponent* component, const JsonMember& componentEntry) {
  const std::string typeName = Text(componentEntry.name);
  ScopedField componentField(location_.component, typeName);
  if (!componentEntry.value.IsObject()) {
    Fail("Component entry " + typeName + " is not a JSON object of member values.");
  }
  for (const JsonMember& memberEntry : componentEntry.value.GetObject()) {
    const std::string memberName = Text(memberEntry.name);
    ScopedField memberField(location_.member, memberName);
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
  const ValueRefusal refusal = CheckMemberValue(member, value);
  if (refusal.refused) Fail("Member " + member.name + " " + refusal.reason + ".");
  void* field = reinterpret_cast<unsigned char*>(component) + member.offset;
  switch (member.type) {
    case objects::MemberType::Int:
      *static_cast<std::int32_t*>(field) = value.GetInt();
      return;
    case objects::MemberType::Float:
      ToFloat(value, *static_cast<float*>(field));
      return;
    case objects::MemberType::String:
      if (const FileReference* file = FindFileMember(component->GetType(), member.name)) {
        if (value.GetStringLength() != 0) InsideData(Text(value), file->what.c_str());
      }
      *static_cast<std::string*>(field) = Text(value);
      return;
    case objects::MemberType::Bool:
      *static_cast<bool*>(field) = value.GetBool();
      return;
    case objects::MemberType::IntVector: {
      std::vector<std::int32_t> numbers;
      numbers.reserve(value.Size());
      for (const rapidjson::Value& element : value.GetArray()) numbers.push_back(element.GetInt());
      *static_cast<std::vector<std::int32_t>*>(field) = std::move(numbers);
      return;
    }
    case objects::MemberType::FloatVector: {
      std::vector<float> numbers(value.Size());
      for (rapidjson::SizeType i = 0; i < value.Size(); ++i) ToFloat(value[i], numbers[i]);
      *static_cast<std::vector<float>*>(field) = std::move(numbers);
      return;
    }
    case objects::MemberType::None:
      return;  // refused above
  }
}

void Serializer::SerializeComponent(const objects::BaseComponent& component, JsonWriter& writer) {
  const unsigned char* base = reinterpret_cast<const unsigned char*>(&component);
  const std::vector<const objects::MemberDescriptor*> members =
      objects::GetSerializedMembers(component.GetType());
  writer.Key(component.GetType().c_str(), static_cast<rapidjson::SizeType>(component.GetType().size()));
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
        if (objects::GetTypeRegistry().TryFindType(component->GetType()) != nullptr) {
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
