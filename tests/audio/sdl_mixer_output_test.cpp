// Real SDL_mixer output through SDL's disk audio driver, which writes the mixed output
// as raw 16-bit stereo PCM to a file, measured: levels, silence, gain above 1.0,
// mixing, paused starts, stale channel ids, refused files and the silent fallback.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include <gtest/gtest.h>
#include <unistd.h>

#include "audio/sdl_mixer/sdl_mixer_backend.h"
#include "audio/sound_system.h"
#include "base/log.h"
#include "working_directory.h"

namespace audio {
namespace {

const float kOrigin[2] = {0.0f, 0.0f};
constexpr int kRate = 48000;
constexpr std::size_t kWindow = 240;  // frames: 5 ms at 48 kHz
constexpr std::size_t kEdge = 480;    // frames: 10 ms, the ramps at a sound's ends
// The fixture tones: 0.4 of full scale, so an RMS of 0.4 / sqrt(2).
constexpr double kToneRms = 0.28284;
constexpr std::size_t kLongFrames = 24576;  // tone_long.ogg: 0.512 s

// Sounds are named as data files name them, inside the data folder: the fixture
// folder is the working directory while a test runs.
std::string Fixture(const std::string& name) { return name; }

// Sets an environment variable for the object's lifetime, then restores it.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const std::string& value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    setenv(name, value.c_str(), 1);
  }
  ~ScopedEnv() { old_ ? setenv(name_, old_->c_str(), 1) : unsetenv(name_); }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

// Polls condition until it holds or 15 s have passed; true if it held.
bool WaitFor(const std::function<bool()>& condition) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(15);
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return true;
}

// RMS of samples[begin, end), as a fraction of full scale.
double Rms(const std::vector<float>& samples, std::size_t begin, std::size_t end) {
  end = std::min(end, samples.size());
  if (begin >= end) return 0.0;
  double sum = 0.0;
  for (std::size_t i = begin; i < end; ++i) sum += static_cast<double>(samples[i]) * samples[i];
  return std::sqrt(sum / static_cast<double>(end - begin));
}

// A run of loud output, in frames [begin, end): 5 ms windows of an RMS above 0.02.
struct Burst {
  std::size_t begin;
  std::size_t end;
};
std::vector<Burst> FindBursts(const std::vector<float>& samples) {
  std::vector<Burst> bursts;
  bool inBurst = false;
  for (std::size_t start = 0; start + kWindow <= samples.size(); start += kWindow) {
    const bool loud = Rms(samples, start, start + kWindow) > 0.02;
    if (loud && !inBurst) bursts.push_back({start, start + kWindow});
    if (loud) bursts.back().end = start + kWindow;
    inBurst = loud;
  }
  return bursts;
}

// RMS of a burst without its edges.
double InnerRms(const std::vector<float>& samples, const Burst& burst) {
  return Rms(samples, burst.begin + kEdge, burst.end - std::min(burst.end, kEdge));
}

float Peak(const std::vector<float>& samples) {
  float peak = 0.0f;
  for (float sample : samples) peak = std::max(peak, std::fabs(sample));
  return peak;
}

// What action wrote to standard output and to standard error.
template <typename Action>
std::pair<std::string, std::string> OutputOf(Action action) {
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  action();
  std::string out = testing::internal::GetCapturedStdout();
  return {out, testing::internal::GetCapturedStderr()};
}

double Length(const Burst& burst) { return static_cast<double>(burst.end - burst.begin); }

class SdlMixerOutputTest : public testing::Test {
 protected:
  void SetUp() override {
    base::ResetLogOnce();
    inFixtures_ = std::make_unique<testing_support::ScopedWorkingDirectory>(std::string(VELMARIS_SOURCE_DIR) +
                                                                            "/tests/audio/fixtures");
    // The start-up sounds do not exist in the fixture folder; their errors are expected.
    OutputOf([] { InitSoundSystem(std::make_unique<SdlMixerBackend>()); });
    ASSERT_NE(dynamic_cast<SdlMixerBackend*>(Audio().system->backend.get()), nullptr)
        << "no disk audio driver";
  }
  void TearDown() override {
    ShutdownSoundSystem();
    inFixtures_.reset();
    std::filesystem::remove(path_);
  }

