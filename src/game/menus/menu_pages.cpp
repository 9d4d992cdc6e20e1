// The page table's rows for the pause menu, its pages and the exit questions, and
// their buttons' actions.
#include "game/menus/menu_pages.h"

#include <algorithm>
#include <array>
#include <string>

#include "audio/sound_system.h"
#include "base/game_states.h"
#include "components/button.h"
#include "game/blocks.h"
#include "game/menus/custom_levels_page.h"
#include "game/menus/menus.h"
#include "game/names.h"
#include "game/session.h"
#include "game/settings.h"
#include "graphics/sprite.h"
#include "graphics/sprite_source.h"
#include "objects/space.h"

namespace game {
namespace {

constexpr base::XMFLOAT4 kShown{1.0f, 1.0f, 1.0f, 1.0f};
constexpr base::XMFLOAT4 kHidden{1.0f, 1.0f, 1.0f, 0.0f};

constexpr int kCreditsPages = 8;
constexpr const char* kCreditsImage = "a_Credits";
constexpr const char* kCreditsLeft = "c_ButtonLeft";
constexpr const char* kCreditsRight = "c_ButtonRight";

// The credits page showing, 0..kCreditsPages - 1.
struct CreditsState {
  int page = 0;
};

CreditsState& Credits() { return GameBlock<CreditsState>(); }

void OnExitQuestion() { AskOverPauseMenu(names::kPauseExit); }
void OnOptions() { OpenPausePage(names::kPauseOptions); }
void OnHowToPlay() { OpenPausePage(names::kPauseHowToPlay); }
void OnQuit() { base::States().next = base::kQuitState; }

void OnScreenToggle() {
  ToggleFullScreen();
  StoreFullScreen(Session().fullScreen);
}

void OnMusicToggle() {
  bool& on = audio::Audio().musicOn;
  on = !on;
  ShowSwitch(names::kMusicSwitch, on);
  StoreMusic(on);
}

void OnSfxToggle() {
  bool& on = audio::Audio().sfxOn;
  on = !on;
  ShowSwitch(names::kSfxSwitch, on);
  StoreSfx(on);
}

template <typename T>
T* CreditsComponent(const char* object, const char* type) {
  objects::Space* credits = PageSpace(names::kPauseCredits);
  std::shared_ptr<objects::GameObject> found =
      credits != nullptr ? credits->FindObject(object).lock() : nullptr;
  return found != nullptr ? found->GetComponent<T>(type) : nullptr;
}

// An arrow button that can be clicked shows its arrow; one that cannot hides it.
void SetArrow(const char* object, bool shown) {
  if (components::Button* button = PageButtonOf(names::kPauseCredits, object)) button->canClick = shown;
  if (auto* arrow = CreditsComponent<graphics::Sprite>(object, "Sprite"))
    arrow->colour = shown ? kShown : kHidden;
}

void ShowCreditsPage(int page) {
  Credits().page = std::clamp(page, 0, kCreditsPages - 1);
  auto* image = CreditsComponent<graphics::SpriteSource>(kCreditsImage, "SpriteSource");
  if (image == nullptr) return;
  image->image = "images/PauseMenus/Credits/pause_credits_Page" + std::to_string(Credits().page) + ".png";
  image->LoadImage(image->image);
}

void OnCredits() {
  if (!HavePage(names::kPauseCredits)) return;
  ShowCreditsPage(0);
  SetArrow(kCreditsLeft, false);
  SetArrow(kCreditsRight, true);
  OpenPausePage(names::kPauseCredits);
}

void OnCreditsLeft() {
  const int page = Credits().page;
  if (page <= 0) return;  // the page index stays within the list
  if (page == kCreditsPages - 1) {
    SetArrow(kCreditsRight, true);
  } else if (page == 1) {
    SetArrow(kCreditsLeft, false);
  }
  ShowCreditsPage(page - 1);
}

void OnCreditsRight() {
  const int page = Credits().page;
  if (page >= kCreditsPages - 1) return;
  if (page == 0) {
    SetArrow(kCreditsLeft, true);
  } else if (page == kCreditsPages - 2) {
    SetArrow(kCreditsRight, false);
  }
  ShowCreditsPage(page + 1);
}

std::vector<MenuPage> GamePages() {
  using enum PageRole;
  return {
      {names::kPauseMenu,
       names::kPauseMenuFile,
       kPauseMenu,
       "c_ButtonResume",
       "",
       {{"c_ButtonResume", &ResumePlay, "closes the pause menu: back to play"},
        {"c_ButtonExit", &OnExitQuestion, "asks whether to quit"},
        {"c_ButtonOption", &OnOptions, "opens the options page"},
        {"c_ButtonCredits", &OnCredits, "opens the credits"},
        {"c_ButtonHTP", &OnHowToPlay, "opens the how-to-play page", true},
        {"c_ButtonCustom", &OnCustomLevels, "opens the custom levels page"}},
       {}},
      {names::kPauseOptions,
       names::kPauseOptionsFile,
       kPausePage,
       names::kMusicSwitch,
       "c_ButtonBack",
       {{"c_ButtonBack", &BackToPauseMenu, "back to the pause menu"},
        {names::kMusicSwitch, &OnMusicToggle, "switches the music on or off"},
        {names::kSfxSwitch, &OnSfxToggle, "switches the sound effects on or off"},
        {names::kScreenSwitch, &OnScreenToggle, "switches between full screen and a window"}},
       {}},
      {names::kPauseExit,
       names::kPauseExitFile,
       kPauseQuestion,
       "c_ButtonNo",
       "c_ButtonNo",
       {{"c_ButtonYes", &OnQuit, "quits the game"},
        {"c_ButtonNo", &BackToPauseMenu, "back to the pause menu"}},
       {}},
      {names::kWindowExit,
       names::kWindowExitFile,
       kWindowQuestion,
       "c_WButtonNo",
       "c_WButtonNo",
       {{"c_WButtonYes", &OnQuit, "quits the game"}, {"c_WButtonNo", &ResumePlay, "back to play"}},
       {}},
      {names::kPauseCredits,
       names::kPauseCreditsFile,
       kPausePage,
       kCreditsRight,
       "c_ButtonBack",
       {{kCreditsLeft, &OnCreditsLeft, "the previous credits page"},
        {kCreditsRight, &OnCreditsRight, "the next credits page"},
        {"c_ButtonBack", &BackToPauseMenu, "back to the pause menu"}},
       {{kCreditsImage, {"SpriteSource"}}, {kCreditsLeft, {"Sprite"}}, {kCreditsRight, {"Sprite"}}}},
      {names::kPauseHowToPlay,
       names::kPauseHowToPlayFile,
       kPausePage,
       "c_ButtonBack",
       "c_ButtonBack",
       {{"c_ButtonBack", &BackToPauseMenu, "back to the pause menu"}},
       {}},
      {names::kPauseCustomLevels,
       names::kPauseCustomLevelsFile,
       kPausePage,
       "c_ButtonPlay",
       "c_ButtonBack",
       {{"c_ButtonLeft", &OnCustomLevelPrevious, "shows the previous level folder"},
        {"c_ButtonRight", &OnCustomLevelNext, "shows the next level folder"},
        {"c_ButtonPlay", &OnCustomLevelPlay, "plays the level shown, or shows its first problem"},
        {"c_ButtonBack", &BackToPauseMenu, "back to the pause menu"}},
       {{"b_Preview", {"SpriteSource"}}},
       &AddCustomLevelsText},
  };
}

// The table as the game starts with it; a reset of the game's blocks brings it back.
struct PageTable {
  std::vector<MenuPage> rows = GamePages();
};

}  // namespace

std::vector<MenuPage>& MenuPages() { return GameBlock<PageTable>().rows; }

const MenuPage* FindMenuPage(std::string_view space) {
  for (const MenuPage& page : MenuPages()) {
    if (page.space == space) return &page;
  }
  return nullptr;
}

int CreditsPage() { return Credits().page; }

}  // namespace game
