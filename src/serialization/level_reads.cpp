// The level-read hook and the recorders that feed it.
#include "serialization/level_reads.h"

#include <algorithm>
#include <utility>

namespace serialization {
namespace {

struct LevelReads {
  LevelReadHook hook;
  LevelReadRecorder* innermost = nullptr;  // the LoadLevel running, if any
};

LevelReads& Reads() {
  static LevelReads reads;
  return reads;
}

}  // namespace

void SetLevelReadHook(LevelReadHook hook) { Reads().hook = std::move(hook); }

LevelReadRecorder::LevelReadRecorder(const objects::SpaceRegistry* registry, std::string file)
    : outer_(Reads().innermost) {
  read_.registry = registry;
  read_.file = std::move(file);
  Reads().innermost = this;
}

LevelReadRecorder::~LevelReadRecorder() { Reads().innermost = outer_; }

void LevelReadRecorder::Finish() {
  // Copied first: the hook may load files itself, or replace itself.
  const LevelReadHook hook = Reads().hook;
  if (hook) hook(read_);
}

void NotePrefabRead(const std::string& path) {
  LevelReadRecorder* recorder = Reads().innermost;
  if (recorder == nullptr) return;
  std::vector<std::string>& prefabs = recorder->read_.prefabs;
  if (std::find(prefabs.begin(), prefabs.end(), path) == prefabs.end()) prefabs.push_back(path);
}

}  // namespace serialization