  AudioBackend& Backend() { return *Audio().system->backend; }
  ChannelHandle Channel(int32_t id) { return Audio().system->channels.at(id); }
  bool WaitUntilEnded(int32_t id) {
    return WaitFor([&] { return !Backend().IsPlaying(Channel(id)); });
  }
  // Waits until at least seconds more of output has been written.
  bool WaitForMoreOutput(double seconds) {
    std::error_code missing;  // no file before the first write
    const auto bytes = [&] {
      const auto size = std::filesystem::file_size(path_, missing);
      return missing ? 0 : size;
    };
    const std::uintmax_t target = bytes() + static_cast<std::uintmax_t>(seconds * kRate) * 4;
    return WaitFor([&] { return bytes() >= target; });
  }
  // Closes the output (flushing the file) and returns its left channel, as fractions
  // of full scale.
  std::vector<float> Finish() {
    ShutdownSoundSystem();
    std::ifstream in(path_, std::ios::binary);
    std::vector<float> left;
    std::int16_t frame[2];
    while (in.read(reinterpret_cast<char*>(frame), sizeof frame)) left.push_back(frame[0] / 32768.0f);
    return left;
  }
  // The loud runs of the whole output; fails the test unless there are count.
  std::vector<Burst> Bursts(const std::vector<float>& pcm, std::size_t count) {
    std::vector<Burst> bursts = FindBursts(pcm);
    EXPECT_EQ(bursts.size(), count);
    bursts.resize(count, Burst{0, 0});
    return bursts;
  }

  const std::string path_ = (std::filesystem::temp_directory_path() /
                             ("velmaris-" + std::to_string(::getpid()) + "-" +
                              testing::UnitTest::GetInstance()->current_test_info()->name() + ".raw"))
                                .string();
  ScopedEnv driver_{"SDL_AUDIODRIVER", "disk"};
  ScopedEnv file_{"SDL_DISKAUDIOFILE", path_};
  std::unique_ptr<testing_support::ScopedWorkingDirectory> inFixtures_;
};

TEST_F(SdlMixerOutputTest, ToneAtZeroDecibelsPlaysWholeAtItsRecordedLevel) {
  const int32_t id = PlaySound(Fixture("tone_long.ogg"), kOrigin, 0.0f);
  ASSERT_TRUE(WaitUntilEnded(id));
  const std::vector<float> pcm = Finish();
  const Burst tone = Bursts(pcm, 1)[0];
  EXPECT_NEAR(Length(tone), kLongFrames, 480.0);
  EXPECT_NEAR(InnerRms(pcm, tone), kToneRms, kToneRms * 0.03);
}

TEST_F(SdlMixerOutputTest, MinusNinetySixDecibelsIsSilentFromTheFirstSample) {
  const int32_t id = PlaySound(Fixture("tone_long.ogg"), kOrigin, -96.0f);
  // Quick starts of a short sound: a start that was not paused would let its
  // first samples through at full level.
  int32_t last = id;
  for (int i = 0; i < 16; ++i) last = PlaySound(Fixture("tone_short.ogg"), kOrigin, -96.0f);
  ASSERT_TRUE(WaitUntilEnded(id));
  ASSERT_TRUE(WaitUntilEnded(last));
  const std::vector<float> pcm = Finish();
  ASSERT_GE(pcm.size(), kLongFrames);
  EXPECT_LT(Peak(pcm), 1e-4f);
}

// Looping sounds (the music) are never taken over, so a start is refused only when
// every channel holds one.
TEST_F(SdlMixerOutputTest, ThirtyTwoLoopsPlayAtOnceAndTheNextStartIsRefused) {
  SoundHandle sound;
  ASSERT_EQ(Backend().CreateSound(Fixture("tone_short.ogg"), 0x8A, &sound), kOk);
  std::set<std::uint64_t> channels;
  for (int i = 0; i < kChannelCount; ++i) {
    ChannelHandle channel;
    ASSERT_EQ(Backend().PlaySound(sound, true, &channel), kOk) << i;
    channels.insert(channel.value);
  }
  EXPECT_EQ(channels.size(), static_cast<std::size_t>(kChannelCount));
  ChannelHandle refused;
  EXPECT_EQ(Backend().PlaySound(sound, true, &refused), kErrNoFreeChannel);
  EXPECT_FALSE(refused);
}

