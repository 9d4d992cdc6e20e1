// The OpenGL renderer on a real window (Xvfb in automated runs), read back with
// glReadPixels: colours and positions of what the graphics block draws, mirrored
// quads, edges of stretched pictures, pictures of every texture format, and sprites
// drawn in batches.
#include <cmath>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <png.h>
#include <unistd.h>

#include "base/player_notice.h"
#include "graphics/graphics.h"
#include "graphics/image/png_writer.h"
#include "graphics/image_decoder.h"
#include "graphics/image_test_support.h"
#include "graphics/screenshot.h"
#include "graphics/sprite.h"
#include "graphics/sprite_source.h"
#include "graphics/texture_loader.h"
#include "objects/game_object.h"
#include "objects/transform.h"
#include "platform/sdl/sdl_window.h"
#include "working_directory.h"

namespace {

using base::Matrix4;
using base::XMFLOAT4;

struct Rgba {
  int r, g, b, a;
};

const std::filesystem::path kPngSuite = std::filesystem::path(VELMARIS_TESTDATA_DIR) / "pngsuite";

// The stored samples of a PNG as 8-bit RGBA, read by libpng's simplified reader.
// With only an sRGB chunk left, libpng neither gamma-corrects nor takes 16-bit
// samples as linear.
bool StoredRgba(const graphics::testing_support::Bytes& file, std::vector<std::uint8_t>& rgba, int& width,
                int& height) {
  auto plain = graphics::testing_support::WithColourChunks(file, true);
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, plain.data(), plain.size())) return false;
  image.format = PNG_FORMAT_RGBA;
  width = static_cast<int>(image.width);
  height = static_cast<int>(image.height);
  rgba.assign(PNG_IMAGE_SIZE(image), 0);
  const bool ok = png_image_finish_read(&image, nullptr, rgba.data(), 0, nullptr) != 0;
  png_image_free(&image);
  return ok;
}

// A window that forwards to the real one but keeps message boxes instead of showing them.
class CapturingWindow final : public platform::Window {
 public:
  explicit CapturingWindow(platform::sdl::SdlWindow& real) : real_(real) {}
  bool PeekMessage(platform::Message& message) override { return real_.PeekMessage(message); }
  platform::Rect GetClientRect() const override { return real_.GetClientRect(); }
  bool IsKeyHeld(int key) const override { return real_.IsKeyHeld(key); }
  void GetKeyboardState(platform::KeyboardState& state) const override { real_.GetKeyboardState(state); }
  void SetFullScreen(bool on) override { real_.SetFullScreen(on); }
  bool IsFullScreen() const override { return real_.IsFullScreen(); }
  void Minimize() override {}
  void Destroy() override {}
  void ShowMessageBox(std::string_view caption, std::string_view text) override {
    boxes.emplace_back(std::string(caption) + "|" + std::string(text));
  }
  platform::GlSurface* GetGlSurface() override { return &real_; }
  std::vector<std::string> boxes;

 private:
  platform::sdl::SdlWindow& real_;
};

class GlRenderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dataFolder_.emplace(VELMARIS_SOURCE_DIR "/data");
    real_ = std::make_unique<platform::sdl::SdlWindow>(/*fullScreen=*/false);
    window_ = std::make_unique<CapturingWindow>(*real_);
    graphics::Block().windowHandle = window_.get();
    ASSERT_EQ(graphics::InitializeGraphics(), 0);
    white_ = SolidTexture(255, 255, 255, 255);
  }
  void TearDown() override {
    white_.reset();
    graphics::ShutdownGraphics();
    graphics::Block().windowHandle = nullptr;
    window_.reset();
    real_.reset();
    dataFolder_.reset();
  }

  static std::unique_ptr<graphics::Texture> SolidTexture(std::uint8_t r, std::uint8_t g, std::uint8_t b,
                                                         std::uint8_t a) {
    graphics::TextureImage image;
    image.width = image.height = 2;
    image.gpuFormat = graphics::GpuFormat::kR8G8B8A8Unorm;
    image.pixelFormat = graphics::PixelFormat::k32bppRGBA;
    image.gl = *graphics::gl::GlFormatFor(image.gpuFormat);
    image.bitsPerPixel = 32;
    image.rowPitch = 8;
    for (int i = 0; i < 4; ++i) image.pixels.insert(image.pixels.end(), {r, g, b, a});
    return graphics::Block().device->CreateTexture(image);
  }

  // A texture loaded from PNG bytes through the loader, as a sprite source loads its
  // sheet. Null when the loader refuses the file.
  static std::unique_ptr<graphics::Texture> PngTexture(const graphics::testing_support::Bytes& file,
                                                       const std::string& name) {
    const auto path = std::filesystem::path(testing::TempDir()) / name;
    {
      std::ofstream out(path, std::ios::binary);
      out.write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
    }
    return graphics::LoadTextureFromFile(path.string());
  }

  // PNG bytes of a picture of width x height pixels, each of one RGBA colour.
  static graphics::testing_support::Bytes SolidPng(int width, int height, Rgba colour) {
    graphics::Picture picture;
    picture.width = width;
    picture.height = height;
    for (int i = 0; i < width * height; ++i) {
      picture.rgba.insert(picture.rgba.end(),
                          {static_cast<std::uint8_t>(colour.r), static_cast<std::uint8_t>(colour.g),
                           static_cast<std::uint8_t>(colour.b), static_cast<std::uint8_t>(colour.a)});
    }
    const auto path = std::filesystem::path(testing::TempDir()) / "solid.png";
    EXPECT_TRUE(graphics::image::WritePng(path.string(), picture));
    return graphics::testing_support::ReadFile(path);
  }

  // A texture of size x size texels in four square quarters, each of one opaque colour.
  static std::unique_ptr<graphics::Texture> QuarterTexture(Rgba topLeft, Rgba topRight, Rgba bottomLeft,
                                                           Rgba bottomRight, std::uint32_t size = 4) {
    graphics::TextureImage image;
    image.width = image.height = size;
    image.gpuFormat = graphics::GpuFormat::kR8G8B8A8Unorm;
    image.pixelFormat = graphics::PixelFormat::k32bppRGBA;
    image.gl = *graphics::gl::GlFormatFor(image.gpuFormat);
    image.bitsPerPixel = 32;
    image.rowPitch = size * 4;
    for (std::uint32_t y = 0; y < size; ++y) {
      for (std::uint32_t x = 0; x < size; ++x) {
        const bool top = y < size / 2, leftHalf = x < size / 2;
        const Rgba c = top ? (leftHalf ? topLeft : topRight) : (leftHalf ? bottomLeft : bottomRight);
        image.pixels.insert(image.pixels.end(),
                            {static_cast<std::uint8_t>(c.r), static_cast<std::uint8_t>(c.g),
                             static_cast<std::uint8_t>(c.b), 255});
      }
    }
    return graphics::Block().device->CreateTexture(image);
  }

  // Draws the unit quad as a sprite does: translated, scaled, tinted.
  void DrawQuad(float x, float y, float scale, XMFLOAT4 colour, const Matrix4& view,
                const graphics::Texture* texture) {
    DrawScaledQuad(x, y, scale, scale, colour, view, texture);
  }

  // The same with its own x and y scale; a negative one mirrors the quad.
  void DrawScaledQuad(float x, float y, float scaleX, float scaleY, XMFLOAT4 colour, const Matrix4& view,
                      const graphics::Texture* texture) {
    graphics::Block().vertices = {{-1, -1, -1, 0, 1}, {1, -1, -1, 1, 1}, {1, 1, -1, 1, 0}, {-1, 1, -1, 0, 0}};
    graphics::Block().indices = {3, 1, 0, 2, 1, 3};
    graphics::UploadView(view);
    Matrix4 world = base::MatrixIdentity();
    world.m[0][0] = scaleX;
    world.m[1][1] = scaleY;
    world.m[3][0] = x;
    world.m[3][1] = y;
    graphics::UploadObject({base::MatrixTranspose(world), colour});
    graphics::Block().textureView = texture;
    graphics::DrawMesh();
  }

  Rgba PixelAt(int x, int y) {
    if (!picture_.rgba.empty() || graphics::CapturePicture(picture_)) {
      const size_t at = (static_cast<size_t>(y) * picture_.width + x) * 4;
      return {picture_.rgba[at], picture_.rgba[at + 1], picture_.rgba[at + 2], picture_.rgba[at + 3]};
    }
    return {-1, -1, -1, -1};
  }

  void Clear() {
    const float cornflower[4] = {0.392157f, 0.584314f, 0.929412f, 1.0f};
    graphics::ClearScreen(cornflower);
    picture_ = {};
  }

  std::unique_ptr<platform::sdl::SdlWindow> real_;
  std::unique_ptr<CapturingWindow> window_;
  std::unique_ptr<graphics::Texture> white_;
  graphics::Picture picture_;
  std::optional<testing_support::ScopedWorkingDirectory> dataFolder_;
};

