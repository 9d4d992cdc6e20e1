// The data file validator: reads each file once, walks levels and prefabs as the
// loader does, and collects problems instead of throwing.
#include "serialization/validator.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string_view>
#include <system_error>
#include <tuple>
#include <utility>

#include "base/data_path.h"
#include "base/file_read.h"
#include "objects/type_registry.h"
#include "serialization/level_header.h"
#include "serialization/level_rules.h"
#include "serialization/validator_local.h"

namespace serialization {
namespace validation {

std::string Quoted(const std::string& text) { return "\"" + Printable(text) + "\""; }

namespace {

std::size_t EditDistance(std::string_view a, std::string_view b) {
  std::vector<std::size_t> row(b.size() + 1);
  for (std::size_t j = 0; j <= b.size(); ++j) row[j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    std::size_t diagonal = row[0];
    row[0] = i;
    for (std::size_t j = 1; j <= b.size(); ++j) {
      const std::size_t above = row[j];
      row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
      diagonal = above;
    }
  }
  return row[b.size()];
}

}  // namespace

std::string Suggestion(const std::string& name, const std::vector<std::string>& candidates) {
  const std::string* best = nullptr;
  std::size_t bestDistance = 3;
  for (const std::string& candidate : candidates) {
    const std::size_t distance = EditDistance(name, candidate);
    if (distance < bestDistance && distance < std::max<std::size_t>(name.size(), 1)) {
      best = &candidate;
      bestDistance = distance;
    }
  }
  return best == nullptr ? std::string() : " (did you mean " + Quoted(*best) + "?)";
}

}  // namespace validation

namespace {

namespace fs = std::filesystem;
using namespace validation;

// A named member or group child of the type, found as the loader finds it (pre-order,
// first match); null when the type has none of that name.
const objects::MemberDescriptor* TryFindMember(const objects::TypeDescriptor& type, const std::string& name) {
  if (name.empty()) return nullptr;
  std::vector<const objects::MemberDescriptor*> pending;
  for (auto it = type.members.rbegin(); it != type.members.rend(); ++it) pending.push_back(&*it);
  while (!pending.empty()) {
    const objects::MemberDescriptor* member = pending.back();
    pending.pop_back();
    if (member->name == name) return member;
    for (auto it = member->children.rbegin(); it != member->children.rend(); ++it) pending.push_back(&*it);
  }
  return nullptr;
}

std::vector<std::string> TypeNames() {
  std::vector<std::string> names;
  for (const auto& [name, type] : objects::GetTypeRegistry().GetTypes()) names.push_back(name);
  return names;
}

std::vector<std::string> MemberNames(const std::string& typeName) {
  std::vector<std::string> names;
  for (const objects::MemberDescriptor* member : objects::GetSerializedMembers(typeName))
    names.push_back(member->name);
  return names;
}

// " (the system's reason)", or nothing when there is none.
std::string Because(const std::string& reason) { return reason.empty() ? reason : " (" + reason + ")"; }

// Why the game would not read a picture, script or sound (`what`) at path, to
// follow its name; empty when it would.
std::string WhyUnread(const fs::path& path, const std::string& what, const std::string& where) {
  const base::ReadLimit& limit = what == "picture" ? base::kPictureLimit
                                 : what == "sound" ? base::kSoundLimit
                                                   : base::kScriptLimit;
  const base::FileRead check = base::CheckReadable(path.string(), limit);
  if (check.Ok()) return {};
  return check.outcome == base::ReadOutcome::kMissing ? "does not exist " + where : check.Said();
}

bool Exists(const fs::path& path) {
  std::error_code ignored;
  return fs::exists(path, ignored);
}

fs::path Canonical(const fs::path& path) {
  std::error_code ignored;
  const fs::path absolute = fs::absolute(path, ignored);
  const fs::path canonical = fs::weakly_canonical(absolute, ignored);
  return canonical.empty() ? absolute.lexically_normal() : canonical;
}

// Who holds a prefab file's link to its base, for a refusal.
constexpr const char* kBaseLink = "member \"prefab\"";

std::string Plural(std::size_t count, const char* word) {
  return std::to_string(count) + " " + word + (count == 1 ? "" : "s");
}

}  // namespace

struct Validator::Impl {
  fs::path dataFolder;  // canonical
  std::string shownDataFolder;
  ValidationRules rules;
  std::map<std::string, std::unique_ptr<DataFile>> files;  // by canonical path
  std::vector<DataFile*> queue;
  std::set<std::tuple<std::string, std::size_t, std::size_t, std::string>> problems;
  std::map<std::pair<std::string, std::string>, std::optional<std::int32_t>> defaults;
  // Why each script file checked does not compile (empty: it does), by canonical path.
  std::map<std::string, std::string> scriptErrors;