// The 33rd start used to be refused, so an effect in a busy level went missing; it
// now takes over the oldest one-shot start, and the music plays on.
TEST_F(SdlMixerOutputTest, AStartWithEveryChannelBusyTakesOverTheOldestOneShot) {
  SoundHandle music, effect;
  ASSERT_EQ(Backend().CreateSound(Fixture("tone_long.ogg"), 0x8A, &music), kOk);
  ASSERT_EQ(Backend().CreateSound(Fixture("tone_short.ogg"), 0x89, &effect), kOk);
  ChannelHandle musicChannel;
  ASSERT_EQ(Backend().PlaySound(music, true, &musicChannel), kOk);
  // Paused, so that no effect ends by itself during the test.
  std::vector<ChannelHandle> effects;
  for (int i = 1; i < kChannelCount; ++i) {
    ChannelHandle channel;
    ASSERT_EQ(Backend().PlaySound(effect, true, &channel), kOk) << i;
    effects.push_back(channel);
  }
  for (int start = kChannelCount + 1; start <= kChannelCount + 8; ++start) {
    ChannelHandle channel;
    ASSERT_EQ(Backend().PlaySound(effect, true, &channel), kOk) << start;
    EXPECT_TRUE(Backend().IsPlaying(channel)) << start;
    EXPECT_FALSE(Backend().IsPlaying(effects[static_cast<std::size_t>(start - kChannelCount - 1)])) << start;
    EXPECT_TRUE(Backend().IsPlaying(musicChannel)) << start;
  }
  EXPECT_TRUE(Backend().IsPlaying(effects[8]));
  EXPECT_EQ(Backend().SetVolume(musicChannel, 0.5f), kOk);
  EXPECT_EQ(Backend().SetVolume(effects[0], 0.5f), kErrChannelGone);
}

TEST_F(SdlMixerOutputTest, MusicTurnedDownAndUpComesBackTwelvePercentLouder) {
  LoadSound(Fixture("tone_long.ogg"), true);
  Audio().musicChannel = PlaySound(Fixture("tone_long.ogg"), kOrigin, 0.0f);
  ASSERT_TRUE(WaitForMoreOutput(0.4));
  SetMusicVolume(-96.0f);
  ASSERT_TRUE(WaitForMoreOutput(0.3));
  SetMusicVolume(1.0f);
  ASSERT_TRUE(WaitForMoreOutput(0.4));
  EXPECT_TRUE(Backend().IsPlaying(Channel(Audio().musicChannel))) << "the music loops";
  const std::vector<float> pcm = Finish();

  const std::vector<Burst> bursts = Bursts(pcm, 2);
  const double before = InnerRms(pcm, bursts[0]);
  EXPECT_NEAR(before, kToneRms, kToneRms * 0.03);
  EXPECT_NEAR(InnerRms(pcm, bursts[1]) / before, 1.1220, 1.1220 * 0.02);
  // Between the two, -96 dB: silent.
  EXPECT_LT(Rms(pcm, bursts[0].end + kEdge, bursts[1].begin - kEdge), 1e-4);
}

TEST_F(SdlMixerOutputTest, TwoOverlappingPlaysOfOneSoundMix) {
  const int32_t single = PlaySound(Fixture("tone_long.ogg"), kOrigin, 0.0f);
  ASSERT_TRUE(WaitUntilEnded(single));
  ASSERT_TRUE(WaitForMoreOutput(0.05));
  // The tone's period divides the mixer buffer, so the two stay in phase.
  const int32_t first = PlaySound(Fixture("tone_long.ogg"), kOrigin, 0.0f);
  const int32_t second = PlaySound(Fixture("tone_long.ogg"), kOrigin, 0.0f);
  EXPECT_NE(Channel(first), Channel(second));
  ASSERT_TRUE(WaitUntilEnded(first));
  ASSERT_TRUE(WaitUntilEnded(second));
  const std::vector<float> pcm = Finish();

  const std::vector<Burst> bursts = Bursts(pcm, 2);
  double loudest = 0.0;  // of the 5 ms windows of the pair
  for (std::size_t start = bursts[1].begin; start + kWindow <= bursts[1].end; start += kWindow) {
    loudest = std::max(loudest, Rms(pcm, start, start + kWindow));
  }
  EXPECT_NEAR(loudest / InnerRms(pcm, bursts[0]), 2.0, 0.1);
}

