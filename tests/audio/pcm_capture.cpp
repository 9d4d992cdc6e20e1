// Disk-driver capture and the level measurements of the audio tests.
#include "audio/pcm_capture.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include <unistd.h>

namespace audio_test {
namespace {

constexpr std::size_t kWindowFrames = 240;  // 5 ms at 48 kHz
constexpr std::size_t kEdgeFrames = 480;    // 10 ms at 48 kHz

std::optional<std::string> GetEnv(const char* name) {
  const char* value = std::getenv(name);
  return value == nullptr ? std::nullopt : std::optional<std::string>(value);
}

void RestoreEnv(const char* name, const std::optional<std::string>& value) {
  if (value) {
    setenv(name, value->c_str(), 1);
  } else {
    unsetenv(name);
  }
}

}  // namespace

DiskOutput::DiskOutput(const std::string& name)
    : oldDriver_(GetEnv("SDL_AUDIODRIVER")), oldFile_(GetEnv("SDL_DISKAUDIOFILE")) {
  path_ = (std::filesystem::temp_directory_path() /
           ("velmaris-" + std::to_string(::getpid()) + "-" + name + ".raw"))
              .string();
  std::filesystem::remove(path_);
  setenv("SDL_AUDIODRIVER", "disk", 1);
  setenv("SDL_DISKAUDIOFILE", path_.c_str(), 1);
}

DiskOutput::~DiskOutput() {
  RestoreEnv("SDL_AUDIODRIVER", oldDriver_);
  RestoreEnv("SDL_DISKAUDIOFILE", oldFile_);
  std::error_code ignored;
  std::filesystem::remove(path_, ignored);
}

std::uintmax_t DiskOutput::Bytes() const {
  std::error_code error;
  const std::uintmax_t size = std::filesystem::file_size(path_, error);
  return error ? 0 : size;
}

bool DiskOutput::WaitForMoreOutput(double seconds, int rate) {
  const std::uintmax_t target = Bytes() + static_cast<std::uintmax_t>(seconds * rate) * 4;
  return WaitFor([&] { return Bytes() >= target; });
}

std::vector<float> DiskOutput::ReadLeft() const {
  std::ifstream in(path_, std::ios::binary);
  std::vector<float> left;
  std::int16_t frame[2];
  while (in.read(reinterpret_cast<char*>(frame), sizeof frame)) left.push_back(frame[0] / 32768.0f);
  return left;
}

bool WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return true;
}

double Rms(const std::vector<float>& samples, std::size_t begin, std::size_t end) {
  end = std::min(end, samples.size());
  if (begin >= end) return 0.0;
  double sum = 0.0;
  for (std::size_t i = begin; i < end; ++i) sum += static_cast<double>(samples[i]) * samples[i];
  return std::sqrt(sum / static_cast<double>(end - begin));
}

std::vector<Burst> FindBursts(const std::vector<float>& samples, float threshold) {
  std::vector<Burst> bursts;
  bool inBurst = false;
  for (std::size_t start = 0; start + kWindowFrames <= samples.size(); start += kWindowFrames) {
    const bool loud = Rms(samples, start, start + kWindowFrames) > threshold;
    if (loud && !inBurst) bursts.push_back({start, start + kWindowFrames});
    if (loud) bursts.back().end = start + kWindowFrames;
    inBurst = loud;
  }
  return bursts;
}

double InnerRms(const std::vector<float>& samples, const Burst& burst) {
  return Rms(samples, burst.begin + kEdgeFrames, burst.end - std::min(burst.end, kEdgeFrames));
}

double PeakWindowRms(const std::vector<float>& samples, const Burst& burst) {
  double peak = 0.0;
  for (std::size_t start = burst.begin; start + kWindowFrames <= burst.end; start += kWindowFrames) {
    peak = std::max(peak, Rms(samples, start, start + kWindowFrames));
  }
  return peak;
}

float Peak(const std::vector<float>& samples) {
  float peak = 0.0f;
  for (float sample : samples) peak = std::max(peak, std::fabs(sample));
  return peak;
}

std::string Fixture(const std::string& name) {
  return std::string(VELMARIS_SOURCE_DIR) + "/tests/audio/fixtures/" + name;
}

}  // namespace audio_test