  void Add(const Place& place, const std::string& message) {
    const TextPosition at = place.at.line == 0 ? TextPosition{1, 1} : place.at;
    problems.emplace(place.file, at.line, at.column, message);
  }

  // --- Files ---------------------------------------------------------------------

  std::string RelativeToData(const fs::path& canonical) const {
    const fs::path relative = canonical.lexically_relative(dataFolder);
    if (relative.empty() || *relative.begin() == "..") return {};
    return relative.generic_string();
  }

  bool LoadedByName(const std::string& relative) const {
    return std::find(rules.loadedFiles.begin(), rules.loadedFiles.end(), relative) != rules.loadedFiles.end();
  }

  FileShape ShapeByFolder(const fs::path& path) const {
    const std::string relative = RelativeToData(Canonical(path));
    const bool prefab = relative.rfind("Prefabs/", 0) == 0 && !LoadedByName(relative);
    return prefab ? FileShape::Prefab : FileShape::Level;
  }

  // The folders the paths written in the file being checked lead from, in order, and
  // how problem lines name them: the data folder, after the custom level's own
  // folder when the file is a custom level.
  struct Root {
    fs::path path;  // canonical
    std::string shown;
  };
  std::vector<Root> roots;

  void UseRootsFor(const fs::path& path, const std::string& shown) {
    roots = {{dataFolder, shownDataFolder}};
    const fs::path canonical = Canonical(path);
    if (!RelativeToData(canonical).empty()) return;
    roots.insert(roots.begin(),
                 Root{canonical.parent_path(), fs::path(shown).parent_path().generic_string()});
  }

  bool BesideLevel() const { return roots.size() > 1; }

  // Where a file that no root holds was looked for, for messages.
  std::string Where() const {
    return BesideLevel() ? "beside the level or under the data folder" : "under the data folder";
  }

  // A path written in a data file leads from the roots and stays inside them, as the
  // loader keeps it.
  base::ResolvedPath Resolve(const std::string& written) const {
    std::vector<fs::path> paths;
    for (const Root& root : roots) paths.push_back(root.path);
    return base::ResolveDataPath(written, paths);
  }

  std::string Shown(const std::string& written) const {
    if (fs::path(written).is_absolute() || shownDataFolder.empty()) return NormalPath(written);
    return NormalPath(shownDataFolder + "/" + written);
  }

  // How problem lines name the file a written path resolved to: from the innermost
  // root that holds it (a level's folder may hold the data folder).
  std::string ShownResolved(const std::string& written, const base::ResolvedPath& resolved) const {
    const fs::path path(resolved.path);
    const Root* holder = nullptr;
    for (const Root& root : roots) {
      const fs::path relative = path.lexically_relative(root.path);
      if (relative.empty() || *relative.begin() == "..") continue;
      if (holder == nullptr || root.path.native().size() > holder->path.native().size()) holder = &root;
    }
    if (holder == nullptr || holder->path == dataFolder) return Shown(written);
    return NormalPath(holder->shown.empty() ? written : holder->shown + "/" + written);
  }

