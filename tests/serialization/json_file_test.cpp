// Reading JSON files: the parse stays inside its text, positions point at keys and
// values, repeated names are found, and paths that are not plain files or are too
// large are refused without being read.
#include "serialization/json_file.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <string_view>

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using serialization::JsonFileResult;
using serialization::JsonText;
using serialization::TextPosition;
using ::testing::HasSubstr;

std::string At(TextPosition position) {
  return std::to_string(position.line) + ":" + std::to_string(position.column);
}

// A text that ends inside a string on the lead byte of a 3- or 4-byte sequence, or
// one continuation byte short, is refused where the sequence starts. Each text sits
// in a heap block of exactly its size, without a terminator: a read past its end is
// a read past the block, which AddressSanitizer reports.
TEST(JsonFileTest, TextCutInsideAMultiByteSequenceIsRefusedWithoutReadingPastIt) {
  const struct {
    std::string text;
    std::string at;
  } cases[] = {
      {"{\"aaaaaaaaaaaa\xf1", "1:15"},
      {"{\"aaaaaaaaaaaa\xe2", "1:15"},
      {"{\"aaaaaaaaaaaa\xf0\x9f", "1:15"},
      {"{\"aaaaaaaaaaaa\xf0\x9f\x98", "1:15"},
      {"{\"key\": \"vvvvvvvvvvvvvvvv\xe2\x82", "1:26"},
      {"{\"a\":\n \"bbbbbbbbbbbbbbbbbbbb\xf4", "2:23"},
  };
  for (const auto& c : cases) {
    const std::unique_ptr<char[]> block(new char[c.text.size()]);
    std::copy(c.text.begin(), c.text.end(), block.get());
    JsonText parsed;
    std::string error;
    EXPECT_FALSE(serialization::ParseJsonText(std::string_view(block.get(), c.text.size()), parsed, error))
        << c.text;
    EXPECT_EQ(parsed.ErrorText(), "Invalid encoding in string.") << c.text;
    EXPECT_EQ(At(parsed.ErrorPosition()), c.at) << c.text;
  }
}

TEST(JsonFileTest, PositionsPointAtEveryKeyAndValue) {
  // Escaped quotes, a byte-order mark, arrays, numbers and literals.
  const std::string text =
      "\xEF\xBB\xBF{\n"
      "  \"S\": {\"o\\\"q\": {\"Transform\": {\"x\": -1.5e2, \"y\" :true}},\n"
      "\t\"p\": [ 1,[null , \"a\\\\\"] ]}\n"
      "}";
  JsonText parsed;
  std::string error;
  ASSERT_TRUE(serialization::ParseJsonText(text, parsed, error)) << error;
  const rapidjson::Value& root = parsed.document;
  const auto& space = *root.MemberBegin();
  const auto& object = *space.value.MemberBegin();
  const auto& transform = *object.value.MemberBegin();
  const auto& x = *transform.value.MemberBegin();
  const auto& y = *(transform.value.MemberBegin() + 1);
  const auto& p = *(space.value.MemberBegin() + 1);
  const struct {
    const rapidjson::Value* value;
    std::string at;
  } cases[] = {
      {&root, "1:4"},          {&space.name, "2:3"},      {&space.value, "2:8"},    {&object.name, "2:9"},
      {&object.value, "2:17"}, {&transform.name, "2:18"}, {&x.name, "2:32"},        {&x.value, "2:37"},
      {&y.name, "2:45"},       {&y.value, "2:50"},        {&p.name, "3:2"},         {&p.value, "3:7"},
      {&p.value[0], "3:9"},    {&p.value[1], "3:11"},     {&p.value[1][0], "3:12"}, {&p.value[1][1], "3:19"},
  };
  for (const auto& c : cases) EXPECT_EQ(At(parsed.PositionOf(*c.value)), c.at) << c.at;
  const rapidjson::Value elsewhere;
  EXPECT_EQ(At(parsed.PositionOf(elsewhere)), "0:0");
}

TEST(JsonFileTest, RepeatedNamesAreFoundAtEveryDepthInTextOrder) {
  JsonText parsed;
  std::string error;
  ASSERT_TRUE(serialization::ParseJsonText(R"({"S": {"o": {"A": {"m": 1, "m": 2}}, "o": {}},
"T": {}, "S": {"p": {}}, "": 1, "": 2})",
                                           parsed, error))
      << error;
  const std::vector<serialization::DuplicateKey> found = serialization::FindDuplicateKeys(parsed);
  ASSERT_EQ(found.size(), 4u);
  const struct {
    std::string name;
    int depth;
    std::string at;
    std::string first;
  } expected[] = {
      {"m", 4, "1:28", "1:20"}, {"o", 2, "1:38", "1:8"}, {"S", 1, "2:10", "1:2"}, {"", 1, "2:33", "2:26"}};
  for (std::size_t i = 0; i < found.size(); ++i) {
    EXPECT_EQ(found[i].name, expected[i].name) << i;
    EXPECT_EQ(found[i].depth, expected[i].depth) << i;
    EXPECT_EQ(At(found[i].at), expected[i].at) << i;
    EXPECT_EQ(At(found[i].first), expected[i].first) << i;
  }
}

class JsonFileLimitsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = std::filesystem::temp_directory_path() / ("velmaris_json_limits_" + std::to_string(::getpid()));
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
  }
  void TearDown() override { std::filesystem::remove_all(folder); }

  std::filesystem::path folder;
};

// A FIFO would block the open until a writer comes, a device would never end: both
// are refused from what the path is, before anything is opened or read.
TEST_F(JsonFileLimitsTest, PathsThatAreNotPlainFilesOrTooLargeAreRefusedUnread) {
  const std::string fifo = (folder / "level.fifo").string();
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const std::string oversize = (folder / "big.txt").string();
  std::ofstream(oversize).close();
  std::filesystem::resize_file(oversize, serialization::kMaxJsonFileBytes + 1);
  const std::string atLimit = (folder / "limit.txt").string();
  std::ofstream(atLimit).close();
  std::filesystem::resize_file(atLimit, serialization::kMaxJsonFileBytes);
  const struct {
    std::string path;
    JsonFileResult result;
    std::string error;
  } cases[] = {
      {fifo, JsonFileResult::Refused, "is a FIFO (named pipe), not a plain file"},
      {"/dev/zero", JsonFileResult::Refused, "is a character device, not a plain file"},
      {oversize, JsonFileResult::Refused,
       "is 16777217 bytes, more than the 16777216 bytes (16 MB) a data file may have"},
      // At the limit the file is read: its zero bytes are a NUL byte, not a size.
      {atLimit, JsonFileResult::Malformed, "at line 1, column 1: NUL byte."},
      {folder.string(), JsonFileResult::Refused, "is a directory"},
      {(folder / "missing.txt").string(), JsonFileResult::NotOpened, ""},
  };
  for (const auto& c : cases) {
    JsonText parsed;
    std::string error;
    EXPECT_EQ(serialization::ReadJsonFile(c.path, parsed, error), c.result) << c.path;
    EXPECT_EQ(error, c.error) << c.path;
  }
}

}  // namespace
