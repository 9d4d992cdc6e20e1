// The committed fuzz regression corpus, replayed through the entry functions the
// fuzzers call: every file of fuzz/regressions/<target>/ is read to the end with the
// verdict its name starts with ("accepted-", "refused-", "skipped-"), and a refusal
// says what is wrong and in which file. Also what the level target's scratch folder
// lets a fuzzed level name.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include "fuzz/entries.h"
#include "objects/type_registry.h"

namespace {

using fuzz::Outcome;
using fuzz::Verdict;
using ::testing::HasSubstr;
using ::testing::StartsWith;

struct CorpusFile {
  std::string name;
  std::vector<std::uint8_t> bytes;
  Verdict expected = Verdict::kAccepted;
};

const char* NameOf(Verdict verdict) {
  switch (verdict) {
    case Verdict::kAccepted:
      return "accepted";
    case Verdict::kRefused:
      return "refused";
    case Verdict::kSkipped:
      return "skipped";
  }
  return "?";
}

std::vector<std::uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

// The regression files of one target in name order; a name without a verdict fails.
std::vector<CorpusFile> CorpusOf(const std::string& target) {
  std::vector<CorpusFile> files;
  const auto folder = std::filesystem::path(VELMARIS_SOURCE_DIR) / "fuzz" / "regressions" / target;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    CorpusFile file{entry.path().filename().string(), {}, Verdict::kAccepted};
    std::ifstream in(entry.path(), std::ios::binary);
    file.bytes.assign(std::istreambuf_iterator<char>(in), {});
    const auto verdicts = {Verdict::kAccepted, Verdict::kRefused, Verdict::kSkipped};
    const auto named = std::find_if(verdicts.begin(), verdicts.end(), [&](Verdict verdict) {
      return file.name.starts_with(std::string(NameOf(verdict)) + "-");
    });
    if (named == verdicts.end()) {
      ADD_FAILURE() << target << "/" << file.name << ": the name does not start with a verdict";
      continue;
    }
    file.expected = *named;
    files.push_back(std::move(file));
  }
  std::sort(files.begin(), files.end(), [](const auto& a, const auto& b) { return a.name < b.name; });
  return files;
}

// Runs every file of the target's corpus; checkRefusal looks at each refusal message.
void Replay(const std::string& target, const std::function<Outcome(std::span<const std::uint8_t>)>& run,
            const std::function<void(const std::string&)>& checkRefusal) {
  const std::vector<CorpusFile> files = CorpusOf(target);
  EXPECT_FALSE(files.empty()) << "no regression files for " << target;
  for (const CorpusFile& file : files) {
    SCOPED_TRACE(target + "/" + file.name);
    const Outcome outcome = run(file.bytes);
    EXPECT_STREQ(NameOf(outcome.verdict), NameOf(file.expected)) << outcome.message;
    if (outcome.verdict == Verdict::kRefused) {
      checkRefusal(outcome.message);
    } else {
      EXPECT_EQ(outcome.message.empty(), outcome.verdict == Verdict::kAccepted) << outcome.message;
    }
  }
}

class FuzzLevelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    target = std::make_unique<fuzz::LevelTarget>(
        std::filesystem::temp_directory_path() / ("velmaris_" + std::to_string(::getpid()) + "_fuzz_level"),
        std::filesystem::path(VELMARIS_SOURCE_DIR) / "data");
  }
  void TearDown() override {
    target.reset();
    objects::ResetTypeRegistry();
  }

  Outcome Load(const std::string& text) { return target->Load(Bytes(text)); }

  std::unique_ptr<fuzz::LevelTarget> target;
};

TEST_F(FuzzLevelTest, RegressionsEndWithTheVerdictTheirNamesGive) {
  Replay(
      "level", [this](std::span<const std::uint8_t> bytes) { return target->Load(bytes); },
      [](const std::string& message) { EXPECT_THAT(message, HasSubstr(fuzz::LevelTarget::kLevelFile)); });
}

TEST_F(FuzzLevelTest, ScratchFolderHoldsOnlyTheGamesPrefabsAndScripts) {
  int prefabs = 0, scripts = 0;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(target->Scratch())) {
    const std::filesystem::path relative = entry.path().lexically_relative(target->Scratch());
    if (entry.is_directory()) {
      EXPECT_THAT(relative.string(), ::testing::AnyOf("Levels", "Prefabs", "LuaScripts"));
    } else if (relative.parent_path() == "Prefabs" && relative.extension() == ".txt") {
      ++prefabs;
    } else if (relative.parent_path() == "LuaScripts" && relative.extension() == ".lua") {
      ++scripts;
    } else {
      ADD_FAILURE() << "unexpected file " << relative;
    }
    EXPECT_FALSE(entry.is_symlink()) << relative;
  }
  EXPECT_GT(prefabs, 3);
  EXPECT_GT(scripts, 3);
}