#define EXPECT_COLOUR(pixel, R, G, B)  \
  do {                                 \
    const Rgba p = (pixel);            \
    EXPECT_NEAR(p.r, R, 2) << "red";   \
    EXPECT_NEAR(p.g, G, 2) << "green"; \
    EXPECT_NEAR(p.b, B, 2) << "blue";  \
  } while (0)

TEST_F(GlRenderTest, ClearFillsThePictureWithTheColour) {
  Clear();
  EXPECT_EQ(picture_.width, 0);
  EXPECT_COLOUR(PixelAt(0, 0), 100, 149, 237);
  EXPECT_EQ(picture_.width, 1280);
  EXPECT_EQ(picture_.height, 720);
  EXPECT_COLOUR(PixelAt(1279, 719), 100, 149, 237);
}

// The notices F12 gives the player, caught here instead of shown.
std::vector<base::PlayerNotice>& CaughtNotices() {
  static std::vector<base::PlayerNotice> notices;
  return notices;
}

TEST_F(GlRenderTest, ScreenshotIntoAFolderTellsThePlayerWhereItWentOrWhyNot) {
  namespace fs = std::filesystem;
  const fs::path root = fs::path(testing::TempDir()) / ("shots-" + std::to_string(::getpid()));
  fs::create_directories(root);
  std::ofstream(root / "file") << "x";
  base::SetPlayerNoticeHook([](const base::PlayerNotice& notice) { CaughtNotices().push_back(notice); });
  struct Case {
    const char* what;
    fs::path folder;
    const char* reason;  // null: saved
  };
  const Case cases[] = {
      {"a folder still to be made", root / "new" / "shots", nullptr},
      {"a folder under a plain file", root / "file" / "shots", "Not a directory"},
  };
  for (const Case& c : cases) {
    CaughtNotices().clear();
    Clear();
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    const fs::path saved = graphics::SaveScreenshotToFolder(c.folder);
    testing::internal::GetCapturedStdout();
    const std::string errors = testing::internal::GetCapturedStderr();
    ASSERT_EQ(CaughtNotices().size(), 1u) << c.what;
    const base::PlayerNotice& notice = CaughtNotices()[0];
    if (c.reason == nullptr) {
      EXPECT_EQ(notice.headline, "Screenshot saved") << c.what;
      EXPECT_FALSE(notice.problem);
      EXPECT_EQ(notice.detail, saved.string());
      EXPECT_TRUE(fs::is_regular_file(saved)) << c.what;
    } else {
      EXPECT_EQ(notice.headline, "Screenshot not saved") << c.what;
      EXPECT_TRUE(notice.problem);
      EXPECT_NE(notice.detail.find(c.reason), std::string::npos) << notice.detail;
      EXPECT_NE(errors.find(notice.detail), std::string::npos) << "standard error says the same: " << errors;
      EXPECT_TRUE(saved.empty());
    }
  }
  base::SetPlayerNoticeHook(nullptr);
  std::error_code ignored;
  fs::remove_all(root, ignored);
}

