// The loader against a JSON parser test suite written elsewhere: every malformed file
// (n_) is refused, every well-formed one (y_) is loaded or refused as not a level,
// and nothing (i_ included, 100,000-deep nesting included) crashes.
#include <filesystem>
#include <map>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "serialization/serializer_fixture.h"

namespace {

using ::testing::AnyOf;
using ::testing::HasSubstr;

class JsonCorpusTest : public testing_support::SerializerFixture {};

TEST_F(JsonCorpusTest, MalformedFilesAreRefusedWellFormedOnesLoadOrAreNotALevel) {
  std::map<char, int> files;  // by the first letter of the name
  int loaded = 0;
  const auto corpus = std::filesystem::path(VELMARIS_TESTDATA_DIR) / "jsontestsuite" / "test_parsing";
  for (const auto& entry : std::filesystem::directory_iterator(corpus)) {
    const std::string name = entry.path().filename().string();
    ++files[name[0]];
    spaces.Clear();
    std::string error;
    try {
      EXPECT_TRUE(serialization::Serializer(&spaces).LoadLevel(entry.path().string())) << name;
      ++loaded;
    } catch (const std::runtime_error& refusal) {
      error = refusal.what();
    }
    if (name[0] == 'n') {
      EXPECT_THAT(error, AnyOf(HasSubstr("is not well-formed JSON"), HasSubstr("root is not a JSON object")))
          << name;
      EXPECT_TRUE(spaces.GetSpaces().empty()) << name;
    } else if (name[0] == 'y') {
      EXPECT_THAT(error, ::testing::Not(HasSubstr("well-formed"))) << name;
    }
  }
  EXPECT_GT(files['n'], 150);
  EXPECT_GT(files['y'], 80);
  EXPECT_GT(files['i'], 20);
  EXPECT_GT(loaded, 0);  // the object-rooted ones
}

}  // namespace
