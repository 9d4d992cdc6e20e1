// The records file: a round trip, what a broken file gives, a failed write, and a
// level end keeping this run's result and beating the best.
#include "game/records.h"

#include <filesystem>

#include <gmock/gmock.h>

#include "game/level_logic.h"
#include "game/names.h"
#include "game_fixture.h"
#include "working_directory.h"

namespace {

namespace fs = std::filesystem;
namespace names = game::names;
using testing::HasSubstr;

fs::path Scratch(const std::string& name) { return testing_support::ScratchFile("records", name); }
using testing_support::ReadText;
using testing_support::WriteText;

TEST(RecordsFileTest, WhatIsSavedReadsBackAndNoTemporaryFileStays) {
  const fs::path path = Scratch("records");
  game::Records records;
  records[0] = {44.9662f, 2};
  records[2] = {5999.5f, 0};
  ASSERT_TRUE(game::RecordsFile(path).Save(records));
  const game::Records read = game::RecordsFile(path).Load();
  EXPECT_EQ(read[0].bestTime, 44.9662f);
  EXPECT_EQ(read[0].bestRating, 2);
  EXPECT_FALSE(read[1].bestTime.has_value());
  EXPECT_FALSE(read[1].bestRating.has_value());
  EXPECT_EQ(read[2].bestTime, 5999.5f);
  EXPECT_EQ(read[2].bestRating, 0);
  EXPECT_THAT(ReadText(path), Not(HasSubstr("Level2")));
  EXPECT_EQ(std::distance(fs::directory_iterator(path.parent_path()), fs::directory_iterator()), 1);
}

TEST(RecordsFileTest, ABrokenFileGivesNoRecordsForWhatItGetsWrongAndSaysSoInOneLine) {
  struct Case {
    const char* what;
    const char* text;  // null: no file at all
    std::optional<float> level1Time;
    std::optional<int> level2Rating;
    std::vector<const char*> reported;  // parts of the one line; empty: nothing said
  };
  const Case cases[] = {
      {"missing", nullptr, {}, {}, {}},
      {"empty", "", {}, {}, {"no best times or ratings are used"}},
      {"truncated", R"({"Level1": {"bestTime": 4)", {}, {}, {"no best times or ratings are used"}},
      {"not an object", "[1, 2]", {}, {}, {"holds no JSON object"}},
      {"entry not an object",
       R"({"Level1": 12, "Level2": {"bestRating": 1}})",
       {},
       1,
       {"\"Level1\" should be an object", "start afresh"}},
      {"two wrong values",
       R"({"Level1": {"bestTime": -1}, "Level2": {"bestRating": 3}})",
       {},
       {},
       {"\"Level1\".\"bestTime\" should be seconds", "\"Level2\".\"bestRating\" should be 0, 1 or 2"}},
      {"wrong types",
       R"({"Level1": {"bestTime": "0:45"}, "Level2": {"bestRating": 1.5}})",
       {},
       {},
       {"\"bestTime\"", "\"bestRating\""}},
      {"past the timer", R"({"Level1": {"bestTime": 6000.5}})", {}, {}, {"from 0 to 6000"}},
      {"good, with keys of a newer version",
       R"({"Level1": {"bestTime": 12.5, "ghost": []}, "Level4": {}})",
       12.5f,
       {},
       {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const fs::path path = Scratch("records");
    if (c.text != nullptr) WriteText(path, c.text);
    testing::internal::CaptureStderr();
    const game::Records read = game::RecordsFile(path).Load();
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_EQ(read[0].bestTime, c.level1Time);
    EXPECT_EQ(read[1].bestRating, c.level2Rating);
    if (c.reported.empty()) {
      EXPECT_EQ(log, "");
      continue;
    }
    EXPECT_THAT(log, HasSubstr(path.string()));
    for (const char* part : c.reported) EXPECT_THAT(log, HasSubstr(part));
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 1) << log;
  }
}

TEST(RecordsFileTest, AWriteThatFailsIsReportedAndLeavesTheGoodFileAlone) {
  const fs::path blocker = Scratch("a-file-not-a-folder");
  WriteText(blocker, "x");
  testing::internal::CaptureStderr();
  EXPECT_FALSE(game::RecordsFile(blocker / "velmaris" / "records").Save({}));
  std::string log = testing::internal::GetCapturedStderr();
  EXPECT_THAT(log, HasSubstr(blocker.string()));
  EXPECT_THAT(log, HasSubstr("kept for this run only"));

  // A folder where the file should be: the rename fails, nothing is replaced.
  const fs::path taken = Scratch("taken");
  fs::create_directories(taken / "inside");
  testing::internal::CaptureStderr();
  EXPECT_FALSE(game::RecordsFile(taken).Save({}));
  log = testing::internal::GetCapturedStderr();
  EXPECT_THAT(log, HasSubstr(taken.string()));
  EXPECT_TRUE(fs::is_directory(taken / "inside"));
  for (const auto& entry : fs::directory_iterator(taken.parent_path()))
    EXPECT_THAT(entry.path().filename().string(), Not(HasSubstr("taken.part")))
        << "a temporary file was left";
  fs::remove_all(taken);
}

class RecordsGameTest : public game_testing::GameTest {};

TEST_F(RecordsGameTest, ALevelEndKeepsTheBestTimeAndTheBestRatingApartAndWritesThemAtOnce) {
  const fs::path path = Scratch("records");
  WriteText(path, R"({"Level2": {"bestTime": 50.0, "bestRating": 1}})");
  game::LoadRecords(path);
  struct Case {
    int stars;
    float seconds;
    float bestTime;
    int bestRating;
  };
  const Case cases[] = {
      {30, 70.0f, 50.0f, 2},  // a better rating, a slower time
      {0, 40.0f, 40.0f, 2},   // a faster time, a worse rating
      {0, 90.0f, 40.0f, 2},   // beats nothing
  };
  for (const Case& c : cases) {
    Enter(game::kLevel2);
    Level().collectedStars = c.stars;
    Level().elapsedTime = c.seconds;
    game::UpdateVictory();
    game::EndLevel();
    const game::Records stored = game::RecordsFile(path).Load();
    EXPECT_EQ(stored[1].bestTime, c.bestTime) << c.seconds;
    EXPECT_EQ(stored[1].bestRating, c.bestRating) << c.seconds;
    EXPECT_EQ(game::StoredRecords().thisRun[1]->time, c.seconds) << "this run's result is the latest end";
    EXPECT_FALSE(stored[0].bestTime.has_value());
    Enter(game::kLevel1);
  }
}

TEST_F(RecordsGameTest, ACustomLevelOrTheWinLevelRecordsNothing) {
  Enter(game::kLevelWin);
  Level().collectedStars = 7;
  game::EndLevel();
  for (const auto& result : game::StoredRecords().thisRun) EXPECT_FALSE(result.has_value());
  for (const auto& record : game::StoredRecords().best) EXPECT_FALSE(record.bestTime.has_value());
  EXPECT_FALSE(fs::exists(game::RecordsFile::DefaultPath())) << "the runner and the tests store nothing";
}

}  // namespace
