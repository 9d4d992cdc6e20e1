// The level timer, the victory screen and its rating, the level end, the debug keys.
#include "game/level_logic.h"

#include <algorithm>
#include <array>

#include "base/game_states.h"
#include "components/button.h"
#include "core/frame_loop.h"
#include "game/blocks.h"
#include "game/game_states.h"
#include "game/menus/menu_cursor.h"
#include "game/names.h"
#include "game/session.h"
#include "game/space_lookup.h"
#include "game/states/custom_level.h"
#include "graphics/graphics.h"
#include "graphics/sprite.h"
#include "input/input.h"
#include "objects/space_registry.h"
#include "objects/transform.h"

namespace game {
namespace {

// Frames of the timer's digit sheet beyond the ten digits.
constexpr int kColonFrame = 10;
constexpr int kEmptyFrame = 11;
// The timer stops at one hundred minutes.
constexpr float kTimerLimit = 6000.0f;
// Frames of the objective marks.
constexpr int kAchievedFrame = 0;
constexpr int kMissedFrame = 1;

constexpr base::XMFLOAT4 kShown{1.0f, 1.0f, 1.0f, 1.0f};
constexpr base::XMFLOAT4 kHidden{1.0f, 1.0f, 1.0f, 0.0f};

// How far a custom level's Next and Restart stand from the middle, world units.
constexpr float kVictoryButtonsApart = 7.0f;

constexpr float kCornflower[4] = {0.392157f, 0.584314f, 0.929412f, 1.0f};

// The victory screen's button of one kind and its picture.
struct VictoryButton {
  components::Button* button = nullptr;
  graphics::Sprite* sprite = nullptr;
};

// What the shared logic drives, kept from the timer and victory spaces. The spaces
// own all of it and live for the whole run.
struct LevelScreens {
  std::array<graphics::Sprite*, 5> timerCells{};
  graphics::Sprite* timerMax = nullptr;
  objects::Space* victory = nullptr;
  graphics::Sprite* shrine = nullptr;
  graphics::Sprite* markLevel = nullptr;
  graphics::Sprite* markStars = nullptr;
  graphics::Sprite* markTime = nullptr;
  VictoryButton next;
  VictoryButton restart;
};

LevelScreens& Screens() { return GameBlock<LevelScreens>(); }

LevelState& Level() { return Session().level; }

graphics::Sprite& SpriteOf(const objects::Space& space, const char* object, const char* file) {
  return RequireComponent<graphics::Sprite>(space, object, "Sprite", file);
}

VictoryButton ButtonOf(const objects::Space& space, const char* object) {
  const objects::GameObject& found = RequireObject(space, object, names::kVictoryFile);
  return {&RequireComponent<components::Button>(found, "Button", names::kVictoryFile),
          &RequireComponent<graphics::Sprite>(found, "Sprite", names::kVictoryFile)};
}

void ShowCells(int m0, int m1, int colon, int s0, int s1) {
  const std::array<int, 5> frames{m0, m1, colon, s0, s1};
  for (std::size_t i = 0; i < frames.size(); ++i) {
    if (Screens().timerCells[i] != nullptr) Screens().timerCells[i]->frameIndex = frames[i];
  }
}

void ShowEmptyCells() { ShowCells(kEmptyFrame, kEmptyFrame, kEmptyFrame, kEmptyFrame, kEmptyFrame); }

void SetColour(graphics::Sprite* sprite, const base::XMFLOAT4& colour) {
  if (sprite != nullptr) sprite->colour = colour;
}

void SetFrame(graphics::Sprite* sprite, int frame) {
  if (sprite != nullptr) sprite->frameIndex = frame;
}

void SetClickable(const VictoryButton& button, bool clickable) {
  if (button.button != nullptr) button.button->canClick = clickable;
}

void Arm(const VictoryButton& button, bool armed) {
  SetClickable(button, armed);
  SetColour(button.sprite, armed ? kShown : kHidden);
}

bool InLevel3() { return base::States().current == game::kLevel3; }
bool InCustomLevel() { return base::States().current == game::kCustomLevel; }

// Which of the victory screen's buttons the level offers: Level3 only Restart, the
// other built-in levels only Next, a custom level both, side by side.
bool OffersNext() { return !InLevel3(); }
bool OffersRestart() { return InLevel3() || InCustomLevel(); }

// Where the two buttons stand: one above the other's place for the built-in
// levels, which show one of them, apart for a custom level, which shows both.
void PlaceVictoryButtons() {
  const float apart = InCustomLevel() ? kVictoryButtonsApart : 0.0f;
  for (auto [button, x] : {std::pair{Screens().next, apart}, std::pair{Screens().restart, -apart}}) {
    if (button.button == nullptr) continue;
    if (auto* transform = button.button->GetOwner()->GetComponent<objects::Transform>("Transform")) {
      transform->translation.x = x;
      transform->SetDirty();
    }
  }
}

// "c_ButtonNext": on to the following level.
void OnNext() {
  base::GameStates& states = base::States();
  if (states.current == game::kLevel1) {
    states.next = game::kLevel2;
  } else if (states.current == game::kLevel2) {
    states.next = game::kLevel3;
  } else if (states.current == game::kCustomLevel) {
    LeaveCustomLevel();
  }
}

// "c_ButtonRestart": back to the first level, or the custom level from its start.
void OnRestart() {
  if (InCustomLevel()) {
    RestartCustomLevel();
  } else {
    base::States().next = game::kLevel1;
  }
}

bool AllDown(std::initializer_list<int> keys) {
  return std::all_of(keys.begin(), keys.end(), [](int key) { return input::IsKeyDown(key); });
}

}  // namespace

void ClearToLevelColour() { graphics::ClearScreen(kCornflower); }

void SetUpLevelTimer(float start, float rate) {
  LevelState& level = Level();
  level.elapsedTime = start;
  level.timerRate = rate;
  level.maxShown = false;
  level.timerVisible = true;
  const bool loaded = objects::FindSpace(names::kTimerSpace) != nullptr;
  objects::Space& timer = LoadSpaceOnce(names::kTimerSpace, names::kTimerFile);
  if (!loaded) timer.SetActive(true);
  for (std::size_t i = 0; i < Screens().timerCells.size(); ++i) {
    Screens().timerCells[i] = &SpriteOf(timer, names::kTimerCells[i], names::kTimerFile);
  }
  Screens().timerMax = &SpriteOf(timer, names::kTimerMax, names::kTimerFile);
  ShowCells(0, 0, kColonFrame, 0, 0);
  SetColour(Screens().timerMax, kHidden);
}

void UpdateLevelTimer() {
  LevelState& level = Level();
  if (level.elapsedTime < 0.0f) level.elapsedTime = 0.0f;
  if (!level.timerVisible) ShowEmptyCells();
  if (Session().gamePaused || !level.timerVisible) return;
  const float frame = std::min(core::CurrentFrameTimes().real, kLongestTimedFrame);
  const float t = level.timerRate * frame + level.elapsedTime;
  if (t >= kTimerLimit) {
    if (!level.maxShown) {
      ShowEmptyCells();
      SetColour(Screens().timerMax, kShown);
      level.maxShown = true;
    }
    return;
  }
  if (level.maxShown) return;
  level.elapsedTime = t;
  const int minutes = static_cast<int>(t) / 60;
  const int seconds = static_cast<int>(t) % 60;
  ShowCells(minutes / 10, minutes % 10, kColonFrame, seconds / 10, seconds % 10);
}

void SetUpVictory(int starGoal, const std::string& levelSpace, float timeGoal) {
  const bool loaded = objects::FindSpace(names::kVictorySpace) != nullptr;
  objects::Space& victory = LoadSpaceOnce(names::kVictorySpace, names::kVictoryFile);
  victory.SetActive(false);
  // Next or Restart, whichever the level arms, can be pressed with Enter too.
  if (!loaded) AddMenuCursor(victory, names::kButtonNext);
  LevelScreens& screens = Screens();
  screens.victory = &victory;
  screens.shrine = &SpriteOf(victory, names::kShrine, names::kVictoryFile);
  screens.markLevel = &SpriteOf(victory, names::kMarkLevel, names::kVictoryFile);
  screens.markStars = &SpriteOf(victory, names::kMarkStars, names::kVictoryFile);
  screens.markTime = &SpriteOf(victory, names::kMarkTime, names::kVictoryFile);
  screens.next = ButtonOf(victory, names::kButtonNext);
  screens.restart = ButtonOf(victory, names::kButtonRestart);

  LevelState& level = Level();
  level.endTime = 0.0f;
  level.collectedStars = 0;
  level.rating = 0;
  level.levelEnded = false;
  level.timeGoal = timeGoal;
  level.starGoal = starGoal;
  SetFrame(screens.markLevel, kMissedFrame);
  SetFrame(screens.markStars, kMissedFrame);
  SetFrame(screens.markTime, kMissedFrame);

  screens.next.button->action = &OnNext;
  screens.restart.button->action = &OnRestart;

  Session().currentLevelSpace = levelSpace;
  if (objects::Space* space = objects::FindSpace(levelSpace)) space->SetPaused(false);
}

void UpdateVictory() {
  LevelScreens& screens = Screens();
  const bool menuOpen = Session().menuOpen;
  SetClickable(screens.restart, !menuOpen && OffersRestart());
  SetClickable(screens.next, !menuOpen && OffersNext());
  LevelState& level = Level();
  if (!level.levelEnded) level.endTime = level.elapsedTime;
  if (screens.victory != nullptr) screens.victory->SetActive(level.levelEnded);
}

void EndLevel() {
  LevelState& level = Level();
  if (level.levelEnded) return;
  level.levelEnded = true;
  level.timerVisible = !level.timerVisible;
  if (objects::Space* space = objects::FindSpace(Session().currentLevelSpace)) space->SetPaused(true);

  LevelScreens& screens = Screens();
  Arm(screens.restart, OffersRestart());
  Arm(screens.next, OffersNext());
  PlaceVictoryButtons();
  if (level.collectedStars >= level.starGoal) {
    ++level.rating;
    SetFrame(screens.markStars, kAchievedFrame);
  }
  if (level.timeGoal >= level.endTime) {
    ++level.rating;
    SetFrame(screens.markTime, kAchievedFrame);
  }
  SetFrame(screens.markLevel, kAchievedFrame);
  SetFrame(screens.shrine, level.rating);
}

void UpdateDebugKeys() {
  LevelState& level = Level();
  if (!level.debugKeysEnabled) {
    if (AllDown({'D', 'E', 'B', 'G'})) level.debugKeysEnabled = true;
    return;
  }
  if (AllDown({'H', 'I', 'D', 'E'})) level.debugKeysEnabled = false;

  using input::IsKeyTriggered;
  base::GameStates& states = base::States();
  const bool one = IsKeyTriggered('1');
  const bool two = IsKeyTriggered('2');
  if (one) states.next = game::kLevel1;
  if (two && !one) states.next = game::kLevel2;
  if (IsKeyTriggered('3') && !one && !two) states.next = game::kLevel3;
  if (IsKeyTriggered('4')) {
    level.elapsedTime -= 10.0f;
    if (level.elapsedTime < kTimerLimit) {
      level.maxShown = false;
      SetColour(Screens().timerMax, kHidden);
    }
  }
  if (IsKeyTriggered('5')) level.elapsedTime = std::min(level.elapsedTime + 10.0f, kTimerLimit);
  if (IsKeyTriggered('6')) level.timerRate = 0.0f;
  if (IsKeyTriggered('7')) level.timerRate = 1.0f;
  if (IsKeyTriggered('8')) level.timerRate = 2.0f;
  if (IsKeyTriggered('9')) level.timerRate = 20.0f;
  if (IsKeyTriggered('0') && !level.levelEnded) EndLevel();
}

}  // namespace game
