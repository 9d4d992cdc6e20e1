// The live reload watcher: the files it watches, the reload of level files through a
// scratch registry, the objects a new version drops, and the pictures of the sprite
// sources.
#include "core/live_reload.h"

#include <exception>
#include <filesystem>
#include <iostream>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include <rapidjson/document.h>

#include "base/data_path.h"
#include "base/file_watch.h"
#include "base/log.h"
#include "graphics/sprite_source.h"
#include "graphics/texture_cache.h"
#include "objects/space_registry.h"
#include "serialization/json_file.h"
#include "serialization/level_reads.h"
#include "serialization/serializer.h"

namespace core {
namespace {

namespace fs = std::filesystem;

constexpr const char* kTag = "reload";

// The key a file is known by, whatever spelling of its path a load used.
std::string Normal(const std::string& path) { return fs::path(path).lexically_normal().generic_string(); }

std::string Text(const rapidjson::Value& value) {
  return std::string(value.GetString(), value.GetStringLength());
}

// Space name -> names of the objects a level file gives that space.
using FileObjects = std::map<std::string, std::set<std::string>>;

// The spaces and objects a level file names, as the loader reads them: the first
// root member of each name, object entries only.
FileObjects ObjectsNamedBy(const std::string& file) {
  FileObjects result;
  rapidjson::Document document;
  std::string error;
  if (serialization::ReadJsonFile(file, document, error) != serialization::JsonFileResult::Parsed ||
      !document.IsObject()) {
    return result;
  }
  // Through a const view: clang finds comparing a mutable member iterator ambiguous.
  for (const auto& space : std::as_const(document).GetObject()) {
    const std::string spaceName = Text(space.name);
    if (!space.value.IsObject() || result.count(spaceName) != 0) continue;
    std::set<std::string>& names = result[spaceName];
    for (const auto& object : space.value.GetObject()) names.insert(Text(object.name));
  }
  return result;
}

// A prefab file a reload can apply: the loader skips (with a report) one that cannot
// be opened or is not a JSON object, which would load the level without it.
bool PrefabReadable(const std::string& path) {
  rapidjson::Document document;
  std::string error;
  switch (serialization::ReadJsonFile(path, document, error)) {
    case serialization::JsonFileResult::NotOpened:
      base::LogError(kTag, path + ": cannot be opened; the files that use it keep the old version");
      return false;
    case serialization::JsonFileResult::Malformed:
      base::LogError(
          kTag, path + ": not well-formed JSON " + error + " The files that use it keep the old version.");
      return false;
    case serialization::JsonFileResult::Refused:
      base::LogError(kTag, path + " " + error + "; the files that use it keep the old version");
      return false;
    case serialization::JsonFileResult::Parsed:
      break;
  }
  if (document.IsObject()) return true;
  base::LogError(kTag, path + ": the root is not a JSON object; the files that use it keep the old version");
  return false;
}

using base::FileStamp;

struct LevelFile {
  std::string path;                  // as the loader was given it
  FileStamp stamp;                   // of the version last loaded or tried
  std::vector<std::string> prefabs;  // normal paths of the prefab files it used
  FileObjects objects;               // what the version last loaded names
};

struct PrefabFile {
  std::string path;  // as a level file named it first
  FileStamp stamp;
};

}  // namespace

struct LiveReload::Watch {
  Watch(objects::SpaceRegistry& liveRegistry, Clock& watchClock)
      : registry(liveRegistry), files([&watchClock] { return watchClock.NowNanoseconds(); }) {}

  void OnLevelRead(const serialization::LevelRead& read);
  void CheckNow();
  bool LoadsInScratch(const std::string& path);
  void ReloadLevel(LevelFile& level);
  void TakeOutDropped(LevelFile& level, const FileObjects& before);
  void CheckPictures();
  // path: as the sources name the picture; file: where it leads inside the data folder.
  void ReloadPicture(const std::string& path, const std::string& file,
                     const std::vector<graphics::SpriteSource*>& users);

