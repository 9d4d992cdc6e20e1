// Latency of a sound effect: from PlaySound to the first non-silent sample in the
// mixer's output, measured on SDL's disk audio driver. Target: 25 ms or less.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <thread>

#include <benchmark/benchmark.h>
#include <unistd.h>

#include "audio/sdl_mixer/sdl_mixer_backend.h"
#include "audio/sound_system.h"

namespace {

using Clock = std::chrono::steady_clock;

// Filled by the output tap on the audio thread.
struct Onset {
  int frequency = 48000;
  std::atomic<bool> armed{false};
  std::atomic<std::int64_t> atNanos{0};  // steady clock time of the first non-silent sample
  std::atomic<std::uint64_t> silentBuffers{0};
};

void Tap(const std::int16_t* samples, int frameCount, void* user) {
  auto& onset = *static_cast<Onset*>(user);
  const auto now = Clock::now().time_since_epoch();
  const std::int16_t* end = samples + 2 * frameCount;
  const std::int16_t* loud = std::find_if(samples, end, [](std::int16_t s) { return s != 0; });
  if (loud == end) {
    ++onset.silentBuffers;
    return;
  }
  if (!onset.armed.exchange(false)) return;
  // The buffer starts playing now; the sample lies that many frames into it.
  const auto offset = std::chrono::nanoseconds((loud - samples) / 2 * 1'000'000'000LL / onset.frequency);
  onset.atNanos = std::chrono::duration_cast<std::chrono::nanoseconds>(now + offset).count();
}

template <typename Condition>
bool WaitFor(Condition condition) {
  const auto deadline = Clock::now() + std::chrono::seconds(5);
  while (!condition()) {
    if (Clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::microseconds(200));
  }
  return true;
}

void BM_PlaySoundToFirstSample(benchmark::State& state) {
  const std::string file =
      (std::filesystem::temp_directory_path() / ("velmaris-bench-" + std::to_string(getpid()) + ".raw"))
          .string();
  setenv("SDL_AUDIODRIVER", "disk", 1);
  setenv("SDL_DISKAUDIOFILE", file.c_str(), 1);
  const std::string sound = std::string(VELMARIS_SOURCE_DIR) + "/tests/audio/fixtures/tone_short.ogg";

  // The status lines of every call would drown the results.
  std::ostringstream statusLines;
  std::streambuf* standardOut = std::cout.rdbuf(statusLines.rdbuf());

  auto owned = std::make_unique<audio::SdlMixerBackend>();
  audio::SdlMixerBackend& backend = *owned;
  audio::InitSoundSystem(std::move(owned));
  if (audio::Audio().system->backend.get() != &backend || !backend.IsReady()) {
    std::cout.rdbuf(standardOut);
    state.SkipWithError("SDL's disk audio driver did not open");
    return;
  }
  Onset onset;
  onset.frequency = backend.OutputFrequency();
  backend.SetOutputTap(Tap, &onset);
  audio::LoadSound(sound, false);

  double worstMs = 0.0;
  for (auto _ : state) {
    // Start from silence: the previous play has ended and silent buffers follow.
    const std::uint64_t silent = onset.silentBuffers;
    if (!WaitFor([&] { return onset.silentBuffers >= silent + 2; })) {
      state.SkipWithError("the output stopped");
      break;
    }
    onset.atNanos = 0;
    onset.armed = true;
    const auto start = Clock::now();
    const std::int32_t id = audio::PlaySound(sound, nullptr, 0.0f);
    if (!WaitFor([&] { return onset.atNanos != 0; })) {
      state.SkipWithError("the sound was never heard");
      break;
    }
    const double seconds =
        static_cast<double>(
            onset.atNanos -
            std::chrono::duration_cast<std::chrono::nanoseconds>(start.time_since_epoch()).count()) *
        1e-9;
    state.SetIterationTime(seconds);
    worstMs = std::max(worstMs, seconds * 1e3);
    const audio::ChannelHandle channel = audio::Audio().system->channels.at(id);
    WaitFor([&] { return !backend.IsPlaying(channel); });
  }
  state.counters["worst_ms"] = worstMs;
  state.counters["buffer_ms"] = 1e3 * backend.OutputBufferFrames() / backend.OutputFrequency();

  backend.SetOutputTap(nullptr, nullptr);
  audio::ShutdownSoundSystem();
  std::cout.rdbuf(standardOut);
  std::filesystem::remove(file);
}
BENCHMARK(BM_PlaySoundToFirstSample)->UseManualTime()->Iterations(40)->Unit(benchmark::kMillisecond);

}  // namespace