TEST_F(SdlMixerOutputTest, AnEndedChannelIdDoesNotTouchTheSoundNowOnItsMixerChannel) {
  const int32_t shortId = PlaySound(Fixture("tone_short.ogg"), kOrigin, 0.0f);
  ASSERT_TRUE(WaitUntilEnded(shortId));
  ASSERT_TRUE(WaitForMoreOutput(0.05));  // a gap between the two sounds
  const int32_t longId = PlaySound(Fixture("tone_long.ogg"), kOrigin, 0.0f);
  // Both starts use the first free mixer channel; only the start count differs.
  ASSERT_EQ(Channel(shortId).value & 0xffffffffu, Channel(longId).value & 0xffffffffu);

  Audio().musicChannel = shortId;
  EXPECT_EQ(OutputOf([] { SetMusicVolume(-96.0f); }).first, "FMOD ERROR 9\n");
  ASSERT_TRUE(WaitUntilEnded(longId));
  const std::vector<float> pcm = Finish();

  const Burst tone = Bursts(pcm, 2)[1];
  EXPECT_NEAR(Length(tone), kLongFrames, 480.0);
  EXPECT_NEAR(InnerRms(pcm, tone), kToneRms, kToneRms * 0.03);
}

TEST_F(SdlMixerOutputTest, FilesThatCannotBeDecodedAreReportedAndNotCached) {
  const testing_support::ScopedWorkingDirectory inTemp(std::filesystem::temp_directory_path());
  const std::string broken = std::filesystem::path(path_).filename().string() + ".ogg";
  std::ofstream(broken) << "this is not Ogg Vorbis";
  const auto [out, err] = OutputOf([&] {
    EXPECT_EQ(PlaySound("Audio/NoSuchSound.ogg", kOrigin, 0.0f), 0);
    EXPECT_EQ(PlaySound(broken, kOrigin, 0.0f), 1);
  });
  EXPECT_EQ(out, "FMOD ERROR 6\nFMOD ERROR 6\n");
  std::filesystem::remove(broken);
  EXPECT_NE(err.find("Audio/NoSuchSound.ogg"), std::string::npos) << err;
  EXPECT_NE(err.find(broken), std::string::npos) << err;
  EXPECT_TRUE(Audio().system->channels.empty());
  EXPECT_FALSE(Audio().system->sounds.contains(broken));
}

TEST(SdlMixerStartup, WithoutAnAudioDriverTheSoundSystemFallsBackToSilence) {
  base::ResetLogOnce();
  const ScopedEnv driver("SDL_AUDIODRIVER", "velmaris-no-such-driver");
  const auto [out, err] = OutputOf([] { InitSoundSystem(); });
  EXPECT_EQ(err.rfind("audio: no audio device", 0), 0u) << err;
  EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 4) << err;  // and the three missing files
  EXPECT_EQ(out.rfind("FMOD ERROR 1\n", 0), 0u) << out;
  ASSERT_NE(Audio().system, nullptr);
  EXPECT_TRUE(Audio().system->backend->IsReady());
  // Load, play, volume, unpause.
  const testing_support::ScopedWorkingDirectory inFixtures(std::string(VELMARIS_SOURCE_DIR) +
                                                           "/tests/audio/fixtures");
  EXPECT_EQ(OutputOf([] { EXPECT_EQ(PlaySound(Fixture("tone_short.ogg"), kOrigin, 0.0f), 0); }).first,
            "FMOD all good\nFMOD all good\nFMOD all good\nFMOD all good\n");
  ShutdownSoundSystem();
}

}  // namespace
}  // namespace audio
