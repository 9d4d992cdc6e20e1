#include "input/input.h"

#include <gtest/gtest.h>

#include "platform/headless/headless_window.h"

namespace {

class InputTest : public ::testing::Test {
 protected:
  void SetUp() override { input::ResetInput(); }
  void TearDown() override { input::AttachWindow(nullptr); }
};

TEST_F(InputTest, CodesOutsideTheTableAreIgnored) {
  input::SetRawKey(256, true);
  input::SetRawKey(-1, true);
  input::TakeSnapshot();
  EXPECT_FALSE(input::IsKeyDown(256));
  EXPECT_FALSE(input::IsKeyTriggered(-1));
}

TEST_F(InputTest, MouseButtonsShareTheKeyTable) {
  input::SetRawKey(platform::kVkLeftButton, true);
  input::TakeSnapshot();
  EXPECT_TRUE(input::IsKeyTriggered(0x01));
  EXPECT_FALSE(input::IsKeyDown(0x02));
}

TEST_F(InputTest, MousePositionTravelsAsUnsignedSixteenBits) {
  input::SetMousePosition(1279, 719);
  EXPECT_EQ(input::GetMousePosition().x, 1279.0f);
  EXPECT_EQ(input::GetMousePosition().y, 719.0f);
  EXPECT_EQ(input::GetMousePosition().z, 0.0f);
  input::SetMousePosition(-1, 0);
  EXPECT_EQ(input::GetMousePosition().x, 65535.0f);
}

TEST_F(InputTest, ImmediateKeyStateComesFromTheAttachedWindow) {
  EXPECT_FALSE(input::IsKeyHeldNow('0')) << "no window attached";
  platform::headless::HeadlessWindow window;
  input::AttachWindow(&window);
  window.PostKey('0', true);
  platform::Message message;
  EXPECT_FALSE(input::IsKeyHeldNow('0')) << "not yet taken from the queue";
  ASSERT_TRUE(window.PeekMessage(message));
  EXPECT_TRUE(input::IsKeyHeldNow('0'));
  EXPECT_FALSE(input::IsKeyDown('0')) << "the snapshot has not been taken";
}

}  // namespace