  DataFile& Open(const fs::path& path, const std::string& shown, FileShape shape) {
    const fs::path canonical = Canonical(path);
    // A file reached from a custom level resolves its paths beside that level too.
    const std::string key =
        canonical.generic_string() + (BesideLevel() ? "\n" + roots.front().path.generic_string() : "");
    std::unique_ptr<DataFile>& slot = files[key];
    if (slot) return *slot;
    slot = std::make_unique<DataFile>();
    DataFile& file = *slot;
    file.shown = shown;
    file.path = path;
    file.relative = RelativeToData(canonical);
    file.shape = shape;
    file.custom = shape == FileShape::Level && file.relative.empty();
    file.result = ReadJsonFile(path.string(), file.text, file.error);
    const rapidjson::Value& root = file.text.document;
    if (file.result == JsonFileResult::Parsed && root.IsObject() && !root.ObjectEmpty()) {
      const auto& first = *root.MemberBegin();
      if (Text(first.name) != "prefab" && first.value.IsObject()) file.table = &first.value;
      const auto base = root.FindMember("prefab");
      if (base != root.MemberEnd() && base->value.IsString()) file.baseLink = &base->value;
    }
    return file;
  }

  void Enqueue(DataFile& file) {
    if (file.queued) return;
    file.queued = true;
    queue.push_back(&file);
  }

  // Checks queued files until none is left; prefab files join the queue as they are
  // reached, so a long chain costs no recursion.
  void Drain() {
    while (!queue.empty()) {
      DataFile* file = queue.front();
      queue.erase(queue.begin());
      Check(*file);
    }
  }

  void Check(DataFile& file) {
    const Place whole{file.shown, {1, 1}};
    switch (file.result) {
      case JsonFileResult::NotOpened:
        Add(whole, Exists(file.path) ? "the file cannot be read" + Because(file.error) : "no such file");
        return;
      case JsonFileResult::Refused:
        Add(whole, "the file " + file.error);
        return;
      case JsonFileResult::Malformed:
        Add({file.shown, file.text.ErrorPosition()}, "not well-formed JSON: " + file.text.ErrorText());
        return;
      case JsonFileResult::Parsed:
        break;
    }
    ReportDuplicates(file);
    if (file.shape == FileShape::Level) {
      CheckLevel(file);
    } else {
      CheckPrefab(file);
    }
  }

  void ReportDuplicates(const DataFile& file) {
    for (const DuplicateKey& duplicate : FindDuplicateKeys(file.text)) {
      Add({file.shown, duplicate.at}, std::string(KeyKind(file.shape, duplicate.depth)) + " " +
                                          Quoted(duplicate.name) + " appears twice (first at " +
                                          DescribePosition(duplicate.first) +
                                          "); the loader refuses the file");
    }
  }

  // --- Prefabs -------------------------------------------------------------------

  // The prefab file a "prefab" value names, when it can be applied; problems with the
  // link itself are reported at it, the file's own problems by its own check.
  // `owner` names who holds the link, for a refusal: 'object "o" member "prefab"'.
  DataFile* UsePrefab(const Place& link, const std::string& written, const std::string& owner) {
    const base::ResolvedPath resolved = Resolve(written);
    if (!resolved.Inside()) {
      Add(link,
          owner + ": prefab file " + Quoted(written) + " " + resolved.reason + "; the loader refuses it");
      return nullptr;
    }
    DataFile& file = Open(resolved.path, ShownResolved(written, resolved), FileShape::Prefab);
    if (file.result == JsonFileResult::NotOpened) {
      Add(link,
          "prefab file " + Quoted(written) +
              (Exists(file.path) ? " cannot be read" + Because(file.error) : " does not exist " + Where()));
      return nullptr;
    }
    if (file.result == JsonFileResult::Refused) {
      Add(link, "prefab file " + Quoted(written) + " " + file.error);
      return nullptr;
    }
    Enqueue(file);
    return file.table != nullptr ? &file : nullptr;
  }

