// The pause menu, its pages and the exit questions: loading and wiring the overlay
// spaces, opening and closing them, and the button actions.
#include "game/menus/menus.h"

#include <algorithm>
#include <array>
#include <vector>

#include "audio/sound_system.h"
#include "base/game_states.h"
#include "base/log.h"
#include "components/button.h"
#include "game/menus/menu_cursor.h"
#include "game/names.h"
#include "game/session.h"
#include "game/settings.h"
#include "graphics/graphics.h"
#include "graphics/sprite.h"
#include "graphics/sprite_source.h"
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
constexpr base::XMFLOAT4 kShown{1.0f, 1.0f, 1.0f, 1.0f};
constexpr base::XMFLOAT4 kHidden{1.0f, 1.0f, 1.0f, 0.0f};

constexpr int kCreditsPages = 8;
// The Level1 intro step from which its level plays.
constexpr int kIntroLetsGo = 5;

// The overlay spaces in the order they are looked up and loaded.
enum Overlay { kPause, kOptions, kPauseExit, kWindowExit, kCredits, kHowToPlay, kOverlayCount };

struct OverlayFile {
  const char* space;
  const char* file;
  const char* firstChoice;  // the button the keyboard starts on; exit questions start on No
};
constexpr std::array<OverlayFile, kOverlayCount> kOverlayFiles{{
    {names::kPauseMenu, names::kPauseMenuFile, "c_ButtonResume"},
    {names::kPauseOptions, names::kPauseOptionsFile, "c_ButtonMusicToggle"},
    {names::kPauseExit, names::kPauseExitFile, "c_ButtonNo"},
    {names::kWindowExit, names::kWindowExitFile, "c_WButtonNo"},
    {names::kPauseCredits, names::kPauseCreditsFile, "c_ButtonRight"},
    {names::kPauseHowToPlay, names::kPauseHowToPlayFile, "c_ButtonBack"},
}};

// The pause menu's buttons that the exit question greys out and Back restores.
enum PauseButton { kResume, kExit, kOption, kCreditsButton, kHowToPlayButton, kPauseButtonCount };

// Everything the menus keep. The spaces own what the pointers point at and live
// for the whole run; a null pointer means "not loaded" (or missing from its file).
struct MenuState {
  std::array<objects::Space*, kOverlayCount> overlays{};
  objects::Space* logos = nullptr;
  std::array<components::Button*, kPauseButtonCount> pauseButtons{};
  components::Button* creditsLeft = nullptr;
  components::Button* creditsRight = nullptr;
  graphics::Sprite* leftArrow = nullptr;
  graphics::Sprite* rightArrow = nullptr;
  graphics::SpriteSource* creditsImage = nullptr;
  std::array<std::string, kCreditsPages> creditsList;
  int creditsPage = 0;
};

MenuState& Menus() {
  static MenuState state;
  return state;
}

objects::Space* OverlaySpace(Overlay overlay) { return Menus().overlays[overlay]; }

// An action reached an overlay that is not there: said once, then nothing happens.
bool Have(Overlay overlay) {
  if (OverlaySpace(overlay) != nullptr) return true;
  base::LogErrorOnce("menus", std::string("the overlay ") + kOverlayFiles[overlay].space + " (" +
                                  kOverlayFiles[overlay].file + ") is not loaded; the button does nothing");
  return false;
}

void SetOverlayActive(Overlay overlay, bool active) {
  if (objects::Space* space = OverlaySpace(overlay)) space->SetActive(active);
}

void SetClickable(components::Button* button, bool clickable) {
  if (button != nullptr) button->canClick = clickable;
}

void SetPauseButtonsClickable(bool clickable) {
  for (components::Button* button : Menus().pauseButtons) SetClickable(button, clickable);
}

