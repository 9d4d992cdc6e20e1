// The level-read hook: what a successful load reports, and that a failed one is silent.
#include "serialization/level_reads.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "serialization/serializer_fixture.h"

namespace {

class LevelReadsTest : public testing_support::SerializerFixture {
 protected:
  void SetUp() override {
    SerializerFixture::SetUp();
    serialization::SetLevelReadHook([this](const serialization::LevelRead& read) { reads.push_back(read); });
  }
  void TearDown() override {
    serialization::SetLevelReadHook(nullptr);
    SerializerFixture::TearDown();
  }
  std::vector<serialization::LevelRead> reads;
};

TEST_F(LevelReadsTest, ALoadReportsItsFileAndEveryPrefabItAskedForOnce) {
  const std::string base = Write("base.txt", R"({ "Base": { "Transform": { "x_scale": 2.0 } } })");
  const std::string star =
      Write("star.txt", R"({ "Star": { "Transform": {} }, "prefab": ")" + base + R"(" })");
  const std::string missing = "missing.txt";
  testing::internal::CaptureStderr();  // the loader's line about the missing prefab
  const std::string level = Load(R"({ "S": {
      "a": { "prefab": ")" + star +
                                 R"(" },
      "b": { "prefab": ")" + missing +
                                 R"(" },
      "c": { "prefab": ")" + star +
                                 R"(" } } })");
  testing::internal::GetCapturedStderr();
  ASSERT_EQ(reads.size(), 1u);
  EXPECT_EQ(reads[0].registry, &spaces);
  EXPECT_EQ(reads[0].file, level);
  // Bases after the prefab that names them: the order they are asked for.
  EXPECT_EQ(reads[0].prefabs, (std::vector<std::string>{star, base, missing}));
}

TEST_F(LevelReadsTest, ALoadThatFailsOrFindsNoFileReportsNothing) {
  serialization::Serializer serializer(&spaces);
  EXPECT_FALSE(serializer.LoadLevel("absent.txt"));
  const std::string prefab = Write("p.txt", R"({ "P": { "Transform": {} } })");
  EXPECT_NE(LoadError(R"({ "S": { "a": { "prefab": ")" + prefab + R"(", "Nothing": {} } } })"),
            "(no exception)");
  EXPECT_NE(LoadError("{ \"S\": "), "(no exception)");
  EXPECT_TRUE(reads.empty());
  // The next load is its own: nothing left over from the failed one.
  Load(R"({ "S": { "b": {} } })", "second.txt");
  ASSERT_EQ(reads.size(), 1u);
  EXPECT_TRUE(reads[0].prefabs.empty());
}

}  // namespace