TEST_F(GlRenderTest, TintedQuadCoversFortyEightPixelsAtTwentyFourPerUnit) {
  Clear();
  graphics::SetCameraView({0, 0, -15, 1}, {0, 0, 15, 0}, {0, 1, 0, 0});
  DrawQuad(2.0f, 1.0f, 1.0f, {1, 0, 0, 1}, graphics::Block().cameraView, white_.get());
  // World (2, 1) is 48 pixels right of and 24 above the centre; the quad spans 48 x 48.
  EXPECT_COLOUR(PixelAt(688, 336), 255, 0, 0);
  EXPECT_COLOUR(PixelAt(666, 314), 255, 0, 0);
  EXPECT_COLOUR(PixelAt(709, 357), 255, 0, 0);
  EXPECT_COLOUR(PixelAt(661, 336), 100, 149, 237);
  EXPECT_COLOUR(PixelAt(715, 336), 100, 149, 237);
  EXPECT_COLOUR(PixelAt(688, 309), 100, 149, 237);
  EXPECT_COLOUR(PixelAt(688, 363), 100, 149, 237);
}

TEST_F(GlRenderTest, TranslucentQuadBlendsOverAnEarlierOne) {
  Clear();
  DrawQuad(0, 0, 1, {0, 1, 0, 1}, graphics::Block().fixedView, white_.get());
  DrawQuad(0, 0, 1, {1, 0, 0, 0.5f}, graphics::Block().fixedView, white_.get());
  EXPECT_COLOUR(PixelAt(640, 360), 128, 128, 0);
}

TEST_F(GlRenderTest, FixedViewIgnoresTheCamera) {
  Clear();
  graphics::SetCameraView({10, 0, -15, 1}, {0, 0, 15, 0}, {0, 1, 0, 0});
  DrawQuad(0, 0, 1, {0, 0, 1, 1}, graphics::Block().fixedView, white_.get());    // static: stays centred
  DrawQuad(10, 5, 1, {1, 1, 0, 1}, graphics::Block().cameraView, white_.get());  // follows the camera
  EXPECT_COLOUR(PixelAt(640, 360), 0, 0, 255);
  EXPECT_COLOUR(PixelAt(640, 240), 255, 255, 0);
}

TEST_F(GlRenderTest, MissingTextureDrawsNothing) {
  Clear();
  DrawQuad(0, 0, 1, {1, 0, 0, 1}, graphics::Block().fixedView, nullptr);
  EXPECT_COLOUR(PixelAt(640, 360), 100, 149, 237);
}

TEST_F(GlRenderTest, BrokenShaderShowsTheErrorBoxAndDrawsNothing) {
  const auto folder = std::filesystem::path(testing::TempDir()) / "broken-shader";
  std::filesystem::create_directories(folder / "images/Shaders");
  {
    std::ofstream shader(folder / "images/Shaders/UIShader.fx");
    shader << "#ifdef VS\nvoid main() { this is not GLSL }\n#endif\n";
  }
  const testing_support::ScopedWorkingDirectory inFolder(folder);
  graphics::ShutdownGraphics();
  testing::internal::CaptureStderr();
  EXPECT_LT(graphics::InitializeGraphics(), 0);
  const std::string log = testing::internal::GetCapturedStderr();
  ASSERT_EQ(window_->boxes.size(), 1u) << "only the vertex entry point is tried";
  EXPECT_EQ(window_->boxes[0],
            "Error|The FX file cannot be compiled.  Please run this executable from the directory "
            "that contains the FX file.");
  EXPECT_NE(log.find("images/Shaders/UIShader.fx: entry point VS does not compile"), std::string::npos)
      << log;
  white_ = SolidTexture(255, 255, 255, 255);
  Clear();
  DrawQuad(0, 0, 1, {1, 0, 0, 1}, graphics::Block().fixedView, white_.get());
  EXPECT_COLOUR(PixelAt(640, 360), 100, 149, 237);
}

