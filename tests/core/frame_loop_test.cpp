#include "core/frame_loop.h"

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "base/stop_signal.h"
#include "base/user_folders.h"
#include "input/input.h"
#include "platform/headless/headless_window.h"
#include "platform/headless/input_script.h"
#include "working_directory.h"

namespace {

using platform::headless::HeadlessWindow;

// What the current state's operations saw, frame by frame.
struct Observed {
  std::vector<bool> keyDown;
  std::vector<bool> keyTriggered;
  int shutdowns = 0;
  int quitAfterFrame = -1;  // the state asks for quit in this frame (1-based)
  int frame = 0;
};
Observed g_Seen;

void ObservingUpdate(float) {
  ++g_Seen.frame;
  g_Seen.keyDown.push_back(input::IsKeyDown('A'));
  g_Seen.keyTriggered.push_back(input::IsKeyTriggered('A'));
  if (g_Seen.frame == g_Seen.quitAfterFrame) base::States().next = base::kQuitState;
}

// A table of one state, the one the loop starts in.
constexpr int kObservedState = 0;
const core::StateTable& ObservingTable() {
  static const core::StateTable table{{core::EmptyOperation, core::EmptyOperation, ObservingUpdate,
                                       [] { ++g_Seen.shutdowns; }, core::EmptyOperation}};
  return table;
}

class FrameLoopTest : public ::testing::Test {
 protected:
  void SetUp() override {
    base::States().Reset();
    base::States().next = kObservedState;
    input::ResetInput();
    core::SetWindowEventHooks({});
    g_Seen = Observed{};
  }
  void TearDown() override { core::SetWindowEventHooks({}); }
  HeadlessWindow window;
  core::FixedFrameTimer timer{1.0f / 60.0f};
  core::GameStateManager states{ObservingTable()};
  core::FrameLoop loop{window, states, timer};
};

TEST_F(FrameLoopTest, DrainsEveryWaitingMessageBeforeAFrameRuns) {
  window.PostKey('A', true);
  window.PostMouseMove(10, 20);
  window.PostKey('B', true);
  for (int turn = 0; turn < 3; ++turn) {
    ASSERT_TRUE(loop.Turn());
    EXPECT_EQ(loop.FramesRun(), 0) << "turn " << turn << " ran a frame with messages waiting";
  }
  ASSERT_TRUE(loop.Turn());
  EXPECT_EQ(loop.FramesRun(), 1);
  EXPECT_EQ(g_Seen.keyDown, std::vector<bool>{true});
  EXPECT_EQ(input::GetMousePosition().x, 10.0f);
}

TEST_F(FrameLoopTest, KeyPressedAndReleasedBetweenFramesCountsInTheNextFrame) {
  ASSERT_TRUE(loop.RunOneFrame());
  window.PostKey('A', true);
  window.PostKey('A', false);
  ASSERT_TRUE(loop.RunOneFrame());
  ASSERT_TRUE(loop.RunOneFrame());
  EXPECT_EQ(g_Seen.keyDown, (std::vector<bool>{false, true, false}));
  EXPECT_EQ(g_Seen.keyTriggered, (std::vector<bool>{false, true, false}));
}

TEST_F(FrameLoopTest, HeldKeyTriggersInItsFirstFrameOnly) {
  window.PostKey('A', true);
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(loop.RunOneFrame());
  // Released and pressed again before the next snapshot: still down, and the new
  // press counts.
  window.PostKey('A', false);
  window.PostKey('A', true);
  ASSERT_TRUE(loop.RunOneFrame());
  EXPECT_EQ(g_Seen.keyDown, (std::vector<bool>{true, true, true, true}));
  EXPECT_EQ(g_Seen.keyTriggered, (std::vector<bool>{true, false, false, true}));
}

TEST_F(FrameLoopTest, QuitRequestFinishesTheFrameThenEndsWithCodeZero) {
  g_Seen.quitAfterFrame = 2;
  EXPECT_EQ(loop.Run(), 0);
  EXPECT_EQ(loop.FramesRun(), 2) << "the frame that asked for quit is completed";
  EXPECT_EQ(g_Seen.shutdowns, 1) << "the state is left before the loop ends";
  EXPECT_FALSE(loop.Turn());
}

TEST_F(FrameLoopTest, MessagesPostedBeforeTheQuitAreStillHandled) {
  g_Seen.quitAfterFrame = 1;
  ASSERT_TRUE(loop.RunOneFrame());
  window.PostKey('Q', true);
  EXPECT_TRUE(loop.Turn()) << "the key message comes before the quit";
  EXPECT_FALSE(loop.Turn());
  EXPECT_EQ(loop.FramesRun(), 1);
}

TEST_F(FrameLoopTest, CloseWithoutAHookQuitsAtOnce) {
  ASSERT_TRUE(loop.RunOneFrame());
  window.PostSystemCommand(platform::SystemCommand::kClose);
  EXPECT_EQ(loop.Run(), 0);
  EXPECT_TRUE(window.IsDestroyed());
  EXPECT_EQ(loop.FramesRun(), 1);
}

TEST_F(FrameLoopTest, CloseHookDecidesWhetherTheWindowCloses) {
  static int closes = 0;
  closes = 0;
  core::SetWindowEventHooks({.onClose = [] {
    ++closes;
    return closes >= 2;  // the first close is refused, the second accepted
  }});
  window.PostSystemCommand(platform::SystemCommand::kClose);
  ASSERT_TRUE(loop.RunOneFrame());
  ASSERT_TRUE(loop.RunOneFrame());
  EXPECT_FALSE(window.IsDestroyed());
  EXPECT_FALSE(loop.Finished());
  window.PostSystemCommand(platform::SystemCommand::kClose);
  EXPECT_EQ(loop.Run(), 0);
  EXPECT_TRUE(window.IsDestroyed());
  EXPECT_EQ(closes, 2);
}

TEST_F(FrameLoopTest, MinimiseAndWindowSwitchingRunTheirHooks) {
  static std::vector<std::string> calls;
  calls.clear();
  core::SetWindowEventHooks({.onMinimize = [] { calls.push_back("minimize"); },
                             .onSwitchWindow = [] { calls.push_back("switch"); }});
  window.PostSystemCommand(platform::SystemCommand::kMinimize);
  window.PostSystemCommand(platform::SystemCommand::kNextWindow);
  window.PostSystemCommand(platform::SystemCommand::kPrevWindow);
  ASSERT_TRUE(loop.RunOneFrame());
  EXPECT_TRUE(window.IsMinimized());
  EXPECT_EQ(calls, (std::vector<std::string>{"minimize", "switch", "switch"}));
}

TEST_F(FrameLoopTest, ScreenshotKeyTappedBetweenFramesIsStillTaken) {
  const testing_support::ScopedWorkingDirectory inTemp(testing::TempDir());
  window.PostKey(platform::kVkF12, true);
  window.PostKey(platform::kVkF12, false);
  testing::internal::CaptureStderr();
  ASSERT_TRUE(loop.RunOneFrame());
  ASSERT_TRUE(loop.RunOneFrame());
  const std::string log = testing::internal::GetCapturedStderr();
  // Without a device that reads back, the attempt is reported, once.
  const std::string folder = base::UserFolderPath(base::UserFolder::kScreenshots).string();
  EXPECT_EQ(log.find("screenshot: " + folder + "/velmaris-"), 0u) << log;
  EXPECT_EQ(log.find("screenshot:", 1), std::string::npos) << log;
}

TEST_F(FrameLoopTest, PlatformKeyBufferLagsOneFrameBehindTheSnapshot) {
  window.PostKey('A', true);
  ASSERT_TRUE(loop.RunOneFrame());
  EXPECT_EQ(input::PlatformKeyBuffer()['A'] & 0x80, 0x80) << "read after the frame";
  window.PostKey('A', false);
  ASSERT_TRUE(loop.Turn());  // the release is handled, no frame yet
  EXPECT_EQ(input::PlatformKeyBuffer()['A'] & 0x80, 0x80);
}

TEST_F(FrameLoopTest, TheBetweenFramesHookRunsOnceBeforeEachFramesStateStep) {
  std::vector<int> framesDoneAtHook;
  loop.SetBetweenFrames([&framesDoneAtHook] { framesDoneAtHook.push_back(g_Seen.frame); });
  window.PostKey('A', true);  // a turn that handles a message is not a frame
  ASSERT_TRUE(loop.RunOneFrame());
  ASSERT_TRUE(loop.RunOneFrame());
  ASSERT_TRUE(loop.RunOneFrame());
  EXPECT_EQ(framesDoneAtHook, (std::vector<int>{0, 1, 2}));
}

// SIGTERM and SIGINT end the run at the loop's next turn with 128 + the signal, and
// the recording in progress is saved, every line of it whole.
TEST_F(FrameLoopTest, AStopSignalEndsTheRunAndSavesTheRecordingInProgress) {
  const struct {
    int signal;
    int exitCode;
  } cases[] = {{SIGTERM, 143}, {SIGINT, 130}};
  base::InstallStopSignals();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.signal);
    base::States().Reset();
    base::States().next = kObservedState;
    HeadlessWindow signalled;
    core::FrameLoop run{signalled, states, timer};
    run.KeepRecordableHistory(testing::TempDir());
    for (int frame = 0; frame < 30; ++frame) ASSERT_TRUE(run.RunOneFrame());
    signalled.PostKey(platform::kVkF9, true);
    signalled.PostKey(platform::kVkF9, false);
    signalled.PostMouseMove(10, 20);
    ASSERT_TRUE(run.RunOneFrame());
    ASSERT_TRUE(run.Recorder()->Recording());
    std::raise(c.signal);
    EXPECT_EQ(run.Run(), c.exitCode);
    EXPECT_EQ(run.FramesRun(), 31) << "no frame after the signal";
    EXPECT_FALSE(run.Recorder()->Recording());
    const std::string recording = run.Recorder()->Path();
    std::ifstream file(recording, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    ASSERT_FALSE(text.empty()) << recording;
    EXPECT_EQ(text.back(), '\n');
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 32) << "31 frame times and the mouse move";
    EXPECT_NO_THROW(platform::headless::InputScript::Load(recording));
    std::filesystem::remove(recording);
    base::ResetStopSignal();
  }
  std::signal(SIGTERM, SIG_DFL);
  std::signal(SIGINT, SIG_DFL);
}

}  // namespace
