// The graphics block's matrices and its draw paths on the recording device: the mesh
// draw, and the sprite batch drawn before anything else reaches the device.
#include <functional>
#include <memory>
#include <optional>
#include <string>

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
  auto device = std::make_unique<graphics::recording::RecordingRenderDevice>();
  auto* recording = device.get();
  ASSERT_EQ(graphics::InitializeGraphics(std::move(device)), 0);
  EXPECT_EQ(recording->ShadersCompiled(), 6) << "both entry points of the mesh and the two sprite programs";
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

// One sprite handed over, then another operation: the sprite must reach the device
// first, with the view and projection it was handed over with.
TEST_F(GraphicsBlockTest, AWaitingSpriteIsDrawnBeforeAnyOtherOperationReachesTheDevice) {
  const base::Matrix4 otherView =
      base::MatrixTranspose(graphics::BuildLookToView({9, 9, -15, 1}, {0, 0, 15, 0}, {0, 1, 0, 0}));
  const float black[4] = {0, 0, 0, 1};
  const struct {
    const char* name;
    std::function<void()> operation;
  } operations[] = {
      {"clear", [&] { graphics::ClearScreen(black); }},
      {"mesh draw", [] { graphics::DrawMesh(); }},
      {"view upload", [&] { graphics::UploadView(otherView); }},
      {"object upload", [] { graphics::UploadObject({}); }},
      {"present", [] { graphics::PresentFrame(); }},
      {"read-back",
       [] {
         graphics::Picture picture;
         graphics::CapturePicture(picture);
       }},
  };
  for (const auto& entry : operations) {
    SCOPED_TRACE(entry.name);
    auto device = std::make_unique<graphics::recording::RecordingRenderDevice>();
    auto* recording = device.get();
    ASSERT_EQ(graphics::InitializeGraphics(std::move(device)), 0);
    graphics::SpriteCorners corners{};
    corners[2].x = 5.0f;
    graphics::DrawSprite(corners, graphics::Block().fixedView, nullptr);
    ASSERT_TRUE(recording->SpriteBatches().empty()) << "it waits for the next sprite";
    entry.operation();
    ASSERT_EQ(recording->SpriteBatches().size(), 1u);
    const auto& batch = recording->SpriteBatches()[0];
    EXPECT_EQ(batch.order, 0u);
    EXPECT_EQ(batch.frame, 0) << "in the frame it was handed over in";
    EXPECT_EQ(batch.corners[2].x, 5.0f);
    EXPECT_FLOAT_EQ(batch.view.m[2][3], 15.0f);
    EXPECT_FLOAT_EQ(batch.view.m[0][3], 0.0f) << "the fixed view, not one uploaded after";
    EXPECT_FLOAT_EQ(batch.projection.m[0][0], 0.0375f);
    for (const auto& clear : recording->Clears()) EXPECT_EQ(clear.order, 1u) << "cleared after";
    for (const auto& draw : recording->Draws()) EXPECT_EQ(draw.order, 1u) << "the mesh after";
    graphics::ShutdownGraphics();
  }
}

// A square from (-h, -h) to (h, h) in the world showing the whole picture, tinted.
graphics::SpriteCorners Square(float h, float alpha) {
  const float x[4] = {-h, h, h, -h}, y[4] = {-h, -h, h, h}, u[4] = {0, 1, 1, 0}, v[4] = {1, 1, 0, 0};
  graphics::SpriteCorners corners{};
  for (int i = 0; i < 4; ++i) corners[i] = {x[i], y[i], 0.0f, u[i], v[i], {1.0f, 1.0f, 1.0f, alpha}};
  return corners;
}

// The device is told how small a batch shows its picture (its smallest sprite) and
// whether every pixel is opaque, so that it can skip mip filtering and blending.
TEST_F(GraphicsBlockTest, ABatchSaysHowSmallItsPictureShowsAndWhetherItIsOpaque) {
  auto device = std::make_unique<graphics::recording::RecordingRenderDevice>();
  auto* recording = device.get();
  ASSERT_EQ(graphics::InitializeGraphics(std::move(device)), 0);
  graphics::TexelSummary opaqueTexels;
  opaqueTexels.opaque = true;
  const auto opaque = std::make_shared<const graphics::recording::RecordingTexture>(48, 96, opaqueTexels);
  const auto translucent = std::make_shared<const graphics::recording::RecordingTexture>(48, 48);
  const base::Matrix4& view = graphics::Block().fixedView;
  // 24 pixels a world unit: a square of side 2 spans 48 pixels.
  graphics::DrawSprite(Square(1.0f, 1.0f), view, opaque);
  graphics::PresentFrame();
  graphics::DrawSprite(Square(2.0f, 1.0f), view, opaque);
  graphics::DrawSprite(Square(1.0f, 1.0f), view, opaque);
  graphics::PresentFrame();
  graphics::DrawSprite(Square(1.0f, 0.5f), view, opaque);
  graphics::DrawSprite(Square(1.0f, 1.0f), view, translucent);
  graphics::PresentFrame();
  const auto& batches = recording->SpriteBatches();
  ASSERT_EQ(batches.size(), 4u);
  EXPECT_FLOAT_EQ(batches[0].look.pixelsPerTexel, 0.5f) << "96 texels over 48 pixels upwards";
  EXPECT_TRUE(batches[0].look.opaque);
  EXPECT_FLOAT_EQ(batches[1].look.pixelsPerTexel, 0.5f) << "the smaller sprite of the batch";
  EXPECT_FALSE(batches[2].look.opaque) << "a translucent tint";
  EXPECT_FLOAT_EQ(batches[3].look.pixelsPerTexel, 1.0f);
  EXPECT_FALSE(batches[3].look.opaque) << "a picture with translucent pixels";
}

