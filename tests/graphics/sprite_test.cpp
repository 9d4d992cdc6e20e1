// Sprites, sheets and the camera, drawn on the recording device: what each sprite
// hands to the batch and how the batches split.
#include "graphics/sprite.h"

#include <array>
#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "base/log.h"
#include "graphics/camera.h"
#include "graphics/graphics.h"
#include "graphics/recording/recording_render_device.h"
#include "graphics/sprite_source.h"
#include "objects/game_object.h"
#include "objects/transform.h"
#include "working_directory.h"

namespace {

using graphics::recording::RecordingRenderDevice;
using graphics::recording::SpriteBatchRecord;

// Named as data files name pictures: inside the data folder, here the test data.
constexpr const char* kSheet = "pngsuite/basn6a08.png";  // 32 x 32
constexpr const char* kOther = "pngsuite/basn2c08.png";  // 32 x 32
constexpr const char* kSmall = "pngsuite/s09n3p02.png";  // 9 x 9

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
    savedSize_ = {graphics::Block().width, graphics::Block().height};
    graphics::Block().width = 1280.0f;
    graphics::Block().height = 720.0f;
    graphics::Block().cameraView =
        base::MatrixTranspose(graphics::BuildLookToView({3, 4, -15, 1}, {0, 0, 15, 0}, {0, 1, 0, 0}));
    graphics::Block().fixedView =
        base::MatrixTranspose(graphics::BuildLookToView({0, 0, -15, 1}, {0, 0, 15, 0}, {0, 1, 0, 0}));
    base::ResetLogOnce();
    inTestData_ = std::make_unique<testing_support::ScopedWorkingDirectory>(VELMARIS_TESTDATA_DIR);
  }
  void TearDown() override {
    inTestData_.reset();
    objects_.clear();
    graphics::ShutdownGraphics();
    graphics::Block().zoom = 48.0f;
    graphics::Block().width = savedSize_[0];
    graphics::Block().height = savedSize_[1];
  }

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

  // A sprite of one whole picture on an object the fixture keeps until TearDown.
  graphics::Sprite* NewSprite(const std::string& image) {
    objects_.push_back(std::make_unique<objects::GameObject>("Object" + std::to_string(objects_.size())));
    return AddSprite(*objects_.back(), image, 1, 1);
  }

  static objects::Transform& TransformOf(graphics::Sprite& sprite) {
    return *sprite.GetOwner()->GetComponent<objects::Transform>("Transform");
  }

  // The batches drawn so far, once the waiting sprites have been drawn too.
  const std::vector<SpriteBatchRecord>& Batches() {
    graphics::FlushSprites();
    return recording->SpriteBatches();
  }

  RecordingRenderDevice* recording = nullptr;

 private:
  std::vector<std::unique_ptr<objects::GameObject>> objects_;
  std::array<float, 2> savedSize_{};
  std::unique_ptr<testing_support::ScopedWorkingDirectory> inTestData_;
};

#define EXPECT_CORNER(corner, X, Y)   \
  do {                                \
    EXPECT_NEAR((corner).x, X, 1e-5); \
    EXPECT_NEAR((corner).y, Y, 1e-5); \
  } while (0)

