// The game's names in its data, gathered from the constants and tables its code uses.
#include "game/data_requirements.h"

#include "game/menus/menu_pages.h"
#include "game/names.h"

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
  for (const char* file : {names::kVictoryFile, names::kTimerFile, names::kPlayerTestFile})
    files.emplace_back(file);
  return files;
}

std::vector<serialization::RequiredObject> RequiredObjects() {
  std::vector<serialization::RequiredObject> required;
  // The level states hold on to the player's Transform and empty the star counter.
  for (const LevelFile& level : kPlayedLevels) {
    required.push_back({level.file, level.space, names::kPlayer, {"Transform"}});
    required.push_back({level.file, level.space, names::kUi, {"PlayerUI", "Pool"}});
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

}  // namespace game
