#include "core/game_state_manager.h"

namespace core {

int g_CurrentState = kNoState;
int g_NextState = kGameLogos;

void EmptyOperation() {}
void EmptyUpdate(float) {}

void ResetGameStates() {
  g_CurrentState = kNoState;
  g_NextState = kGameLogos;
}

std::string_view GameStateName(int state) {
  static constexpr std::array<std::string_view, kStateCount> kNames{
      "Empty",     "Level1",   "Level1Transition", "Level2",   "Level2Transition",
      "Level3",    "LevelWin", "GameLogos",        "PlayerTest", "SBPimrow",
      "SBZorbel",  "SBQuenta", "MenuTestSpace"};
  if (IsTableState(state)) return kNames[static_cast<unsigned>(state)];
  if (state == kQuitState) return "Quit";
  if (state == kNoState) return "None";
  return "Invalid";
}

namespace {

template <typename Operation, typename... Args>
void Call(Operation operation, Args... args) {
  if (operation != nullptr) operation(args...);
}

}  // namespace

void GameStateManager::Step(float dt) {
  // Every operation may write g_NextState, so both are read again after each call.
  if (g_CurrentState != g_NextState) {
    if (IsTableState(g_NextState)) Call(table_[g_NextState].load);
    if (IsTableState(g_NextState)) Call(table_[g_NextState].init);
    if (g_CurrentState != g_NextState) g_CurrentState = g_NextState;
  }

  if (IsTableState(g_CurrentState)) Call(table_[g_CurrentState].update, dt);

  if (g_CurrentState != g_NextState) {
    const int leaving = g_CurrentState;
    if (IsTableState(leaving)) Call(table_[leaving].shutdown);
    if (IsTableState(g_CurrentState)) Call(table_[g_CurrentState].unload);
  }
}

}  // namespace core