  objects::SpaceRegistry& registry;
  base::FileWatcher files;  // on the watcher's clock
  HeldObjectTest held = nullptr;
  std::map<std::string, LevelFile> levels;    // by normal path
  std::map<std::string, PrefabFile> prefabs;  // by normal path
  std::map<std::string, FileStamp> pictures;  // by the path the sprite sources loaded
  // Objects reloads took out of their spaces, alive until the watcher ends.
  std::vector<std::shared_ptr<objects::GameObject>> retired;
};

void LiveReload::Watch::OnLevelRead(const serialization::LevelRead& read) {
  if (read.registry != &registry) return;  // a scratch load, or a state's own registry
  LevelFile& level = levels[Normal(read.file)];
  level.path = read.file;
  level.stamp = base::StampOf(read.file);
  level.objects = ObjectsNamedBy(read.file);
  level.prefabs.clear();
  for (const std::string& prefab : read.prefabs) {
    const std::string key = Normal(prefab);
    level.prefabs.push_back(key);
    // A prefab already watched keeps its stamp: a change not yet seen still reaches
    // every other file that uses it.
    prefabs.try_emplace(key, PrefabFile{prefab, base::StampOf(prefab)});
  }
}

void LiveReload::Watch::CheckNow() {
  files.LookAgain();
  std::set<std::string> due;
  for (const auto& [key, level] : levels) {
    if (files.Look(level.path).stamp != level.stamp) due.insert(key);
  }
  for (auto& [key, prefab] : prefabs) {
    const FileStamp now = files.Look(prefab.path).stamp;
    if (now == prefab.stamp) continue;
    prefab.stamp = now;
    if (!PrefabReadable(prefab.path)) continue;
    for (const auto& [levelKey, level] : levels) {
      for (const std::string& used : level.prefabs) {
        if (used == key) due.insert(levelKey);
      }
    }
  }
  // A reload adds entries to `levels` only under keys that exist already (its own).
  for (const std::string& key : due) ReloadLevel(levels.at(key));
  CheckPictures();
}

bool LiveReload::Watch::LoadsInScratch(const std::string& path) {
  objects::SpaceRegistry scratch;
  serialization::Serializer serializer(&scratch);
  try {
    if (serializer.LoadLevel(path)) return true;
    base::LogError(kTag, path + ": cannot be opened; the running version stays");
  } catch (const std::exception& error) {
    base::LogError(kTag, path + ": not reloaded, the running version stays: " + error.what());
  }
  return false;
}

void LiveReload::Watch::ReloadLevel(LevelFile& level) {
  // Tried once per version: a broken file is reported once, and its fix is a new version.
  level.stamp = base::StampOf(level.path);
  if (!LoadsInScratch(level.path)) return;
  const FileObjects before = level.objects;
  serialization::Serializer serializer(&registry);
  try {
    // Refreshes `level` through the level-read hook.
    serializer.LoadLevel(level.path);
  } catch (const std::exception& error) {
    // The same text loaded in the scratch registry: the file changed in between.
    base::LogError(kTag, level.path + ": reloaded only in part: " + error.what());
    return;
  }
  TakeOutDropped(level, before);
  std::cout << "reloaded " << level.path << std::endl;
}

void LiveReload::Watch::TakeOutDropped(LevelFile& level, const FileObjects& before) {
  for (const auto& [spaceName, names] : before) {
    objects::Space* space = registry.FindSpace(spaceName);
    if (space == nullptr) continue;
    const auto kept = level.objects.find(spaceName);
    for (const std::string& name : names) {
      if (kept != level.objects.end() && kept->second.count(name) != 0) continue;
      if (held != nullptr && held(spaceName, name)) {
        base::LogError(
            kTag, level.path + ": object \"" + name + "\" of space \"" + spaceName +
                      "\" is no longer in the file, but the game holds it: it stays until the game restarts");
        // Still counted as the file's, so that the next reload says so again.
        level.objects[spaceName].insert(name);
        continue;
      }
      if (std::shared_ptr<objects::GameObject> object = space->RemoveObject(name))
        retired.push_back(std::move(object));
    }
  }
}

void LiveReload::Watch::CheckPictures() {
  // A source whose picture failed to load is watched by the file it names, so that
  // the picture shows once the file is there.
  std::map<std::string, std::vector<graphics::SpriteSource*>> users;
  for (const auto& [spaceName, space] : registry.GetSpaces()) {
    for (const auto& [objectName, object] : space->GetObjects()) {
      auto* source = object->GetComponent<graphics::SpriteSource>("SpriteSource");
      if (source == nullptr) continue;
      const std::string& path = source->LoadedImage().empty() ? source->image : source->LoadedImage();
      if (!path.empty()) users[path].push_back(source);
    }
  }
  for (const auto& [path, sources] : users) {
    // The picture's file as the sources open it; one that leads out of the data
    // folder is not looked at (its sources have said so and show nothing).
    const base::ResolvedPath file = base::ResolveDataPath(path);
    if (!file.Inside()) continue;
    const FileStamp now = files.Look(file.path).stamp;
    const auto [known, added] = pictures.try_emplace(path, now);
    if (added || known->second == now) continue;
    known->second = now;
    ReloadPicture(path, file.path, sources);
  }
}

void LiveReload::Watch::ReloadPicture(const std::string& path, const std::string& file,
                                      const std::vector<graphics::SpriteSource*>& users) {
  // Loaded once, before any user lets its old texture go: a broken picture leaves the
  // old textures, and the users then take this version from the cache, not decoding it
  // again.
  const std::shared_ptr<const graphics::Texture> changed = graphics::LoadSharedTexture(file);
  if (changed == nullptr) {
    base::LogError(kTag, path + ": not reloaded, the old picture stays");
    return;
  }
  for (graphics::SpriteSource* source : users) source->LoadImage(path);
  std::cout << "reloaded " << path << std::endl;
}

LiveReload::LiveReload(objects::SpaceRegistry& registry, Clock& clock)
    : watch_(std::make_unique<Watch>(registry, clock)) {
  serialization::SetLevelReadHook(
      [watch = watch_.get()](const serialization::LevelRead& read) { watch->OnLevelRead(read); });
}

LiveReload::~LiveReload() { serialization::SetLevelReadHook(nullptr); }

void LiveReload::SetHeldObjects(HeldObjectTest test) { watch_->held = test; }

void LiveReload::Poll() {
  if (!watch_->files.Due()) return;
  CheckNow();
}

void LiveReload::CheckNow() {
  try {
    watch_->CheckNow();
  } catch (const std::exception& error) {
    // Dev mode's own trouble (out of memory, a file system error) never ends the game.
    base::LogError(kTag, std::string("the check of the watched files stopped: ") + error.what());
  }
}

}  // namespace core