void SetArrow(components::Button* button, graphics::Sprite* arrow, bool shown) {
  SetClickable(button, shown);
  if (arrow != nullptr) arrow->colour = shown ? kShown : kHidden;
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

// Shows frame `frame` on the switch `object` of the options page.
void ShowSwitch(const char* object, int frame) {
  objects::Space* options = OverlaySpace(kOptions);
  if (options == nullptr) return;
  std::shared_ptr<objects::GameObject> found = options->FindObject(object).lock();
  auto* sprite = found != nullptr ? found->GetComponent<graphics::Sprite>("Sprite") : nullptr;
  if (sprite != nullptr) sprite->frameIndex = frame;
}

// The options page shows the switches as the player left them (settings of an
// earlier run, a --windowed start), not as its file draws them.
void ShowSwitchesAsSet() {
  auto frameOf = [](bool on) { return on ? kSwitchOn : kSwitchOff; };
  ShowSwitch("c_ButtonMusicToggle", frameOf(audio::Audio().musicOn));
  ShowSwitch("c_ButtonSFXToggle", frameOf(audio::Audio().sfxOn));
  ShowSwitch("c_ButtonScreenToggle", frameOf(Session().fullScreen));
}

void ShowCreditsPage(int page) {
  MenuState& menus = Menus();
  menus.creditsPage = std::clamp(page, 0, kCreditsPages - 1);
  graphics::SpriteSource* image = menus.creditsImage;
  if (image == nullptr) return;
  image->image = menus.creditsList[menus.creditsPage];
  image->LoadImage(image->image);
}

// One row of the wiring table: which button gets which action, and where the
// menus keep a pointer to it.
struct Wiring {
  Overlay overlay;
  const char* object;
  void (*action)();
  components::Button** kept;
};

std::vector<Wiring> WiringTable() {
  MenuState& m = Menus();
  return {
      {kPause, "c_ButtonResume", &OnResume, &m.pauseButtons[kResume]},
      {kPause, "c_ButtonExit", &OnExitQuestion, &m.pauseButtons[kExit]},
      {kPause, "c_ButtonOption", &OnOptions, &m.pauseButtons[kOption]},
      {kPause, "c_ButtonCredits", &OnCredits, &m.pauseButtons[kCreditsButton]},
      {kPause, "c_ButtonHTP", &OnHowToPlay, &m.pauseButtons[kHowToPlayButton]},
      {kOptions, "c_ButtonBack", &OnBack, nullptr},
      {kOptions, "c_ButtonMusicToggle", &OnMusicToggle, nullptr},
      {kOptions, "c_ButtonSFXToggle", &OnSfxToggle, nullptr},
      {kOptions, "c_ButtonScreenToggle", &OnScreenToggle, nullptr},
      {kPauseExit, "c_ButtonYes", &OnQuit, nullptr},
      {kPauseExit, "c_ButtonNo", &OnBack, nullptr},
      {kWindowExit, "c_WButtonYes", &OnQuit, nullptr},
      {kWindowExit, "c_WButtonNo", &OnResume, nullptr},
      {kCredits, "c_ButtonLeft", &OnCreditsLeft, &m.creditsLeft},
      {kCredits, "c_ButtonRight", &OnCreditsRight, &m.creditsRight},
      {kCredits, "c_ButtonBack", &OnBack, nullptr},
      {kHowToPlay, "c_ButtonBack", &OnBack, nullptr},
  };
}

void WireButtons() {
  for (const Wiring& row : WiringTable()) {
    objects::Space* space = OverlaySpace(row.overlay);
    if (space == nullptr) continue;  // its file was reported when it failed to load
    std::shared_ptr<objects::GameObject> object = space->FindObject(row.object).lock();
    auto* button = object != nullptr ? object->GetComponent<components::Button>("Button") : nullptr;
    if (button == nullptr) {
      base::LogError("menus", std::string(kOverlayFiles[row.overlay].file) + ": space \"" + space->GetName() +
                                  "\" has no object \"" + row.object + "\" with a Button; it does nothing");
      continue;
    }
    button->action = row.action;
    if (row.kept != nullptr) *row.kept = button;
  }
}

void KeepCreditsPieces() {
  MenuState& m = Menus();
  objects::Space* credits = OverlaySpace(kCredits);
  if (credits == nullptr) return;
  auto componentOf = [credits]<typename T>(const char* object, const char* type, T*) -> T* {
    std::shared_ptr<objects::GameObject> found = credits->FindObject(object).lock();
    return found != nullptr ? found->GetComponent<T>(type) : nullptr;
  };
  m.creditsImage = componentOf("a_Credits", "SpriteSource", static_cast<graphics::SpriteSource*>(nullptr));
  m.leftArrow = componentOf("c_ButtonLeft", "Sprite", static_cast<graphics::Sprite*>(nullptr));
  m.rightArrow = componentOf("c_ButtonRight", "Sprite", static_cast<graphics::Sprite*>(nullptr));
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
  for (objects::Space* space : Menus().overlays) consider(space);
  consider(objects::FindSpace(names::kVictorySpace));
  return top;
}

}  // namespace

