// Dev mode's live reload: level files rewritten between frames, broken versions,
// prefabs, pictures, the objects a new version drops and the poll interval.
#include "core/live_reload.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include "base/file_watch.h"
#include "base/log.h"
#include "core/clock.h"
#include "core/component_registration.h"
#include "graphics/graphics.h"
#include "graphics/recording/recording_render_device.h"
#include "graphics/sprite_source.h"
#include "objects/space_registry.h"
#include "objects/transform.h"
#include "objects/type_registry.h"
#include "serialization/serializer.h"

namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using ::testing::Not;

constexpr const char* kLevel = R"({
  "Test": {
    "Player": { "Transform": { "x_position": 0.0 } },
    "Rock": { "Transform": { "x_position": 1.0, "y_position": 2.0 } },
    "Star1": { "prefab": "Prefabs/Glow.txt", "Transform": { "x_position": 5.0 } }
  }
})";

// Rock moved, Star1 gone, Star2 new.
constexpr const char* kLevelEdited = R"({
  "Test": {
    "Player": { "Transform": { "x_position": 0.0 } },
    "Rock": { "Transform": { "x_position": 4.0, "y_position": 2.0 } },
    "Star2": { "prefab": "Prefabs/Glow.txt", "Transform": { "x_position": 6.0 } }
  }
})";

constexpr const char* kGlow = R"({ "Glow": { "Transform": { "x_scale": 2.0 } } })";

const std::string kOnePixel = VELMARIS_TESTDATA_DIR "/pngsuite/s01n3p01.png";
const std::string kFourPixels = VELMARIS_TESTDATA_DIR "/pngsuite/s02n3p01.png";

class LiveReloadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    objects::ResetTypeRegistry();
    core::RegisterComponents();
    objects::Hooks().Reset();
    graphics::Block().device = std::make_unique<graphics::recording::RecordingRenderDevice>();
    base::ResetLogOnce();
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    folder_ = fs::temp_directory_path() /
              ("velmaris_" + std::to_string(::getpid()) + "_LiveReload_" + test->name());
    fs::remove_all(folder_);
    for (const char* sub : {"Levels", "Prefabs", "images"}) fs::create_directories(folder_ / sub);
    savedDirectory_ = fs::current_path();
    fs::current_path(folder_);
    reload_ = std::make_unique<core::LiveReload>(spaces_, clock_);
  }

  void TearDown() override {
    reload_.reset();
    spaces_.Clear();
    graphics::ShutdownGraphics();
    objects::ResetTypeRegistry();
    fs::current_path(savedDirectory_);
    fs::remove_all(folder_);
  }

  // Writes a file of the folder and gives it a modification time later than any it
  // had, so that a rewrite within the file system's clock tick still counts.
  void Write(const std::string& name, const std::string& text) {
    std::error_code missing;
    const auto before = fs::last_write_time(name, missing);
    std::ofstream(name, std::ios::binary | std::ios::trunc) << text;
    if (!missing) fs::last_write_time(name, before + std::chrono::seconds(1));
  }
  void CopyPicture(const std::string& from, const std::string& name) {
    std::ifstream source(from, std::ios::binary);
    std::ostringstream bytes;
    bytes << source.rdbuf();
    Write(name, bytes.str());
  }

  void Load(const std::string& file) {
    serialization::Serializer serializer(&spaces_);
    ASSERT_TRUE(serializer.LoadLevel(file));
  }

  // One check; returns what it wrote on standard output, keeps standard error.
  std::string Check() {
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    reload_->CheckNow();
    errors_ = testing::internal::GetCapturedStderr();
    return testing::internal::GetCapturedStdout();
  }

  std::string Dump() const {
    std::ostringstream text;
    serialization::WriteSpacesJson(text, spaces_);
    return text.str();
  }

  std::shared_ptr<objects::GameObject> Object(const std::string& space, const std::string& name) const {
    objects::Space* found = spaces_.FindSpace(space);
    return found != nullptr ? found->FindObject(name).lock() : nullptr;
  }
  objects::Transform* TransformOf(const std::string& space, const std::string& name) const {
    auto object = Object(space, name);
    return object ? object->GetComponent<objects::Transform>("Transform") : nullptr;
  }
  graphics::SpriteSource* SourceOf(const std::string& space, const std::string& name) const {
    auto object = Object(space, name);
    return object ? object->GetComponent<graphics::SpriteSource>("SpriteSource") : nullptr;
  }

  // The test level and its prefab, loaded.
  void LoadTestLevel() {
    Write("Prefabs/Glow.txt", kGlow);
    Write("Levels/Test.txt", kLevel);
    Load("Levels/Test.txt");
  }

  objects::SpaceRegistry spaces_;
  core::ManualClock clock_;
  std::unique_ptr<core::LiveReload> reload_;
  std::string errors_;
  fs::path folder_;
  fs::path savedDirectory_;
};

