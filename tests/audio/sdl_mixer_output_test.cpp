// Real SDL_mixer output through SDL's disk audio driver, measured from the PCM:
// levels, silence, gain above 1.0, mixing, paused starts and stale channel ids.
#include "audio/sdl_mixer/sdl_mixer_backend.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>
#include <string>

#include "audio/pcm_capture.h"
#include "audio/sound_system.h"
#include "core/log.h"

namespace audio {
namespace {

using audio_test::DiskOutput;
using audio_test::Fixture;
using audio_test::WaitFor;

const float kOrigin[2] = {0.0f, 0.0f};
constexpr int kRate = 48000;
// The fixture tones: 0.4 of full scale, so an RMS of 0.4 / sqrt(2).
constexpr double kToneRms = 0.28284;
constexpr std::size_t kLongFrames = 24576;  // tone_long.ogg: 0.512 s

class SdlMixerOutputTest : public testing::Test {
 protected:
  void SetUp() override {
    core::ResetLogOnce();
    output_ = std::make_unique<DiskOutput>(testing::UnitTest::GetInstance()->current_test_info()->name());
    // The start-up sounds do not exist in the build folder; their errors are expected.
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    InitSoundSystem(std::make_unique<SdlMixerBackend>());
    testing::internal::GetCapturedStdout();
    testing::internal::GetCapturedStderr();
    ASSERT_TRUE(g_SoundSystem->backend->IsReady()) << "SDL's disk audio driver did not open";
    ASSERT_NE(dynamic_cast<SdlMixerBackend*>(g_SoundSystem->backend.get()), nullptr);
  }
  void TearDown() override {
    ShutdownSoundSystem();
    output_.reset();
  }

  AudioBackend& Backend() { return *g_SoundSystem->backend; }
  ChannelHandle Channel(int32_t id) { return g_SoundSystem->channels.at(id); }
  bool WaitUntilEnded(int32_t id) {
    return WaitFor([&] { return !Backend().IsPlaying(Channel(id)); });
  }
  // Closes the output (flushing the file) and returns what it wrote.
  std::vector<float> Finish() {
    ShutdownSoundSystem();
    return output_->ReadLeft();
  }