// The frame buffer holds sRGB values as the files store them; an sRGB-tagged picture
// sampled as sRGB was decoded to linear light and drew grey 128 as 55.
TEST_F(GlRenderTest, SrgbTaggedPictureDrawsTheValuesItStores) {
  for (const bool tagged : {false, true}) {
    SCOPED_TRACE(tagged ? "sRGB chunk" : "no colour-space chunk");
    const auto file =
        graphics::testing_support::WithColourChunks(SolidPng(2, 2, {128, 64, 200, 255}), tagged);
    const auto texture = PngTexture(file, "srgb.png");
    ASSERT_NE(texture, nullptr);
    Clear();
    DrawQuad(0, 0, 1, {1, 1, 1, 1}, graphics::Block().fixedView, texture.get());
    EXPECT_COLOUR(PixelAt(640, 360), 128, 64, 200);
  }
}

// A negative scale turns the quad's back to the camera; with back faces culled a
// sprite facing left vanished.
TEST_F(GlRenderTest, MirroredQuadDrawsMirrored) {
  const Rgba red{255, 0, 0, 255}, blue{0, 0, 255, 255}, green{0, 255, 0, 255}, white{255, 255, 255, 255};
  const auto texture = QuarterTexture(red, blue, green, white);
  ASSERT_NE(texture, nullptr);
  struct Case {
    float scaleX, scaleY;
    Rgba topLeft, topRight, bottomLeft, bottomRight;  // as seen on screen
  };
  const Case cases[] = {
      {1, 1, red, blue, green, white},   {-1, 1, blue, red, white, green}, {1, -1, green, white, red, blue},
      {-1, -1, white, green, blue, red}, {-2, 1, blue, red, white, green},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "scale " << c.scaleX << ", " << c.scaleY);
    Clear();
    DrawScaledQuad(0, 0, c.scaleX, c.scaleY, {1, 1, 1, 1}, graphics::Block().fixedView, texture.get());
    // The quad spans 48 x 48 pixels a unit of scale around (640, 360); each point is an
    // eighth of its size in from a corner.
    const float halfWidth = 24.0f * std::abs(c.scaleX);
    const int left = static_cast<int>(640 - halfWidth * 0.75f);
    const int right = static_cast<int>(640 + halfWidth * 0.75f) - 1;
    EXPECT_COLOUR(PixelAt(left, 342), c.topLeft.r, c.topLeft.g, c.topLeft.b);
    EXPECT_COLOUR(PixelAt(right, 342), c.topRight.r, c.topRight.g, c.topRight.b);
    EXPECT_COLOUR(PixelAt(left, 377), c.bottomLeft.r, c.bottomLeft.g, c.bottomLeft.b);
    EXPECT_COLOUR(PixelAt(right, 377), c.bottomRight.r, c.bottomRight.g, c.bottomRight.b);
  }
}

// Wrapping addressing blended each border texel with the opposite border: the top
// row of a two-pixel-high picture drawn 96 pixels high came out half its bottom row.
TEST_F(GlRenderTest, StretchedPictureKeepsItsEdgeColours) {
  const Rgba red{255, 0, 0, 255}, green{0, 255, 0, 255}, blue{0, 0, 255, 255}, white{255, 255, 255, 255};
  const auto texture = QuarterTexture(red, green, blue, white, 2);
  ASSERT_NE(texture, nullptr);
  Clear();
  DrawQuad(0, 0, 2, {1, 1, 1, 1}, graphics::Block().fixedView, texture.get());  // 96 x 96 at (592, 312)
  const struct {
    int x, y;
    Rgba expected;
  } points[] = {
      {592, 312, red},
      {687, 312, green},
      {592, 407, blue},
      {687, 407, white},
      // Just past the middle of the top row and of the left column: a blend of that row's
      // or column's two texels (51% of the second), nothing of the opposite edge.
      {640, 312, {125, 130, 0, 255}},
      {592, 360, {125, 0, 130, 255}},
  };
  for (const auto& point : points) {
    SCOPED_TRACE(testing::Message() << "at " << point.x << ", " << point.y);
    EXPECT_COLOUR(PixelAt(point.x, point.y), point.expected.r, point.expected.g, point.expected.b);
  }
  // The picture covers exactly its 96 x 96 pixels.
  EXPECT_COLOUR(PixelAt(591, 360), 100, 149, 237);
  EXPECT_COLOUR(PixelAt(688, 360), 100, 149, 237);
}