TEST_F(FuzzLevelTest, StringsThatCouldNameAFileOutsideTheScratchFolderAreNotLoaded) {
  for (const char* level : {
           R"({"S":{"o":{"prefab":"/etc/passwd"}}})",
           R"({"S":{"o":{"prefab":"\/etc\/passwd"}}})",
           R"({"S":{"o":{"Script":{"filename":"LuaScripts/../../x.lua"}}}})",
           R"({"S":{"o":{"Animation":{"AnimationFrames":[0]},"Sprite":{"name":".."}}}})",
           R"({"S":{"o":{"x":[{"y":["..\u0000"]}]}}})",
       }) {
    const Outcome outcome = Load(level);
    EXPECT_EQ(outcome.verdict, Verdict::kSkipped) << level;
    EXPECT_THAT(outcome.message, HasSubstr("outside the scratch folder")) << level;
  }
  // Member names are never paths; a file that is not JSON names nothing.
  EXPECT_EQ(Load(R"({"S":{"/..":{}}})").verdict, Verdict::kAccepted);
  EXPECT_EQ(Load(R"({"S":{"o":{"prefab":"/etc/passwd"}})").verdict, Verdict::kRefused);
}

TEST_F(FuzzLevelTest, LevelsUseThePrefabsAndScriptsOfTheScratchFolder) {
  const Outcome star = Load(R"({"S":{"star":{"prefab":"Prefabs/Star.txt","Transform":{"x_position":4.0}}}})");
  ASSERT_EQ(star.verdict, Verdict::kAccepted) << star.message;
  EXPECT_THAT(star.written, HasSubstr("\"Star\""));  // from the prefab
  EXPECT_THAT(star.written, HasSubstr("\"x_position\": 4.0"));

  // MoveRight.lua moves its object one unit in its first frame.
  const Outcome mover =
      Load(R"({"S":{"o":{"Transform":{},"Script":{"filename":"LuaScripts/MoveRight.lua"}}}})");
  ASSERT_EQ(mover.verdict, Verdict::kAccepted) << mover.message;
  EXPECT_THAT(mover.written, HasSubstr("\"x_position\": 1.0"));

  // The level file itself is JSON, which Lua does not compile: naming it runs nothing.
  ::testing::internal::CaptureStderr();
  const Outcome itself = Load(R"({"S":{"o":{"Transform":{},"Script":{"filename":"Levels/Fuzzed.txt"}}}})");
  const std::string errors = ::testing::internal::GetCapturedStderr();
  ASSERT_EQ(itself.verdict, Verdict::kAccepted) << itself.message;
  EXPECT_THAT(itself.written, HasSubstr("\"x_position\": 0.0"));
  EXPECT_THAT(errors, HasSubstr("Levels/Fuzzed.txt:1: unexpected symbol"));
}

TEST_F(FuzzLevelTest, TheGamesLevelsLoadAndRunAFrame) {
  int levels = 0;
  for (const auto& entry :
       std::filesystem::directory_iterator(std::filesystem::path(VELMARIS_SOURCE_DIR) / "data" / "Levels")) {
    std::ifstream in(entry.path(), std::ios::binary);
    const std::string text(std::istreambuf_iterator<char>(in), {});
    ::testing::internal::CaptureStderr();  // no render device: every image is reported
    const Outcome outcome = Load(text);
    ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(outcome.verdict, Verdict::kAccepted) << entry.path() << ": " << outcome.message;
    ++levels;
  }
  EXPECT_GT(levels, 3);
}

TEST(FuzzImageTest, RegressionsEndWithTheVerdictTheirNamesGive) {
  const auto namesAProblem = [](const std::string& message) { EXPECT_FALSE(message.empty()); };
  Replay("png", fuzz::DecodePng, namesAProblem);
  Replay("bmp", fuzz::DecodeBmp, namesAProblem);
}

TEST(FuzzImageTest, EachDecoderRefusesTheOtherFormat) {
  EXPECT_EQ(fuzz::DecodePng(Bytes("BM")).verdict, Verdict::kRefused);
  EXPECT_EQ(fuzz::DecodeBmp(Bytes("\x89PNG\r\n\x1a\n")).verdict, Verdict::kRefused);
}

TEST(FuzzInputScriptTest, RegressionsEndWithTheVerdictTheirNamesGive) {
  Replay("input_script", fuzz::ReadInputScript, [](const std::string& message) {
    EXPECT_THAT(message, StartsWith(std::string(fuzz::kInputScriptName) + ":"));
  });
}

}  // namespace
