// The rules of level and prefab files that the loader applies and the validator
// checks, kept in one place so that both always agree: which value a member takes,
// what a repeated name is called, how long a prefab chain may be.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include <rapidjson/document.h>

#include "objects/type_registry.h"

namespace serialization {

// A prefab chain longer than this is taken for a loop (one spelled with different
// paths to the same file).
inline constexpr std::size_t kMaxPrefabDepth = 64;

// A member whose text names a file under the data folder.
struct FileReference {
  std::string type;    // registered component type, e.g. "SpriteSource"
  std::string member;  // e.g. "image"
  std::string what;    // for messages: "picture", "script", "sound"
};

// What the loader knows of members beyond their types: which name data files (their
// values must stay inside the data folder). Filled by the engine's component
// registration, which knows what its components' members mean.
struct LoaderRules {
  std::vector<FileReference> fileMembers;

  // None (tests).
  void Reset() { *this = LoaderRules{}; }
};

// The one block of the process.
LoaderRules& GetLoaderRules();

// The file member `member` of `type` is, or null when it names no file.
const FileReference* FindFileMember(const std::string& type, const std::string& member);

// Why the loader refuses a value for a member.
struct ValueRefusal {
  bool refused = false;
  // "expects <kind>, but the file gives <kind>" or "..., but element N is <kind>".
  std::string reason;
  // The value at fault: the value itself or the offending element of an array.
  const rapidjson::Value* at = nullptr;
};

// Whether `value` can be stored in `member`; null always can (it keeps the member).
ValueRefusal CheckMemberValue(const objects::MemberDescriptor& member, const rapidjson::Value& value);

// The value as a 32-bit float; false when it is not a number or out of float range.
bool ToFloat(const rapidjson::Value& value, float& result);

// The shape of a file: a level (spaces of objects of components) or a prefab (a
// component table and an optional base).
enum class FileShape { Level, Prefab };

// What a member name at `depth` of a file names (depth 1: the root's members):
// "space", "object", "component", "member", or "key" below those.
const char* KeyKind(FileShape shape, int depth);

// The text with control bytes written as \xNN, so names from a file cannot disturb
// the terminal that shows a message.
std::string Printable(const std::string& text);

// A path with "." and ".." steps resolved, "/" separated: two spellings of one prefab
// compare equal.
std::string NormalPath(const std::string& path);

// The text of a string value.
inline std::string Text(const rapidjson::Value& value) {
  return std::string(value.GetString(), value.GetStringLength());
}

}  // namespace serialization