// Pictures of every kind the loader turns into a different texture format, drawn
// three pixels a texel so that each texel's middle pixel reads it unblended: each
// must show its own colours, and a mirrored one its columns or rows reversed.
TEST_F(GlRenderTest, PicturesOfEachKindShowTheirOwnColours) {
  const struct {
    const char* file;
    bool srgbTag;  // the file gets an sRGB chunk
    float scaleX, scaleY;
  } cases[] = {
      {"basn0g08.png", false, 2, 2},   // 8-bit grey: one channel, swizzled to grey
      {"basn3p08.png", false, 2, 2},   // 8-bit palette: expanded to RGBA
      {"basn2c16.png", false, 2, 2},   // 16-bit colour: a 16-bit texture
      {"basn2c08.png", true, 2, 2},    // sRGB-tagged colour
      {"basn3p08.png", false, -2, 2},  // mirrored left to right
      {"basn2c08.png", true, 2, -2},   // mirrored top to bottom
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.file << (c.srgbTag ? " with sRGB chunk" : "") << ", scale "
                                    << c.scaleX << ", " << c.scaleY);
    auto file = graphics::testing_support::ReadFile(kPngSuite / c.file);
    ASSERT_FALSE(file.empty()) << "PngSuite not found in " << kPngSuite;
    if (c.srgbTag) file = graphics::testing_support::WithColourChunks(file, true);
    std::vector<std::uint8_t> stored;
    int width = 0, height = 0;
    ASSERT_TRUE(StoredRgba(file, stored, width, height));
    ASSERT_EQ(width, 32);
    ASSERT_EQ(height, 32);
    const auto texture = PngTexture(file, c.file);
    ASSERT_NE(texture, nullptr);

    Clear();
    DrawScaledQuad(0, 0, c.scaleX, c.scaleY, {1, 1, 1, 1}, graphics::Block().fixedView, texture.get());
    // 96 x 96 pixels from (592, 312): texel (i, j) covers pixels 3i to 3i + 2 across.
    int wrong = 0;
    std::string first;
    for (int j = 0; j < 32; ++j) {
      for (int i = 0; i < 32; ++i) {
        const int texelX = c.scaleX < 0 ? 31 - i : i;
        const int texelY = c.scaleY < 0 ? 31 - j : j;
        const std::uint8_t* want = &stored[(static_cast<size_t>(texelY) * 32 + texelX) * 4];
        const Rgba got = PixelAt(592 + 3 * i + 1, 312 + 3 * j + 1);
        if (std::abs(got.r - want[0]) > 2 || std::abs(got.g - want[1]) > 2 || std::abs(got.b - want[2]) > 2) {
          if (wrong++ == 0) {
            first = testing::PrintToString(
                std::vector<int>{i, j, got.r, got.g, got.b, want[0], want[1], want[2]});
          }
        }
      }
    }
    EXPECT_EQ(wrong, 0) << "first wrong pixel (column, row, drawn rgb, stored rgb): " << first;
  }
}

// Sprites as the game draws them, components handing their quads to the batch, with
// their pictures in a folder of this process. A test's local: the sprites and their
// textures go before the fixture shuts the graphics down.
class SpriteScene {
 public:
  SpriteScene()
      : folder_(std::filesystem::path(testing::TempDir()) /
                ("velmaris_gl_sprites_" + std::to_string(::getpid()))) {
    std::filesystem::create_directories(folder_);
    inFolder_ = std::make_unique<testing_support::ScopedWorkingDirectory>(folder_);
  }
  ~SpriteScene() {
    objects_.clear();
    inFolder_.reset();
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }
  SpriteScene(const SpriteScene&) = delete;
  SpriteScene& operator=(const SpriteScene&) = delete;

