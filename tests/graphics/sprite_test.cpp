// Sprites, sheets and the camera, drawn on the recording device.
#include "graphics/sprite.h"

#include <gtest/gtest.h>

#include "base/log.h"
#include "graphics/camera.h"
#include "graphics/graphics.h"
#include "graphics/recording/recording_render_device.h"
#include "graphics/sprite_source.h"
#include "objects/game_object.h"
#include "objects/transform.h"

namespace {

using graphics::recording::RecordingRenderDevice;

TEST(SheetCellTest, FramesCountRowByRowFromTheTopLeft) {
  const graphics::SheetCell whole = graphics::CellOfFrame(0, 1, 1);
  EXPECT_EQ(whole.u, 0.0f);
  EXPECT_EQ(whole.v, 0.0f);
  EXPECT_EQ(whole.du, 1.0f);
  EXPECT_EQ(whole.dv, 1.0f);
  const graphics::SheetCell fifth = graphics::CellOfFrame(5, 2, 4);
  EXPECT_FLOAT_EQ(fifth.u, 0.25f);
  EXPECT_FLOAT_EQ(fifth.u + fifth.du, 0.5f);
  EXPECT_FLOAT_EQ(fifth.v, 0.5f);
  EXPECT_FLOAT_EQ(fifth.v + fifth.dv, 1.0f);
  // Past the last cell the coordinates run beyond 1; the sampler wraps them.
  EXPECT_FLOAT_EQ(graphics::CellOfFrame(8, 2, 4).v, 1.0f);
}

class SpriteTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto device = std::make_unique<RecordingRenderDevice>();
    recording = device.get();
    graphics::Block().device = std::move(device);
    graphics::Block().cameraView =
        base::MatrixTranspose(graphics::BuildLookToView({3, 4, -15, 1}, {0, 0, 15, 0}, {0, 1, 0, 0}));
    graphics::Block().fixedView =
        base::MatrixTranspose(graphics::BuildLookToView({0, 0, -15, 1}, {0, 0, 15, 0}, {0, 1, 0, 0}));
    base::ResetLogOnce();
  }
  void TearDown() override { graphics::ShutdownGraphics(); }

  // An object with a transform at (2, 1) of scale 1, a sheet and a sprite.
  graphics::Sprite* AddSprite(objects::GameObject& object, const std::string& image, int rows, int columns) {
    auto* transform = new objects::Transform(2.0f, 1.0f, 0.0f);
    transform->SetScale(1.0f, 1.0f);
    object.AddComponent(transform);
    auto* source = new graphics::SpriteSource(image);
    source->rows = rows;
    source->columns = columns;
    object.AddComponent(source);
    auto* sprite = new graphics::Sprite("label");
    object.AddComponent(sprite);
    EXPECT_TRUE(object.Initialize());
    return sprite;
  }

  RecordingRenderDevice* recording = nullptr;
};

TEST_F(SpriteTest, DrawsItsCellWithTheWorldMatrixColourAndTexture) {
  objects::GameObject object("Player");
  graphics::Sprite* sprite = AddSprite(object, VELMARIS_TESTDATA_DIR "/pngsuite/basn6a08.png", 2, 4);
  sprite->frameIndex = 5;
  sprite->colour = {1.0f, 0.5f, 0.25f, 1.0f};
  sprite->Draw();

  ASSERT_EQ(recording->Draws().size(), 1u);
  const auto& draw = recording->Draws()[0];
  ASSERT_EQ(draw.vertices.size(), 4u);
  EXPECT_FLOAT_EQ(draw.vertices[0].u, 0.25f);
  EXPECT_FLOAT_EQ(draw.vertices[0].v, 1.0f);
  EXPECT_FLOAT_EQ(draw.vertices[2].u, 0.5f);
  EXPECT_FLOAT_EQ(draw.vertices[2].v, 0.5f);
  EXPECT_EQ(draw.indices, (std::vector<std::uint16_t>{3, 1, 0, 2, 1, 3}));
  // The world matrix arrives transposed: the translation in the last column.
  EXPECT_FLOAT_EQ(draw.object.world.m[0][3], 2.0f);
  EXPECT_FLOAT_EQ(draw.object.world.m[1][3], 1.0f);
  EXPECT_FLOAT_EQ(draw.object.world.m[0][0], 1.0f);
  EXPECT_EQ(draw.object.colour.y, 0.5f);
  EXPECT_FLOAT_EQ(draw.view.m[0][3], -3.0f) << "the camera view";
  ASSERT_NE(draw.texture, nullptr);
  EXPECT_EQ(draw.texture->Width(), 32u);
  // The mesh keeps the unit quad's own coordinates.
  EXPECT_EQ(sprite->mesh->vertices[0].u, 0.0f);
}

TEST_F(SpriteTest, StaticSpritesUseTheFixedView) {
  objects::GameObject object("c_Button");
  graphics::Sprite* sprite = AddSprite(object, VELMARIS_TESTDATA_DIR "/pngsuite/basn2c08.png", 1, 1);
  sprite->isStatic = true;
  sprite->Draw();
  ASSERT_EQ(recording->Draws().size(), 1u);
  EXPECT_FLOAT_EQ(recording->Draws()[0].view.m[0][3], 0.0f);
  EXPECT_FLOAT_EQ(recording->Draws()[0].view.m[2][3], 15.0f);
}