void InitMenus(const std::string& levelSpace) {
  Session().currentLevelSpace = levelSpace;
  MenuState& m = Menus();
  for (int i = 0; i < kOverlayCount; ++i) m.overlays[i] = objects::FindSpace(kOverlayFiles[i].space);
  m.logos = objects::FindSpace(names::kLogosSpace);

  bool loadedAny = false;
  for (int i = 0; i < kOverlayCount; ++i) {
    if (m.overlays[i] != nullptr) continue;
    const OverlayFile& overlay = kOverlayFiles[i];
    serialization::Serializer serializer(&objects::GetSpaceRegistry());
    if (!serializer.LoadLevel(overlay.file)) {
      base::LogError("menus",
                     std::string(overlay.file) + ": cannot open the menu file; its overlay is missing");
    }
    m.overlays[i] = objects::FindSpace(overlay.space);
    if (m.overlays[i] != nullptr) {
      m.overlays[i]->SetActive(false);
      AddMenuCursor(*m.overlays[i], overlay.firstChoice);
    }
    loadedAny = true;
  }
  if (!loadedAny) return;  // wired on an earlier call

  WireButtons();
  KeepCreditsPieces();
  ShowSwitchesAsSet();
  for (int page = 0; page < kCreditsPages; ++page) {
    m.creditsList[page] = "images/PauseMenus/Credits/pause_credits_Page" + std::to_string(page) + ".png";
  }
}

std::vector<OverlayButton> OverlayButtons() {
  std::vector<OverlayButton> buttons;
  for (const Wiring& row : WiringTable()) {
    buttons.push_back({kOverlayFiles[row.overlay].file, kOverlayFiles[row.overlay].space, row.object});
  }
  return buttons;
}

void TogglePauseMenu() {
  GameSession& session = Session();
  ShowMenuCursorOnly(TopmostOverlay());
  const bool minimised = session.pauseRequested && !session.pausedFromMinimize && !session.menuOpen;
  if (!input::IsKeyTriggered(platform::kVkEscape) && !minimised) return;
  if (OverlaySpace(kPause) == nullptr || OverlaySpace(kOptions) == nullptr ||
      OverlaySpace(kPauseExit) == nullptr) {
    return;
  }
  bool fromMinimize = session.pausedFromMinimize;
  if (session.pauseRequested) {
    session.pauseRequested = false;
    fromMinimize = true;
  }
  const bool opening = !session.menuOpen;
  SetOverlayActive(kPause, opening);
  SetOverlayActive(kOptions, false);
  SetOverlayActive(kPauseExit, false);
  session.pausedFromMinimize = opening ? fromMinimize : false;
  SetOverlayActive(kWindowExit, false);
  SetOverlayActive(kCredits, false);
  SetOverlayActive(kHowToPlay, false);
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
  objects::Space* windowExit = OverlaySpace(kWindowExit);
  if (windowExit == nullptr) return CloseAnswer::kQuit;
  objects::Space* pauseExit = OverlaySpace(kPauseExit);
  if (pauseExit != nullptr && pauseExit->IsActive()) return CloseAnswer::kIgnored;
  // A second close while the question shows asks nothing new.
  if (windowExit->IsActive()) return CloseAnswer::kShowingQuestion;
  for (Overlay overlay : {kPause, kOptions, kPauseExit, kCredits, kHowToPlay})
    SetOverlayActive(overlay, false);
  windowExit->SetActive(true);
  if (objects::Space* level = LevelSpace()) level->SetPaused(true);
  SetMusic(kMusicDownDb);
  SetMenuOpen(true);
  ShowMenuCursorOnly(windowExit);
  return CloseAnswer::kShowingQuestion;
}