  // Writes a picture of width x height pixels, colour(x, y) each, as a PNG file.
  template <typename ColourAt>
  std::string WritePicture(const std::string& name, int width, int height, ColourAt colourAt) const {
    graphics::Picture picture;
    picture.width = width;
    picture.height = height;
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) {
        const Rgba c = colourAt(x, y);
        picture.rgba.insert(picture.rgba.end(),
                            {static_cast<std::uint8_t>(c.r), static_cast<std::uint8_t>(c.g),
                             static_cast<std::uint8_t>(c.b), static_cast<std::uint8_t>(c.a)});
      }
    }
    EXPECT_TRUE(graphics::image::WritePng((folder_ / name).string(), picture));
    return name;  // as data files name pictures: the folder is the working directory
  }

  // An object with a transform, a sheet of one cell of `picture` and a sprite.
  graphics::Sprite& AddSprite(const std::string& picture, float x, float y, float scaleX, float scaleY,
                              float degrees, XMFLOAT4 colour) {
    objects_.push_back(std::make_unique<objects::GameObject>("Sprite" + std::to_string(objects_.size())));
    objects::GameObject& object = *objects_.back();
    auto* transform = new objects::Transform(x, y, 0.0f);
    transform->SetScale(scaleX, scaleY);
    transform->rotation = degrees;
    object.AddComponent(transform);
    object.AddComponent(new graphics::SpriteSource(picture));
    auto* sprite = new graphics::Sprite();
    sprite->colour = colour;
    object.AddComponent(sprite);
    EXPECT_TRUE(object.Initialize());
    return *sprite;
  }

 private:
  std::filesystem::path folder_;
  std::unique_ptr<testing_support::ScopedWorkingDirectory> inFolder_;
  std::vector<std::unique_ptr<objects::GameObject>> objects_;
};

// Four overlapping sprites, red, blue, red, blue: each later one covers the one
// before, though the two reds (and the two blues) share a texture.
TEST_F(GlRenderTest, SpritesOfTwoPicturesInterleavedDrawInTheOrderGiven) {
  SpriteScene scene;
  const std::string red = scene.WritePicture("red.png", 2, 2, [](int, int) { return Rgba{255, 0, 0, 255}; });
  const std::string blue = scene.WritePicture("blue.png", 2, 2, [](int, int) {
    return Rgba{0, 0, 255, 255};
  });
  graphics::SetCameraView({0, 0, -15, 1}, {0, 0, 15, 0}, {0, 1, 0, 0});
  Clear();
  // 48 pixels wide each, 24 apart: x from 580, 604, 628 and 652.
  scene.AddSprite(red, -1.5f, 0, 1, 1, 0, {1, 1, 1, 1}).Draw();
  scene.AddSprite(blue, -0.5f, 0, 1, 1, 0, {1, 1, 1, 1}).Draw();
  scene.AddSprite(red, 0.5f, 0, 1, 1, 0, {0.5f, 1, 1, 1}).Draw();  // tinted to half red
  scene.AddSprite(blue, 1.5f, 0, 1, 1, 0, {1, 1, 1, 1}).Draw();
  EXPECT_COLOUR(PixelAt(575, 360), 100, 149, 237);
  EXPECT_COLOUR(PixelAt(590, 360), 255, 0, 0);
  EXPECT_COLOUR(PixelAt(616, 360), 0, 0, 255);
  EXPECT_COLOUR(PixelAt(640, 360), 128, 0, 0);
  EXPECT_COLOUR(PixelAt(664, 360), 0, 0, 255);
  EXPECT_COLOUR(PixelAt(690, 360), 0, 0, 255);
  EXPECT_COLOUR(PixelAt(705, 360), 100, 149, 237);
  EXPECT_COLOUR(PixelAt(640, 330), 100, 149, 237);
}