TEST_F(LiveReloadTest, ARewrittenLevelMovesAddsAndRemovesObjectsInPlace) {
  LoadTestLevel();
  objects::Transform* rock = TransformOf("Test", "Rock");
  std::weak_ptr<objects::GameObject> star1 = Object("Test", "Star1");
  const std::string before = Dump();
  EXPECT_EQ(Check(), "");  // nothing changed yet

  Write("Levels/Test.txt", kLevelEdited);
  EXPECT_EQ(Check(), "reloaded Levels/Test.txt\n");
  EXPECT_EQ(errors_, "");
  EXPECT_NE(Dump(), before);
  EXPECT_EQ(TransformOf("Test", "Rock"), rock);  // updated in place, not rebuilt
  EXPECT_EQ(rock->translation.x, 4.0f);
  ASSERT_NE(TransformOf("Test", "Star2"), nullptr);
  EXPECT_EQ(TransformOf("Test", "Star2")->scale.x, 2.0f);  // with its prefab
  EXPECT_EQ(Object("Test", "Star1"), nullptr);
  // Out of the space, but alive: a pointer kept into it does not dangle.
  EXPECT_FALSE(star1.expired());
  EXPECT_EQ(Check(), "");  // a version is applied once
}

TEST_F(LiveReloadTest, ABrokenRewriteKeepsTheRunningVersionAndSaysWhereUntilItIsFixed) {
  struct Case {
    const char* label;
    const char* text;
    const char* where;
  };
  const Case cases[] = {
      {"malformed JSON", "{\n  \"Test\": {\n    \"Rock\": { \"Transform\": { \"x_position\": 9.0 }\n  }\n}",
       "Levels/Test.txt is not well-formed JSON at line 5, column 2"},
      {"an unknown member", R"({ "Test": { "Rock": { "Transform": { "x_position": 9.0, "x_pos": 1.0 } } } })",
       "(file 'Levels/Test.txt', space 'Test', object 'Rock', component 'Transform', member 'x_pos')"},
      {"a value of the wrong kind", R"({ "Test": { "Rock": { "Transform": { "x_position": "far" } } } })",
       "member 'x_position')"},
      {"an unknown component", R"({ "Test": { "Ghost": { "Haunt": {} } } })", "component 'Haunt')"},
      {"a root that is not an object", "[1, 2]", "Levels/Test.txt is not a level"},
  };
  LoadTestLevel();
  for (const Case& broken : cases) {
    SCOPED_TRACE(broken.label);
    const std::string before = Dump();
    Write("Levels/Test.txt", broken.text);
    EXPECT_EQ(Check(), "");
    EXPECT_THAT(errors_, HasSubstr("reload: Levels/Test.txt: not reloaded, the running version stays"));
    EXPECT_THAT(errors_, HasSubstr(broken.where));
    EXPECT_EQ(Dump(), before);
    EXPECT_EQ(Object("Test", "Ghost"), nullptr);
    EXPECT_EQ(Check(), "");  // reported once per version
    EXPECT_EQ(errors_, "");

    Write("Levels/Test.txt", kLevelEdited);
    EXPECT_EQ(Check(), "reloaded Levels/Test.txt\n");
    EXPECT_EQ(TransformOf("Test", "Rock")->translation.x, 4.0f);
    Write("Levels/Test.txt", kLevel);  // back to the start for the next case
    EXPECT_EQ(Check(), "reloaded Levels/Test.txt\n");
    EXPECT_EQ(TransformOf("Test", "Rock")->translation.x, 1.0f);
  }
}

TEST_F(LiveReloadTest, AMissingLevelFileKeepsItsObjectsAndComesBackWhenWritten) {
  LoadTestLevel();
  fs::remove("Levels/Test.txt");
  EXPECT_EQ(Check(), "");
  EXPECT_THAT(errors_, HasSubstr("reload: Levels/Test.txt: cannot be opened; the running version stays"));
  EXPECT_NE(Object("Test", "Star1"), nullptr);
  Write("Levels/Test.txt", kLevelEdited);
  EXPECT_EQ(Check(), "reloaded Levels/Test.txt\n");
  EXPECT_NE(Object("Test", "Star2"), nullptr);
}