TEST_F(SpriteTest, DrawsItsCellPlacedByTheWorldMatrixWithColourAndTexture) {
  objects::GameObject object("Player");
  graphics::Sprite* sprite = AddSprite(object, kSheet, 2, 4);
  sprite->frameIndex = 5;
  sprite->colour = {1.0f, 0.5f, 0.25f, 1.0f};
  sprite->Draw();
  EXPECT_TRUE(recording->SpriteBatches().empty()) << "waits for the next sprite";

  ASSERT_EQ(Batches().size(), 1u);
  const SpriteBatchRecord& batch = Batches()[0];
  ASSERT_EQ(batch.Sprites(), 1u);
  // Bottom-left, bottom-right, top-right, top-left of the 2 x 2 quad around (2, 1).
  const float expected[4][4] = {
      {1, 0, 0.25f, 1.0f}, {3, 0, 0.5f, 1.0f}, {3, 2, 0.5f, 0.5f}, {1, 2, 0.25f, 0.5f}};
  for (int i = 0; i < 4; ++i) {
    SCOPED_TRACE(i);
    const graphics::SpriteVertex& corner = batch.corners[static_cast<size_t>(i)];
    EXPECT_CORNER(corner, expected[i][0], expected[i][1]);
    EXPECT_EQ(corner.z, -1.0f);
    EXPECT_FLOAT_EQ(corner.u, expected[i][2]);
    EXPECT_FLOAT_EQ(corner.v, expected[i][3]);
    EXPECT_EQ(corner.colour.y, 0.5f);
    EXPECT_EQ(corner.colour.z, 0.25f);
  }
  EXPECT_FLOAT_EQ(batch.view.m[0][3], -3.0f) << "the camera view";
  EXPECT_FLOAT_EQ(batch.projection.m[0][0], 0.0375f) << "48 / 1280, from the zoom";
  ASSERT_NE(batch.texture, nullptr);
  EXPECT_EQ(batch.texture->Width(), 32u);
  // The mesh keeps the unit quad's own coordinates.
  EXPECT_EQ(sprite->mesh->vertices[0].u, 0.0f);
  EXPECT_EQ(sprite->mesh->vertices[1].x, 1.0f);
}

TEST_F(SpriteTest, MirroredAndRotatedSpritesPlaceTheirCornersOnTheOtherSide) {
  graphics::Sprite* mirrored = NewSprite(kSheet);
  TransformOf(*mirrored).translation = {-4.0f, 0.0f, 0.0f, 1.0f};
  TransformOf(*mirrored).SetScale(-2.0f, 1.0f);
  graphics::Sprite* upsideDown = NewSprite(kSheet);
  TransformOf(*upsideDown).translation = {0.0f, 0.0f, 0.0f, 1.0f};
  TransformOf(*upsideDown).SetScale(1.0f, -1.0f);
  graphics::Sprite* turned = NewSprite(kSheet);
  TransformOf(*turned).translation = {5.0f, 0.0f, 0.0f, 1.0f};
  TransformOf(*turned).rotation = 90.0f;  // counter-clockwise
  for (graphics::Sprite* sprite : {mirrored, upsideDown, turned}) sprite->Draw();

  ASSERT_EQ(Batches().size(), 1u);
  const auto& corners = Batches()[0].corners;
  ASSERT_EQ(corners.size(), 12u);
  // Left and right swap; the texture coordinates stay, so the picture shows mirrored.
  EXPECT_CORNER(corners[0], -2.0f, -1.0f);
  EXPECT_CORNER(corners[1], -6.0f, -1.0f);
  EXPECT_CORNER(corners[2], -6.0f, 1.0f);
  EXPECT_CORNER(corners[3], -2.0f, 1.0f);
  EXPECT_EQ(corners[0].u, 0.0f);
  EXPECT_EQ(corners[1].u, 1.0f);
  // Top and bottom swap.
  EXPECT_CORNER(corners[4], -1.0f, 1.0f);
  EXPECT_CORNER(corners[6], 1.0f, -1.0f);
  EXPECT_EQ(corners[4].v, 1.0f);
  // A quarter turn to the left: the bottom-left corner goes to the bottom right.
  EXPECT_CORNER(corners[8], 6.0f, -1.0f);
  EXPECT_CORNER(corners[9], 6.0f, 1.0f);
  EXPECT_CORNER(corners[10], 4.0f, 1.0f);
  EXPECT_CORNER(corners[11], 4.0f, -1.0f);
}

