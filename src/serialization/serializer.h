// The level loader: builds or updates spaces of game objects from level files
// (spaces, objects, optional prefab chains, components, member values) and writes
// single components back as JSON.
//
// Refusals throw std::runtime_error whose text starts with what is wrong and ends
// with where: file, space, object, prefab chain, component and member. The
// recoverable problems (a space entry that is not an object, a missing or unparsable
// prefab file) are written to standard error and the item is skipped.
#pragma once

#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include <rapidjson/document.h>
#include <rapidjson/ostreamwrapper.h>
#include <rapidjson/prettywriter.h>

#include "objects/game_object.h"
#include "objects/type_registry.h"

namespace objects {
class SpaceRegistry;
}

namespace serialization {

class JsonText;
enum class FileShape;

using JsonWriter = rapidjson::PrettyWriter<rapidjson::OStreamWrapper>;
using JsonMember = rapidjson::Value::Member;

class Serializer {
 public:
  // The registry the loads fill; not owned, must outlive the serializer.
  explicit Serializer(objects::SpaceRegistry* spaceRegistry);

  // Loads one level file, path relative to the working directory: the caller's own
  // choice (the game's level names, the runner's command line), taken as given. The
  // paths inside the file are kept inside the data folder: a prefab or a member that
  // names a file (GetLoaderRules) leading out of it is refused with the location.
  // Returns false, changing nothing and reporting nothing, when the file cannot be
  // opened. A file
  // that is not a plain file, larger than 16 MB, not well-formed JSON, whose root is
  // not an object or that names a space, object, component or member twice throws
  // before anything is created. Running out of memory throws a message naming the file.
  bool LoadLevel(const std::string& fileName);

  // The prefab files skipped so far because they could not be read, each once, as
  // "Prefabs/Star.txt (is a directory)": what the objects using them lack.
  const std::vector<std::string>& SkippedPrefabs() const { return skippedPrefabs_; }

  // Builds the space from the first root member named spaceName.
  void DeserializeSpace(const std::string& spaceName, const rapidjson::Value& document);
  // Applies the entry's prefab chain, then its own components.
  void DeserializeObject(const JsonMember& objectEntry, std::weak_ptr<objects::GameObject> gameObject);
  // Applies a prefab file, its bases first. Refuses a chain that comes back to a
  // prefab it is already applying, and a prefab that names something twice; skips,
  // with a report, one that is missing, malformed, not a plain file or too large.
  void DeserializePrefab(std::weak_ptr<objects::GameObject> gameObject, const std::string& prefabPath);
  // Creates or updates the components named in the entry's value, then initialises
  // the object ("A component did not initialize correctly." when that fails).
  void DeserializeComponents(const JsonMember& entry, std::weak_ptr<objects::GameObject> gameObject);
  // Writes every member value of one component entry; the key is the type name.
  void DeserializeComponent(objects::BaseComponent* component, const JsonMember& componentEntry);
  // Stores one value by the member's registered type; null keeps the member. A value
  // of a kind that does not fit is refused and nothing is written.
  void DeserializeMember(objects::BaseComponent* component, const objects::MemberDescriptor& member,
                         const rapidjson::Value& value);

  // Writes the component's type as a key and its serialized members as an object. A
  // float that is not finite is written as null (JSON has no such numbers).
  static void SerializeComponent(const objects::BaseComponent& component, JsonWriter& writer);

 private:
  // Where the load is, for messages.
  struct Location {
    std::string file;
    std::string space;
    std::string object;
    std::vector<std::string> prefabs;  // the chain being applied, outermost first
    std::string component;
    std::string member;
  };

  std::string Where() const;
  // Throws when the parsed file repeats a name; `what` starts the message ("Level
  // file X"). A level throws before anything is created, a prefab with the location.
  void RefuseDuplicates(const JsonText& text, FileShape shape, const std::string& what) const;
  // The file to open for a path the data names (a `what`: "prefab file", "picture"),
  // kept inside the data folder by base::ResolveDataPath; a path that leads out is
  // refused with the location.
  std::string InsideData(const std::string& written, const char* what) const;
  [[noreturn]] void Fail(const std::string& problem) const;
  void Report(const std::string& message) const;
  // Reports a prefab file that is skipped and notes it in skippedPrefabs_.
  void SkipPrefab(const std::string& prefabPath, const std::string& message, const std::string& reason);

  objects::SpaceRegistry* spaces_;
  Location location_;
  std::vector<std::string> skippedPrefabs_;
};

// Writes every space of the registry (name, active, paused), its objects (name,
// active) and their components (type and serialized members) as one JSON object,
// everything in name order. Components of unregistered types appear as empty objects.
void WriteSpacesJson(std::ostream& stream, const objects::SpaceRegistry& registry);
// The same for the process-wide registry.
void WriteSpacesJson(std::ostream& stream);

}  // namespace serialization
