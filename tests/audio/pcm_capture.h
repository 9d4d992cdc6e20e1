// Capturing and measuring real mixer output in tests: SDL's disk audio driver
// writes the mixed output as raw 16-bit stereo PCM to a file.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace audio_test {

// Points SDL's audio at the disk driver writing to a fresh file in the temp folder,
// for the lifetime of the object; restores the environment afterwards. Create it
// before the backend opens the output, read the file after the output is closed.
class DiskOutput {
 public:
  explicit DiskOutput(const std::string& name);
  ~DiskOutput();
  DiskOutput(const DiskOutput&) = delete;
  DiskOutput& operator=(const DiskOutput&) = delete;

  const std::string& Path() const { return path_; }
  // Bytes written so far (lags the mixer by the file's write buffer).
  std::uintmax_t Bytes() const;
  // Waits until at least seconds more of output (at rate Hz) has been written.
  bool WaitForMoreOutput(double seconds, int rate);
  // The left channel, as fractions of full scale.
  std::vector<float> ReadLeft() const;

 private:
  std::string path_;
  std::optional<std::string> oldDriver_;
  std::optional<std::string> oldFile_;
};

// Polls condition until it holds or limit has passed; true if it held.
bool WaitFor(const std::function<bool()>& condition,
             std::chrono::milliseconds limit = std::chrono::milliseconds(15000));

// A run of loud output, in frames [begin, end).
struct Burst {
  std::size_t begin;
  std::size_t end;
};

// Runs where 5 ms windows have an RMS above threshold (fraction of full scale).
std::vector<Burst> FindBursts(const std::vector<float>& samples, float threshold = 0.02f);
// RMS of samples[begin, end).
double Rms(const std::vector<float>& samples, std::size_t begin, std::size_t end);
// RMS of a burst without its first and last 10 ms (the edges of the sound).
double InnerRms(const std::vector<float>& samples, const Burst& burst);
// Largest RMS of any 5 ms window inside the burst.
double PeakWindowRms(const std::vector<float>& samples, const Burst& burst);
// Largest absolute sample.
float Peak(const std::vector<float>& samples);

// Path of a fixture under tests/audio/fixtures/.
std::string Fixture(const std::string& name);

}  // namespace audio_test