TEST_F(SpriteTest, UnreadableImageDrawsWithoutATexture) {
  objects::GameObject object("Ghost");
  testing::internal::CaptureStderr();
  graphics::Sprite* sprite = AddSprite(object, "images/no-such-file.png", 1, 1);
  const std::string log = testing::internal::GetCapturedStderr();
  EXPECT_NE(log.find("images/no-such-file.png"), std::string::npos) << log;
  sprite->Draw();
  ASSERT_EQ(recording->Draws().size(), 1u);
  EXPECT_EQ(recording->Draws()[0].texture, nullptr);
}

TEST_F(SpriteTest, SpriteWithoutSheetOrPlaceOrWithAnEmptySheetIsSkippedAndReportedOnce) {
  objects::GameObject lonely("Lonely");
  auto* transform = new objects::Transform(0, 0, 0);
  lonely.AddComponent(transform);
  auto* sprite = new graphics::Sprite();
  lonely.AddComponent(sprite);
  testing::internal::CaptureStderr();
  ASSERT_TRUE(lonely.Initialize()) << "a missing sheet does not fail initialisation";
  ASSERT_TRUE(lonely.Initialize());  // a second pass (prefab layer, reload) says nothing new
  sprite->Draw();
  sprite->Draw();
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "component: object Lonely: Sprite needs a SpriteSource on its object\n");

  objects::GameObject adrift("Adrift");  // a sheet but no place
  auto* sheet = new graphics::SpriteSource(VELMARIS_TESTDATA_DIR "/pngsuite/basn2c08.png");
  adrift.AddComponent(sheet);
  auto* unplaced = new graphics::Sprite();
  adrift.AddComponent(unplaced);
  ASSERT_TRUE(adrift.Initialize());
  testing::internal::CaptureStderr();
  unplaced->Draw();
  unplaced->Draw();
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "component: object Adrift: Sprite needs a Transform on its object\n");
  EXPECT_TRUE(recording->Draws().empty());

  objects::GameObject empty("Empty");
  graphics::Sprite* emptySprite = AddSprite(empty, VELMARIS_TESTDATA_DIR "/pngsuite/basn2c08.png", 0, 3);
  testing::internal::CaptureStderr();
  emptySprite->Draw();
  EXPECT_NE(testing::internal::GetCapturedStderr().find("at least one row and one column"),
            std::string::npos);
  EXPECT_TRUE(recording->Draws().empty());
}

TEST_F(SpriteTest, LoadImageReplacesTheTextureButKeepsTheImageName) {
  objects::GameObject object("Switch");
  AddSprite(object, VELMARIS_TESTDATA_DIR "/pngsuite/basn6a08.png", 1, 1);
  auto* source = object.GetComponent<graphics::SpriteSource>("SpriteSource");
  ASSERT_TRUE(object.Initialize());  // a second pass (prefab layer, reload) decodes nothing again
  EXPECT_EQ(recording->TexturesCreated(), 1);
  source->LoadImage(VELMARIS_TESTDATA_DIR "/pngsuite/s09n3p02.png");
  ASSERT_NE(source->GetTexture(), nullptr);
  EXPECT_EQ(source->GetTexture()->Width(), 9u);
  EXPECT_EQ(source->image, VELMARIS_TESTDATA_DIR "/pngsuite/basn6a08.png");
  EXPECT_EQ(recording->TexturesCreated(), 2);
  source->LoadImage(VELMARIS_TESTDATA_DIR "/pngsuite/s09n3p02.png");
  EXPECT_EQ(recording->TexturesCreated(), 2) << "the picture shown already is not decoded again";
}

TEST_F(SpriteTest, CameraCentresTheViewOnItsObject) {
  objects::GameObject object("Camera");
  object.AddComponent(new objects::Transform(10.0f, -3.0f, 0.0f));
  auto* camera = new graphics::Camera();
  object.AddComponent(camera);
  camera->LateUpdate(0.016f);
  EXPECT_FLOAT_EQ(graphics::Block().cameraView.m[0][3], -10.0f);
  EXPECT_FLOAT_EQ(graphics::Block().cameraView.m[1][3], 3.0f);
  EXPECT_FLOAT_EQ(graphics::Block().cameraView.m[2][3], 15.0f);
  // World (10 + 26.6667, -3) lands on the right edge: x_ndc = 1.
  const base::Matrix4 view = base::MatrixTranspose(graphics::Block().cameraView);
  const base::Matrix4 projection = graphics::BuildProjection(1280, 720, 48);
  const base::vector2D edge =
      base::TransformPoint(base::TransformPoint({10.0f + 26.6667f, -3.0f}, view), projection);
  EXPECT_NEAR(edge.x, 1.0f, 1e-4);
  EXPECT_NEAR(edge.y, 0.0f, 1e-6);
}

}  // namespace
