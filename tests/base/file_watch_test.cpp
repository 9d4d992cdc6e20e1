// The file watcher's rules: which edits make a new version of a file (an editor's
// rename-on-save, a file that goes and comes back, a size change within one time
// stamp), how long a look stands, and names that lead out of the data folder.
#include "base/file_watch.h"

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "working_directory.h"

namespace {

namespace fs = std::filesystem;

class FileWatcherTest : public testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::path(testing::TempDir()) / ("velmaris-watch-" + std::to_string(::getpid()));
    fs::remove_all(folder_);
    fs::create_directories(folder_);
    file_ = (folder_ / "Level.txt").string();
    Write(file_, "version one");
    time_ = fs::last_write_time(file_);
  }
  void TearDown() override { fs::remove_all(folder_); }

  static void Write(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
  }

  std::string file_;
  fs::file_time_type time_;  // the first version's modification time
  fs::path folder_;
};

std::int64_t g_now = 0;  // the fake clock, in nanoseconds
std::int64_t FakeNow() { return g_now; }

TEST_F(FileWatcherTest, EditsThatMakeANewVersion) {
  using Edit = std::function<void()>;
  const Edit nothing = [] {};
  const Edit sameSizeAndTime = [&] {
    Write(file_, "version two");
    fs::last_write_time(file_, time_);
  };
  const Edit longerSameTime = [&] {
    Write(file_, "version three, longer");
    fs::last_write_time(file_, time_);
  };
  const Edit laterSameSize = [&] { fs::last_write_time(file_, time_ + std::chrono::seconds(1)); };
  // As editors save: a whole new file beside the old one, renamed over it.
  const Edit renamedOver = [&] {
    const std::string temporary = file_ + ".swp";
    Write(temporary, "version six");
    fs::last_write_time(temporary, time_);
    fs::rename(temporary, file_);
  };
  const Edit removed = [&] { fs::remove(file_); };
  const Edit writtenAgain = [&] {
    Write(file_, "version one");
    fs::last_write_time(file_, time_);
  };
  const Edit pipe = [&] {
    fs::remove(file_);
    ASSERT_EQ(::mkfifo(file_.c_str(), 0600), 0);
  };
  struct Step {
    const Edit* edit;
    bool newVersion;  // the look after the edit differs from the one before it
    bool exists, plain;
  };
  const struct {
    const char* what;
    std::vector<Step> steps;
  } cases[] = {
      {"left alone", {{&nothing, false, true, true}}},
      {"rewritten within its time stamp, same size", {{&sameSizeAndTime, false, true, true}}},
      {"another size, same time", {{&longerSameTime, true, true, true}}},
      {"a later time, same size", {{&laterSameSize, true, true, true}}},
      {"saved by renaming a new file over it", {{&renamedOver, true, true, true}}},
      {"gone, then back",
       {{&removed, true, false, false}, {&nothing, false, false, false}, {&writtenAgain, true, true, true}}},
      {"replaced by a named pipe", {{&pipe, true, true, false}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    fs::remove(file_);
    Write(file_, "version one");
    fs::last_write_time(file_, time_);
    g_now = 0;
    base::FileWatcher watcher(&FakeNow);
    base::FileStamp before = watcher.Look(file_).stamp;
    for (const Step& step : c.steps) {
      (*step.edit)();
      watcher.LookAgain();
      const base::FileStamp after = watcher.Look(file_).stamp;
      EXPECT_EQ(after != before, step.newVersion);
      EXPECT_EQ(after.Exists(), step.exists);
      EXPECT_EQ(after.plain, step.plain);
      before = after;
    }
  }
}

TEST_F(FileWatcherTest, ALookStandsForTheIntervalUnlessLookAgainForgetsIt) {
  constexpr std::int64_t kInterval = base::FileWatcher::kIntervalNanoseconds;
  g_now = 1000;
  base::FileWatcher watcher(&FakeNow);
  const base::FileStamp first = watcher.Look(file_).stamp;
  Write(file_, "a longer second version");
  const struct {
    std::int64_t after;  // nanoseconds since the first look
    bool due, seesEdit;
  } steps[] = {{0, false, false}, {kInterval - 1, false, false}, {kInterval, true, true}};
  for (const auto& step : steps) {
    SCOPED_TRACE(step.after);
    g_now = 1000 + step.after;
    EXPECT_EQ(watcher.Due(), step.due);
    EXPECT_EQ(watcher.Look(file_).stamp != first, step.seesEdit);
  }
  // LookAgain: the next look is fresh at once, and the interval of Due starts anew.
  Write(file_, "third");
  watcher.LookAgain();
  EXPECT_FALSE(watcher.Due());
  EXPECT_EQ(watcher.Look(file_).stamp.size, 5);
}

TEST_F(FileWatcherTest, NamesInsideTheDataFolderAreResolvedAndThoseLeadingOutRefused) {
  testing_support::ScopedWorkingDirectory inFolder(folder_);
  base::FileWatcher watcher(&base::SteadyNanoseconds, base::WatchedNames::kInsideDataFolder);
  const base::FileLook& inside = watcher.Look("./Prefabs/../Level.txt");
  EXPECT_EQ(inside.file, "Level.txt");
  EXPECT_EQ(inside.refusal, "");
  EXPECT_TRUE(inside.stamp.Exists() && inside.stamp.plain);
  const base::FileLook& outside = watcher.Look("../Level.txt");
  EXPECT_EQ(outside.refusal, "the name climbs out of the data folder with \"..\"");
  EXPECT_FALSE(outside.stamp.Exists());
  // As given, a name is the path of the file.
  base::FileWatcher plain(&base::SteadyNanoseconds);
  EXPECT_EQ(plain.Look("../Level.txt").refusal, "");
}

}  // namespace
