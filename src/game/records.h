// The results of the built-in levels: this run's rating and time of each, shown on
// the end screen, and the best time and best rating of each across runs, kept in a
// small JSON file of the configuration folder.
#pragma once

#include <array>
#include <filesystem>
#include <memory>
#include <optional>

namespace game {

// Level1, Level2 and Level3, indexed 0..2.
inline constexpr int kBuiltInLevels = 3;

// How one level ended: the time on its timer, seconds, and its rating 0..2.
struct LevelResult {
  float time = 0.0f;
  int rating = 0;
};

// The best of every end of one level; empty until it has been finished once. The
// best time and the best rating may come from different runs.
struct LevelRecord {
  std::optional<float> bestTime;  // seconds, the lowest
  std::optional<int> bestRating;  // 0..2, the highest
};
using Records = std::array<LevelRecord, kBuiltInLevels>;

// The records file: read at start-up, written whenever a level end beats a record.
class RecordsFile {
 public:
  // The file "records" of the configuration folder; empty when there is none.
  static std::filesystem::path DefaultPath();

  explicit RecordsFile(std::filesystem::path path) : path_(std::move(path)) {}

  // The records in the file. A missing file gives no records quietly (a first run);
  // an empty, malformed or mistyped one gives no records for what it gets wrong and
  // one line on standard error naming the file and every problem.
  Records Load() const;
  // Writes the records through a temporary file and a rename. False, with one line
  // on standard error naming the file and the reason, when it cannot.
  bool Save(const Records& records) const;

  const std::filesystem::path& Path() const { return path_; }

 private:
  std::filesystem::path path_;
};

// The records of this process: the stored best, this run's results and where the
// best goes. The runner and the tests have no file: nothing is stored.
struct RecordsBlock {
  Records best;
  std::array<std::optional<LevelResult>, kBuiltInLevels> thisRun;
  std::unique_ptr<RecordsFile> file;
};
RecordsBlock& StoredRecords();

// Reads the records file at start-up (an empty path: no file).
void LoadRecords(std::filesystem::path path);

// Built-in level `index` (0..2) ended with `result`: it becomes this run's result,
// and the best time or rating where it beats them (the file is written then).
void RecordLevelEnd(int index, const LevelResult& result);

// A new run begins (Play again): this run's results are forgotten, the best kept.
void StartNewRun();

}  // namespace game
