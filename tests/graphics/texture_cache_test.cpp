// The texture cache on the recording device: sprite sources of one picture share one
// texture that goes with the last of them; a changed file loads anew; failures are
// not remembered.
#include "graphics/texture_cache.h"

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <unistd.h>

#include "graphics/graphics.h"
#include "graphics/recording/recording_render_device.h"
#include "graphics/sprite_source.h"
#include "working_directory.h"

namespace {

namespace fs = std::filesystem;
using graphics::recording::RecordingRenderDevice;

const fs::path kPngSuite = fs::path(VELMARIS_TESTDATA_DIR) / "pngsuite";

class TextureCacheTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto device = std::make_unique<RecordingRenderDevice>();
    recording = device.get();
    graphics::Block().device = std::move(device);
    folder_ = fs::temp_directory_path() / ("velmaris_" + std::to_string(::getpid()) + "_TextureCache_" +
                                           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(folder_);
    inFolder_ = std::make_unique<testing_support::ScopedWorkingDirectory>(folder_);
  }
  void TearDown() override {
    graphics::ShutdownGraphics();
    inFolder_.reset();
    fs::remove_all(folder_);
  }

  // Puts a PngSuite picture at `name` in the test's folder, the working directory (the
  // data folder, as far as sprite sources see); returns its name there.
  std::string Place(const char* picture, const char* name) {
    fs::copy_file(kPngSuite / picture, folder_ / name, fs::copy_options::overwrite_existing);
    return name;
  }

  static std::unique_ptr<graphics::SpriteSource> SourceOf(const std::string& path) {
    auto source = std::make_unique<graphics::SpriteSource>(path);
    EXPECT_TRUE(source->Initialize());
    return source;
  }

  RecordingRenderDevice* recording = nullptr;

 private:
  fs::path folder_;
  std::unique_ptr<testing_support::ScopedWorkingDirectory> inFolder_;
};

TEST_F(TextureCacheTest, AThousandSourcesOfOnePictureShareOneTextureThatGoesWithTheLast) {
  const std::string path = Place("basn6a08.png", "shared.png");
  std::vector<std::unique_ptr<graphics::SpriteSource>> sources;
  for (int i = 0; i < 1000; ++i) sources.push_back(SourceOf(path));
  EXPECT_EQ(recording->TexturesCreated(), 1);
  const graphics::Texture* shared = sources.front()->GetTexture();
  ASSERT_NE(shared, nullptr);
  for (const auto& source : sources) ASSERT_EQ(source->GetTexture(), shared);
  EXPECT_EQ(graphics::Block().textures.TexturesInUse(), 1u);

  const std::weak_ptr<const graphics::Texture> watch = sources.front()->texture;
  sources.resize(1);
  EXPECT_FALSE(watch.expired()) << "one source still shows it";
  EXPECT_EQ(sources.front()->GetTexture(), shared);
  sources.clear();
  EXPECT_TRUE(watch.expired()) << "the texture goes with its last user";
  EXPECT_EQ(graphics::Block().textures.TexturesInUse(), 0u);

  const auto again = SourceOf(path);
  EXPECT_NE(again->GetTexture(), nullptr);
  EXPECT_EQ(recording->TexturesCreated(), 2) << "nobody held it: loaded anew";
}

TEST_F(TextureCacheTest, AChangedFileLoadsAsANewTextureWhileItsHoldersKeepTheOld) {
  const std::string path = Place("s01n3p01.png", "a.png");  // 1 x 1
  const auto first = SourceOf(path);
  ASSERT_NE(first->GetTexture(), nullptr);
  const fs::file_time_type loaded = fs::last_write_time(path);

  Place("s02n3p01.png", "a.png");  // 2 x 2, written within the same clock tick perhaps
  fs::last_write_time(path, loaded + std::chrono::seconds(1));
  const auto second = SourceOf(path);
  ASSERT_NE(second->GetTexture(), nullptr);
  EXPECT_EQ(second->GetTexture()->Width(), 2u);
  EXPECT_EQ(first->GetTexture()->Width(), 1u) << "the old version stays with its holder";
  EXPECT_EQ(SourceOf(path)->GetTexture(), second->GetTexture()) << "the new version is shared in turn";
  EXPECT_EQ(recording->TexturesCreated(), 2);

  // Rewritten with its old modification time but another size: still a new version.
  Place("s03n3p01.png", "a.png");  // 3 x 3
  fs::last_write_time(path, loaded + std::chrono::seconds(1));
  const auto third = SourceOf(path);
  ASSERT_NE(third->GetTexture(), nullptr);
  EXPECT_EQ(third->GetTexture()->Width(), 3u);
}

TEST_F(TextureCacheTest, ANewDeviceGetsTexturesOfItsOwn) {
  const std::string path = Place("basn6a08.png", "a.png");
  const auto onOld = SourceOf(path);
  ASSERT_NE(onOld->GetTexture(), nullptr);
  auto device = std::make_unique<RecordingRenderDevice>();
  RecordingRenderDevice* newer = device.get();
  graphics::Block().device = std::move(device);  // the old texture is still held
  const auto onNew = SourceOf(path);
  ASSERT_NE(onNew->GetTexture(), nullptr);
  EXPECT_NE(onNew->GetTexture(), onOld->GetTexture());
  EXPECT_EQ(newer->TexturesCreated(), 1);
}

TEST_F(TextureCacheTest, APictureThatCannotBeLoadedIsNamedOnceEachTimeAndNotRemembered) {
  const std::string path =
      (fs::path(Place("basn6a08.png", "late.png")).parent_path() / "missing.png").string();
  for (int attempt = 0; attempt < 2; ++attempt) {
    testing::internal::CaptureStderr();
    EXPECT_EQ(graphics::LoadSharedTexture(path), nullptr);
    const std::string log = testing::internal::GetCapturedStderr();
    const size_t named = log.find(path);
    ASSERT_NE(named, std::string::npos) << log;
    EXPECT_EQ(log.find(path, named + 1), std::string::npos) << "named once: " << log;
  }
  Place("basn6a08.png", "missing.png");
  const std::shared_ptr<const graphics::Texture> arrived = graphics::LoadSharedTexture(path);
  ASSERT_NE(arrived, nullptr);
  EXPECT_EQ(arrived->Width(), 32u);
}

}  // namespace
