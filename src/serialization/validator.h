// The data file validator: reads level, menu and prefab files as the loader would,
// but builds nothing and stops at nothing. Every problem of every file is collected
// with the line and column of the key or value at fault: malformed JSON, repeated
// names, unknown component types and members, values the loader refuses, prefab
// files that are missing, empty or loop, files that components name but the data
// folder lacks, frames outside their sprite sheet, and the objects the game looks up
// by name. What a component's members mean (a picture, a sheet) and what the game
// needs come in as rules from the layers that know them.
#pragma once

#include <cstddef>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "serialization/json_file.h"
#include "serialization/level_rules.h"

namespace serialization {

struct Problem {
  std::string file;  // as the validator was told to show it
  TextPosition at;   // 1, 1 for a problem of the file as a whole
  std::string message;
};

// A file under the data folder that a component uses without naming it (a sound it
// plays): for every component of `type`, or, when `member` is set, for those whose
// member holds `value`.
struct ImpliedFile {
  std::string type;
  std::string member;
  std::string value;
  std::string path;  // relative to the data folder
  std::string what;  // for messages: "sound"
};

// A sprite sheet of rows x columns frames and the member that picks one of them.
struct SheetRule {
  std::string sheetType;  // e.g. "SpriteSource"
  std::string rows;       // Int member, e.g. "numrows"
  std::string columns;    // Int member, e.g. "numcols"
  std::string frameType;  // e.g. "Sprite"
  std::string frame;      // Int member, e.g. "frame_index"
};

// Something the game looks up by name in a file it loads: the space, the object in
// it, and the components the object must have.
struct RequiredObject {
  std::string file;  // relative to the data folder, e.g. "Levels/Level1.txt"
  std::string space;
  std::string object;  // empty: only the space is required
  std::vector<std::string> components;
};

struct ValidationRules {
  std::vector<FileReference> references;
  std::vector<ImpliedFile> impliedFiles;
  std::vector<SheetRule> sheets;
  std::vector<RequiredObject> required;
  // Files the game loads by name, relative to the data folder. They are read as
  // levels wherever they are (the level timer sits under Prefabs/), and in a check
  // of the whole data folder a missing one is a problem.
  std::vector<std::string> loadedFiles;
};

class Validator {
 public:
  // `dataFolder` is where paths inside files lead; `shownDataFolder` is how problem
  // lines name it (e.g. "data"). Component types come from the reflection registry,
  // which must be filled.
  Validator(std::filesystem::path dataFolder, std::string shownDataFolder, ValidationRules rules);
  ~Validator();
  Validator(const Validator&) = delete;
  Validator& operator=(const Validator&) = delete;

  // Checks one file and the prefab files it leads to, each file once. `path` is
  // where to read it; `shown` how problem lines name it. A file under Prefabs/ of
  // the data folder is read as a prefab, any other as a level.
  void CheckFile(const std::filesystem::path& path, const std::string& shown);
  // Checks every file under Levels/, Menu/ and Prefabs/ of the data folder, and that
  // every file the game loads by name is there.
  void CheckDataFolder();

  // Grouped by file name, by position within a file.
  std::vector<Problem> Problems() const;
  std::size_t FilesChecked() const;
  std::size_t FilesWithProblems() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// "FILE:LINE:COLUMN: message".
std::string FormatProblem(const Problem& problem);
// "3 problems in 2 files", "1 problem in 1 file", "no problems in 27 files".
std::string FormatSummary(const Validator& validator);

// Every file under Levels/, Menu/ and Prefabs/ of the data folder (whatever its kind:
// a FIFO there is a problem to report), relative to it, "/" separated, in name order.
std::vector<std::string> DataFiles(const std::filesystem::path& dataFolder);

}  // namespace serialization