  // The components a prefab chain gives an object, deepest base first.
  ObjectView ChainView(Place link, std::string written, std::string owner) {
    std::vector<DataFile*> chain;
    std::set<DataFile*> seen;
    while (chain.size() < kMaxPrefabDepth) {
      DataFile* file = UsePrefab(link, written, owner);
      if (file == nullptr || !seen.insert(file).second) break;
      chain.push_back(file);
      if (file->baseLink == nullptr) break;
      link = file->PlaceOf(*file->baseLink);
      written = Text(*file->baseLink);
      owner = kBaseLink;
    }
    ObjectView view;
    for (auto layer = chain.rbegin(); layer != chain.rend(); ++layer) Merge(view, **layer, *(*layer)->table);
    return view;
  }

  std::string ChainName(const DataFile& file) const {
    return file.relative.empty() ? file.shown : file.relative;
  }

  // A chain from this prefab's base that comes back to it, or never ends.
  void CheckCycle(DataFile& prefab) {
    if (prefab.baseLink == nullptr) return;
    std::vector<std::string> names{ChainName(prefab)};
    std::set<const DataFile*> seen{&prefab};
    const DataFile* current = &prefab;
    for (std::size_t depth = 0; depth < kMaxPrefabDepth; ++depth) {
      if (current->baseLink == nullptr) return;
      const std::string written = Text(*current->baseLink);
      const base::ResolvedPath resolved = Resolve(written);
      if (!resolved.Inside()) return;  // reported where the link is used
      DataFile& next = Open(resolved.path, ShownResolved(written, resolved), FileShape::Prefab);
      if (next.result != JsonFileResult::Parsed) return;
      names.push_back(NormalPath(written));
      if (&next == &prefab) {
        std::string path;
        for (const std::string& name : names) path += (path.empty() ? "" : " -> ") + name;
        Add(prefab.PlaceOf(*prefab.baseLink), "prefab chain comes back to this file: " + path);
        return;
      }
      if (!seen.insert(&next).second) return;  // a loop further on: its own files report it
      current = &next;
    }
    Add(prefab.PlaceOf(*prefab.baseLink),
        "prefab chain is longer than " + std::to_string(kMaxPrefabDepth) + " files");
  }

  void CheckPrefab(DataFile& file) {
    const rapidjson::Value& root = file.text.document;
    if (!root.IsObject()) {
      Add(file.PlaceOf(root),
          "a prefab file is a JSON object: its component table, then \"prefab\" naming its base");
      return;
    }
    if (root.ObjectEmpty()) {
      Add(file.PlaceOf(root), "the prefab file is empty: it has no component table");
      return;
    }
    const auto& first = *root.MemberBegin();
    if (Text(first.name) == "prefab") {
      Add(file.PlaceOf(first.name),
          "the first member must be the component table; \"prefab\" comes after it");
    } else if (!first.value.IsObject()) {
      Add(file.PlaceOf(first.value),
          "the component table " + Quoted(Text(first.name)) + " is not a JSON object");
    }
    for (auto member = root.MemberBegin() + 1; member != root.MemberEnd(); ++member) {
      const std::string name = Text(member->name);
      if (name != "prefab") {
        Add(file.PlaceOf(member->name),
            "only the first member is the component table; " + Quoted(name) + " is ignored");
      } else if (!member->value.IsString()) {
        Add(file.PlaceOf(member->value), "\"prefab\" must be a string: the path of the base prefab file");
      }
    }
    ObjectView view;
    if (file.baseLink != nullptr)
      view = ChainView(file.PlaceOf(*file.baseLink), Text(*file.baseLink), kBaseLink);
    CheckCycle(file);
    if (file.table != nullptr) {
      const std::string owner = "component table " + Quoted(Text(root.MemberBegin()->name));
      CheckComponents(file, owner, *file.table, view, /*prefabTable=*/true);
    }
    CheckSheets(view);
  }

