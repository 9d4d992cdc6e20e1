// The developer states: the player test and the menu test, and key 0 back to the
// empty state.
#include <fstream>
#include <sstream>

#include "base/user_folders.h"
#include "game/game_states.h"
#include "game_fixture.h"

namespace {

using game_testing::GameTest;

class TestStatesTest : public GameTest {};

TEST_F(TestStatesTest, HoldingZeroReturnsEveryTestStateToTheEmptyState) {
  for (int state : {game::kPlayerTest, game::kSBPimrow, game::kSBZorbel, game::kSBQuenta}) {
    testing::internal::CaptureStdout();
    Enter(state);
    RunFrames(3);
    EXPECT_EQ(base::States().current, state);
    window_.PostKey('0', true);
    RunFrames(2);
    window_.PostKey('0', false);
    RunFrames(1);
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(base::States().current, game::kEmpty) << "from state " << state;
  }
}

TEST_F(TestStatesTest, PlayerTestRunsTheSelfTestsAndReadsItsLevelApartFromTheGamesSpaces) {
  const std::filesystem::path cache = base::UserFolderPath(base::UserFolder::kCache);
  Enter(game::kPlayerTest);
  EXPECT_TRUE(std::filesystem::exists(cache / "serializer_test_output.txt"));
  EXPECT_TRUE(std::filesystem::exists(cache / "serializeComponentTest.txt"));
  EXPECT_FALSE(std::filesystem::exists("serializer_test_output.txt"))
      << "nothing written into the data folder";
  EXPECT_EQ(objects::FindSpace("PlayerTest"), nullptr) << "read into a container of its own";
  std::filesystem::remove(cache / "serializer_test_output.txt");
  std::filesystem::remove(cache / "serializeComponentTest.txt");
}

TEST_F(TestStatesTest, MenuTestButtonsWriteTheirLinesByMouseAndByCursor) {
  const auto folder = base::UserFolderPath(base::UserFolder::kCache);
  Enter(game::kMenuTestSpace);
  RunFrames(1);
  ClickAt(0.0f, 4.0f);   // TestButton
  ClickAt(0.0f, -4.0f);  // TestButton3
  Tap('S');              // the cursor from TestButton to TestButton2
  Tap(platform::kVkReturn);
  RunFrames(1);
  std::ifstream file(folder / "MenuTest.txt");
  std::stringstream lines;
  lines << file.rdbuf();
  EXPECT_EQ(lines.str(), "BUTTON_1 CLICKED!\nBUTTON_3 CLICKED!\nBUTTON_2 CLICKED!\n");
  std::filesystem::remove(folder / "MenuTest.txt");
}

}  // namespace
