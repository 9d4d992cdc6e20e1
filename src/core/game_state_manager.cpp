#include "core/game_state_manager.h"

namespace core {

void EmptyOperation() {}
void EmptyUpdate(float) {}

namespace {

template <typename Operation, typename... Args>
void Call(Operation operation, Args... args) {
  if (operation != nullptr) operation(args...);
}

}  // namespace

void GameStateManager::Step(float dt) {
  using base::IsTableState;
  // Every operation may write `next`, so both are read again after each call.
  base::GameStates& states = base::States();
  if (states.current != states.next) {
    if (IsTableState(states.next)) Call(table_[states.next].load);
    if (IsTableState(states.next)) Call(table_[states.next].init);
    if (states.current != states.next) states.current = states.next;
  }

  if (IsTableState(states.current)) Call(table_[states.current].update, dt);

  if (states.current != states.next) {
    const int leaving = states.current;
    if (IsTableState(leaving)) Call(table_[leaving].shutdown);
    if (IsTableState(states.current)) Call(table_[states.current].unload);
  }
}

}  // namespace core
