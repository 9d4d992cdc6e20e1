#include "game/menus/custom_levels_page.h"

#include <algorithm>
#include <system_error>

#include "base/user_folders.h"
#include "game/blocks.h"
#include "game/menus/label.h"
#include "game/menus/menus.h"
#include "game/names.h"
#include "game/session.h"
#include "game/states/custom_level.h"
#include "graphics/sprite_source.h"
#include "objects/space.h"
#include "serialization/json_file.h"
#include "serialization/level_header.h"

namespace game {
namespace {

namespace fs = std::filesystem;

constexpr const char* kLevelFileName = "level.json";
constexpr const char* kPreviewFileName = "preview.png";
constexpr const char* kNoPreview = "images/PauseMenus/CustomLevels/no_preview.png";
constexpr const char* kEmptyList = "images/PauseMenus/CustomLevels/empty_list.png";
constexpr const char* kPreview = "b_Preview";
constexpr const char* kNameLabel = "name";
constexpr const char* kStatusLabels[] = {"status0", "status1"};
constexpr int kStatusCapacity = 72;

// The font's white glyphs tinted to the panel's ink, and a problem in dark red.
constexpr base::XMFLOAT4 kInk{0.13f, 0.16f, 0.33f, 1.0f};
constexpr base::XMFLOAT4 kProblemColour{0.72f, 0.12f, 0.1f, 1.0f};

// What the page shows: the folders as read when it opened, and which one.
struct PageState {
  std::vector<CustomLevelFolder> levels;
  std::size_t selected = 0;
};

PageState& Page() { return GameBlock<PageState>(); }

objects::Space* PageSpace() { return game::PageSpace(names::kPauseCustomLevels); }

// The header's name, or empty when the file has none (or cannot be read: the
// page says why when it is played).
std::string HeaderName(const fs::path& file) {
  serialization::JsonText text;
  std::string error;
  if (serialization::ReadJsonFile(file.string(), text, error) != serialization::JsonFileResult::Parsed)
    return {};
  std::vector<serialization::HeaderProblem> problems;
  return serialization::ReadLevelHeader(text.document, problems).name;
}

void ShowStatus(const std::string& text, const base::XMFLOAT4& colour) {
  objects::Space* page = PageSpace();
  if (page == nullptr) return;
  const std::vector<std::string> lines = WrapText(text, kStatusCapacity, std::size(kStatusLabels));
  for (std::size_t i = 0; i < std::size(kStatusLabels); ++i) {
    SetLabelColour(*page, kStatusLabels[i], colour);
    ShowLabel(*page, kStatusLabels[i], i < lines.size() ? lines[i] : std::string());
  }
}

void ShowPreview(const std::string& file, bool dataPicture) {
  objects::Space* page = PageSpace();
  std::shared_ptr<objects::GameObject> preview =
      page != nullptr ? page->FindObject(kPreview).lock() : nullptr;
  auto* source = preview != nullptr ? preview->GetComponent<graphics::SpriteSource>("SpriteSource") : nullptr;
  if (source == nullptr) return;
  if (dataPicture) {
    source->image = file;
    source->LoadImage(file);
  } else {
    source->ShowFile(file);
  }
}

void ShowSelected() {
  objects::Space* page = PageSpace();
  if (page == nullptr) return;
  const PageState& state = Page();
  if (state.levels.empty()) {
    ShowPreview(kEmptyList, true);
    ShowLabel(*page, kNameLabel, "");
    ShowStatus("Put a level folder in " + CustomLevelsFolder().string(), kInk);
    return;
  }
  const CustomLevelFolder& level = state.levels[state.selected];
  if (level.preview.empty()) {
    ShowPreview(kNoPreview, true);
  } else {
    ShowPreview(level.preview.string(), false);
  }
  ShowLabel(*page, kNameLabel, level.name);
  ShowStatus("Level " + std::to_string(state.selected + 1) + " of " + std::to_string(state.levels.size()),
             kInk);
}

void Select(std::size_t index) {
  PageState& state = Page();
  if (state.levels.empty()) return;
  state.selected = index % state.levels.size();
  ShowSelected();
}

}  // namespace

fs::path CustomLevelsFolder() { return base::UserFolderPath(base::UserFolder::kLevels); }

std::vector<CustomLevelFolder> FindCustomLevels(const fs::path& levels) {
  std::vector<CustomLevelFolder> found;
  std::error_code error;
  for (const fs::directory_entry& entry : fs::directory_iterator(levels, error)) {
    const fs::path file = entry.path() / kLevelFileName;
    if (!entry.is_directory(error) || !fs::is_regular_file(file, error)) continue;
    CustomLevelFolder level{file, {}, HeaderName(file)};
    if (fs::is_regular_file(entry.path() / kPreviewFileName, error))
      level.preview = entry.path() / kPreviewFileName;
    if (level.name.empty()) level.name = entry.path().filename().string();
    found.push_back(std::move(level));
  }
  std::sort(found.begin(), found.end(),
            [](const CustomLevelFolder& a, const CustomLevelFolder& b) { return a.file < b.file; });
  return found;
}

void AddCustomLevelsText(objects::Space& page) {
  AddLabel(page, kNameLabel, {.x = 0.0f, .y = -4.583f, .height = 1.8f, .capacity = 36, .colour = kInk});
  AddLabel(page, kStatusLabels[0],
           {.x = 0.0f, .y = -6.667f, .height = 1.0f, .capacity = kStatusCapacity, .colour = kInk});
  AddLabel(page, kStatusLabels[1],
           {.x = 0.0f, .y = -7.833f, .height = 1.0f, .capacity = kStatusCapacity, .colour = kInk});
}

void OnCustomLevels() {
  if (!HavePage(names::kPauseCustomLevels)) return;
  PageState& state = Page();
  const fs::path current = state.levels.empty() ? fs::path() : state.levels[state.selected].file;
  state.levels = FindCustomLevels(CustomLevelsFolder());
  // Coming back to the page keeps the level chosen last, if it is still there.
  const auto again =
      std::find_if(state.levels.begin(), state.levels.end(),
                   [&current](const CustomLevelFolder& level) { return level.file == current; });
  state.selected = again != state.levels.end() ? static_cast<std::size_t>(again - state.levels.begin()) : 0;
  ShowSelected();
  OpenPausePage(names::kPauseCustomLevels);
}

void OnCustomLevelPrevious() { Select(Page().selected + Page().levels.size() - 1); }
void OnCustomLevelNext() { Select(Page().selected + 1); }

void OnCustomLevelPlay() {
  const PageState& state = Page();
  if (state.levels.empty()) return;
  ShowStatus("Starting...", kInk);
  RequestCustomLevel(state.levels[state.selected].file);
}

void OpenCustomLevelsPage() {
  OpenPauseMenu();
  OnCustomLevels();
}

void ShowCustomLevelProblem(const std::string& problem) { ShowStatus(problem, kProblemColour); }

}  // namespace game
