// The frame loop's turns and one frame's steps.
#include "core/frame_loop.h"

#include "base/stop_signal.h"
#include "base/user_folders.h"
#include "graphics/graphics.h"
#include "graphics/screenshot.h"
#include "input/input.h"

namespace core {
namespace {

FrameOverlay g_Overlay = nullptr;

}  // namespace

void SetFrameOverlay(FrameOverlay overlay) { g_Overlay = overlay; }

namespace {

FrameTimes& Current() {
  static FrameTimes times;
  return times;
}

}  // namespace

const FrameTimes& CurrentFrameTimes() { return Current(); }

FrameTimes PacedFrameTimer::WaitForFrame() {
  controller_.WaitForFrame();
  return {controller_.FrameTime(), controller_.RealFrameTime()};
}

bool FrameLoop::Turn() {
  if (finished_) return false;
  if (const int signal = base::StopSignal(); signal != 0) {
    requests_.PostQuit(base::ExitCodeOfSignal(signal));
    finished_ = true;
    return false;
  }
  platform::Message message;
  if (window_.PeekMessage(message)) {
    WindowProcedure(message, window_, requests_);
    if (recorder_ != nullptr) {
      // The next frame to run is the one that sees the message.
      recorder_->RecordMessage(frames_ + 1, message);
      if (requests_.toggleRecording) recorder_->Toggle(base::UserFolderPath(base::UserFolder::kReplays));
    }
    requests_.toggleRecording = false;
    return true;
  }
  // The quit message is taken once nothing else is waiting.
  if (requests_.quitPosted) {
    finished_ = true;
    return false;
  }
  RunFrame();
  return true;
}

bool FrameLoop::RunOneFrame() {
  const long long before = frames_;
  while (frames_ == before) {
    if (!Turn()) return false;
  }
  return true;
}

int FrameLoop::Run() {
  while (Turn()) {
  }
  // However the run ended, a recording in progress is kept with what it holds.
  if (recorder_ != nullptr) recorder_->Finish();
  return requests_.exitCode;
}

void FrameLoop::RunFrame() {
  if (betweenFrames_) betweenFrames_();
  const FrameTimes times = timer_.WaitForFrame();
  Current() = times;
  if (recorder_ != nullptr) recorder_->RecordFrameTimes(frames_ + 1, times.dt, times.real);
  input::TakeSnapshot();
  states_.Step(times.dt);
  // F12 keeps the picture just drawn, before it is presented.
  if (requests_.screenshot) {
    requests_.screenshot = false;
    graphics::SaveScreenshotToFolder(base::UserFolderPath(base::UserFolder::kScreenshots));
  }
  if (g_Overlay != nullptr) g_Overlay(times.real);
  if (beforePresent_) beforePresent_();
  graphics::PresentFrame();
  if (base::States().next == base::kQuitState) requests_.PostQuit(0);
  input::ReadPlatformKeyBuffer(window_);
  ++frames_;
}

}  // namespace core
