// The graphics block's matrices and its draw path on the recording device.
#include <optional>

#include <gtest/gtest.h>

#include "graphics/graphics.h"
#include "graphics/recording/recording_render_device.h"
#include "platform/headless/headless_window.h"
#include "working_directory.h"

namespace {

TEST(ProjectionTest, OrthographicAtTwentyFourPixelsPerUnit) {
  const base::Matrix4 p = graphics::BuildProjection(1280.0f, 720.0f, 48.0f);
  EXPECT_FLOAT_EQ(p.m[0][0], 0.0375f);
  EXPECT_FLOAT_EQ(p.m[1][1], 0.0666667f);
  EXPECT_FLOAT_EQ(p.m[2][2], 0.0100100096f);
  EXPECT_FLOAT_EQ(p.m[3][2], -0.1f * 0.0100100096f);
  EXPECT_EQ(p.m[3][3], 1.0f);
  EXPECT_EQ(p.m[0][1], 0.0f);
  EXPECT_EQ(p.m[3][0], 0.0f);
}

TEST(LookToViewTest, AlongPlusZIsATranslationByMinusTheEye) {
  const base::Matrix4 v = graphics::BuildLookToView({10, -3, -15, 1}, {0, 0, 15, 0}, {0, 1, 0, 0});
  for (int row = 0; row < 3; ++row) {
    for (int column = 0; column < 4; ++column) {
      EXPECT_FLOAT_EQ(v.m[row][column], row == column ? 1.0f : 0.0f) << row << "," << column;
    }
  }
  EXPECT_FLOAT_EQ(v.m[3][0], -10.0f);
  EXPECT_FLOAT_EQ(v.m[3][1], 3.0f);
  EXPECT_FLOAT_EQ(v.m[3][2], 15.0f);
  EXPECT_FLOAT_EQ(v.m[3][3], 1.0f);
}

class GraphicsBlockTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dataFolder_.emplace(VELMARIS_SOURCE_DIR "/data");
    graphics::Block().windowHandle = &window_;
  }
  void TearDown() override {
    graphics::ShutdownGraphics();
    graphics::Block().windowHandle = nullptr;
    dataFolder_.reset();
  }
  platform::headless::HeadlessWindow window_;
  std::optional<testing_support::ScopedWorkingDirectory> dataFolder_;
};

TEST_F(GraphicsBlockTest, InitialisationBuildsProjectionAndFixedViewTransposed) {
  ASSERT_EQ(graphics::InitializeGraphics(), 0);
  EXPECT_EQ(graphics::Block().width, 1280.0f);
  EXPECT_EQ(graphics::Block().height, 720.0f);
  EXPECT_FLOAT_EQ(graphics::Block().projection.m[0][0], 0.0375f);
  EXPECT_FLOAT_EQ(graphics::Block().projection.m[2][3], -0.1f * 0.0100100096f) << "stored transposed";
  EXPECT_FLOAT_EQ(graphics::Block().fixedView.m[2][3], 15.0f) << "translation in the last column";
  EXPECT_TRUE(window_.MessageBoxes().empty());
}

TEST_F(GraphicsBlockTest, MissingShaderFileShowsTheErrorBoxOnceAndRunsOn) {
  const testing_support::ScopedWorkingDirectory inTemp(testing::TempDir());
  testing::internal::CaptureStderr();
  EXPECT_LT(graphics::InitializeGraphics(), 0);
  testing::internal::GetCapturedStderr();
  ASSERT_EQ(window_.MessageBoxes().size(), 1u);
  EXPECT_EQ(window_.MessageBoxes()[0].caption, "Error");
  EXPECT_EQ(window_.MessageBoxes()[0].text,
            "The FX file cannot be compiled.  Please run this executable from the directory that "
            "contains the FX file.");
  const float black[4] = {0, 0, 0, 1};
  graphics::ClearScreen(black);  // the game runs on
  graphics::DrawMesh();
}

TEST_F(GraphicsBlockTest, DrawMeshRecordsTheCurrentListsAndBlocks) {
  auto device = std::make_unique<graphics::recording::RecordingRenderDevice>();
  auto* recording = device.get();
  ASSERT_EQ(graphics::InitializeGraphics(std::move(device)), 0);
  graphics::Block().vertices.assign(4, graphics::Vertex{1, 2, 3, 0.5f, 0.25f});
  graphics::Block().indices = {0, 1, 2};
  graphics::SetCameraView({4, 5, -15, 1}, {0, 0, 15, 0}, {0, 1, 0, 0});
  graphics::DrawMesh();
  graphics::Block().indices.clear();
  graphics::DrawMesh();  // empty lists still make one draw, of nothing
  ASSERT_EQ(recording->Draws().size(), 2u);
  const auto& first = recording->Draws()[0];
  EXPECT_EQ(first.indices, (std::vector<std::uint16_t>{0, 1, 2}));
  EXPECT_EQ(first.vertices.size(), 4u);
  EXPECT_FLOAT_EQ(first.view.m[0][3], -4.0f);
  EXPECT_FLOAT_EQ(first.projection.m[1][1], 0.0666667f);
  EXPECT_TRUE(recording->Draws()[1].indices.empty());
}

}  // namespace
