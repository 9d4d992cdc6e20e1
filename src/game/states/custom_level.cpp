#include "game/states/custom_level.h"

#include <set>
#include <stdexcept>
#include <vector>

#include "audio/sound_system.h"
#include "base/data_path.h"
#include "base/game_states.h"
#include "base/log.h"
#include "game/blocks.h"
#include "game/custom_level_check.h"
#include "game/game_states.h"
#include "game/level_logic.h"
#include "game/menus/custom_levels_page.h"
#include "game/menus/menus.h"
#include "game/names.h"
#include "game/session.h"
#include "game/states/levels.h"
#include "objects/space_registry.h"
#include "serialization/json_file.h"
#include "serialization/level_header.h"
#include "serialization/serializer.h"

namespace game {
namespace {

namespace fs = std::filesystem;

struct CustomLevelState {
  fs::path file;      // the level file being played; empty when none is
  std::string shown;  // how messages name it
  AfterCustomLevel after = AfterCustomLevel::kQuit;
  serialization::LevelHeader header;
  std::string levelSpace;           // the space that holds "Player"
  std::vector<std::string> spaces;  // every space read from the file, removed at the end
  bool failed = false;              // the file did not load; the state leaves at once
  fs::path requested;               // asked for by a button, started at the next level frame
  bool restartRequested = false;
  // Next asked for the page: opened at the next level frame, so that the click that
  // pressed Next does not also press the page's button under it.
  bool pageRequested = false;
};

CustomLevelState& Custom() { return GameBlock<CustomLevelState>(); }

// The file's name for messages: "folder/level.json" for a level of the custom
// levels folder, the path as given otherwise.
std::string ShownName(const fs::path& file) {
  const fs::path folder = file.parent_path();
  if (folder.parent_path() == CustomLevelsFolder()) return (folder.filename() / file.filename()).string();
  return file.string();
}

// The first of the problems the data file validator finds in the level and what it
// uses, as "FILE:LINE:COLUMN: message"; empty when it can be played. Fills `header`.
std::string CheckLevelFile(const fs::path& file, const std::string& shown,
                           serialization::LevelHeader& header) {
  const std::vector<serialization::Problem> problems = CheckCustomLevel(file, shown);
  if (!problems.empty()) return serialization::FormatProblem(problems.front());
  // The check read the file whole and found the header sound; this reads its values.
  serialization::JsonText text;
  std::string error;
  if (serialization::ReadJsonFile(file.string(), text, error) != serialization::JsonFileResult::Parsed)
    return shown + ": cannot read the level file again: " + error;
  std::vector<serialization::HeaderProblem> ignored;
  header = serialization::ReadLevelHeader(text.document, ignored);
  return {};
}

void RemoveLevelSpaces() {
  for (const std::string& name : Custom().spaces) objects::GetSpaceRegistry().RemoveSpace(name);
  Custom().spaces.clear();
  Custom().levelSpace.clear();
  base::DataPaths().Reset();
}

// Reads the file's spaces into the registry; false (with the message said) when it
// cannot be played after all.
bool LoadLevelSpaces() {
  CustomLevelState& custom = Custom();
  if (custom.file.empty()) {
    base::LogError("custom level",
                   "the custom level state was asked for without a level file; it is entered "
                   "with --level FILE or from the Custom levels page");
    return false;
  }
  LookBesideTheLevel(custom.file);
  std::set<std::string> before;
  for (const auto& [name, space] : objects::GetSpaceRegistry().GetSpaces()) before.insert(name);
  try {
    serialization::Serializer serializer(&objects::GetSpaceRegistry());
    if (!serializer.LoadLevel(custom.file.string())) throw std::runtime_error("cannot open the level file");
    for (const auto& [name, space] : objects::GetSpaceRegistry().GetSpaces()) {
      if (before.count(name) != 0) continue;
      custom.spaces.push_back(name);
      if (!space->FindObject(names::kPlayer).expired()) custom.levelSpace = name;
    }
    if (custom.levelSpace.empty()) throw std::runtime_error("no space has an object \"Player\"");
    PrepareLevelSpace(*objects::FindSpace(custom.levelSpace), custom.shown);
    return true;
  } catch (const std::exception& error) {
    base::LogError("custom level", custom.shown + ": " + error.what() + "; it is not played");
    RemoveLevelSpaces();
    return false;
  }
}

void StartMusicIfSilent() {
  if (audio::Audio().musicChannel != audio::kNoChannel) return;
  const float origin[2] = {0.0f, 0.0f};
  audio::Audio().musicChannel = audio::PlaySound(names::kMusic, origin, 0.0f);
  if (!audio::Audio().musicOn) audio::SetMusicVolume(-96.0f);
}

// Starts the level of `custom.file` in the running custom level state: its old
// spaces go, the file is read again, and it begins as on a first entry.
void StartInPlace() {
  RemoveLevelSpaces();
  CustomLevelLoad();
  CustomLevelInit();
}

}  // namespace

void LookBesideTheLevel(const fs::path& file) { base::DataPaths().roots = {file.parent_path(), fs::path()}; }

std::string StartCustomLevel(const fs::path& file, AfterCustomLevel after) {
  const fs::path absolute = fs::absolute(file).lexically_normal();
  const std::string shown = ShownName(absolute);
  serialization::LevelHeader header;
  const std::string problem = CheckLevelFile(absolute, shown, header);
  if (!problem.empty()) return problem;
  CustomLevelState& custom = Custom();
  custom.file = absolute;
  custom.shown = shown;
  custom.after = after;
  custom.header = header;
  if (base::States().current == kCustomLevel) {
    StartInPlace();
  } else {
    base::States().next = kCustomLevel;
  }
  return {};
}

void RequestCustomLevel(const fs::path& file) { Custom().requested = file; }

void StartRequestedCustomLevel() {
  CustomLevelState& custom = Custom();
  if (custom.restartRequested) {
    custom.restartRequested = false;
    StartInPlace();
  }
  if (custom.pageRequested) {
    custom.pageRequested = false;
    OpenCustomLevelsPage();
  }
  if (custom.requested.empty()) return;
  const fs::path file = std::move(custom.requested);
  custom.requested.clear();
  const std::string problem = StartCustomLevel(file, AfterCustomLevel::kPageBack);
  if (!problem.empty()) {
    base::LogError("custom level", problem);
    ShowCustomLevelProblem(problem);
    return;
  }
  ResumePlay();
}

void RestartCustomLevel() { Custom().restartRequested = true; }

void LeaveCustomLevel() {
  if (Custom().after == AfterCustomLevel::kQuit) {
    base::States().next = base::kQuitState;
  } else {
    Custom().pageRequested = true;
  }
}

const fs::path& PlayedCustomLevel() { return Custom().file; }

void CustomLevelLoad() { Custom().failed = !LoadLevelSpaces(); }

void CustomLevelInit() {
  CustomLevelState& custom = Custom();
  if (custom.failed) return;
  InitPlayedLevel(custom.levelSpace, custom.header.starGoal, custom.header.timeGoal);
  // Left during Level1's intro, the logos' black screen would stay over the level.
  if (objects::Space* logos = objects::FindSpace(names::kLogosSpace)) logos->SetActive(false);
  Session().closeWithoutPrompt = false;
  ActivateEveryObject(custom.levelSpace);
  StartMusicIfSilent();
}

void CustomLevelUpdate(float dt) {
  if (Custom().failed) {
    // A level from the page goes back to the first level, whose pause menu leads to
    // the page again; one from the command line ends the game. Entered without a file
    // (a UI asking for the state by number), the game goes on in the first level.
    const bool quit = Custom().after == AfterCustomLevel::kQuit && !Custom().file.empty();
    base::States().next = quit ? base::kQuitState : kLevel1;
    return;
  }
  LevelUpdate(dt);
}

void CustomLevelUnload() {
  RemoveLevelSpaces();
  Custom().file.clear();
}

}  // namespace game