// The same sprites drawn one mesh draw each (the way sprites were drawn before they
// were batched) and as sprites: mirrored, turned, stretched, tinted and translucent,
// under a camera off the grid, the two pictures are the same to the last bit. The
// batch leaves out what changes no pixel, which must hold for a picture with a
// transparent border (its quads are trimmed to the part with alpha) and for one of a
// single colour (drawn without sampling it).
TEST_F(GlRenderTest, SpritesDrawExactlyWhatAMeshDrawOfEachGives) {
  SpriteScene scene;
  const std::string pictures[] = {
      scene.WritePicture("quarters.png", 4, 4,
                         [](int x, int y) {
                           return x < 2 ? (y < 2 ? Rgba{255, 0, 0, 255} : Rgba{0, 255, 0, 200})
                                        : (y < 2 ? Rgba{0, 0, 255, 255} : Rgba{255, 255, 255, 128});
                         }),
      scene.WritePicture("bordered.png", 16, 12,
                         [](int x, int y) {
                           const bool inside = x >= 5 && x < 13 && y >= 3 && y < 8;
                           return inside ? Rgba{40 * (x - 5), 200, 50 * (y - 3), 120 + 20 * (x - 5)}
                                         : Rgba{255, 255, 255, 0};
                         }),
      scene.WritePicture("uniform.png", 4, 4,
                         [](int, int) {
                           return Rgba{30, 200, 90, 160};
                         }),
  };
  const struct {
    float x, y, scaleX, scaleY, degrees;
    XMFLOAT4 colour;
  } cases[] = {
      {0, 0, 1, 1, 0, {1, 1, 1, 1}},
      {-8, 3, -2, 1, 0, {1, 0.5f, 0.5f, 1}},
      {6, -4, 1, -1.5f, 0, {1, 1, 1, 0.6f}},
      {-4, -5, 1.5f, 1.5f, 30, {1, 1, 1, 1}},
      {9, 5, -1, 2, 135, {0.3f, 1, 1, 1}},
      {2.3f, 4.1f, 0.7f, 0.7f, -17.5f, {1, 1, 1, 0.8f}},
      {0.4f, 0.2f, 3.3f, 0.9f, 0, {1, 1, 1, 1}},
  };
  graphics::SetCameraView({1.3f, -0.7f, -15, 1}, {0, 0, 15, 0}, {0, 1, 0, 0});
  for (const std::string& picture : pictures) {
    SCOPED_TRACE(picture);
    const std::unique_ptr<graphics::Texture> texture = graphics::LoadTextureFromFile(picture);
    ASSERT_NE(texture, nullptr);
    std::vector<graphics::Sprite*> sprites;
    for (const auto& c : cases)
      sprites.push_back(&scene.AddSprite(picture, c.x, c.y, c.scaleX, c.scaleY, c.degrees, c.colour));

    Clear();
    for (graphics::Sprite* sprite : sprites) {
      auto* transform = sprite->GetOwner()->GetComponent<objects::Transform>("Transform");
      graphics::Block().vertices = sprite->mesh->vertices;
      graphics::Block().indices = sprite->mesh->indices;
      graphics::UploadView(graphics::Block().cameraView);
      graphics::UploadObject({base::MatrixTranspose(transform->GetMatrix()), sprite->colour});
      graphics::Block().textureView = texture.get();
      graphics::DrawMesh();
    }
    graphics::Picture oneByOne;
    ASSERT_TRUE(graphics::CapturePicture(oneByOne));

    Clear();
    for (graphics::Sprite* sprite : sprites) sprite->Draw();
    graphics::Picture batched;
    ASSERT_TRUE(graphics::CapturePicture(batched));

    ASSERT_EQ(batched.rgba.size(), oneByOne.rgba.size());
    int different = 0;
    std::string first;
    for (size_t at = 0; at < batched.rgba.size(); at += 4) {
      if (std::equal(&batched.rgba[at], &batched.rgba[at] + 4, &oneByOne.rgba[at])) continue;
      if (different++ == 0) {
        const int pixel = static_cast<int>(at / 4);
        first = testing::PrintToString(std::vector<int>{pixel % batched.width, pixel / batched.width});
      }
    }
    EXPECT_EQ(different, 0) << "first different pixel (x, y): " << first;
    int covered = 0;
    for (size_t at = 0; at < oneByOne.rgba.size(); at += 4) covered += oneByOne.rgba[at] != 100 ? 1 : 0;
    EXPECT_GT(covered, 2000) << "the sprites cover part of their quads at least";
  }
}

}  // namespace
