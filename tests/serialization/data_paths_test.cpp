// Paths in level files, by the loader and by the validator alike: prefab, picture and
// script names inside the data folder load; absolute ones, ".." climbing out,
// symbolic links leading out and NUL bytes are refused, naming the file, object and
// member.
#include <filesystem>
#include <string>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "audio/recording/recording_backend.h"
#include "audio/sound_system.h"
#include "base/log.h"
#include "core/data_file_rules.h"
#include "serialization/serializer_fixture.h"
#include "serialization/validator.h"

namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using testing_support::SerializerFixture;

struct PathCase {
  std::string written;  // {dir} stands for the scratch folder's full path
  const char* reason;   // part of the refusal; null: accepted
};

const PathCase kPaths[] = {
    {"{kind}/{file}", nullptr},
    {"./{kind}/../{kind}/{file}", nullptr},
    {"inside/{file}", nullptr},  // a link to a folder inside
    {"{dir}/{kind}/{file}", "is an absolute path"},
    {"../outside/{file}", "climbs out of the data folder"},
    {"{kind}/deep/../../../outside/{file}", "climbs out of the data folder"},
    {"out/{file}", "through the symbolic link \"out\""},
    // The name would end at the NUL byte for the system: refused, never cut short.
    {"{kind}/{file}\\u0000.txt", "holds a NUL byte"},
};

// Where a kind of file goes in an object entry, and the member the refusal names.
struct Kind {
  const char* folder;
  const char* file;
  const char* member;
  std::string (*entry)(const std::string& path);
};

const Kind kKinds[] = {
    {"Prefabs", "Star.txt", "prefab", [](const std::string& p) { return R"("prefab": ")" + p + R"(")"; }},
    {"images", "star.png", "image",
     [](const std::string& p) { return R"("SpriteSource": {"image": ")" + p + R"("})"; }},
    {"LuaScripts", "move.lua", "filename",
     [](const std::string& p) { return R"("Script": {"filename": ")" + p + R"("})"; }},
};

std::string Replace(std::string text, const std::string& from, const std::string& to) {
  for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
    text.replace(at, from.size(), to);
  return text;
}

class DataPathsTest : public SerializerFixture {
 protected:
  void SetUp() override {
    SerializerFixture::SetUp();
    base::ResetLogOnce();
    outside = folder.string() + "_outside";
    fs::remove_all(outside);
    fs::create_directories(outside);
    for (const Kind& kind : kKinds) {
      fs::create_directories(folder / kind.folder / "deep");
      // Each a file of its kind: the validator compiles scripts.
      const std::string folderName = kind.folder;
      const std::string text = folderName == "Prefabs"      ? R"({"P": {"Alpha": {}}})"
                               : folderName == "LuaScripts" ? "-- a script\n"
                                                            : "x";
      Write(std::string(kind.folder) + "/" + kind.file, text);
      std::ofstream(outside / kind.file) << text;
    }
    fs::create_directory_symlink(outside, folder / "out");
  }
  void TearDown() override {
    spaces.Clear();
    SerializerFixture::TearDown();
    fs::remove_all(outside);
  }

  std::string Written(const PathCase& path, const Kind& kind) const {
    return Replace(Replace(Replace(path.written, "{dir}", folder.string()), "{kind}", kind.folder), "{file}",
                   kind.file);
  }

  fs::path outside;
};

TEST_F(DataPathsTest, TheLoaderAndTheValidatorRefuseWhatLeadsOutNamingWhere) {
  serialization::ValidationRules rules = core::EngineValidationRules();
  for (const Kind& kind : kKinds) {
    fs::remove(folder / "inside");
    fs::create_directory_symlink(folder / kind.folder, folder / "inside");
    for (const PathCase& path : kPaths) {
      const std::string written = Written(path, kind);
      SCOPED_TRACE(written);
      spaces.Clear();
      const std::string level = R"({"Level": {"o": {)" + kind.entry(written) + "}}}";
      if (path.reason == nullptr) {
        ::testing::internal::CaptureStderr();
        Load(level);
        ::testing::internal::GetCapturedStderr();
        EXPECT_NE(Object("Level", "o"), nullptr);
      } else {
        EXPECT_THAT(
            LoadError(level),
            ::testing::AllOf(HasSubstr(path.reason), HasSubstr("file 'level.txt'"), HasSubstr("object 'o'"),
                             HasSubstr("member '" + std::string(kind.member) + "'")));
      }
      serialization::Validator validator(folder, "", rules);
      validator.CheckFile(folder / "level.txt", "level.txt");
      std::string problems;
      for (const serialization::Problem& problem : validator.Problems())
        problems += serialization::FormatProblem(problem) + "\n";
      if (path.reason == nullptr) {
        EXPECT_EQ(problems, "");
      } else {
        EXPECT_THAT(problems, ::testing::StartsWith("level.txt:1:"));
        EXPECT_THAT(problems, HasSubstr(path.reason));
        EXPECT_THAT(problems, HasSubstr("object \"o\""));
        EXPECT_THAT(problems, HasSubstr(kind.member));
        EXPECT_THAT(problems, HasSubstr("the loader refuses it"));
      }
    }
  }
}

TEST_F(DataPathsTest, ASoundThatLeadsOutIsNamedOnceAndNotLoaded) {
  auto backend = std::make_unique<audio::RecordingBackend>();
  audio::RecordingBackend* recording = backend.get();
  ::testing::internal::CaptureStdout();
  audio::InitSoundSystem(std::move(backend));
  const std::size_t startCalls = recording->Calls().size();
  ::testing::internal::CaptureStderr();
  for (const char* path : {"/etc/passwd", "../outside/star.png", "out/star.png", "out/star.png"})
    audio::LoadSound(path, false);
  const std::string report = ::testing::internal::GetCapturedStderr();
  ::testing::internal::GetCapturedStdout();
  EXPECT_EQ(recording->Calls().size(), startCalls);  // no file was opened
  EXPECT_THAT(report, HasSubstr("audio: sound \"/etc/passwd\" is an absolute path"));
  EXPECT_THAT(report, HasSubstr("audio: sound \"../outside/star.png\" climbs out of the data folder"));
  EXPECT_EQ(report.find("out/star.png\" leads"), report.rfind("out/star.png\" leads"));  // once
  for (const char* path : {"/etc/passwd", "../outside/star.png", "out/star.png"})
    EXPECT_FALSE(audio::Audio().system->sounds.contains(path)) << path;
  audio::Audio().Reset();
}

}  // namespace
