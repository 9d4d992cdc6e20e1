// The rule for every path a data file or a script gives (a prefab, a picture, a
// sound, a script): it is looked up inside the game's data roots and never outside.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace base {

// The folders data files are looked up in, in order: the first root that holds a
// named file serves it, and a name no root holds leads into the first one (where
// opening it then fails as "no such file"). An empty path is the working directory,
// which start-up makes the game's data folder.
struct DataPathBlock {
  std::vector<std::filesystem::path> roots{std::filesystem::path()};

  // Only the working directory (tests).
  void Reset() { *this = DataPathBlock{}; }
};

// The one block of the process.
DataPathBlock& DataPaths();

enum class PathVerdict {
  kInside,        // path names the file to open
  kNoName,        // the name is empty, or holds a NUL byte
  kAbsolute,      // it starts with "/"
  kClimbsOut,     // its ".." steps climb above the root
  kLinkLeadsOut,  // a symbolic link on the way leads out of the root
};

struct ResolvedPath {
  PathVerdict verdict = PathVerdict::kNoName;
  // The file to open, "/" separated, "." and ".." steps resolved: under the working
  // directory relative to it ("Prefabs/Star.txt"), else the root joined with it.
  // Empty when refused.
  std::string path;
  // When refused, why, to follow the name in a message: "is an absolute path".
  std::string reason;

  bool Inside() const { return verdict == PathVerdict::kInside; }
};

// Resolves a name as a data file or a script wrote it. Looks at the file system
// (symbolic links are followed to see where they lead) but opens nothing. Never
// throws for a bad name; a root that does not exist is passed over.
ResolvedPath ResolveDataPath(std::string_view written);
// The same under the given roots instead of the block's (a validator checking a data
// folder that is not the working directory).
ResolvedPath ResolveDataPath(std::string_view written, const std::vector<std::filesystem::path>& roots);

}  // namespace base
