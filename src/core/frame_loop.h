// The frame loop: each turn either handles one waiting window message or runs one
// frame (wait, dt, key snapshot, state step, present, quit check, key buffer).
#pragma once

#include <filesystem>
#include <functional>
#include <memory>

#include "core/frame_rate_controller.h"
#include "core/game_state_manager.h"
#include "core/input_recorder.h"
#include "core/window_procedure.h"
#include "platform/window.h"

namespace core {

// One frame's times, in seconds.
struct FrameTimes {
  float dt = 0.0f;    // the step the simulation takes: capped, so a stall never becomes one huge step
  float real = 0.0f;  // what a clock on the wall saw pass: clocks the player reads (the level timer) count it
};

// The times of the frame running now (both 0 before the first); set by the frame
// loop before the states step. One frame loop runs at a time.
const FrameTimes& CurrentFrameTimes();

// Where a frame's times come from.
class FrameTimer {
 public:
  virtual ~FrameTimer() = default;
  // Waits for the frame's turn and returns its times.
  virtual FrameTimes WaitForFrame() = 0;
};

// The game's pacing: the frame rate controller on a real or manual clock.
class PacedFrameTimer final : public FrameTimer {
 public:
  explicit PacedFrameTimer(FrameRateController& controller) : controller_(controller) {}
  FrameTimes WaitForFrame() override;

 private:
  FrameRateController& controller_;
};

// A constant dt without waiting, which is also the real time: headless runs and tests.
class FixedFrameTimer final : public FrameTimer {
 public:
  explicit FixedFrameTimer(float dt) : dt_(dt) {}
  FrameTimes WaitForFrame() override { return {dt_, dt_}; }

 private:
  float dt_;
};

// What the game draws over every frame once the frame's picture is complete and
// its F12 screenshot taken (objects::GetOverlaySpace: notices), with the frame's
// real time in seconds.
// Installed once at start-up; null draws nothing.
using FrameOverlay = void (*)(float seconds);
void SetFrameOverlay(FrameOverlay overlay);

class FrameLoop {
 public:
  // None of the arguments is owned; all must outlive the loop.
  FrameLoop(platform::Window& window, GameStateManager& states, FrameTimer& timer)
      : window_(window), states_(states), timer_(timer) {}

  // One turn of the loop. False once the quit message has been taken, or once a
  // stop signal (base/stop_signal.h) came: its exit code is then 128 + the signal.
  bool Turn();

  // Turns until one frame has run; false if the loop ended first.
  bool RunOneFrame();

  // Turns until the quit message or a stop signal, then saves a recording in
  // progress; returns the exit code.
  int Run();

  // Called before each frame, ahead of its wait and state step: no space is in one of
  // its passes, so the hook may change spaces (dev mode's live reload).
  void SetBetweenFrames(std::function<void()> hook) { betweenFrames_ = std::move(hook); }

  // Called after each frame's state step, before the frame is presented: the picture
  // is complete and can be read back.
  void SetBeforePresent(std::function<void()> hook) { beforePresent_ = std::move(hook); }

  // Keeps every input event and frame time from now on, so that F9 can write a
  // recording that replays from the start (the game; the runner has its scripts).
  // The history goes to an unnamed file in `spoolFolder` (InputRecorder).
  void KeepRecordableHistory(const std::filesystem::path& spoolFolder) {
    recorder_ = std::make_unique<InputRecorder>(spoolFolder);
  }
  // The recorder, or null while no history is kept.
  const InputRecorder* Recorder() const { return recorder_.get(); }

  bool Finished() const { return finished_; }
  int ExitCode() const { return requests_.exitCode; }
  long long FramesRun() const { return frames_; }

 private:
  void RunFrame();

  platform::Window& window_;
  GameStateManager& states_;
  FrameTimer& timer_;
  std::function<void()> betweenFrames_;
  std::function<void()> beforePresent_;
  std::unique_ptr<InputRecorder> recorder_;
  LoopRequests requests_;
  bool finished_ = false;
  long long frames_ = 0;
};

}  // namespace core
