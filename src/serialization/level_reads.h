// Which data files the level loader read: each LoadLevel that succeeds reports its
// level file and the prefab files it applied, so that dev mode can watch exactly the
// files a running game was built from.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace objects {
class SpaceRegistry;
}

namespace serialization {

// One successful LoadLevel.
struct LevelRead {
  const objects::SpaceRegistry* registry = nullptr;  // the registry the load filled; not owned
  std::string file;                                  // the level file, as given to LoadLevel
  // Every prefab file the load asked for (also one it could not open, so that creating
  // it can be noticed), each once, in first-use order, as the loader opened it: the
  // name in the file resolved inside the data folder (base::ResolveDataPath).
  std::vector<std::string> prefabs;
};

// Called after every LoadLevel that returns true; empty (the default) calls nothing.
// One hook for the process: installing another replaces it.
using LevelReadHook = std::function<void(const LevelRead&)>;
void SetLevelReadHook(LevelReadHook hook);

// The loader's side. A recorder lives for one LoadLevel; prefab files noted while it
// is the innermost recorder are its own. Finish reports to the hook; a recorder
// destroyed without Finish (the load threw) reports nothing.
class LevelReadRecorder {
 public:
  LevelReadRecorder(const objects::SpaceRegistry* registry, std::string file);
  ~LevelReadRecorder();
  LevelReadRecorder(const LevelReadRecorder&) = delete;
  LevelReadRecorder& operator=(const LevelReadRecorder&) = delete;

  void Finish();

 private:
  friend void NotePrefabRead(const std::string& path);

  LevelRead read_;
  LevelReadRecorder* outer_;
};

// Notes a prefab file for the LoadLevel running; nothing outside a LoadLevel.
void NotePrefabRead(const std::string& path);

}  // namespace serialization
