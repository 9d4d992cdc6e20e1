// The data path rule: names that stay inside the data roots resolve, absolute names,
// ".." climbing out and symbolic links leading out are refused; roots are looked up
// in order.
#include "base/data_path.h"

#include <filesystem>
#include <fstream>
#include <string>

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include "working_directory.h"

namespace {

namespace fs = std::filesystem;
using base::PathVerdict;

class DataPathTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    top = fs::temp_directory_path() / ("velmaris_" + std::to_string(::getpid()) + "_path_" + test->name());
    fs::remove_all(top);
    data = top / "data";
    fs::create_directories(data / "images" / "deep");
    fs::create_directories(top / "outside");
    Touch(data / "images" / "a.png");
    Touch(top / "outside" / "secret.txt");
    fs::create_directory_symlink(top / "outside", data / "out");
    fs::create_symlink(top / "outside" / "secret.txt", data / "images" / "secret.png");
    fs::create_symlink(top / "outside" / "gone.png", data / "images" / "dangling.png");
    fs::create_directory_symlink(data / "images", data / "pictures");
    fs::create_symlink("a.png", data / "images" / "alias.png");
    inData = std::make_unique<testing_support::ScopedWorkingDirectory>(data);
  }
  void TearDown() override {
    inData.reset();
    base::DataPaths().Reset();
    fs::remove_all(top);
  }
  static void Touch(const fs::path& path) { std::ofstream(path) << "x"; }

  fs::path top, data;
  std::unique_ptr<testing_support::ScopedWorkingDirectory> inData;
};

TEST_F(DataPathTest, NamesInsideResolveAndTheRestAreRefusedWithTheirReason) {
  struct Case {
    const char* written;
    PathVerdict verdict;
    const char* resolved;  // for kInside
    const char* reason;    // for a refusal: a part of it
  };
  const Case cases[] = {
      {"images/a.png", PathVerdict::kInside, "images/a.png", ""},
      {"./images//deep/../a.png", PathVerdict::kInside, "images/a.png", ""},
      {"images/missing.png", PathVerdict::kInside, "images/missing.png", ""},
      {"pictures/a.png", PathVerdict::kInside, "pictures/a.png", ""},  // a link inside
      {"images/alias.png", PathVerdict::kInside, "images/alias.png", ""},
      {"/etc/passwd", PathVerdict::kAbsolute, "", "is an absolute path"},
      {"../outside/secret.txt", PathVerdict::kClimbsOut, "", "climbs out of the data folder"},
      {"images/deep/../../../outside/secret.txt", PathVerdict::kClimbsOut, "", "climbs out"},
      {"images/..", PathVerdict::kNoName, "", "names no file"},
      {"", PathVerdict::kNoName, "", "names no file"},
      {"out/secret.txt", PathVerdict::kLinkLeadsOut, "", "through the symbolic link \"out\""},
      {"images/secret.png", PathVerdict::kLinkLeadsOut, "", "symbolic link \"images/secret.png\""},
      {"images/dangling.png", PathVerdict::kLinkLeadsOut, "", "symbolic link \"images/dangling.png\""},
      {"pictures/../out/x", PathVerdict::kLinkLeadsOut, "", "symbolic link \"out\""},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.written);
    const base::ResolvedPath resolved = base::ResolveDataPath(test.written);
    EXPECT_EQ(resolved.verdict, test.verdict) << resolved.reason;
    EXPECT_EQ(resolved.path, test.resolved);
    EXPECT_THAT(resolved.reason, ::testing::HasSubstr(test.reason));
  }
  EXPECT_EQ(base::ResolveDataPath(std::string("images/a.png\0../../x", 20)).verdict, PathVerdict::kNoName);
}

TEST_F(DataPathTest, RootsAreLookedUpInOrderAndAMissingFileLeadsIntoTheFirst) {
  const fs::path level = top / "level";
  fs::create_directories(level / "images");
  Touch(level / "images" / "own.png");
  Touch(level / "images" / "a.png");
  fs::create_directory_symlink(top / "outside", level / "out");
  base::DataPaths().roots = {level, fs::path()};
  EXPECT_EQ(base::ResolveDataPath("images/own.png").path, (level / "images/own.png").generic_string());
  EXPECT_EQ(base::ResolveDataPath("images/a.png").path, (level / "images/a.png").generic_string());
  Touch(data / "images" / "only-data.png");
  EXPECT_EQ(base::ResolveDataPath("images/only-data.png").path, "images/only-data.png");
  EXPECT_EQ(base::ResolveDataPath("images/none.png").path, (level / "images/none.png").generic_string());
  // A link out of the first root is refused, not passed over for the next root.
  EXPECT_EQ(base::ResolveDataPath("out/secret.txt").verdict, PathVerdict::kLinkLeadsOut);
  base::DataPaths().roots = {top / "no-such-folder", fs::path()};
  EXPECT_EQ(base::ResolveDataPath("images/a.png").path, "images/a.png");
}

}  // namespace
