#include "input/input.h"

#include <cmath>
#include <vector>

#include <gtest/gtest.h>

#include "graphics/graphics.h"
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

// What the window reports between two frames: a run of presses (true) and
// releases (false) of one key, then the snapshot of the next frame.
struct TapCase {
  const char* name;
  int key;
  std::vector<std::vector<bool>> betweenFrames;  // one entry per frame
  std::vector<bool> down;                        // IsKeyDown in each frame
  std::vector<bool> triggered;                   // IsKeyTriggered in each frame
};

TEST_F(InputTest, PressesBetweenFramesAreNeverLost) {
  const std::vector<TapCase> cases = {
      {"key tapped within one frame",
       platform::kVkEscape,
       {{true, false}, {}, {}},
       {true, false, false},
       {true, false, false}},
      {"mouse button clicked within one frame",
       platform::kVkLeftButton,
       {{true, false}, {}},
       {true, false},
       {true, false}},
      {"two taps within one frame count once",
       platform::kVkReturn,
       {{true, false, true, false}, {}},
       {true, false},
       {true, false}},
      {"taps in two frames running count twice",
       'P',
       {{true, false}, {true, false}, {}},
       {true, true, false},
       {true, true, false}},
      {"held over frames triggers once",
       'P',
       {{true}, {}, {}, {false}, {}},
       {true, true, true, false, false},
       {true, false, false, false, false}},
      {"key repeat of a held key is no new press",
       'S',
       {{true}, {true, true}, {}},
       {true, true, true},
       {true, false, false}},
      {"released and pressed again between frames",
       platform::kVkSpace,
       {{true}, {false, true}, {}},
       {true, true, true},
       {true, true, false}},
      {"pressed and released across frames",
       platform::kVkRightButton,
       {{true}, {false}, {true}},
       {true, false, true},
       {true, false, true}},
  };
  for (const TapCase& c : cases) {
    input::ResetInput();
    for (std::size_t frame = 0; frame < c.betweenFrames.size(); ++frame) {
      for (bool down : c.betweenFrames[frame]) input::SetRawKey(c.key, down);
      input::TakeSnapshot();
      EXPECT_EQ(input::IsKeyDown(c.key), c.down[frame]) << c.name << ", frame " << frame;
      EXPECT_EQ(input::IsKeyTriggered(c.key), c.triggered[frame]) << c.name << ", frame " << frame;
    }
  }
}

TEST_F(InputTest, ChordKeysHeldTogetherAreDownInTheSameFrame) {
  for (int key : {'D', 'E', 'B', 'G'}) input::SetRawKey(key, true);
  input::TakeSnapshot();
  input::TakeSnapshot();
  for (int key : {'D', 'E', 'B', 'G'}) {
    EXPECT_TRUE(input::IsKeyDown(key));
    EXPECT_FALSE(input::IsKeyTriggered(key)) << "held, not pressed again";
  }
  input::SetRawKey('G', false);
  input::TakeSnapshot();
  EXPECT_FALSE(input::IsKeyDown('G'));
  EXPECT_TRUE(input::IsKeyDown('D'));
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

namespace {

class MouseViewPositionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    input::ResetInput();
    saved_ = graphics::Block().projection;
    input::AttachProjection(&graphics::Block().projection);
    graphics::Block().projection = base::MatrixTranspose(graphics::BuildProjection(1280.0f, 720.0f, 48.0f));
  }
  void TearDown() override { graphics::Block().projection = saved_; }
  base::Matrix4 saved_;
};

TEST_F(MouseViewPositionTest, CentreAndCornersOfTheClientArea) {
  input::SetMousePosition(640, 360);
  input::MousePosition view = input::GetMouseViewPosition();
  EXPECT_NEAR(view.x, 0.0f, 1e-5);
  EXPECT_NEAR(view.y, 0.0f, 1e-5);
  EXPECT_EQ(view.z, 0.0f);
  input::SetMousePosition(0, 0);
  view = input::GetMouseViewPosition();
  EXPECT_NEAR(view.x, -26.6667f, 1e-3);
  EXPECT_NEAR(view.y, 15.0f, 1e-4);
  input::SetMousePosition(1280, 720);
  view = input::GetMouseViewPosition();
  EXPECT_NEAR(view.x, 26.6667f, 1e-3);
  EXPECT_NEAR(view.y, -15.0f, 1e-4);
}

TEST_F(MouseViewPositionTest, DegenerateProjectionIsUsedAsItIs) {
  graphics::Block().projection = base::Matrix4{};  // all zeros: no inverse
  input::SetMousePosition(0, 0);
  const input::MousePosition view = input::GetMouseViewPosition();
  EXPECT_EQ(view.x, 0.0f);
  EXPECT_EQ(view.y, 0.0f);
  EXPECT_FALSE(std::isnan(view.x));
}

TEST(MatrixInverseTest, InvertsAnAffineMatrixAndFlagsASingularOne) {
  const base::Matrix4 m = base::MatrixAffineTransformation2D({2.0f, 3.0f}, {0.0f, 0.0f}, 0.5f, {4.0f, -1.0f});
  const base::Matrix4 product = base::MatrixMultiply(m, base::MatrixInverse(m));
  for (int row = 0; row < 4; ++row) {
    for (int column = 0; column < 4; ++column) {
      EXPECT_NEAR(product.m[row][column], row == column ? 1.0f : 0.0f, 1e-5) << row << "," << column;
    }
  }
  EXPECT_TRUE(base::HasNonFinite(base::MatrixInverse(base::Matrix4{})));
}

}  // namespace