TEST_F(SpriteTest, EachSpriteOfABatchKeepsItsOwnColourAndFrame) {
  std::vector<graphics::Sprite*> sprites;
  const base::XMFLOAT4 colours[3] = {{1, 0, 0, 1}, {0, 1, 0, 0.5f}, {0, 0, 1, 0.25f}};
  for (int i = 0; i < 3; ++i) {
    sprites.push_back(NewSprite(kSheet));
    sprites.back()->GetOwner()->GetComponent<graphics::SpriteSource>("SpriteSource")->columns = 3;
    sprites.back()->frameIndex = i;
    sprites.back()->colour = colours[i];
    sprites.back()->Draw();
  }
  ASSERT_EQ(Batches().size(), 1u) << "one picture, one view: one draw";
  const auto& corners = Batches()[0].corners;
  ASSERT_EQ(corners.size(), 12u);
  for (size_t i = 0; i < 12; ++i) {
    SCOPED_TRACE(i);
    const base::XMFLOAT4& want = colours[i / 4];
    EXPECT_EQ(corners[i].colour.x, want.x);
    EXPECT_EQ(corners[i].colour.y, want.y);
    EXPECT_EQ(corners[i].colour.z, want.z);
    EXPECT_EQ(corners[i].colour.w, want.w);
  }
  EXPECT_FLOAT_EQ(corners[4].u, 1.0f / 3.0f) << "the second sprite shows the second cell";
  EXPECT_FLOAT_EQ(corners[8].u, 2.0f / 3.0f);
}

TEST_F(SpriteTest, BatchesFollowTheDrawOrderAcrossPictures) {
  graphics::Sprite* a1 = NewSprite(kSheet);
  graphics::Sprite* a2 = NewSprite(kSheet);
  graphics::Sprite* b = NewSprite(kOther);
  graphics::Sprite* a3 = NewSprite(kSheet);
  TransformOf(*a3).translation.x = 9.0f;
  for (graphics::Sprite* sprite : {a1, a2, b, a3}) sprite->Draw();

  const auto& batches = Batches();
  ASSERT_EQ(batches.size(), 3u) << "A, A, B, A: the last A may not join the first two under B";
  EXPECT_EQ(batches[0].Sprites(), 2u);
  EXPECT_EQ(batches[1].Sprites(), 1u);
  EXPECT_EQ(batches[2].Sprites(), 1u);
  const graphics::Texture* a = a1->source->GetTexture();
  EXPECT_EQ(batches[0].texture, a);
  EXPECT_EQ(batches[1].texture, b->source->GetTexture());
  EXPECT_NE(batches[1].texture, a);
  EXPECT_EQ(batches[2].texture, a);
  EXPECT_NEAR(batches[2].corners[0].x, 8.0f, 1e-5);
  for (size_t i = 0; i < batches.size(); ++i) EXPECT_EQ(batches[i].order, i);
}

TEST_F(SpriteTest, StaticAndCameraSpritesDrawWithTheirOwnViews) {
  graphics::Sprite* hud = NewSprite(kSheet);
  hud->isStatic = true;
  graphics::Sprite* world = NewSprite(kSheet);
  graphics::Sprite* hudAgain = NewSprite(kSheet);
  hudAgain->isStatic = true;
  for (graphics::Sprite* sprite : {hud, world, hudAgain}) sprite->Draw();

  const auto& batches = Batches();
  ASSERT_EQ(batches.size(), 3u) << "one picture, but the view changes twice";
  EXPECT_FLOAT_EQ(batches[0].view.m[0][3], 0.0f) << "the fixed view";
  EXPECT_FLOAT_EQ(batches[0].view.m[2][3], 15.0f);
  EXPECT_FLOAT_EQ(batches[1].view.m[0][3], -3.0f) << "the camera view";
  EXPECT_FLOAT_EQ(batches[1].view.m[1][3], -4.0f);
  EXPECT_FLOAT_EQ(batches[2].view.m[0][3], 0.0f);
}

TEST_F(SpriteTest, ABatchEndsWhereTheCameraOrTheZoomChanges) {
  graphics::Sprite* sprite = NewSprite(kSheet);
  sprite->Draw();
  sprite->Draw();
  // The camera moves between two sprites of one picture.
  graphics::SetCameraView({-7, 0, -15, 1}, {0, 0, 15, 0}, {0, 1, 0, 0});
  sprite->Draw();
  graphics::Block().zoom = 24.0f;  // as the level overview does
  sprite->Draw();

  const auto& batches = Batches();
  ASSERT_EQ(batches.size(), 3u);
  EXPECT_EQ(batches[0].Sprites(), 2u);
  EXPECT_FLOAT_EQ(batches[0].view.m[0][3], -3.0f) << "drawn with the view they were handed over with";
  EXPECT_FLOAT_EQ(batches[1].view.m[0][3], 7.0f);
  EXPECT_FLOAT_EQ(batches[1].projection.m[0][0], 48.0f / 1280.0f);
  EXPECT_FLOAT_EQ(batches[2].view.m[0][3], 7.0f);
  EXPECT_FLOAT_EQ(batches[2].projection.m[0][0], 24.0f / 1280.0f);
  EXPECT_FLOAT_EQ(graphics::Block().projection.m[0][0], 24.0f / 1280.0f) << "kept for the mouse mapping";
}