// What a sprite would blend as fully transparent is left out, and a picture of one
// colour is drawn flat: the corners carry its colour in their tints.
TEST_F(GraphicsBlockTest, SpritesLeaveOutTransparentBordersAndDrawOneColourPicturesFlat) {
  auto device = std::make_unique<graphics::recording::RecordingRenderDevice>();
  auto* recording = device.get();
  ASSERT_EQ(graphics::InitializeGraphics(std::move(device)), 0);
  graphics::TexelSummary bordered;  // alpha only in the middle half of each side
  bordered.covered = {0.25f, 0.25f, 0.75f, 0.75f};
  graphics::TexelSummary empty;
  empty.covered = {0.0f, 0.0f, 0.0f, 0.0f};
  graphics::TexelSummary oneColour;
  oneColour.uniform = base::XMFLOAT4{0.5f, 1.0f, 0.25f, 0.5f};
  using graphics::recording::RecordingTexture;
  const auto borderedTexture = std::make_shared<const RecordingTexture>(48, 48, bordered);
  const base::Matrix4& view = graphics::Block().fixedView;
  // 24 pixels a world unit: the picture at its size, then at half its size.
  graphics::DrawSprite(Square(1.0f, 1.0f), view, borderedTexture);
  graphics::DrawSprite(Square(0.5f, 1.0f), view, borderedTexture);
  graphics::DrawSprite(Square(1.0f, 1.0f), view, std::make_shared<const RecordingTexture>(48, 48, empty));
  graphics::DrawSprite(Square(1.0f, 0.5f), view, std::make_shared<const RecordingTexture>(48, 48, oneColour));
  graphics::PresentFrame();

  const auto& batches = recording->SpriteBatches();
  ASSERT_EQ(batches.size(), 2u) << "the sprite of a picture without alpha draws nothing";
  ASSERT_EQ(batches[0].Sprites(), 2u);
  // At its size: the covered half and two texels beyond, of 48 texels over 2 units.
  const float edge = 0.25f - 2.0f / 48.0f;
  const graphics::SpriteVertex& trimmed = batches[0].corners[0];
  EXPECT_FLOAT_EQ(trimmed.x, -1.0f + 2.0f * edge);
  EXPECT_FLOAT_EQ(trimmed.y, -1.0f + 2.0f * edge);
  EXPECT_FLOAT_EQ(trimmed.u, edge);
  EXPECT_FLOAT_EQ(trimmed.v, 1.0f - edge) << "v grows downwards";
  EXPECT_FLOAT_EQ(batches[0].corners[2].u, 1.0f - edge);
  EXPECT_FLOAT_EQ(batches[0].corners[2].x, 1.0f - 2.0f * edge);
  // At half its size mip filtering reaches further than a texel: kept whole.
  EXPECT_FLOAT_EQ(batches[0].corners[4].x, -0.5f);
  EXPECT_FLOAT_EQ(batches[0].corners[4].u, 0.0f);
  EXPECT_FALSE(batches[0].look.flat);

  EXPECT_TRUE(batches[1].look.flat);
  for (const graphics::SpriteVertex& corner : batches[1].corners) {
    EXPECT_FLOAT_EQ(corner.colour.x, 0.5f);
    EXPECT_FLOAT_EQ(corner.colour.y, 1.0f);
    EXPECT_FLOAT_EQ(corner.colour.z, 0.25f);
    EXPECT_FLOAT_EQ(corner.colour.w, 0.25f) << "the picture's alpha times the tint's";
  }
}

TEST_F(GraphicsBlockTest, ShutdownLetsGoOfTheWaitingSpritesTexture) {
  ASSERT_EQ(graphics::InitializeGraphics(std::make_unique<graphics::recording::RecordingRenderDevice>()), 0);
  const auto texture = std::make_shared<const graphics::recording::RecordingTexture>(4, 4);
  graphics::DrawSprite({}, graphics::Block().fixedView, texture);
  EXPECT_EQ(texture.use_count(), 2) << "held until drawn";
  graphics::ShutdownGraphics();
  EXPECT_EQ(texture.use_count(), 1);
  EXPECT_TRUE(graphics::Block().sprites.corners.empty());
}

}  // namespace
