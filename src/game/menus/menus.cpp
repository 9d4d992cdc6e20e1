// The overlay pages over a level, run from the page table: loading and wiring
// their spaces, opening and closing them by their roles, the pause toggle and the
// window's exit question.
#include "game/menus/menus.h"

#include <vector>

#include "audio/sound_system.h"
#include "base/log.h"
#include "components/button.h"
#include "game/blocks.h"
#include "game/menus/menu_cursor.h"
#include "game/menus/menu_pages.h"
#include "game/names.h"
#include "game/session.h"
#include "graphics/graphics.h"
#include "graphics/sprite.h"
#include "input/input.h"
#include "objects/space_registry.h"
#include "serialization/serializer.h"

namespace game {
namespace {

// Music volumes in decibels: down while an overlay is open, back up on resume.
constexpr float kMusicDownDb = -96.0f;
constexpr float kMusicUpDb = 1.0f;

constexpr int kSwitchOn = 0;
constexpr int kSwitchOff = 1;

// The Level1 intro step from which its level plays.
constexpr int kIntroLetsGo = 5;

// A page of the table as loaded: its space and its buttons, in the row's order.
// The spaces own what the pointers point at and live for the whole run; a null
// pointer means "not loaded" (or missing from its file).
struct LoadedPage {
  objects::Space* space = nullptr;
  std::vector<components::Button*> buttons;
};

// Everything the menus keep: one entry a row of MenuPages().
struct MenuState {
  std::vector<LoadedPage> pages;
  objects::Space* logos = nullptr;
};

MenuState& Menus() { return GameBlock<MenuState>(); }

// The index of the row of `space`, or -1.
int PageIndex(std::string_view space) {
  const std::vector<MenuPage>& rows = MenuPages();
  for (std::size_t i = 0; i < rows.size(); ++i) {
    if (rows[i].space == space) return static_cast<int>(i);
  }
  return -1;
}

LoadedPage* Loaded(std::string_view space) {
  const int index = PageIndex(space);
  std::vector<LoadedPage>& pages = Menus().pages;
  return index >= 0 && index < static_cast<int>(pages.size()) ? &pages[index] : nullptr;
}

// Calls `visit(row, loaded)` for every loaded page.
template <typename Visit>
void ForEachPage(Visit visit) {
  const std::vector<MenuPage>& rows = MenuPages();
  std::vector<LoadedPage>& pages = Menus().pages;
  for (std::size_t i = 0; i < pages.size() && i < rows.size(); ++i) visit(rows[i], pages[i]);
}

void SetActive(LoadedPage& page, bool active) {
  if (page.space != nullptr) page.space->SetActive(active);
}

// Shows or hides every page of one role.
void SetRoleActive(PageRole role, bool active) {
  ForEachPage([role, active](const MenuPage& row, LoadedPage& page) {
    if (row.role == role) SetActive(page, active);
  });
}

void HideAllPages() {
  ForEachPage([](const MenuPage&, LoadedPage& page) { SetActive(page, false); });
}

// The pause menu's buttons: all of them clickable, or all but those that stay
// clickable under a question greyed out.
void SetPauseButtonsClickable(bool clickable) {
  ForEachPage([clickable](const MenuPage& row, LoadedPage& page) {
    if (row.role != PageRole::kPauseMenu) return;
    for (std::size_t i = 0; i < page.buttons.size(); ++i) {
      if (page.buttons[i] != nullptr && (clickable || !row.buttons[i].clickableUnderQuestion)) {
        page.buttons[i]->canClick = clickable;
      }
    }
  });
}

// The first loaded page of a role; null when none is.
objects::Space* RoleSpace(PageRole role) {
  objects::Space* found = nullptr;
  ForEachPage([role, &found](const MenuPage& row, LoadedPage& page) {
    if (found == nullptr && row.role == role) found = page.space;
  });
  return found;
}

void SetMusic(float volumeDb) {
  if (audio::Audio().musicOn) audio::SetMusicVolume(volumeDb);
}

objects::Space* LevelSpace() { return objects::FindSpace(Session().currentLevelSpace); }

// Overlays open and close together with the menu flag; the paused flag follows it,
// so that a close of the window over an open pause menu cannot leave play paused.
void SetMenuOpen(bool open) {
  Session().menuOpen = open;
  Session().gamePaused = open;
}

void WireButtons(const MenuPage& row, LoadedPage& page) {
  page.buttons.assign(row.buttons.size(), nullptr);
  for (std::size_t i = 0; i < row.buttons.size(); ++i) {
    const PageButton& wiring = row.buttons[i];
    std::shared_ptr<objects::GameObject> object = page.space->FindObject(wiring.object).lock();
    auto* button = object != nullptr ? object->GetComponent<components::Button>("Button") : nullptr;
    if (button == nullptr) {
      base::LogError("menus", std::string(row.file) + ": space \"" + row.space + "\" has no object \"" +
                                  wiring.object + "\" with a Button; it does nothing");
      continue;
    }
    button->action = wiring.action;
    page.buttons[i] = button;
  }
}

// Loads the page of `row` unless its space is there already; true when it loaded
// it now (an inactive space with its cursor and wired buttons).
bool LoadPage(const MenuPage& row, LoadedPage& page) {
  page.space = objects::FindSpace(row.space);
  if (page.space != nullptr) return false;
  serialization::Serializer serializer(&objects::GetSpaceRegistry());
  if (!serializer.LoadLevel(row.file)) {
    base::LogError("menus", std::string(row.file) + ": cannot open the menu file; its overlay is missing");
  }
  page.space = objects::FindSpace(row.space);
  if (page.space != nullptr) {
    page.space->SetActive(false);
    AddMenuCursor(*page.space, row.firstChoice, row.backChoice);
    WireButtons(row, page);
    if (row.onLoad != nullptr) row.onLoad(*page.space);
  }
  return true;
}

// The overlay whose buttons the keyboard works: the one drawn on top, the victory
// screen included (the pause menu opens over it).
objects::Space* TopmostOverlay() {
  objects::Space* top = nullptr;
  auto consider = [&top](objects::Space* space) {
    if (space != nullptr && space->IsActive() && (top == nullptr || space->GetName() > top->GetName())) {
      top = space;
    }
  };
  ForEachPage([&consider](const MenuPage&, LoadedPage& page) { consider(page.space); });
  consider(objects::FindSpace(names::kVictorySpace));
  return top;
}

}  // namespace

void InitMenus(const std::string& levelSpace) {
  Session().currentLevelSpace = levelSpace;
  MenuState& m = Menus();
  m.pages.resize(MenuPages().size());
  m.logos = objects::FindSpace(names::kLogosSpace);
  bool loadedAny = false;
  ForEachPage([&loadedAny](const MenuPage& row, LoadedPage& page) { loadedAny |= LoadPage(row, page); });
  if (loadedAny) ShowSwitchesAsSet();
}

objects::Space* PageSpace(std::string_view space) {
  LoadedPage* page = Loaded(space);
  return page != nullptr ? page->space : nullptr;
}

components::Button* PageButtonOf(std::string_view space, std::string_view object) {
  const MenuPage* row = FindMenuPage(space);
  LoadedPage* page = Loaded(space);
  if (row == nullptr || page == nullptr) return nullptr;
  for (std::size_t i = 0; i < row->buttons.size() && i < page->buttons.size(); ++i) {
    if (row->buttons[i].object == object) return page->buttons[i];
  }
  return nullptr;
}

bool HavePage(std::string_view space) {
  if (PageSpace(space) != nullptr) return true;
  const MenuPage* row = FindMenuPage(space);
  base::LogErrorOnce("menus", "the overlay " + std::string(space) + " (" +
                                  (row != nullptr ? row->file : "no file") +
                                  ") is not loaded; the button does nothing");
  return false;
}

void OpenPausePage(std::string_view space) {
  if (!HavePage(space)) return;
  PageSpace(space)->SetActive(true);
  SetRoleActive(PageRole::kPauseMenu, false);
}

void AskOverPauseMenu(std::string_view space) {
  if (!HavePage(space)) return;
  SetPauseButtonsClickable(false);
  SetRoleActive(PageRole::kPausePage, false);
  PageSpace(space)->SetActive(true);
}

void BackToPauseMenu() {
  SetRoleActive(PageRole::kPausePage, false);
  SetRoleActive(PageRole::kPauseQuestion, false);
  SetPauseButtonsClickable(true);
  SetRoleActive(PageRole::kPauseMenu, true);
}

void ResumePlay() {
  HideAllPages();
  if (Menus().logos != nullptr) Menus().logos->SetPaused(false);
  SetMenuOpen(false);
  Session().pausedFromMinimize = false;
  SetPauseButtonsClickable(true);
  // An ended level stays paused behind its victory screen.
  objects::Space* level = LevelSpace();
  if (level != nullptr && !Session().level.levelEnded) level->SetPaused(false);
  SetMusic(kMusicUpDb);
}

void TogglePauseMenu() {
  GameSession& session = Session();
  ShowMenuCursorOnly(TopmostOverlay());
  const bool minimised = session.pauseRequested && !session.pausedFromMinimize && !session.menuOpen;
  // A controller's B goes back a page where the page has a way back; elsewhere it
  // opens and closes the pause menu as Start and Escape do.
  const bool back = input::IsKeyTriggered(platform::kVkPadB);
  if (back && session.menuOpen && PressMenuBack(TopmostOverlay())) {
    ShowMenuCursorOnly(TopmostOverlay());
    return;
  }
  const bool toggle =
      input::IsKeyTriggered(platform::kVkEscape) || input::IsKeyTriggered(platform::kVkPadStart) || back;
  if (!toggle && !minimised) return;
  if (RoleSpace(PageRole::kPauseMenu) == nullptr) return;
  bool fromMinimize = session.pausedFromMinimize;
  if (session.pauseRequested) {
    session.pauseRequested = false;
    fromMinimize = true;
  }
  SetPauseMenuOpen(!session.menuOpen, fromMinimize);
}

void OpenPauseMenu() {
  if (!Session().menuOpen) SetPauseMenuOpen(true, false);
}

void SetPauseMenuOpen(bool opening, bool fromMinimize) {
  GameSession& session = Session();
  HideAllPages();
  SetRoleActive(PageRole::kPauseMenu, opening);
  session.pausedFromMinimize = opening ? fromMinimize : false;
  // Whatever closed the pause menu's exit question, its buttons come back.
  SetPauseButtonsClickable(true);

  // Opening pauses the level, closing lets it play again: an ended level stays
  // paused behind its victory screen, and Level1 stays paused while its intro holds
  // it (the intro lets go at the end of its fourth step).
  objects::Space* level = LevelSpace();
  const bool ended = session.level.levelEnded;
  const bool introHolds =
      session.currentLevelSpace == names::kLevel1 && session.level.introStage < kIntroLetsGo;
  if (level != nullptr && !ended) level->SetPaused(opening || introHolds);
  if (Menus().logos != nullptr) Menus().logos->SetPaused(opening);
  SetMusic(opening ? kMusicDownDb : kMusicUpDb);
  SetMenuOpen(opening);
  ShowMenuCursorOnly(TopmostOverlay());
}

CloseAnswer ShowWindowExitPrompt() {
  objects::Space* windowExit = RoleSpace(PageRole::kWindowQuestion);
  if (windowExit == nullptr) return CloseAnswer::kQuit;
  objects::Space* pauseExit = RoleSpace(PageRole::kPauseQuestion);
  if (pauseExit != nullptr && pauseExit->IsActive()) return CloseAnswer::kIgnored;
  // A second close while the question shows asks nothing new.
  if (windowExit->IsActive()) return CloseAnswer::kShowingQuestion;
  HideAllPages();
  windowExit->SetActive(true);
  if (objects::Space* level = LevelSpace()) level->SetPaused(true);
  SetMusic(kMusicDownDb);
  SetMenuOpen(true);
  ShowMenuCursorOnly(windowExit);
  return CloseAnswer::kShowingQuestion;
}

void ShowSwitch(const char* object, bool on) {
  objects::Space* options = PageSpace(names::kPauseOptions);
  if (options == nullptr) return;
  std::shared_ptr<objects::GameObject> found = options->FindObject(object).lock();
  auto* sprite = found != nullptr ? found->GetComponent<graphics::Sprite>("Sprite") : nullptr;
  if (sprite != nullptr) sprite->frameIndex = on ? kSwitchOn : kSwitchOff;
}

void ShowSwitchesAsSet() {
  ShowSwitch(names::kMusicSwitch, audio::Audio().musicOn);
  ShowSwitch(names::kSfxSwitch, audio::Audio().sfxOn);
  ShowSwitch(names::kScreenSwitch, Session().fullScreen);
}

void ToggleFullScreen() {
  GameSession& session = Session();
  ShowSwitch(names::kScreenSwitch, !session.fullScreen);
  graphics::SetFullScreen(!session.fullScreen);
  session.fullScreen = !session.fullScreen;
}

}  // namespace game