TEST_F(LiveReloadTest, AChangedPrefabReloadsEveryFileThatUsesItAndNoOther) {
  LoadTestLevel();
  Write("Levels/Other.txt", R"({ "Other": { "Lamp": { "prefab": "Prefabs/../Prefabs/Glow.txt" } } })");
  Write("Levels/Plain.txt", R"({ "Plain": { "Stone": { "Transform": { "x_scale": 3.0 } } } })");
  Load("Levels/Other.txt");
  Load("Levels/Plain.txt");

  Write("Prefabs/Glow.txt", R"({ "Glow": { "Transform": { "x_scale": 7.0 } } })");
  EXPECT_EQ(Check(), "reloaded Levels/Other.txt\nreloaded Levels/Test.txt\n");
  EXPECT_EQ(TransformOf("Test", "Star1")->scale.x, 7.0f);
  EXPECT_EQ(TransformOf("Other", "Lamp")->scale.x, 7.0f);
  EXPECT_EQ(TransformOf("Plain", "Stone")->scale.x, 3.0f);
}

TEST_F(LiveReloadTest, ABrokenPrefabKeepsTheLevelsThatUseItAndSaysWhere) {
  LoadTestLevel();
  Write("Prefabs/Glow.txt", "{ \"Glow\": { \"Transform\": { \"x_scale\": 7.0 } }");
  EXPECT_EQ(Check(), "");
  EXPECT_THAT(errors_, HasSubstr("reload: Prefabs/Glow.txt: not well-formed JSON at line 1, column"));
  EXPECT_EQ(TransformOf("Test", "Star1")->scale.x, 2.0f);

  // A prefab that parses but does not load stops the level's reload, naming both.
  Write("Prefabs/Glow.txt", R"({ "Glow": { "Transform": { "x_scale": true } } })");
  EXPECT_EQ(Check(), "");
  EXPECT_THAT(errors_, HasSubstr("(file 'Levels/Test.txt', space 'Test', object 'Star1', prefab "
                                 "'Prefabs/Glow.txt', component 'Transform', member 'x_scale')"));
  EXPECT_EQ(TransformOf("Test", "Star1")->scale.x, 2.0f);

  Write("Prefabs/Glow.txt", R"({ "Glow": { "Transform": { "x_scale": 7.0 } } })");
  EXPECT_EQ(Check(), "reloaded Levels/Test.txt\n");
  EXPECT_EQ(TransformOf("Test", "Star1")->scale.x, 7.0f);
}

TEST_F(LiveReloadTest, AChangedPictureIsDecodedAgainIntoEverySpriteSourceThatShowsIt) {
  CopyPicture(kOnePixel, "images/a.png");
  CopyPicture(kOnePixel, "images/b.png");
  Write("Levels/Test.txt", R"({ "Test": {
    "A1": { "SpriteSource": { "image": "images/a.png" } },
    "A2": { "SpriteSource": { "image": "images/a.png" } },
    "B": { "SpriteSource": { "image": "images/b.png" } } } })");
  Load("Levels/Test.txt");
  const graphics::Texture* untouched = SourceOf("Test", "B")->GetTexture();
  ASSERT_NE(SourceOf("Test", "A1")->GetTexture(), nullptr);
  EXPECT_EQ(SourceOf("Test", "A1")->GetTexture()->Width(), 1u);
  EXPECT_EQ(Check(), "");  // the first check only learns the pictures

  CopyPicture(kFourPixels, "images/a.png");
  EXPECT_EQ(Check(), "reloaded images/a.png\n");
  for (const char* name : {"A1", "A2"}) {
    SCOPED_TRACE(name);
    const graphics::Texture* texture = SourceOf("Test", name)->GetTexture();
    ASSERT_NE(texture, nullptr);
    EXPECT_EQ(texture->Width(), 2u);
    EXPECT_EQ(texture->Height(), 2u);
  }
  EXPECT_EQ(SourceOf("Test", "B")->GetTexture(), untouched);
}

TEST_F(LiveReloadTest, ABrokenPictureKeepsTheOldTextureUntilItIsFixed) {
  CopyPicture(kOnePixel, "images/a.png");
  Write("Levels/Test.txt", R"({ "Test": { "A": { "SpriteSource": { "image": "images/a.png" } } } })");
  Load("Levels/Test.txt");
  const graphics::Texture* old = SourceOf("Test", "A")->GetTexture();
  ASSERT_NE(old, nullptr);
  EXPECT_EQ(Check(), "");

  Write("images/a.png", "\x89PNG\r\n\x1a\n not the rest of a picture");
  EXPECT_EQ(Check(), "");
  EXPECT_THAT(errors_, HasSubstr("reload: images/a.png: not reloaded, the old picture stays"));
  EXPECT_EQ(SourceOf("Test", "A")->GetTexture(), old);

  CopyPicture(kFourPixels, "images/a.png");
  EXPECT_EQ(Check(), "reloaded images/a.png\n");
  EXPECT_EQ(SourceOf("Test", "A")->GetTexture()->Width(), 2u);
}

