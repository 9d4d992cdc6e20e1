// The game's names in its data, gathered from the constants and tables its code uses.
#include "game/data_requirements.h"

#include <string_view>
#include <utility>

#include "core/data_file_rules.h"
#include "game/game_states.h"
#include "game/menus/menu_pages.h"
#include "game/names.h"
#include "serialization/level_header.h"

namespace game {
namespace {

struct LevelFile {
  const char* file;
  const char* space;
};

constexpr LevelFile kPlayedLevels[] = {
    {names::kLevel1File, names::kLevel1},
    {names::kLevel2File, names::kLevel2},
    {names::kLevel3File, names::kLevel3},
    {names::kLevelWinFile, names::kLevelWin},
};

constexpr LevelFile kTransitions[] = {
    {names::kLevel1TransitionFile, names::kLevel1Transition},
    {names::kLevel2TransitionFile, names::kLevel2Transition},
};

// The objects the level states look up in a level's space.
const std::vector<serialization::RequiredObject>& LevelObjects() {
  static const std::vector<serialization::RequiredObject> objects{
      {"", "", names::kPlayer, {"Transform"}},
      {"", "", names::kUi, {"PlayerUI", "Pool"}},
  };
  return objects;
}

void AddSprites(std::vector<serialization::RequiredObject>& required, const char* file, const char* space,
                std::initializer_list<const char*> objects) {
  for (const char* object : objects) required.push_back({file, space, object, {"Sprite"}});
}

}  // namespace

std::vector<std::string> FilesLoadedByName() {
  std::vector<std::string> files;
  for (const LevelFile& level : kPlayedLevels) files.emplace_back(level.file);
  for (const LevelFile& transition : kTransitions) files.emplace_back(transition.file);
  files.emplace_back(names::kLogosFile);
  for (const MenuPage& page : MenuPages()) files.emplace_back(page.file);
  for (const char* file : {names::kVictoryFile, names::kEndFile, names::kTimerFile, names::kPlayerTestFile})
    files.emplace_back(file);
  return files;
}

std::vector<serialization::RequiredObject> RequiredObjects() {
  std::vector<serialization::RequiredObject> required;
  // The level states hold on to the player's Transform and empty the star counter.
  for (const LevelFile& level : kPlayedLevels) {
    for (serialization::RequiredObject object : LevelObjects()) {
      object.file = level.file;
      object.space = level.space;
      required.push_back(std::move(object));
    }
  }
  for (const LevelFile& transition : kTransitions)
    required.push_back({transition.file, transition.space, "", {}});

  // The level timer shows its digits and the limit mark.
  for (const char* cell : names::kTimerCells)
    required.push_back({names::kTimerFile, names::kTimerSpace, cell, {"Sprite"}});
  required.push_back({names::kTimerFile, names::kTimerSpace, names::kTimerMax, {"Sprite"}});

  // The victory screen rates the level with its marks and arms its two buttons.
  required.push_back({names::kVictoryFile, names::kVictorySpace, names::kVictoryBackground, {}});
  AddSprites(required, names::kVictoryFile, names::kVictorySpace,
             {names::kShrine, names::kMarkLevel, names::kMarkStars, names::kMarkTime});
  for (const char* button : {names::kButtonNext, names::kButtonRestart}) {
    required.push_back({names::kVictoryFile, names::kVictorySpace, button, {"Button", "Sprite"}});
  }

  // The end screen shows a rating picture a level and wires its two buttons.
  required.push_back({names::kEndFile, names::kEndSpace, names::kEndBackground, {}});
  for (const char* rating : names::kEndRatings)
    required.push_back({names::kEndFile, names::kEndSpace, rating, {"Sprite"}});
  for (const char* button : {names::kButtonPlayAgain, names::kButtonQuit})
    required.push_back({names::kEndFile, names::kEndSpace, button, {"Button"}});

  // The logo sequence fades every picture and moves the last logo.
  AddSprites(required, names::kLogosFile, names::kLogosSpace,
             {names::kWhiteScreen, names::kLogoPellmar, names::kLogoLibraries, names::kBlackScreen,
              names::kWelcome0, names::kWelcome1});
  required.push_back({names::kLogosFile, names::kLogosSpace, names::kLogoCorvaneT, {"Sprite", "Transform"}});

  // The pages' buttons get their actions by name; their other pieces are read.
  for (const MenuPage& page : MenuPages()) {
    for (const PageButton& button : page.buttons)
      required.push_back({page.file, page.space, button.object, {"Button"}});
    for (const PagePiece& piece : page.pieces) {
      required.push_back(
          {page.file, page.space, piece.object, {piece.components.begin(), piece.components.end()}});
    }
  }
  return required;
}

namespace {

// The buttons the game gives actions to, by object name: the pages', the victory
// screen's and the end screen's.
std::vector<serialization::WiredButtons> WiredButtons() {
  std::vector<serialization::WiredButtons> wired{
      {names::kVictoryFile, names::kVictorySpace, {names::kButtonNext, names::kButtonRestart}},
      {names::kEndFile, names::kEndSpace, {names::kButtonPlayAgain, names::kButtonQuit}}};
  for (const MenuPage& page : MenuPages()) {
    serialization::WiredButtons row{page.file, page.space, {}};
    for (const PageButton& button : page.buttons) row.objects.emplace_back(button.object);
    wired.push_back(std::move(row));
  }
  return wired;
}

// The names of the game's spaces, which a custom level must not take.
std::vector<std::string> GameSpaces() {
  std::vector<std::string> spaces;
  for (const LevelFile& level : kPlayedLevels) spaces.emplace_back(level.space);
  for (const LevelFile& transition : kTransitions) spaces.emplace_back(transition.space);
  for (const char* screen : {names::kTimerSpace, names::kVictorySpace, names::kEndSpace, names::kLogosSpace})
    spaces.emplace_back(screen);
  for (const MenuPage& page : MenuPages()) spaces.emplace_back(page.space);
  spaces.emplace_back(GameStateName(kMenuTestSpace));
  return spaces;
}

serialization::PlayableLevelRules PlayableLevels() {
  serialization::PlayableLevelRules playable;
  // The game's own levels play with the goals a level without a header has.
  const int starGoal = serialization::LevelHeader{}.starGoal;
  for (const LevelFile& level : kPlayedLevels) {
    if (std::string_view(level.file) != names::kLevelWinFile)
      playable.builtIn.push_back({level.file, level.space, starGoal});
  }
  playable.objects = LevelObjects();
  playable.starType = "Star";
  playable.exitTypes = {"CircleCollider", "BoxCollider"};
  playable.exitMember = "handler";
  playable.exitHandler = "nextLevelTrigger";
  // The level timer is the first of the screens drawn over a level.
  playable.firstScreenSpace = names::kTimerSpace;
  playable.gameSpaces = GameSpaces();
  return playable;
}

}  // namespace

serialization::ValidationRules DataFileRules() {
  serialization::ValidationRules rules = core::EngineValidationRules();
  rules.required = RequiredObjects();
  rules.loadedFiles = FilesLoadedByName();
  rules.buttons = WiredButtons();
  rules.buttonType = "Button";
  serialization::StateRule states{"UI", "gmHolder", {}};
  for (int state = 0; state < kUiStateCount; ++state) states.names.emplace_back(GameStateName(state));
  rules.states.push_back(std::move(states));
  rules.playable = PlayableLevels();
  return rules;
}

}  // namespace game
