// The loader against a JSON parser test suite written elsewhere: every malformed file
// (n_) is refused, every well-formed one (y_) is loaded or refused as not a level,
// and nothing (i_ included, 100,000-deep nesting included) crashes.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "serialization/serializer_fixture.h"

namespace {

using ::testing::AnyOf;
using ::testing::HasSubstr;

class JsonCorpusTest : public testing_support::SerializerFixture {
 protected:
  static std::vector<std::filesystem::path> Files(const std::string& prefix) {
    std::vector<std::filesystem::path> files;
    const std::filesystem::path folder = std::filesystem::path(VELMARIS_TESTDATA_DIR) / "jsontestsuite" / "test_parsing";
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
      if (entry.path().filename().string().rfind(prefix, 0) == 0) files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
  }

  // Loads one file into a fresh registry; returns the error text or "" when it loaded.
  std::string Outcome(const std::filesystem::path& file) {
    spaces.Clear();
    serialization::Serializer serializer(&spaces);
    try {
      EXPECT_TRUE(serializer.LoadLevel(file.string())) << file;
    } catch (const std::runtime_error& error) {
      return error.what();
    }
    return "";
  }
};

TEST_F(JsonCorpusTest, EveryMalformedFileIsRefusedAndCreatesNothing) {
  const auto files = Files("n_");
  ASSERT_GT(files.size(), 150u);
  for (const auto& file : files) {
    const std::string error = Outcome(file);
    EXPECT_THAT(error, AnyOf(HasSubstr("is not well-formed JSON"), HasSubstr("root is not a JSON object")))
        << file.filename();
    EXPECT_TRUE(spaces.GetSpaces().empty()) << file.filename();
  }
}

TEST_F(JsonCorpusTest, EveryWellFormedFileIsLoadedOrRefusedAsNotALevel) {
  const auto files = Files("y_");
  ASSERT_GT(files.size(), 80u);
  int loaded = 0;
  for (const auto& file : files) {
    const std::string error = Outcome(file);
    if (error.empty()) {
      ++loaded;
      continue;
    }
    EXPECT_THAT(error, ::testing::Not(HasSubstr("well-formed"))) << file.filename();
  }
  EXPECT_GT(loaded, 0);  // the object-rooted ones
}

TEST_F(JsonCorpusTest, ImplementationDefinedFilesEndWithoutACrash) {
  const auto files = Files("i_");
  ASSERT_GT(files.size(), 20u);
  for (const auto& file : files) Outcome(file);
}

}  // namespace
