// The input recorder keeps the history since start-up in an unnamed file, not in
// memory: a recording started late still holds every line from the first frame, and
// the spool folder is left as it was.
#include "core/input_recorder.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <gtest/gtest.h>
#include <unistd.h>

#include "platform/headless/input_script.h"

namespace {

namespace fs = std::filesystem;

TEST(InputRecorderTest, ARecordingStartedLateHoldsTheWholeHistoryWhereverTheSpoolGoes) {
  const fs::path root = fs::path(testing::TempDir()) / ("velmaris_recorder_" + std::to_string(::getpid()));
  fs::remove_all(root);
  fs::create_directories(root);
  std::ofstream(root / "a-file").close();
  const struct {
    const char* what;
    fs::path spool;
  } cases[] = {
      {"the cache folder", root / "cache"},
      {"a folder that cannot be made: the system's temporary folder", root / "a-file" / "cache"},
      {"no folder at all", fs::path()},
  };
  constexpr long long kFrames = 20000;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::string recording;
    {
      core::InputRecorder recorder(c.spool);
      for (long long frame = 1; frame <= kFrames; ++frame)
        recorder.RecordFrameTimes(frame, 1.0f / 60.0f, 1.0f / 60.0f);
      recorder.Toggle(root / "replays");
      ASSERT_TRUE(recorder.Recording());
      platform::Message move;
      move.type = platform::MessageType::kMouseMove;
      move.x = 640;
      move.y = 360;
      recorder.RecordMessage(kFrames + 1, move);
      recorder.RecordFrameTimes(kFrames + 1, 1.0f / 60.0f, 1.0f / 60.0f);
      recorder.Finish();
      EXPECT_FALSE(recorder.Recording());
      recording = recorder.Path();
    }
    const platform::headless::InputScript script = platform::headless::InputScript::Load(recording);
    for (long long frame : {1LL, kFrames / 2, kFrames, kFrames + 1})
      EXPECT_TRUE(script.FrameTimeOf(frame).has_value()) << frame;
    EXPECT_EQ(script.EventsOf(kFrames + 1).size(), 1u);
    if (fs::is_directory(c.spool)) {
      EXPECT_TRUE(fs::is_empty(c.spool)) << "the history has no name";
    }
    fs::remove(recording);
  }
  fs::remove_all(root);
}

}  // namespace