  // --- Levels --------------------------------------------------------------------

  void CheckLevel(DataFile& file) {
    const rapidjson::Value& root = file.text.document;
    if (!root.IsObject()) {
      Add(file.PlaceOf(root), "a level file is a JSON object of spaces");
      return;
    }
    std::vector<HeaderProblem> headerProblems;
    ReadLevelHeader(root, headerProblems);
    for (const HeaderProblem& problem : headerProblems) Add(file.PlaceOf(*problem.at), problem.message);
    LevelObjects objects;
    for (const auto& space : root.GetObject()) {
      const std::string spaceName = Text(space.name);
      if (spaceName == kLevelHeaderKey) continue;
      if (!space.value.IsObject()) {
        Add(file.PlaceOf(space.value), "space " + Quoted(spaceName) + " is not a JSON object of objects");
        continue;
      }
      for (const auto& object : space.value.GetObject()) {
        const std::string objectName = Text(object.name);
        if (!object.value.IsObject()) {
          Add(file.PlaceOf(object.value),
              "object " + Quoted(objectName) + " is not a JSON object of components");
          continue;
        }
        ObjectView view = CheckObject(file, "object " + Quoted(objectName), object.value);
        objects.emplace(std::pair(spaceName, objectName),
                        ObjectInfo{file.PlaceOf(object.name), std::move(view)});
      }
    }
    const Report report = [this](const Place& place, const std::string& message) { Add(place, message); };
    if (!file.relative.empty()) CheckRequiredObjects(file, objects, rules.required, report);
    CheckLevelNeeds(file, objects, rules, report);
  }

  ObjectView CheckObject(DataFile& file, const std::string& owner, const rapidjson::Value& entry) {
    ObjectView view;
    const auto prefab = entry.FindMember("prefab");
    if (prefab != entry.MemberEnd()) {
      if (prefab->value.IsString()) {
        view = ChainView(file.PlaceOf(prefab->value), Text(prefab->value), owner + " member \"prefab\"");
      } else {
        Add(file.PlaceOf(prefab->value), "\"prefab\" must be a string: the path of a prefab file");
      }
    }
    CheckComponents(file, owner, entry, view, /*prefabTable=*/false);
    CheckSheets(view);
    return view;
  }

  // --- Components ----------------------------------------------------------------

  // Checks the component entries of an object entry or a prefab's table, then lays
  // them over `view`.
  void CheckComponents(const DataFile& file, const std::string& owner, const rapidjson::Value& entry,
                       ObjectView& view, bool prefabTable) {
    for (const auto& component : entry.GetObject()) {
      const std::string typeName = Text(component.name);
      if (typeName == "prefab") {
        if (prefabTable) {
          Add(file.PlaceOf(component.name),
              "\"prefab\" inside a component table is ignored; a prefab names its base after its table");
        }
        continue;
      }
      const objects::TypeDescriptor* type = objects::GetTypeRegistry().TryFindType(typeName);
      if (type == nullptr) {
        Add(file.PlaceOf(component.name),
            "unknown component type " + Quoted(typeName) + Suggestion(typeName, TypeNames()));
        continue;
      }
      if (!component.value.IsObject()) {
        Add(file.PlaceOf(component.value), typeName + " is not a JSON object of member values");
        continue;
      }
      CheckImpliedFiles(file, component);
      for (const auto& member : component.value.GetObject()) {
        const std::string memberName = Text(member.name);
        const objects::MemberDescriptor* descriptor = TryFindMember(*type, memberName);
        if (descriptor == nullptr) {
          Add(file.PlaceOf(member.name), typeName + " has no member " + Quoted(memberName) +
                                             Suggestion(memberName, MemberNames(typeName)));
          continue;
        }
        const ValueRefusal refusal = CheckMemberValue(*descriptor, member.value);
        if (refusal.refused) {
          Add(file.PlaceOf(*refusal.at), typeName + " member " + memberName + " " + refusal.reason);
          continue;
        }
        CheckReference(file, owner, typeName, memberName, member.value);
        CheckName(file, typeName, memberName, member.value);
        CheckState(file, typeName, memberName, member.value);
        CheckScript(file, typeName, memberName, member.value);
      }
    }
    Merge(view, file, entry);
  }

