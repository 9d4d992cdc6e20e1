// Which game state runs: a fixed table of thirteen states with five operations
// each, and two integers saying which state is current and which one is wanted.
// Any code asks for a state by writing g_NextState; the change happens at fixed
// points of the frame, so no state is torn down in the middle of its own update.
#pragma once

#include <array>
#include <string_view>

namespace core {

enum GameStateId : int {
  kEmpty = 0,
  kLevel1 = 1,
  kLevel1Transition = 2,
  kLevel2 = 3,
  kLevel2Transition = 4,
  kLevel3 = 5,
  kLevelWin = 6,
  kGameLogos = 7,
  kPlayerTest = 8,
  kSBPimrow = 9,
  kSBZorbel = 10,
  kSBQuenta = 11,
  kMenuTestSpace = 12,
};
inline constexpr int kStateCount = 13;
inline constexpr int kQuitState = -2;  // the main loop quits after the frame
inline constexpr int kNoState = -3;    // the current state before the first frame

// The state that is running; read by anyone, written only by the manager.
extern int g_CurrentState;
// The state asked for; any code may write it, the last write before the check wins.
extern int g_NextState;

struct GameStateOperations {
  void (*load)();
  void (*init)();
  void (*update)(float dt);  // dt in seconds
  void (*shutdown)();
  void (*unload)();
};
using StateTable = std::array<GameStateOperations, kStateCount>;

// The one operation every slot without work holds.
void EmptyOperation();
void EmptyUpdate(float dt);
inline constexpr GameStateOperations kEmptyState{EmptyOperation, EmptyOperation, EmptyUpdate,
                                                  EmptyOperation, EmptyOperation};

// The name of a state identifier ("Level1", "GameLogos"), or "Quit", "None" and
// "Invalid" for the values outside the table.
std::string_view GameStateName(int state);

// True for identifiers that select a row of the table.
inline bool IsTableState(int state) {
  return static_cast<unsigned>(state) < static_cast<unsigned>(kStateCount);
}

class GameStateManager {
 public:
  // The table is not copied and must outlive the manager.
  explicit GameStateManager(const StateTable& table) : table_(table) {}

  // One frame: enter the wanted state (Load, Init), update the current one, and
  // leave it (Shutdown, Unload) if another state has been asked for meanwhile.
  void Step(float dt);

 private:
  const StateTable& table_;
};

// Puts both integers back to their start-up values (current none, next GameLogos).
void ResetGameStates();

}  // namespace core
