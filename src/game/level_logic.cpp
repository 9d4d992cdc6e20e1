// The level timer, the victory screen and its rating, the level end, the debug keys.
#include "game/level_logic.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

#include "base/game_states.h"
#include "components/button.h"
#include "game/blocks.h"
#include "game/game_states.h"
#include "game/menus/label.h"
#include "game/menus/menu_cursor.h"
#include "game/names.h"
#include "game/records.h"
#include "game/session.h"
#include "game/space_lookup.h"
#include "game/states/custom_level.h"
#include "game/states/sequence.h"
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

// The numbers of the victory screen, in its text colour: each objective's result
// against its goal to the right of its mark, the level's records below the marks.
constexpr base::XMFLOAT4 kPanelInk{0.13f, 0.16f, 0.33f, 1.0f};
// A missed objective's numbers are greyed as its mark is.
constexpr base::XMFLOAT4 kPanelGrey{0.59f, 0.63f, 0.71f, 1.0f};
constexpr const char* kStarsLabel = "stars";
constexpr const char* kTimeLabel = "time";
constexpr const char* kBestLabel = "best";
constexpr LabelStyle kStarsStyle{
    .x = 5.6f, .y = -1.667f, .height = 1.4f, .capacity = 16, .colour = kPanelInk};
constexpr LabelStyle kTimeStyle{.x = 5.6f, .y = -4.583f, .height = 1.4f, .capacity = 16, .colour = kPanelInk};
constexpr LabelStyle kBestStyle{.x = 0.0f, .y = -7.0f, .height = 1.1f, .capacity = 40, .colour = kPanelInk};

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

bool InCustomLevel() { return base::States().current == game::kCustomLevel; }

// Every level offers Next (after Level3 it leads to the end screen); a custom level
// offers Restart beside it.
bool OffersRestart() { return InCustomLevel(); }

// The built-in level being played, 0..2, or -1 for any other state.
int BuiltInLevelIndex() {
  switch (base::States().current) {
    case game::kLevel1:
      return 0;
    case game::kLevel2:
      return 1;
    case game::kLevel3:
      return 2;
    default:
      return -1;
  }
}

void AddVictoryLabels(objects::Space& victory) {
  AddLabel(victory, kStarsLabel, kStarsStyle);
  AddLabel(victory, kTimeLabel, kTimeStyle);
  AddLabel(victory, kBestLabel, kBestStyle);
}

// "Best 0:52   rating 3 / 3" (the rating as the gold stars of the shrine); empty
// before the level has a record.
std::string BestText(const LevelRecord& record) {
  if (!record.bestTime || !record.bestRating) return "";
  return "Best " + ClockText(*record.bestTime) + "   rating " + std::to_string(*record.bestRating + 1) +
         " / 3";
}

// The ended level's numbers on the victory screen; a built-in level's result is
// recorded first, so that its best includes this end.
void ShowVictoryNumbers(bool starsReached, bool timeReached) {
  const LevelState& level = Level();
  const int index = BuiltInLevelIndex();
  if (index >= 0) RecordLevelEnd(index, {level.endTime, level.rating});
  objects::Space* victory = Screens().victory;
  if (victory == nullptr) return;
  SetLabelColour(*victory, kStarsLabel, starsReached ? kPanelInk : kPanelGrey);
  SetLabelColour(*victory, kTimeLabel, timeReached ? kPanelInk : kPanelGrey);
  ShowLabel(*victory, kStarsLabel,
            std::to_string(level.collectedStars) + " / " + std::to_string(level.starGoal));
  ShowLabel(*victory, kTimeLabel, ClockText(level.endTime) + " / " + ClockText(level.timeGoal));
  ShowLabel(*victory, kBestLabel, index >= 0 ? BestText(StoredRecords().best[index]) : "");
}

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
  } else if (states.current == game::kLevel3) {
    states.next = game::kLevelWin;
  } else if (states.current == game::kCustomLevel) {
    LeaveCustomLevel();
  }
}

// "c_ButtonRestart": the custom level from its start (only a custom level offers it).
void OnRestart() {
  if (InCustomLevel()) RestartCustomLevel();
}

bool AllDown(std::initializer_list<int> keys) {
  return std::all_of(keys.begin(), keys.end(), [](int key) { return input::IsKeyDown(key); });
}

}  // namespace

void ClearToLevelColour() { graphics::ClearScreen(kCornflower); }

std::string ClockText(float seconds) {
  // Whole seconds, as the timer shows them; far beyond its limit the text stays short.
  const float whole = std::isfinite(seconds) ? std::clamp(std::floor(seconds), 0.0f, 5999999.0f) : 0.0f;
  const int total = static_cast<int>(whole);
  char text[16];
  std::snprintf(text, sizeof text, "%d:%02d", total / 60, total % 60);
  return text;
}

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
  const float t = level.timerRate * WallSeconds() + level.elapsedTime;
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
  if (!loaded) {
    AddMenuCursor(victory, names::kButtonNext);
    AddVictoryLabels(victory);
  }
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
  SetClickable(screens.next, !menuOpen);
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
  Arm(screens.next, true);
  PlaceVictoryButtons();
  const bool starsReached = level.collectedStars >= level.starGoal;
  const bool timeReached = level.timeGoal >= level.endTime;
  if (starsReached) {
    ++level.rating;
    SetFrame(screens.markStars, kAchievedFrame);
  }
  if (timeReached) {
    ++level.rating;
    SetFrame(screens.markTime, kAchievedFrame);
  }
  SetFrame(screens.markLevel, kAchievedFrame);
  SetFrame(screens.shrine, level.rating);
  ShowVictoryNumbers(starsReached, timeReached);
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