  void Merge(ObjectView& view, const DataFile& file, const rapidjson::Value& entry) const {
    for (const auto& component : entry.GetObject()) {
      const std::string typeName = Text(component.name);
      const objects::TypeDescriptor* type = objects::GetTypeRegistry().TryFindType(typeName);
      if (typeName == "prefab" || type == nullptr || !component.value.IsObject()) continue;
      ComponentView& layer = view[typeName];
      layer.place = file.PlaceOf(component.name);
      for (const auto& member : component.value.GetObject()) {
        const objects::MemberDescriptor* descriptor = TryFindMember(*type, Text(member.name));
        if (descriptor == nullptr || member.value.IsNull() ||
            CheckMemberValue(*descriptor, member.value).refused) {
          continue;
        }
        layer.members[Text(member.name)] = {&member.value, file.PlaceOf(member.value)};
      }
    }
  }

  void CheckReference(const DataFile& file, const std::string& owner, const std::string& type,
                      const std::string& member, const rapidjson::Value& value) {
    if (!value.IsString() || value.GetStringLength() == 0) return;
    for (const FileReference& reference : rules.references) {
      if (reference.type != type || reference.member != member) continue;
      const std::string written = Text(value);
      const base::ResolvedPath resolved = Resolve(written);
      if (!resolved.Inside()) {
        Add(file.PlaceOf(value), owner + ", " + type + " member " + member + ": " + reference.what + " " +
                                     Quoted(written) + " " + resolved.reason + "; the loader refuses it");
        continue;
      }
      const fs::path path = resolved.path;
      const std::string why = WhyUnread(path, reference.what, Where());
      if (!why.empty()) Add(file.PlaceOf(value), reference.what + " " + Quoted(written) + " " + why);
    }
  }

  // A name the game does not know, with the nearest it knows, or all of them when
  // none is near.
  void CheckName(const DataFile& file, const std::string& type, const std::string& member,
                 const rapidjson::Value& value) {
    if (!value.IsString() || value.GetStringLength() == 0) return;
    const std::string name = Text(value);
    for (const NameRule& rule : rules.names) {
      if (rule.type != type || rule.member != member || rule.names.empty()) continue;
      if (std::find(rule.names.begin(), rule.names.end(), name) != rule.names.end()) continue;
      std::string hint = Suggestion(name, rule.names);
      if (hint.empty()) {
        for (const std::string& known : rule.names)
          hint += (hint.empty() ? "; the names are " : ", ") + known;
      }
      Add(file.PlaceOf(value), "unknown " + rule.what + " " + Quoted(name) + hint);
    }
  }

  // A state outside the game's table; the member's default is the file saying "none".
  void CheckState(const DataFile& file, const std::string& type, const std::string& member,
                  const rapidjson::Value& value) {
    if (!value.IsInt()) return;
    const int state = value.GetInt();
    for (const StateRule& rule : rules.states) {
      if (rule.type != type || rule.member != member || rule.names.empty()) continue;
      if ((state >= 0 && static_cast<std::size_t>(state) < rule.names.size()) ||
          DefaultInt(type, member) == state)
        continue;
      const std::size_t last = rule.names.size() - 1;
      Add(file.PlaceOf(value), type + " member " + member + " asks for state " + std::to_string(state) +
                                   ", but the game's states are 0 (" + rule.names.front() + ") to " +
                                   std::to_string(last) + " (" + rule.names.back() + ")");
    }
  }