TEST_F(SpriteTest, AFullBatchIsDrawnAndTheNextSpriteStartsAnother) {
  graphics::Sprite* sprite = NewSprite(kSheet);
  for (size_t i = 0; i <= graphics::kMaxSpritesPerDraw; ++i) sprite->Draw();
  const auto& batches = Batches();
  ASSERT_EQ(batches.size(), 2u);
  EXPECT_EQ(batches[0].Sprites(), graphics::kMaxSpritesPerDraw);
  EXPECT_EQ(batches[1].Sprites(), 1u);
}

TEST_F(SpriteTest, UnreadableImageDrawsWithoutATexture) {
  objects::GameObject object("Ghost");
  testing::internal::CaptureStderr();
  graphics::Sprite* sprite = AddSprite(object, "images/no-such-file.png", 1, 1);
  const std::string log = testing::internal::GetCapturedStderr();
  EXPECT_NE(log.find("images/no-such-file.png"), std::string::npos) << log;
  sprite->Draw();
  ASSERT_EQ(Batches().size(), 1u);
  EXPECT_EQ(Batches()[0].texture, nullptr);
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
  auto* sheet = new graphics::SpriteSource(kOther);
  adrift.AddComponent(sheet);
  auto* unplaced = new graphics::Sprite();
  adrift.AddComponent(unplaced);
  ASSERT_TRUE(adrift.Initialize());
  testing::internal::CaptureStderr();
  unplaced->Draw();
  unplaced->Draw();
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "component: object Adrift: Sprite needs a Transform on its object\n");
  EXPECT_TRUE(Batches().empty());

  objects::GameObject empty("Empty");
  graphics::Sprite* emptySprite = AddSprite(empty, kOther, 0, 3);
  testing::internal::CaptureStderr();
  emptySprite->Draw();
  EXPECT_NE(testing::internal::GetCapturedStderr().find("at least one row and one column"),
            std::string::npos);
  EXPECT_TRUE(Batches().empty());
}

// Code builds some sprites (the menu cursor) and never initialises them.
TEST_F(SpriteTest, ASpriteNeverInitialisedFindsItsSiblingsWhenDrawn) {
  objects::GameObject object("Cursor");
  auto* transform = new objects::Transform(-1.0f, 0.0f, 0.0f);
  transform->SetScale(0.5f, 0.5f);
  object.AddComponent(transform);
  object.AddComponent(new graphics::SpriteSource());
  auto* sprite = new graphics::Sprite();
  object.AddComponent(sprite);
  object.GetComponent<graphics::SpriteSource>("SpriteSource")->LoadImage(kSmall);
  testing::internal::CaptureStderr();
  sprite->Draw();
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  ASSERT_EQ(Batches().size(), 1u);
  EXPECT_CORNER(Batches()[0].corners[0], -1.5f, -0.5f);
  ASSERT_NE(Batches()[0].texture, nullptr);
  EXPECT_EQ(Batches()[0].texture->Width(), 9u);
}

TEST_F(SpriteTest, LoadImageReplacesTheTextureButKeepsTheImageName) {
  objects::GameObject object("Switch");
  AddSprite(object, kSheet, 1, 1);
  auto* source = object.GetComponent<graphics::SpriteSource>("SpriteSource");
  ASSERT_TRUE(object.Initialize());  // a second pass (prefab layer, reload) decodes nothing again
  EXPECT_EQ(recording->TexturesCreated(), 1);
  source->LoadImage(kSmall);
  ASSERT_NE(source->GetTexture(), nullptr);
  EXPECT_EQ(source->GetTexture()->Width(), 9u);
  EXPECT_EQ(source->image, kSheet);
  EXPECT_EQ(recording->TexturesCreated(), 2);
  source->LoadImage(kSmall);
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