  std::unique_ptr<DiskOutput> output_;
};

TEST_F(SdlMixerOutputTest, ToneAtZeroDecibelsPlaysWholeAtItsRecordedLevel) {
  const int32_t id = PlaySound(Fixture("tone_long.ogg"), kOrigin, 0.0f);
  ASSERT_TRUE(g_SoundSystem->channels.contains(id));
  ASSERT_TRUE(WaitUntilEnded(id));
  const std::vector<float> pcm = Finish();
  const auto bursts = audio_test::FindBursts(pcm);
  ASSERT_EQ(bursts.size(), 1u);
  EXPECT_NEAR(static_cast<double>(bursts[0].end - bursts[0].begin), kLongFrames, 480.0);
  EXPECT_NEAR(audio_test::InnerRms(pcm, bursts[0]), kToneRms, kToneRms * 0.03);
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
  EXPECT_LT(audio_test::Rms(pcm, 0, pcm.size()), 1e-4);
  EXPECT_LT(audio_test::Peak(pcm), 1e-4f);
}

TEST_F(SdlMixerOutputTest, PausedStartIsSilentUntilUnpaused) {
  SoundHandle sound;
  ASSERT_EQ(Backend().CreateSound(Fixture("tone_long.ogg"), 0x89, &sound), kOk);
  ChannelHandle channel;
  ASSERT_EQ(Backend().PlaySound(sound, true, &channel), kOk);
  ASSERT_TRUE(output_->WaitForMoreOutput(0.2, kRate));
  EXPECT_TRUE(Backend().IsPlaying(channel));
  EXPECT_EQ(audio_test::Peak(output_->ReadLeft()), 0.0f);

  ASSERT_EQ(Backend().SetPaused(channel, false), kOk);
  ASSERT_TRUE(WaitFor([&] { return !Backend().IsPlaying(channel); }));
  const std::vector<float> pcm = Finish();
  const auto bursts = audio_test::FindBursts(pcm);
  ASSERT_EQ(bursts.size(), 1u);
  EXPECT_NEAR(static_cast<double>(bursts[0].end - bursts[0].begin), kLongFrames, 480.0);
}

TEST_F(SdlMixerOutputTest, ThirtyTwoChannelsPlayAtOnceAndTheNextStartIsRefused) {
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

TEST_F(SdlMixerOutputTest, MusicTurnedDownAndUpComesBackTwelvePercentLouder) {
  LoadSound(Fixture("tone_long.ogg"), true);
  g_MusicChannel = PlaySound(Fixture("tone_long.ogg"), kOrigin, 0.0f);
  ASSERT_TRUE(output_->WaitForMoreOutput(0.4, kRate));
  SetMusicVolume(-96.0f);
  ASSERT_TRUE(output_->WaitForMoreOutput(0.3, kRate));
  SetMusicVolume(1.0f);
  ASSERT_TRUE(output_->WaitForMoreOutput(0.4, kRate));
  EXPECT_TRUE(Backend().IsPlaying(Channel(g_MusicChannel))) << "the music loops";
  const std::vector<float> pcm = Finish();

  const auto bursts = audio_test::FindBursts(pcm);
  ASSERT_EQ(bursts.size(), 2u);
  const double before = audio_test::InnerRms(pcm, bursts[0]);
  const double after = audio_test::InnerRms(pcm, bursts[1]);
  EXPECT_NEAR(before, kToneRms, kToneRms * 0.03);
  EXPECT_NEAR(after / before, 1.1220, 1.1220 * 0.02);
  // Between the two, -96 dB: silent.
  EXPECT_LT(audio_test::Rms(pcm, bursts[0].end + 480, bursts[1].begin - 480), 1e-4);
}

TEST_F(SdlMixerOutputTest, TwoOverlappingPlaysOfOneSoundMix) {
  const int32_t single = PlaySound(Fixture("tone_long.ogg"), kOrigin, 0.0f);
  ASSERT_TRUE(WaitUntilEnded(single));
  ASSERT_TRUE(output_->WaitForMoreOutput(0.05, kRate));
  // The tone's period divides the mixer buffer, so the two stay in phase.
  const int32_t first = PlaySound(Fixture("tone_long.ogg"), kOrigin, 0.0f);
  const int32_t second = PlaySound(Fixture("tone_long.ogg"), kOrigin, 0.0f);
  EXPECT_NE(Channel(first), Channel(second));
  ASSERT_TRUE(WaitUntilEnded(first));
  ASSERT_TRUE(WaitUntilEnded(second));
  const std::vector<float> pcm = Finish();

  const auto bursts = audio_test::FindBursts(pcm);
  ASSERT_EQ(bursts.size(), 2u);
  const double one = audio_test::InnerRms(pcm, bursts[0]);
  EXPECT_NEAR(audio_test::PeakWindowRms(pcm, bursts[1]) / one, 2.0, 0.1);
}

TEST_F(SdlMixerOutputTest, AnEndedChannelIdDoesNotTouchTheSoundNowOnItsMixerChannel) {
  const int32_t shortId = PlaySound(Fixture("tone_short.ogg"), kOrigin, 0.0f);
  ASSERT_TRUE(WaitUntilEnded(shortId));
  ASSERT_TRUE(output_->WaitForMoreOutput(0.05, kRate));  // a gap between the two sounds
  const int32_t longId = PlaySound(Fixture("tone_long.ogg"), kOrigin, 0.0f);
  // Both starts use the first free mixer channel; only the start count differs.
  ASSERT_EQ(Channel(shortId).value & 0xffffffffu, Channel(longId).value & 0xffffffffu);

  g_MusicChannel = shortId;
  testing::internal::CaptureStdout();
  SetMusicVolume(-96.0f);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "FMOD ERROR 9\n");
  ASSERT_TRUE(WaitUntilEnded(longId));
  const std::vector<float> pcm = Finish();

  const auto bursts = audio_test::FindBursts(pcm);
  ASSERT_EQ(bursts.size(), 2u);
  EXPECT_NEAR(static_cast<double>(bursts[1].end - bursts[1].begin), kLongFrames, 480.0);
  EXPECT_NEAR(audio_test::InnerRms(pcm, bursts[1]), kToneRms, kToneRms * 0.03);
}

TEST_F(SdlMixerOutputTest, FilesThatCannotBeDecodedAreReportedAndNotCached) {
  const std::string broken = (std::filesystem::temp_directory_path() / "velmaris-broken.ogg").string();
  std::ofstream(broken) << "this is not Ogg Vorbis";
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  const int32_t missing = PlaySound("Audio/NoSuchSound.ogg", kOrigin, 0.0f);
  const int32_t bad = PlaySound(broken, kOrigin, 0.0f);
  const std::string out = testing::internal::GetCapturedStdout();
  const std::string err = testing::internal::GetCapturedStderr();
  std::filesystem::remove(broken);
  EXPECT_EQ(missing, 0);
  EXPECT_EQ(bad, 1);
  EXPECT_EQ(out, "FMOD ERROR 6\nFMOD ERROR 6\n");
  EXPECT_NE(err.find("Audio/NoSuchSound.ogg"), std::string::npos) << err;
  EXPECT_NE(err.find(broken), std::string::npos) << err;
  EXPECT_TRUE(g_SoundSystem->channels.empty());
  EXPECT_FALSE(g_SoundSystem->sounds.contains(broken));
}

TEST(SdlMixerStartup, WithoutAnAudioDriverTheSoundSystemFallsBackToSilence) {
  core::ResetLogOnce();
  const char* old = std::getenv("SDL_AUDIODRIVER");
  const std::string oldDriver = old ? old : "";
  setenv("SDL_AUDIODRIVER", "velmaris-no-such-driver", 1);
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  InitSoundSystem();
  const std::string out = testing::internal::GetCapturedStdout();
  const std::string err = testing::internal::GetCapturedStderr();
  if (old) {
    setenv("SDL_AUDIODRIVER", oldDriver.c_str(), 1);
  } else {
    unsetenv("SDL_AUDIODRIVER");
  }

  EXPECT_EQ(err.rfind("audio: no audio device", 0), 0u) << err;
  EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 4) << err;  // and the three missing files
  EXPECT_EQ(out.rfind("FMOD ERROR 1\n", 0), 0u) << out;
  ASSERT_NE(g_SoundSystem, nullptr);
  EXPECT_TRUE(g_SoundSystem->backend->IsReady());
  testing::internal::CaptureStdout();
  EXPECT_EQ(PlaySound(Fixture("tone_short.ogg"), kOrigin, 0.0f), 0);
  // Load, play, volume, unpause.
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "FMOD all good\nFMOD all good\nFMOD all good\nFMOD all good\n");
  ShutdownSoundSystem();
}

}  // namespace
}  // namespace audio
