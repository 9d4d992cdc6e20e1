// Files written whole or not at all: a good old file survives a full disk and a
// crash between the writes and the rename.
#include "base/atomic_file.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include <gmock/gmock.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using testing::HasSubstr;

class AtomicFileTest : public testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::path(testing::TempDir()) / ("velmaris-atomic-" + std::to_string(::getpid()));
    fs::remove_all(folder_);
    fs::create_directories(folder_);
    path_ = folder_ / "settings";
    std::ofstream(path_) << "old and good";
  }
  void TearDown() override { fs::remove_all(folder_); }

  std::string Read() const {
    std::stringstream text;
    text << std::ifstream(path_).rdbuf();
    return text.str();
  }
  // Runs `work` in a child process and returns how it ended (waitpid's status).
  template <typename Work>
  int InChild(Work work) {
    const pid_t child = ::fork();
    if (child == 0) {
      work();
      ::_exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return status;
  }

  fs::path folder_;
  fs::path path_;
};

TEST_F(AtomicFileTest, AWholeWriteReplacesTheOldFileAndLeavesNothingBeside) {
  std::string error;
  ASSERT_TRUE(base::WriteFileAtomically(path_, "new", error)) << error;
  EXPECT_EQ(Read(), "new");
  EXPECT_EQ(std::distance(fs::directory_iterator(folder_), fs::directory_iterator()), 1);
}

TEST_F(AtomicFileTest, AKillBetweenTheWritesAndTheRenameLeavesTheOldFileReadable) {
  const int status = InChild([this] {
    base::AtomicFile file(path_);
    file.Write("half of a new fi");
    ::raise(SIGKILL);
  });
  ASSERT_TRUE(WIFSIGNALED(status));
  EXPECT_EQ(Read(), "old and good");
}

TEST_F(AtomicFileTest, AFullDiskIsReportedWithThePathAndReasonAndKeepsTheOldFile) {
  // A file size limit stands in for a full disk: write() fails part way, as there.
  const int status = InChild([this] {
    ::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{8, 8};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    std::string error;
    const bool written = base::WriteFileAtomically(path_, std::string(4096, 'x'), error);
    const bool named = error.find(path_.string() + ": cannot write: ") == 0;
    ::_exit(!written && named ? 0 : 1);
  });
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "the write failed and said where and why";
  EXPECT_EQ(Read(), "old and good");
  EXPECT_EQ(std::distance(fs::directory_iterator(folder_), fs::directory_iterator()), 1)
      << "the temporary file is gone";
}

TEST_F(AtomicFileTest, AMissingFolderIsRefusedAndEveryLaterStepFails) {
  base::AtomicFile file(folder_ / "no-such-folder" / "shot.png");
  EXPECT_FALSE(file.Ok());
  EXPECT_THAT(file.Error(), HasSubstr("no-such-folder/shot.png: cannot write: No such file or directory"));
  EXPECT_FALSE(file.Write("x"));
  EXPECT_FALSE(file.Commit());
  std::string error;
  EXPECT_TRUE(base::MakeFolder(folder_ / "a" / "b", error));
  EXPECT_FALSE(base::MakeFolder(path_ / "below-a-file", error));
  EXPECT_THAT(error, HasSubstr(path_.string()));
}

}  // namespace
