// The serializer self-tests: the report files they write and their refusals.
#include "serialization/serializer_tests.h"

#include <sstream>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "components/physics.h"
#include "objects/transform.h"
#include "serialization/serializer_fixture.h"
#include "serialization/test_component.h"

namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;
using Lines = std::vector<std::string>;

class SelfTestTest : public testing_support::SerializerFixture {
 protected:
  // The report lines that hold values (not addresses), from `from` on.
  static Lines ValueLines(const std::string& report, std::size_t from = 0) {
    Lines lines;
    std::istringstream stream(report.substr(from));
    for (std::string line; std::getline(stream, line);) {
      for (const char* prefix : {" Position:", "    Scale:", " Rotation:", "Int Vector:", "Float Vector:"}) {
        if (line.rfind(prefix, 0) == 0) lines.push_back(line);
      }
    }
    return lines;
  }
};

TEST_F(SelfTestTest, SizeTestReportsEqualSizesAndTheTestComponentMembers) {
  serialization::RunSizeTest(folder);
  const std::string report = Read("serializer_test_output.txt");
  const std::string transform = std::to_string(sizeof(objects::Transform));
  const std::string physics = std::to_string(sizeof(components::Physics));
  EXPECT_THAT(report, StartsWith("Testing size of Transform:\nComponent Size is " + transform +
                                 "\nReflection Size is " + transform + "\n\nTesting size of Physics:\n"));
  EXPECT_THAT(report, HasSubstr("Testing size of Physics:\nComponent Size is " + physics +
                                "\nReflection Size is " + physics + "\n\n"));
  EXPECT_THAT(report, HasSubstr("\n\nTesting size of Camera:\n"));
  EXPECT_THAT(report, HasSubstr("Basic Component Test:\nMember: x_position\nSize: 4\nOffset: "));
  EXPECT_THAT(report,
              HasSubstr("Member: rotation\nSize: 4\nOffset: " +
                        std::to_string(objects::FindMember("TestComponent", "rotation").offset) +
                        "\nOverall Size: " + std::to_string(sizeof(serialization::TestComponent)) + "\n\n"));
  // A registration without FinishType shows the running sum of the widths.
  objects::GetTypeRegistry().RegisterType<testing_support::Probe>("Camera").AddHeaderMember();
  serialization::RunSizeTest(folder);
  EXPECT_THAT(Read("serializer_test_output.txt"),
              HasSubstr("Testing size of Camera:\nComponent Size is " +
                        std::to_string(sizeof(testing_support::Probe)) + "\nReflection Size is " +
                        std::to_string(sizeof(objects::BaseComponent)) + "\n"));
}

TEST_F(SelfTestTest, RefusalsThrowTheirExactTexts) {
  const std::pair<std::function<void()>, const char*> cases[] = {
      {[&] { serialization::RunReadTest(folder, folder); }, "First serializer test file missing!"},
      {[&] {
         objects::ResetTypeRegistry();
         objects::RegisterTransform(objects::GetTypeRegistry());
         components::RegisterPhysics(objects::GetTypeRegistry());
         serialization::RunSizeTest(folder);
       },
       "Attempted to find component of type Sprite.  This type does not exist."},
  };
  for (const auto& [call, expected] : cases) EXPECT_EQ(ErrorOf(call), expected);
}

TEST_F(SelfTestTest, ReadTestFillsBothComponentsAlikeAndReplacesTheSizeReport) {
  std::filesystem::copy_file(std::filesystem::path(VELMARIS_SOURCE_DIR) / "data" / "serializerTest1.txt",
                             folder / "serializerTest1.txt");
  serialization::RunSizeTest(folder);
  serialization::RunReadTest(folder, folder);
  const std::string report = Read("serializer_test_output.txt");
  EXPECT_THAT(report, ::testing::Not(HasSubstr("Testing size of")));
  EXPECT_THAT(report, StartsWith("Component Location: "));
  const std::size_t second = report.find("Deserialized Component Test:\n");
  ASSERT_NE(second, std::string::npos);
  const Lines first = ValueLines(report.substr(0, second));
  EXPECT_EQ(first, ValueLines(report, second));
  EXPECT_EQ(first, (Lines{" Position: (1.5, -2.5)", "    Scale: (2, 3)", " Rotation: 45",
                          "Int Vector:  3, 1, 4, 1, 5,", "Float Vector:  0.25, 1.5, -2.75,"}));
  EXPECT_THAT(report, HasSubstr("Component: TestComponent\n     Size: " +
                                std::to_string(sizeof(serialization::TestComponent)) + "\n   Parent: "));
}

TEST_F(SelfTestTest, WriteTestOutputReadsBackToItsValues) {
  serialization::RunWriteTest(folder);
  const std::string written = Read("serializeComponentTest.txt");
  EXPECT_THAT(written, StartsWith("{\n    \"TestComponent\": {\n        \"int_vector\": [\n            1,"));
  EXPECT_THAT(written, HasSubstr("0.10000000149011612"));
  std::filesystem::rename(folder / "serializeComponentTest.txt", folder / "serializerTest1.txt");
  serialization::RunReadTest(folder, folder);
  const Lines lines = ValueLines(Read("serializer_test_output.txt"));
  ASSERT_EQ(lines.size(), 10u);
  EXPECT_EQ(Lines(lines.begin(), lines.begin() + 5),
            (Lines{" Position: (1, 2)", "    Scale: (3, 4)", " Rotation: 5", "Int Vector:  1, 2, 3, 4, 5,",
                   "Float Vector:  0.1, 0.2, 0.3, 0.4, 0.5,"}));
}

}  // namespace
