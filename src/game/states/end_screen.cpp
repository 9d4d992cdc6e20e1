// The end screen of the win level: its rows, its two buttons and the exit question.
#include "game/states/end_screen.h"

#include <array>
#include <optional>
#include <string>

#include "base/game_states.h"
#include "components/button.h"
#include "game/blocks.h"
#include "game/game_states.h"
#include "game/level_logic.h"
#include "game/menus/label.h"
#include "game/menus/menu_cursor.h"
#include "game/menus/menus.h"
#include "game/names.h"
#include "game/records.h"
#include "game/session.h"
#include "game/space_lookup.h"
#include "graphics/sprite.h"
#include "input/input.h"
#include "objects/space.h"
#include "objects/space_registry.h"

namespace game {
namespace {

// The times stand in the panel's "Time" column, level rows first, then the total
// below the line; world units, as the picture "images/End/end_background.png" has
// its rows.
constexpr base::XMFLOAT4 kInk{0.13f, 0.16f, 0.33f, 1.0f};
constexpr float kTimeColumn = 8.75f;
constexpr float kRowY[kBuiltInLevels] = {5.625f, 1.875f, -1.875f};
constexpr float kTotalY = -5.833f;
constexpr const char* kTimeLabels[kBuiltInLevels] = {"time1", "time2", "time3"};
constexpr const char* kTotalLabel = "total";
// A level not finished in this run (reached with the debug keys, say).
constexpr const char* kNoTime = "--:--";

constexpr base::XMFLOAT4 kShown{1.0f, 1.0f, 1.0f, 1.0f};
constexpr base::XMFLOAT4 kHidden{1.0f, 1.0f, 1.0f, 0.0f};

// What the end screen keeps; its space owns the buttons and sprites and lives for
// the whole run.
struct EndScreenState {
  objects::Space* space = nullptr;
  components::Button* playAgain = nullptr;
  components::Button* quit = nullptr;
  std::array<graphics::Sprite*, kBuiltInLevels> ratings{};
  // Quit was pressed: the question opens before the next frame's spaces run, so that
  // the press does not reach the question's own buttons in the frame it opens.
  bool quitAsked = false;
};

EndScreenState& End() { return GameBlock<EndScreenState>(); }

// "c_ButtonPlayAgain": a new run from Level1, whose timer and stars start afresh.
void OnPlayAgain() {
  StartNewRun();
  base::States().next = kLevel1;
}

// "c_ButtonQuit": the exit question, served by UpdateEndScreen.
void OnQuit() { End().quitAsked = true; }

components::Button* WireButton(objects::Space& space, const char* object, void (*action)()) {
  auto& button = RequireComponent<components::Button>(space, object, "Button", names::kEndFile);
  button.action = action;
  return &button;
}

// The window's exit question: Yes quits, No comes back here. Without its page the
// game quits at once, as a close of the window would.
void AskToQuit() {
  if (ShowWindowExitPrompt() == CloseAnswer::kQuit) base::States().next = base::kQuitState;
}

objects::Space* OpenQuestion() {
  objects::Space* question = PageSpace(names::kWindowExit);
  return question != nullptr && question->IsActive() ? question : nullptr;
}

bool BackPressed() {
  return input::IsKeyTriggered(platform::kVkEscape) || input::IsKeyTriggered(platform::kVkPadB) ||
         input::IsKeyTriggered(platform::kVkPadStart);
}

void SetButtonsClickable(bool clickable) {
  for (components::Button* button : {End().playAgain, End().quit}) {
    if (button != nullptr) button->canClick = clickable;
  }
}

void HoldWinLevelStill() {
  if (objects::Space* level = objects::FindSpace(names::kLevelWin)) level->SetPaused(true);
}

void ShowRow(int index, const std::optional<LevelResult>& result) {
  EndScreenState& end = End();
  if (graphics::Sprite* rating = end.ratings[index]) {
    rating->frameIndex = result ? result->rating : 0;
    rating->colour = result ? kShown : kHidden;
  }
  ShowLabel(*end.space, kTimeLabels[index], result ? ClockText(result->time) : kNoTime);
}

}  // namespace

void LoadEndScreen() {
  EndScreenState& end = End();
  if (end.space != nullptr && objects::FindSpace(names::kEndSpace) == end.space) return;
  objects::Space& space = LoadSpaceOnce(names::kEndSpace, names::kEndFile);
  space.SetActive(false);
  end.space = &space;
  for (int i = 0; i < kBuiltInLevels; ++i) {
    end.ratings[i] =
        &RequireComponent<graphics::Sprite>(space, names::kEndRatings[i], "Sprite", names::kEndFile);
    AddLabel(space, kTimeLabels[i],
             {.x = kTimeColumn, .y = kRowY[i], .height = 1.6f, .capacity = 8, .colour = kInk});
  }
  AddLabel(space, kTotalLabel,
           {.x = kTimeColumn, .y = kTotalY, .height = 1.8f, .capacity = 8, .colour = kInk});
  end.playAgain = WireButton(space, names::kButtonPlayAgain, &OnPlayAgain);
  end.quit = WireButton(space, names::kButtonQuit, &OnQuit);
  AddMenuCursor(space, names::kButtonPlayAgain);
}

void ShowEndScreen() {
  LoadEndScreen();
  EndScreenState& end = End();
  // The exit question is one of the level overlays; a start in this state loads them.
  InitMenus(names::kLevelWin);
  end.quitAsked = false;
  const RecordsBlock& records = StoredRecords();
  float total = 0.0f;
  bool anyResult = false;
  for (int i = 0; i < kBuiltInLevels; ++i) {
    ShowRow(i, records.thisRun[i]);
    if (records.thisRun[i]) {
      // The sum of the times as measured, not of the whole seconds shown.
      total += records.thisRun[i]->time;
      anyResult = true;
    }
  }
  ShowLabel(*end.space, kTotalLabel, anyResult ? ClockText(total) : kNoTime);
  SetButtonsClickable(true);
  end.space->SetActive(true);
  HoldWinLevelStill();
  ShowMenuCursorOnly(end.space);
}

void UpdateEndScreen() {
  EndScreenState& end = End();
  if (end.space == nullptr || !end.space->IsActive()) return;
  if (end.quitAsked) {
    end.quitAsked = false;
    AskToQuit();
  } else if (OpenQuestion() != nullptr && BackPressed()) {
    ResumePlay();  // as the question's No
  }
  objects::Space* question = OpenQuestion();
  SetButtonsClickable(question == nullptr);
  ShowMenuCursorOnly(question != nullptr ? question : end.space);
  // Closing the question lets the level play; the win level stays still here.
  HoldWinLevelStill();
  // There is no pause menu here, and a minimise's request kept until Level1 would
  // open it there unasked.
  Session().pauseRequested = false;
}

void HideEndScreen() {
  if (End().space != nullptr) End().space->SetActive(false);
}

}  // namespace game