void ToggleFullScreen() {
  GameSession& session = Session();
  ShowSwitch("c_ButtonScreenToggle", session.fullScreen ? kSwitchOff : kSwitchOn);
  graphics::SetFullScreen(!session.fullScreen);
  session.fullScreen = !session.fullScreen;
}

void OnResume() {
  SetOverlayActive(kPause, false);
  SetOverlayActive(kWindowExit, false);
  if (Menus().logos != nullptr) Menus().logos->SetPaused(false);
  SetMenuOpen(false);
  Session().pausedFromMinimize = false;
  SetPauseButtonsClickable(true);
  // An ended level stays paused behind its victory screen.
  objects::Space* level = LevelSpace();
  if (level != nullptr && !Session().level.levelEnded) level->SetPaused(false);
  SetMusic(kMusicUpDb);
}

void OnExitQuestion() {
  if (!Have(kPauseExit)) return;
  MenuState& m = Menus();
  for (PauseButton button : {kResume, kOption, kCreditsButton, kExit})
    SetClickable(m.pauseButtons[button], false);
  SetOverlayActive(kHowToPlay, false);
  SetOverlayActive(kPauseExit, true);
}

void OnOptions() {
  if (!Have(kOptions)) return;
  SetOverlayActive(kOptions, true);
  SetOverlayActive(kPause, false);
}

void OnHowToPlay() {
  if (!Have(kHowToPlay)) return;
  SetOverlayActive(kHowToPlay, true);
  SetOverlayActive(kPause, false);
}

void OnCredits() {
  if (!Have(kCredits)) return;
  MenuState& m = Menus();
  ShowCreditsPage(0);
  SetArrow(m.creditsLeft, m.leftArrow, false);
  SetArrow(m.creditsRight, m.rightArrow, true);
  SetOverlayActive(kCredits, true);
  SetOverlayActive(kPause, false);
}

void OnCreditsLeft() {
  MenuState& m = Menus();
  if (m.creditsPage <= 0) return;  // the page index stays within the list
  if (m.creditsPage == kCreditsPages - 1) {
    SetArrow(m.creditsRight, m.rightArrow, true);
  } else if (m.creditsPage == 1) {
    SetArrow(m.creditsLeft, m.leftArrow, false);
  }
  ShowCreditsPage(m.creditsPage - 1);
}

void OnCreditsRight() {
  MenuState& m = Menus();
  if (m.creditsPage >= kCreditsPages - 1) return;
  if (m.creditsPage == 0) {
    SetArrow(m.creditsLeft, m.leftArrow, true);
  } else if (m.creditsPage == kCreditsPages - 2) {
    SetArrow(m.creditsRight, m.rightArrow, false);
  }
  ShowCreditsPage(m.creditsPage + 1);
}

void OnBack() {
  for (Overlay overlay : {kOptions, kPauseExit, kCredits, kHowToPlay}) SetOverlayActive(overlay, false);
  SetPauseButtonsClickable(true);
  SetOverlayActive(kPause, true);
}

void OnScreenToggle() {
  ToggleFullScreen();
  StoreFullScreen(Session().fullScreen);
}

void OnMusicToggle() {
  bool& on = audio::Audio().musicOn;
  ShowSwitch("c_ButtonMusicToggle", on ? kSwitchOff : kSwitchOn);
  on = !on;
  StoreMusic(on);
}

void OnSfxToggle() {
  bool& on = audio::Audio().sfxOn;
  ShowSwitch("c_ButtonSFXToggle", on ? kSwitchOff : kSwitchOn);
  on = !on;
  StoreSfx(on);
}

void OnQuit() { base::States().next = base::kQuitState; }

int CreditsPage() { return Menus().creditsPage; }

void ResetMenus() { Menus() = MenuState{}; }

}  // namespace game