  // Compiles each script a member names, once per file; a missing one is reported by
  // the file references.
  void CheckScript(const DataFile& file, const std::string& type, const std::string& member,
                   const rapidjson::Value& value) {
    if (!value.IsString() || value.GetStringLength() == 0) return;
    const std::string written = Text(value);
    for (const ScriptRule& rule : rules.scripts) {
      if (rule.type != type || rule.member != member || !rule.compile) continue;
      const base::ResolvedPath resolved = Resolve(written);
      if (!resolved.Inside() || !WhyUnread(resolved.path, "script", Where()).empty()) continue;
      const auto [compiled, first] = scriptErrors.try_emplace(Canonical(resolved.path).generic_string());
      if (first) compiled->second = rule.compile(resolved.path, NormalPath(written));
      if (compiled->second.empty()) continue;
      Add(file.PlaceOf(value),
          "script " + Quoted(written) + " does not compile: " + Printable(compiled->second));
    }
  }

  void CheckImpliedFiles(const DataFile& file, const rapidjson::Value::Member& component) {
    const std::string typeName = Text(component.name);
    for (const ImpliedFile& implied : rules.impliedFiles) {
      if (implied.type != typeName) continue;
      Place place = file.PlaceOf(component.name);
      std::string user = "a " + typeName;
      if (!implied.member.empty()) {
        const auto member = component.value.FindMember(implied.member.c_str());
        if (member == component.value.MemberEnd() || !member->value.IsString() ||
            Text(member->value) != implied.value) {
          continue;
        }
        place = file.PlaceOf(member->value);
        user = typeName + " with " + implied.member + " " + Quoted(implied.value);
      }
      const base::ResolvedPath resolved = Resolve(implied.path);
      const std::string why =
          resolved.Inside() ? WhyUnread(resolved.path, implied.what, Where()) : "does not exist " + Where();
      if (!why.empty())
        Add(place, implied.what + " " + Quoted(implied.path) + ", which " + user + " needs, " + why);
    }
  }

  // The value an Int member of a freshly made component has.
  std::optional<std::int32_t> DefaultInt(const std::string& typeName, const std::string& memberName) {
    const auto key = std::pair(typeName, memberName);
    const auto cached = defaults.find(key);
    if (cached != defaults.end()) return cached->second;
    std::optional<std::int32_t> value;
    const objects::TypeDescriptor* type = objects::GetTypeRegistry().TryFindType(typeName);
    const objects::MemberDescriptor* member = type != nullptr ? TryFindMember(*type, memberName) : nullptr;
    if (member != nullptr && member->type == objects::MemberType::Int) {
      std::unique_ptr<objects::BaseComponent> component(objects::CreateComponent(*type));
      value = *reinterpret_cast<const std::int32_t*>(reinterpret_cast<const unsigned char*>(component.get()) +
                                                     member->offset);
    }
    return defaults[key] = value;
  }

  // An Int member's value in the view, or its default; where it was given, or the
  // component's key when it was not.
  std::optional<std::pair<std::int64_t, Place>> IntOf(const ComponentView& component,
                                                      const std::string& typeName,
                                                      const std::string& memberName) {
    const auto given = component.members.find(memberName);
    if (given != component.members.end() && given->second.value->IsInt()) {
      return std::pair(std::int64_t{given->second.value->GetInt()}, given->second.place);
    }
    const std::optional<std::int32_t> fallback = DefaultInt(typeName, memberName);
    if (!fallback) return std::nullopt;
    return std::pair(std::int64_t{*fallback}, component.place);
  }

