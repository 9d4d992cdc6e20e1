// Files that are not plain files or are too large, through every reader of the game
// that takes a file by name: each refuses at once, naming what the file is, and
// none waits on a FIFO (a wait would hang the test).
#include "base/file_read.h"

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "audio/silent/silent_backend.h"
#include "base/log.h"
#include "graphics/graphics.h"
#include "graphics/image_decoder.h"
#include "graphics/recording/recording_render_device.h"
#include "objects/space_registry.h"
#include "platform/headless/input_script.h"
#include "serialization/serializer.h"
#include "working_directory.h"

namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;

class FileReadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = fs::path(testing::TempDir()) / ("velmaris_file_read_" + std::to_string(::getpid()));
    fs::remove_all(folder);
    fs::create_directories(folder / "images/Shaders");
    base::ResetLogOnce();
  }
  void TearDown() override {
    graphics::Block().Reset();
    fs::remove_all(folder);
  }

  std::string Fifo(const std::string& name) {
    const fs::path path = folder / name;
    EXPECT_EQ(::mkfifo(path.c_str(), 0600), 0);
    return path.string();
  }
  std::string Folder(const std::string& name) {
    fs::create_directories(folder / name);
    return (folder / name).string();
  }
  // A file of `bytes` zero bytes that takes no room on the disk.
  std::string Sparse(const std::string& name, std::uintmax_t bytes) {
    const fs::path path = folder / name;
    std::ofstream(path).close();
    fs::resize_file(path, bytes);
    return path.string();
  }

  fs::path folder;
};

TEST_F(FileReadTest, OnlyPlainFilesWithinTheLimitAreRead) {
  constexpr base::ReadLimit kTiny{8, "8 bytes", "a test file"};
  std::ofstream(folder / "eight.txt") << "12345678";
  std::ofstream(folder / "nine.txt") << "123456789";
  const struct {
    std::string path;
    base::ReadOutcome outcome;
    std::string reason;
    std::string said;
  } cases[] = {
      {(folder / "eight.txt").string(), base::ReadOutcome::kRead, "", "was read"},
      {(folder / "nine.txt").string(), base::ReadOutcome::kRefused,
       "is 9 bytes, more than the 8 bytes (8 bytes) a test file may have", ""},
      {Fifo("pipe"), base::ReadOutcome::kRefused, "is a FIFO (named pipe), not a plain file", ""},
      {"/dev/zero", base::ReadOutcome::kRefused, "is a character device, not a plain file", ""},
      {Folder("folder"), base::ReadOutcome::kRefused, "is a directory", ""},
      {(folder / "missing").string(), base::ReadOutcome::kMissing, "No such file or directory",
       "does not exist"},
      {(folder / "eight.txt/below").string(), base::ReadOutcome::kMissing, "Not a directory",
       "does not exist"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    std::string bytes = "left over";
    const base::FileRead read = base::ReadWholeFile(c.path, kTiny, bytes);
    EXPECT_EQ(read.outcome, c.outcome);
    EXPECT_EQ(read.reason, c.reason);
    EXPECT_EQ(read.Said(), c.said.empty() ? c.reason : c.said);
    EXPECT_EQ(bytes, read.Ok() ? "12345678" : "");
    EXPECT_EQ(base::CheckReadable(c.path, kTiny).outcome, c.outcome);
  }
}

// Every reader, fed a FIFO, a directory and a sparse file past its limit.
TEST_F(FileReadTest, EveryReaderRefusesWhatIsNotAPlainFileOrTooLargeWithItsName) {
  const struct {
    const char* reader;
    std::uintmax_t limit;
    // Reads the file at path as the game would; returns what it reported.
    std::function<std::string(const std::string& path)> read;
  } readers[] = {
      {"level file", base::kDataFileLimit.bytes,
       [](const std::string& path) {
         objects::SpaceRegistry spaces;
         serialization::Serializer serializer(&spaces);
         try {
           serializer.LoadLevel(path);
         } catch (const std::runtime_error& error) {
           return std::string(error.what());
         }
         return std::string("loaded");
       }},
      {"picture", base::kPictureLimit.bytes,
       [](const std::string& path) {
         graphics::DecodedImage image;
         ::testing::internal::CaptureStderr();
         EXPECT_NE(graphics::DecodeImageFile(path, image), graphics::ImageResult::kOk);
         return ::testing::internal::GetCapturedStderr();
       }},
      {"sound", base::kSoundLimit.bytes,
       [](const std::string& path) {
         audio::SilentBackend backend;
         backend.Initialize(4);
         audio::SoundHandle sound;
         ::testing::internal::CaptureStderr();
         EXPECT_NE(backend.CreateSound(path, 0, &sound), audio::kOk);
         return ::testing::internal::GetCapturedStderr();
       }},
      {"input script", base::kInputScriptLimit.bytes,
       [](const std::string& path) {
         try {
           platform::headless::InputScript::Load(path);
         } catch (const platform::headless::InputScriptError& error) {
           return std::string(error.what());
         }
         return std::string("loaded");
       }},
      {"shader", base::kShaderLimit.bytes,
       [this](const std::string& path) {
         fs::rename(path, folder / graphics::kShaderPath);
         const testing_support::ScopedWorkingDirectory inside(folder);
         graphics::Block().device = std::make_unique<graphics::recording::RecordingRenderDevice>();
         std::string log;
         EXPECT_LT(graphics::CompileShaderFromFile(graphics::ShaderProgram::kMesh, "VS", log), 0);
         fs::remove_all(folder / graphics::kShaderPath);
         return log;
       }},
  };
  for (const auto& reader : readers) {
    const struct {
      std::string path;
      std::string said;
    } files[] = {
        {Fifo("fifo"), "is a FIFO (named pipe), not a plain file"},
        {Folder("directory"), "is a directory"},
        {Sparse("huge", reader.limit + 1),
         "is " + std::to_string(reader.limit + 1) + " bytes, more than the"},
    };
    for (const auto& file : files) {
      SCOPED_TRACE(std::string(reader.reader) + ": " + file.said);
      const std::string reported = reader.read(file.path);
      EXPECT_THAT(reported, HasSubstr(file.said));
      if (std::string(reader.reader) != "shader") {
        EXPECT_THAT(reported, HasSubstr(file.path));
      }
      fs::remove_all(file.path);
    }
  }
}

}  // namespace
