// The data file validator: reads level, menu and prefab files as the loader would,
// but builds nothing and stops at nothing. Every problem of every file is collected
// with the line and column of the key or value at fault: malformed JSON, repeated
// names, unknown component types and members, values the loader refuses, prefab
// files that are missing, empty or loop, files that components name but the data
// folder lacks, frames outside their sprite sheet, the objects the game looks up by
// name, names and states a member must be one of, scripts that do not compile, and
// what a playable level needs. What a component's members mean (a picture, a sheet,
// a handler) and what the game needs come in as rules from the layers that know them.
#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
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

// A String member whose value must be one of a list of names (an empty value keeps
// the member's meaning of "none"): e.g. a collider's handler.
struct NameRule {
  std::string type;
  std::string member;
  std::string what;  // for messages: "collision handler"
  std::vector<std::string> names;
};

// An Int member that asks for a state: its value must be one of 0 .. names.size() - 1
// (or the member's default, which asks for none).
struct StateRule {
  std::string type;                // e.g. "UI"
  std::string member;              // e.g. "gmHolder"
  std::vector<std::string> names;  // the name of each state, by number
};

// Script files and how to compile one without running it.
struct ScriptRule {
  std::string type;    // e.g. "Script"
  std::string member;  // String member naming the script, e.g. "filename"
  // Compiles the file at `path`; empty when it compiles, else the error naming the
  // script as `name` ("LuaScripts/Bad.lua:3: '=' expected near 'end'").
  std::function<std::string(const std::filesystem::path& path, const std::string& name)> compile;
};

// Buttons get their actions from the game by object name: in `space` of `file`
// (relative to the data folder), the objects it wires.
struct WiredButtons {
  std::string file;
  std::string space;
  std::vector<std::string> objects;
};

// What a level needs to be played, and which levels are played: the game's own, by
// file and space, and every level file checked from outside the data folder (a
// custom level, whose level space is the one holding the player).
struct PlayableLevelRules {
  struct BuiltIn {
    std::string file;  // relative to the data folder
    std::string space;
    int starGoal = 0;
  };
  std::vector<BuiltIn> builtIn;
  // The objects of the level space, the player first (file and space are unused).
  // The game's own levels have them listed in ValidationRules::required as well.
  std::vector<RequiredObject> objects;
  std::string starType;  // a component that makes its object a star
  // The exit: an object with one of these components whose `exitMember` is `exitHandler`.
  std::vector<std::string> exitTypes;
  std::string exitMember;
  std::string exitHandler;
  // Custom levels: their spaces sort (byte-wise) before this one, where the game's
  // screens and menus start, and take none of the game's own space names.
  std::string firstScreenSpace;
  std::vector<std::string> gameSpaces;
};

// A component that works only beside others on its object: the engine leaves it
// idle without them (a Sprite draws nothing without its SpriteSource).
struct SiblingRule {
  std::string type;
  std::vector<std::string> needs;
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
  std::vector<NameRule> names;
  std::vector<StateRule> states;
  std::vector<ScriptRule> scripts;
  std::vector<SiblingRule> siblings;
  // In these spaces, and anywhere in a playable level, a button the game does not
  // wire does nothing when clicked.
  std::vector<WiredButtons> buttons;
  std::string buttonType;       // the component they wire, e.g. "Button"
  PlayableLevelRules playable;  // none when its objects are empty
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
  // the data folder is read as a prefab, any other as a level. A file outside the
  // data folder is a custom level: the paths in it and in its prefabs lead from its
  // own folder first, then from the data folder, and it must be playable.
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