  void CheckSheets(const ObjectView& view) {
    for (const SheetRule& rule : rules.sheets) {
      const auto sheet = view.find(rule.sheetType);
      if (sheet == view.end()) continue;
      const auto rows = IntOf(sheet->second, rule.sheetType, rule.rows);
      const auto columns = IntOf(sheet->second, rule.sheetType, rule.columns);
      if (!rows || !columns) continue;
      bool usable = true;
      for (const auto& [size, name] : {std::pair(*rows, rule.rows), std::pair(*columns, rule.columns)}) {
        if (size.first > 0) continue;
        Add(size.second, rule.sheetType + " " + name + " is " + std::to_string(size.first) +
                             ": a sprite sheet needs at least one row and one column");
        usable = false;
      }
      const auto frameComponent = view.find(rule.frameType);
      if (!usable || frameComponent == view.end()) continue;
      const auto frame = frameComponent->second.members.find(rule.frame);
      if (frame == frameComponent->second.members.end() || !frame->second.value->IsInt()) continue;
      const std::int64_t index = frame->second.value->GetInt();
      const std::int64_t frames = rows->first * columns->first;
      if (index >= 0 && index < frames) continue;
      Add(frame->second.place, rule.frameType + " " + rule.frame + " " + std::to_string(index) +
                                   " is outside its sprite sheet: " + std::to_string(rows->first) + " x " +
                                   std::to_string(columns->first) + " gives frames 0 to " +
                                   std::to_string(frames - 1));
    }
  }
};

Validator::Validator(std::filesystem::path dataFolder, std::string shownDataFolder, ValidationRules rules)
    : impl_(std::make_unique<Impl>()) {
  impl_->dataFolder = Canonical(dataFolder);
  impl_->shownDataFolder = std::move(shownDataFolder);
  impl_->rules = std::move(rules);
  impl_->roots = {{impl_->dataFolder, impl_->shownDataFolder}};
}

Validator::~Validator() = default;

void Validator::CheckFile(const std::filesystem::path& path, const std::string& shown) {
  impl_->UseRootsFor(path, shown);
  impl_->Enqueue(impl_->Open(path, shown, impl_->ShapeByFolder(path)));
  impl_->Drain();
}

void Validator::CheckDataFolder() {
  for (const std::string& relative : DataFiles(impl_->dataFolder)) {
    CheckFile(impl_->dataFolder / relative, impl_->Shown(relative));
  }
  for (const std::string& relative : impl_->rules.loadedFiles) {
    if (Exists(impl_->dataFolder / relative)) continue;
    impl_->Add({impl_->Shown(relative), {1, 1}}, "the game loads this file by name, but it does not exist");
  }
}

std::vector<Problem> Validator::Problems() const {
  std::vector<Problem> problems;
  for (const auto& [file, line, column, message] : impl_->problems)
    problems.push_back({file, {line, column}, message});
  return problems;
}

std::size_t Validator::FilesChecked() const {
  return static_cast<std::size_t>(std::count_if(impl_->files.begin(), impl_->files.end(),
                                                [](const auto& entry) { return entry.second->queued; }));
}

std::size_t Validator::FilesWithProblems() const {
  std::set<std::string> files;
  for (const auto& problem : impl_->problems) files.insert(std::get<0>(problem));
  return files.size();
}

std::string FormatProblem(const Problem& problem) {
  return problem.file + ":" + std::to_string(problem.at.line) + ":" + std::to_string(problem.at.column) +
         ": " + problem.message;
}

std::string FormatSummary(const Validator& validator) {
  const std::size_t problems = validator.Problems().size();
  if (problems == 0) return "no problems in " + Plural(validator.FilesChecked(), "file");
  return Plural(problems, "problem") + " in " + Plural(validator.FilesWithProblems(), "file");
}

std::vector<std::string> DataFiles(const std::filesystem::path& dataFolder) {
  std::vector<std::string> found;
  for (const char* folder : {"Levels", "Menu", "Prefabs"}) {
    std::error_code error;
    for (fs::recursive_directory_iterator it(dataFolder / folder, error), end; !error && it != end;
         it.increment(error)) {
      if (!it->is_directory(error))
        found.push_back(it->path().lexically_relative(dataFolder).generic_string());
    }
  }
  std::sort(found.begin(), found.end());
  return found;
}

}  // namespace serialization
