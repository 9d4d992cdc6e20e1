#include "core/game_state_manager.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

// Every operation of every state appends "Name:State" to the journal and may run a
// per-test hook, so a test can ask for a state from inside any operation.
std::vector<std::string> g_Journal;
struct Hook {
  int state = -100;
  std::string operation;
  int request = 0;
};
std::vector<Hook> g_Hooks;

template <int State>
void Record(const char* operation) {
  g_Journal.push_back(std::string(operation) + ":" + std::to_string(State));
  for (const Hook& hook : g_Hooks) {
    if (hook.state == State && hook.operation == operation) base::States().next = hook.request;
  }
}

template <int State>
constexpr core::GameStateOperations Row() {
  return {[] { Record<State>("Load"); }, [] { Record<State>("Init"); },
          [](float) { Record<State>("Update"); }, [] { Record<State>("Shutdown"); },
          [] { Record<State>("Unload"); }};
}

const core::StateTable kTable{Row<0>(), Row<1>(), Row<2>(), Row<3>(),  Row<4>(),  Row<5>(), Row<6>(),
                              Row<7>(), Row<8>(), Row<9>(), Row<10>(), Row<11>(), Row<12>()};

class GameStateManagerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    base::States().Reset();
    base::States().next = 7;  // where the game's table begins
    g_Journal.clear();
    g_Hooks.clear();
  }
  // Runs one step and returns what it called.
  std::vector<std::string> Step() {
    g_Journal.clear();
    manager.Step(0.016f);
    return g_Journal;
  }
  core::GameStateManager manager{kTable};
};

using Calls = std::vector<std::string>;

TEST_F(GameStateManagerTest, FirstStepEntersGameLogosWithoutLeavingAnything) {
  EXPECT_EQ(base::States().current, base::kNoState);
  EXPECT_EQ(Step(), (Calls{"Load:7", "Init:7", "Update:7"}));
  EXPECT_EQ(base::States().current, 7);
  EXPECT_EQ(Step(), (Calls{"Update:7"}));
}

TEST_F(GameStateManagerTest, RequestInUpdateLeavesAtEndOfFrameAndEntersNextFrame) {
  Step();
  g_Hooks.push_back({7, "Update", 1});
  EXPECT_EQ(Step(), (Calls{"Update:7", "Shutdown:7", "Unload:7"}));
  EXPECT_EQ(base::States().current, 7) << "the left state stays current until the next step";
  g_Hooks.clear();
  EXPECT_EQ(Step(), (Calls{"Load:1", "Init:1", "Update:1"}));
  EXPECT_EQ(base::States().current, 1);
}

TEST_F(GameStateManagerTest, RequestInLoadSkipsToThatStatesInitInTheSameStep) {
  g_Hooks.push_back({7, "Load", 3});
  EXPECT_EQ(Step(), (Calls{"Load:7", "Init:3", "Update:3"}));
  EXPECT_EQ(base::States().current, 3);
}

TEST_F(GameStateManagerTest, RequestInInitMakesThatStateCurrentWithoutLoadOrInit) {
  g_Hooks.push_back({7, "Init", 5});
  EXPECT_EQ(Step(), (Calls{"Load:7", "Init:7", "Update:5"}));
  EXPECT_EQ(base::States().current, 5);
}

TEST_F(GameStateManagerTest, InitAskingForTheCurrentStateAgainKeepsIt) {
  Step();
  base::States().next = 1;
  g_Hooks.push_back({1, "Init", 7});
  // The state asked for is the current one again: no switch, no leaving.
  EXPECT_EQ(Step(), (Calls{"Load:1", "Init:1", "Update:7"}));
  EXPECT_EQ(base::States().current, 7);
}

TEST_F(GameStateManagerTest, AskingForTheCurrentStateChangesNothing) {
  Step();
  g_Hooks.push_back({7, "Update", 7});
  EXPECT_EQ(Step(), (Calls{"Update:7"}));
}

TEST_F(GameStateManagerTest, LastOfTwoRequestsInOneFrameWins) {
  Step();
  g_Hooks.push_back({7, "Update", 3});
  g_Hooks.push_back({7, "Update", 5});
  Step();
  g_Hooks.clear();
  EXPECT_EQ(Step(), (Calls{"Load:5", "Init:5", "Update:5"}));
}

TEST_F(GameStateManagerTest, RequestBetweenFramesIsEnteredAtTheNextStep) {
  Step();
  base::States().next = 1;
  // Nothing ran after the write, so the old state is not left first.
  EXPECT_EQ(Step(), (Calls{"Load:1", "Init:1", "Update:1"}));
}

TEST_F(GameStateManagerTest, IdentifiersBeyondTheTableLeaveAndThenCallNothing) {
  Step();
  g_Hooks.push_back({7, "Update", 13});
  EXPECT_EQ(Step(), (Calls{"Update:7", "Shutdown:7", "Unload:7"}));
  EXPECT_EQ(Step(), Calls{});
  EXPECT_EQ(base::States().current, 13);
  EXPECT_EQ(Step(), Calls{});
}

TEST_F(GameStateManagerTest, QuitAndOtherNegativesLeaveTheStateAndEnterNothing) {
  for (int request : {base::kQuitState, -1, -7}) {
    SetUp();
    Step();
    g_Hooks.push_back({7, "Update", request});
    EXPECT_EQ(Step(), (Calls{"Update:7", "Shutdown:7", "Unload:7"})) << request;
    EXPECT_EQ(Step(), Calls{}) << request;
    EXPECT_EQ(base::States().current, request);
  }
}

TEST_F(GameStateManagerTest, NullSlotsAreSkipped) {
  core::StateTable table = kTable;
  table[7] = core::GameStateOperations{nullptr, nullptr, nullptr, nullptr, nullptr};
  core::GameStateManager sparse(table);
  sparse.Step(0.0f);
  EXPECT_EQ(base::States().current, 7);
  EXPECT_TRUE(g_Journal.empty());
}

}  // namespace
