// The custom levels page of the pause menu: the level folders under the player's
// levels folder, one at a time with its name and preview, browsed with the arrows
// and played with Play. A level that cannot be played shows its first problem on
// the page instead of starting.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace objects {
class Space;
}

namespace game {

// A level folder: "<levels>/<folder>/level.json", its optional "preview.png", and
// the name the page shows (its header's, else the folder's).
struct CustomLevelFolder {
  std::filesystem::path file;
  std::filesystem::path preview;  // empty when the folder has none
  std::string name;
};

// $XDG_DATA_HOME/velmaris/levels (see base::UserFolder::kLevels).
std::filesystem::path CustomLevelsFolder();

// The folders of `levels` that hold a level.json, in name order; none when the
// folder is missing or cannot be read.
std::vector<CustomLevelFolder> FindCustomLevels(const std::filesystem::path& levels);

// The pause menu's "Custom levels" button: the page, the list read anew.
void OnCustomLevels();
void OnCustomLevelPrevious();
void OnCustomLevelNext();
void OnCustomLevelPlay();
// Makes the page's preview and text lines (the page's load hook).
void AddCustomLevelsText(objects::Space& page);

// Over a custom level that has ended: the pause menu opened on the page.
void OpenCustomLevelsPage();
// Shows why the chosen level did not start.
void ShowCustomLevelProblem(const std::string& problem);

}  // namespace game
