// The loader's guards around what it reads: repeated names, paths that are not plain
// files, files over the size cap, and running out of memory, each refused with the
// file named.
#include <new>

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "serialization/json_file.h"
#include "serialization/serializer_fixture.h"

namespace {

using ::testing::HasSubstr;
using testing_support::Probe;

class LoaderLimitsTest : public testing_support::SerializerFixture {};

// RapidJSON keeps both members of a repeated name and the loader would apply only
// one of two spaces or objects without a word; the file is refused before anything
// is built, with the name, where it repeats and where it first was.
TEST_F(LoaderLimitsTest, RepeatedNamesRefuseTheLevelWithNameLineAndColumn) {
  const struct {
    std::string text;
    std::string message;
  } cases[] = {
      {R"({"S":{"o":{}},"S":{"p":{}}})",
       "names the space S twice: at line 1, column 15 and first at line 1, column 2."},
      {"{\"S\": {\n  \"o\": {\"Alpha\": {}},\n  \"o\": {\"Beta\": {}}\n}}",
       "names the object o twice: at line 3, column 3 and first at line 2, column 3."},
      {R"({"S": {"o": {"Alpha": {"count": 1}, "Beta": {}, "Alpha": {"count": 2}}}})",
       "names the component Alpha twice: at line 1, column 49 and first at line 1, column 14."},
      {R"({"S": {"o": {"Alpha": {"count": 1, "count": 2}}}})",
       "names the member count twice: at line 1, column 36 and first at line 1, column 24."},
  };
  for (const auto& c : cases) {
    spaces.Clear();
    const std::string message = LoadError(c.text);
    EXPECT_THAT(message, HasSubstr("Level file level.txt " + c.message)) << c.text;
    EXPECT_TRUE(spaces.GetSpaces().empty()) << c.text;
  }
}

TEST_F(LoaderLimitsTest, RepeatedNamesInAPrefabRefuseItWithItsPath) {
  const std::string prefab = Write("star.txt", "{\"Star\": {\"Alpha\": {}, \"Alpha\": {}}}");
  const std::string message = LoadError(R"({"S": {"o": {"prefab": ")" + prefab + R"("}}})");
  EXPECT_THAT(
      message,
      HasSubstr("Prefab file " + prefab +
                " names the component Alpha twice: at line 1, column 24 and first at line 1, column 11."));
  EXPECT_THAT(message, HasSubstr("object 'o'"));
}

TEST_F(LoaderLimitsTest, LevelPathsThatAreNotPlainFilesOrTooLargeAreRefusedNamingTheFile) {
  const std::string fifo = "level.fifo";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const std::string oversize = Write("big.txt", "{}");
  std::filesystem::resize_file(oversize, serialization::kMaxJsonFileBytes + 100);
  const struct {
    std::string path;
    std::string message;
  } cases[] = {
      {fifo, "Level file " + fifo + " is a FIFO (named pipe), not a plain file."},
      {"/dev/zero", "Level file /dev/zero is a character device, not a plain file."},
      {oversize, "Level file " + oversize +
                     " is 16777316 bytes, more than the 16777216 bytes (16 MB) a data file may have."},
  };
  for (const auto& c : cases) {
    const std::string message = ErrorOf([&] { serialization::Serializer(&spaces).LoadLevel(c.path); });
    EXPECT_EQ(message, c.message) << c.path;
    EXPECT_TRUE(spaces.GetSpaces().empty()) << c.path;
  }
}

// A prefab that cannot be a data file is skipped like a missing one: reported with
// its path, and the object still gets its own entry.
TEST_F(LoaderLimitsTest, PrefabThatIsADeviceOrTooLargeIsReportedAndSkipped) {
  const std::string fifo = "prefab.fifo";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const std::string oversize = Write("big.txt", "{}");
  std::filesystem::resize_file(oversize, serialization::kMaxJsonFileBytes + 1);
  const struct {
    std::string path;
    std::string report;
  } cases[] = {
      {fifo, "prefab file " + fifo + " is a FIFO (named pipe), not a plain file; it is skipped."},
      {oversize, "prefab file " + oversize + " is 16777217 bytes, more than the 16777216 bytes"},
  };
  for (const auto& c : cases) {
    spaces.Clear();
    ::testing::internal::CaptureStderr();
    Load(R"({"S": {"o": {"prefab": ")" + c.path + R"(", "Alpha": {"count": 3}}}})");
    const std::string report = ::testing::internal::GetCapturedStderr();
    EXPECT_THAT(report, HasSubstr(c.report)) << c.path;
    EXPECT_THAT(report, HasSubstr("object 'o'")) << c.path;
    Probe* probe = ComponentOf<Probe>("S", "o", "Alpha");
    ASSERT_NE(probe, nullptr) << c.path;
    EXPECT_EQ(probe->count, 3) << c.path;
  }
}

// A component whose construction runs out of memory: the refusal says which file,
// prefab, object and component were being read.
TEST_F(LoaderLimitsTest, RunningOutOfMemoryNamesTheFileBeingRead) {
  objects::GetTypeRegistry()
      .RegisterType<Probe>("Hungry", [](void*) -> objects::BaseComponent* { throw std::bad_alloc(); })
      .AddHeaderMember()
      .FinishType();
  const std::string level = "level.txt";
  const std::string prefab = Write("hungry.txt", R"({"H": {"Alpha": {}, "Hungry": {}}})");
  const struct {
    std::string text;
    std::vector<std::string> parts;
  } cases[] = {
      {R"({"S": {"o": {"Alpha": {}, "Hungry": {}}}})",
       {"Out of memory.", "file '" + level + "'", "space 'S'", "object 'o'", "component 'Hungry'"}},
      {R"({"S": {"o": {"prefab": ")" + prefab + R"("}}})",
       {"Out of memory.", "file '" + level + "'", "prefab '" + prefab + "'", "component 'Hungry'"}},
  };
  for (const auto& c : cases) {
    spaces.Clear();
    const std::string message = LoadError(c.text);
    for (const std::string& part : c.parts) EXPECT_THAT(message, HasSubstr(part)) << c.text;
  }
}

}  // namespace