TEST_F(LiveReloadTest, APictureThatFailedToLoadShowsOnceItsFileIsThere) {
  Write("Levels/Test.txt", R"({ "Test": { "A": { "SpriteSource": { "image": "images/late.png" } } } })");
  testing::internal::CaptureStderr();  // the loader's line about the missing picture
  Load("Levels/Test.txt");
  testing::internal::GetCapturedStderr();
  EXPECT_EQ(SourceOf("Test", "A")->GetTexture(), nullptr);
  EXPECT_EQ(Check(), "");
  CopyPicture(kFourPixels, "images/late.png");
  EXPECT_EQ(Check(), "reloaded images/late.png\n");
  ASSERT_NE(SourceOf("Test", "A")->GetTexture(), nullptr);
  EXPECT_EQ(SourceOf("Test", "A")->GetTexture()->Width(), 2u);
}

TEST_F(LiveReloadTest, AnObjectTheGameHoldsStaysWithAMessageEveryOtherGoes) {
  reload_->SetHeldObjects(
      [](std::string_view space, std::string_view object) { return space == "Test" && object == "Player"; });
  LoadTestLevel();
  objects::Transform* player = TransformOf("Test", "Player");
  Write("Levels/Test.txt", R"({ "Test": { "Star1": { "prefab": "Prefabs/Glow.txt" } } })");
  EXPECT_EQ(Check(), "reloaded Levels/Test.txt\n");
  EXPECT_EQ(TransformOf("Test", "Player"), player);
  EXPECT_EQ(Object("Test", "Rock"), nullptr);
  EXPECT_THAT(errors_,
              HasSubstr("reload: Levels/Test.txt: object \"Player\" of space \"Test\" is no longer in the "
                        "file, but the game holds it: it stays until the game restarts"));
  EXPECT_THAT(errors_, Not(HasSubstr("Rock")));
}

TEST_F(LiveReloadTest, ObjectsMadeByCodeAndSpacesLeftOutOfTheFileStay) {
  LoadTestLevel();
  spaces_.FindSpace("Test")->CreateObject("cursor");
  Write("Levels/Test.txt", R"({ "Test": { "Rock": {} }, "More": { "Lamp": {} } })");
  EXPECT_EQ(Check(), "reloaded Levels/Test.txt\n");
  EXPECT_NE(Object("Test", "cursor"), nullptr);
  EXPECT_NE(Object("More", "Lamp"), nullptr);
  // A space the file no longer names keeps existing (the game may hold it), emptied
  // of the objects the file gave it.
  Write("Levels/Test.txt", R"({ "More": { "Lamp": {} } })");
  EXPECT_EQ(Check(), "reloaded Levels/Test.txt\n");
  ASSERT_NE(spaces_.FindSpace("Test"), nullptr);
  EXPECT_EQ(Object("Test", "Rock"), nullptr);
  EXPECT_NE(Object("Test", "cursor"), nullptr);
}

TEST_F(LiveReloadTest, LoadsIntoAnotherRegistryAreNotWatched) {
  Write("Levels/Test.txt", kLevel);
  Write("Prefabs/Glow.txt", kGlow);
  objects::SpaceRegistry own;
  serialization::Serializer serializer(&own);
  ASSERT_TRUE(serializer.LoadLevel("Levels/Test.txt"));
  Write("Levels/Test.txt", kLevelEdited);
  EXPECT_EQ(Check(), "");
  EXPECT_TRUE(spaces_.GetSpaces().empty());
}

TEST_F(LiveReloadTest, PollLooksAtTheFilesAtMostFourTimesASecond) {
  LoadTestLevel();
  Write("Levels/Test.txt", kLevelEdited);
  testing::internal::CaptureStdout();
  clock_.Advance(base::FileWatcher::kIntervalNanoseconds - 2);
  reload_->Poll();  // the clock has not yet reached the interval
  EXPECT_NE(Object("Test", "Star1"), nullptr);
  clock_.Advance(2);
  reload_->Poll();
  EXPECT_EQ(Object("Test", "Star1"), nullptr);
  Write("Levels/Test.txt", kLevel);
  reload_->Poll();  // the interval starts again at the check
  EXPECT_EQ(Object("Test", "Star1"), nullptr);
  clock_.Advance(base::FileWatcher::kIntervalNanoseconds);
  reload_->Poll();
  EXPECT_NE(Object("Test", "Star1"), nullptr);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "reloaded Levels/Test.txt\nreloaded Levels/Test.txt\n");
}

}  // namespace
