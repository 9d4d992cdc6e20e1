// The records file (best time and rating of each built-in level) and this run's
// results.
#include "game/records.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include <rapidjson/document.h>
#include <rapidjson/prettywriter.h>
#include <rapidjson/stringbuffer.h>

#include "base/atomic_file.h"
#include "base/log.h"
#include "base/user_folders.h"
#include "game/blocks.h"
#include "game/names.h"
#include "serialization/json_file.h"

namespace game {
namespace {

// The file's key of each level, in level order.
constexpr const char* kLevelKeys[kBuiltInLevels] = {names::kLevel1, names::kLevel2, names::kLevel3};
constexpr const char* kTimeKey = "bestTime";
constexpr const char* kRatingKey = "bestRating";
// A time the level timer can show: it stops at one hundred minutes.
constexpr double kLongestTime = 6000.0;
constexpr int kBestRating = 2;

void Report(const std::filesystem::path& path, const std::string& problem) {
  base::LogError("records", path.string() + ": " + problem);
}

std::string Member(const char* level, const char* key) {
  return std::string("\"") + level + "\"." + (key != nullptr ? std::string("\"") + key + "\"" : "");
}

// One level's entry of the file; what it gets wrong is added to `problems`.
LevelRecord ReadLevel(const rapidjson::Value& entry, const char* level, std::vector<std::string>& problems) {
  LevelRecord record;
  if (!entry.IsObject()) {
    problems.push_back("\"" + std::string(level) + "\" should be an object");
    return record;
  }
  if (const auto time = entry.FindMember(kTimeKey); time != entry.MemberEnd()) {
    const bool good = time->value.IsNumber() && std::isfinite(time->value.GetDouble()) &&
                      time->value.GetDouble() >= 0.0 && time->value.GetDouble() <= kLongestTime;
    if (good) {
      record.bestTime = static_cast<float>(time->value.GetDouble());
    } else {
      problems.push_back(Member(level, kTimeKey) + " should be seconds from 0 to 6000");
    }
  }
  if (const auto rating = entry.FindMember(kRatingKey); rating != entry.MemberEnd()) {
    const bool good =
        rating->value.IsInt() && rating->value.GetInt() >= 0 && rating->value.GetInt() <= kBestRating;
    if (good) {
      record.bestRating = rating->value.GetInt();
    } else {
      problems.push_back(Member(level, kRatingKey) + " should be 0, 1 or 2");
    }
  }
  return record;
}

std::string Joined(const std::vector<std::string>& parts) {
  std::string joined;
  for (const std::string& part : parts) joined += (joined.empty() ? "" : "; ") + part;
  return joined;
}

}  // namespace

std::filesystem::path RecordsFile::DefaultPath() {
  const std::filesystem::path config = base::UserFolderPath(base::UserFolder::kConfig);
  return config.empty() ? config : config / "records";
}

Records RecordsFile::Load() const {
  Records records;
  std::error_code error;
  if (!std::filesystem::exists(path_, error)) return records;
  rapidjson::Document read;
  std::string why;
  if (serialization::ReadJsonFile(path_.string(), read, why) != serialization::JsonFileResult::Parsed) {
    Report(path_,
           (why.empty() ? std::string("cannot be read") : why) + "; no best times or ratings are used");
    return records;
  }
  if (!read.IsObject()) {
    Report(path_, "holds no JSON object; no best times or ratings are used");
    return records;
  }
  std::vector<std::string> problems;
  for (int i = 0; i < kBuiltInLevels; ++i) {
    const auto entry = read.FindMember(kLevelKeys[i]);
    if (entry != read.MemberEnd()) records[i] = ReadLevel(entry->value, kLevelKeys[i], problems);
  }
  if (!problems.empty()) Report(path_, Joined(problems) + "; those records start afresh");
  return records;
}

bool RecordsFile::Save(const Records& records) const {
  rapidjson::Document document;
  document.SetObject();
  auto& allocator = document.GetAllocator();
  for (int i = 0; i < kBuiltInLevels; ++i) {
    rapidjson::Value entry(rapidjson::kObjectType);
    if (records[i].bestTime) entry.AddMember(rapidjson::StringRef(kTimeKey), *records[i].bestTime, allocator);
    if (records[i].bestRating)
      entry.AddMember(rapidjson::StringRef(kRatingKey), *records[i].bestRating, allocator);
    if (entry.MemberCount() > 0) document.AddMember(rapidjson::StringRef(kLevelKeys[i]), entry, allocator);
  }
  rapidjson::StringBuffer text;
  rapidjson::PrettyWriter<rapidjson::StringBuffer> writer(text);
  document.Accept(writer);
  std::string error;
  const std::string bytes = std::string(text.GetString(), text.GetSize()) + "\n";
  if (base::MakeFolder(path_.parent_path(), error) && base::WriteFileAtomically(path_, bytes, error))
    return true;
  base::LogErrorOnce("records", error + "; the best times are kept for this run only");
  return false;
}

RecordsBlock& StoredRecords() { return GameBlock<RecordsBlock>(); }

void LoadRecords(std::filesystem::path path) {
  RecordsBlock& block = StoredRecords();
  block.file = path.empty() ? nullptr : std::make_unique<RecordsFile>(std::move(path));
  block.best = block.file ? block.file->Load() : Records{};
}

void RecordLevelEnd(int index, const LevelResult& result) {
  if (index < 0 || index >= kBuiltInLevels) return;
  RecordsBlock& block = StoredRecords();
  // Within what the timer shows, so that the file always reads back.
  const LevelResult kept{std::clamp(result.time, 0.0f, static_cast<float>(kLongestTime)), result.rating};
  block.thisRun[index] = kept;
  LevelRecord& best = block.best[index];
  bool beaten = false;
  if (!best.bestTime || kept.time < *best.bestTime) {
    best.bestTime = kept.time;
    beaten = true;
  }
  if (!best.bestRating || kept.rating > *best.bestRating) {
    best.bestRating = kept.rating;
    beaten = true;
  }
  if (beaten && block.file) block.file->Save(block.best);
}

void StartNewRun() { StoredRecords().thisRun = {}; }

}  // namespace game
