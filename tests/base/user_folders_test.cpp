// Where the game's written files go for a given environment.
#include "base/user_folders.h"

#include <cstdlib>
#include <fstream>
#include <map>
#include <optional>

#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;
using base::UserFolder;

constexpr const char* kVariables[] = {"HOME",           "XDG_CONFIG_HOME", "XDG_DATA_HOME",
                                      "XDG_CACHE_HOME", "XDG_STATE_HOME",  "XDG_PICTURES_DIR"};

// Sets the environment of one case and puts the test process's back afterwards.
class UserFoldersTest : public testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : kVariables) {
      const char* value = std::getenv(name);
      saved_[name] = value != nullptr ? std::optional<std::string>(value) : std::nullopt;
    }
  }
  void TearDown() override {
    for (const auto& [name, value] : saved_) Set(name.c_str(), value);
  }
  static void Set(const char* name, const std::optional<std::string>& value) {
    if (value) {
      ::setenv(name, value->c_str(), 1);
    } else {
      ::unsetenv(name);
    }
  }
  static void Only(std::map<std::string, std::string> variables) {
    for (const char* name : kVariables) {
      const auto found = variables.find(name);
      Set(name, found != variables.end() ? std::optional(found->second) : std::nullopt);
    }
  }

  std::map<std::string, std::optional<std::string>> saved_;
};

TEST_F(UserFoldersTest, VariablesFirstThenHomesFallbacksAndNothingWithoutEither) {
  Only({{"HOME", "/home/ana"}, {"XDG_DATA_HOME", "/data/ana"}, {"XDG_CACHE_HOME", "relative/cache"}});
  EXPECT_EQ(base::UserFolderPath(UserFolder::kData), "/data/ana/velmaris");
  EXPECT_EQ(base::UserFolderPath(UserFolder::kReplays), "/data/ana/velmaris/replays");
  EXPECT_EQ(base::UserFolderPath(UserFolder::kCache), "/home/ana/.cache/velmaris")
      << "a relative path is ignored";
  EXPECT_EQ(base::UserFolderPath(UserFolder::kConfig), "/home/ana/.config/velmaris");
  EXPECT_EQ(base::UserFolderPath(UserFolder::kState), "/home/ana/.local/state/velmaris");
  EXPECT_EQ(base::UserFolderPath(UserFolder::kScreenshots), "/data/ana/velmaris/screenshots");

  Only({});
  for (UserFolder folder : {UserFolder::kConfig, UserFolder::kData, UserFolder::kReplays, UserFolder::kCache,
                            UserFolder::kState, UserFolder::kScreenshots}) {
    EXPECT_TRUE(base::UserFolderPath(folder).empty()) << static_cast<int>(folder);
  }
}

TEST_F(UserFoldersTest, ScreenshotsGoToTheDesktopsPicturesFolderWhenItNamesOne) {
  const fs::path config = fs::path(testing::TempDir()) / "velmaris-user-dirs";
  fs::create_directories(config);
  const struct {
    const char* line;  // the pictures line of user-dirs.dirs; null: no file
    const char* expected;
  } cases[] = {
      {"XDG_PICTURES_DIR=\"$HOME/Bilder\"", "/home/ana/Bilder/Velmaris"},
      {"XDG_PICTURES_DIR=\"/srv/pictures\"", "/srv/pictures/Velmaris"},
      {"XDG_PICTURES_DIR=\"$HOME/\"", "/home/ana/.local/share/velmaris/screenshots"},
      {"XDG_PICTURES_DIR=\"$HOME", "/home/ana/.local/share/velmaris/screenshots"},
      {nullptr, "/home/ana/.local/share/velmaris/screenshots"},
  };
  for (const auto& c : cases) {
    Only({{"HOME", "/home/ana"}, {"XDG_CONFIG_HOME", config.string()}});
    fs::remove(config / "user-dirs.dirs");
    if (c.line != nullptr)
      std::ofstream(config / "user-dirs.dirs") << "# written by xdg-user-dirs-update\n" << c.line << "\n";
    EXPECT_EQ(base::UserFolderPath(UserFolder::kScreenshots), c.expected) << (c.line ? c.line : "no file");
  }
  Only({{"HOME", "/home/ana"}, {"XDG_PICTURES_DIR", "/mnt/shots"}});
  EXPECT_EQ(base::UserFolderPath(UserFolder::kScreenshots), "/mnt/shots/Velmaris") << "the environment wins";
}

}  // namespace
