// The sound system's logic on the recording backend: ids, the cache, the order of
// calls, the music volume and the status lines.
#include "audio/sound_system.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "audio/recording/recording_backend.h"
#include "audio/silent/silent_backend.h"
#include "core/log.h"

namespace audio {
namespace {

using Op = RecordingBackend::Op;

const std::string kClick = "Audio/ButtonClick.ogg";
const std::string kMusic = "Audio/Rizoz ed Udavovi Vivid.ogg";
const std::string kSmack = "Audio/BirdSmack.ogg";
const float kOrigin[2] = {0.0f, 0.0f};

std::string Lines(const std::string& line, int count) {
  std::string lines;
  for (int i = 0; i < count; ++i) lines += line + "\n";
  return lines;
}

template <typename Action>
std::string StdoutOf(Action action) {
  testing::internal::CaptureStdout();
  action();
  return testing::internal::GetCapturedStdout();
}

class SoundSystemTest : public testing::Test {
 protected:
  void SetUp() override {
    g_MusicOn = true;
    g_SfxOn = true;
    core::ResetLogOnce();
  }
  void TearDown() override { ShutdownSoundSystem(); }

  // Starts the sound system on a recording backend arranged by the caller; keeps
  // the start-up output and forgets the start-up calls. Null when the backend's
  // output did not open and the backend was replaced (and destroyed).
  RecordingBackend* Start(void (*arrange)(RecordingBackend&) = nullptr) {
    auto backend = std::make_unique<RecordingBackend>();
    RecordingBackend& recorder = *backend;
    if (arrange != nullptr) arrange(recorder);
    startupOutput_ = StdoutOf([&] { InitSoundSystem(std::move(backend)); });
    if (g_SoundSystem->backend.get() != &recorder) return nullptr;
    startupCalls_ = recorder.Calls();
    recorder.ClearCalls();
    return &recorder;
  }

  std::string startupOutput_;
  std::vector<RecordingBackend::Call> startupCalls_;
};

TEST(SoundVolume, DecibelsBecomeTheLinearFactor) {
  EXPECT_EQ(DecibelsToGain(0.0f), 1.0f);
  EXPECT_FLOAT_EQ(DecibelsToGain(1.0f), 1.1220185f);
  EXPECT_FLOAT_EQ(DecibelsToGain(-96.0f), 1.5848932e-5f);
  EXPECT_FLOAT_EQ(DecibelsToGain(-20.0f), 0.1f);
  EXPECT_NEAR(DecibelsToGain(-6.0206f), 0.5f, 1e-6f);
}

TEST(SoundStatusLines, CheckResultWritesOneLinePerResult) {
  int32_t returned = -1;
  EXPECT_EQ(StdoutOf([&] { returned = CheckResult(kOk); }), "FMOD all good\n");
  EXPECT_EQ(returned, 0);
  EXPECT_EQ(StdoutOf([&] { returned = CheckResult(kErrFileOpen); }), "FMOD ERROR 6\n");
  EXPECT_EQ(returned, 1);
  EXPECT_EQ(StdoutOf([&] { returned = CheckResult(-36); }), "FMOD ERROR -36\n");
  EXPECT_EQ(returned, 1);
}

TEST_F(SoundSystemTest, StartupOpensThirtyTwoChannelsAndPreloadsThreeSounds) {
  Start();
  ASSERT_EQ(startupCalls_.size(), 6u);
  EXPECT_EQ(startupCalls_[0].op, Op::kCreate);
  EXPECT_EQ(startupCalls_[1].op, Op::kInitialize);
  EXPECT_EQ(startupCalls_[1].channelCount, 32);
  EXPECT_EQ(startupCalls_[2].op, Op::kLoadDecoders);
  const std::pair<std::string, uint32_t> loads[] = {
      {"Audio/AltStarCollect.ogg", 0x89}, {kClick, 0x89}, {kMusic, 0x8A}};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(startupCalls_[3 + i].op, Op::kCreateSound);
    EXPECT_EQ(startupCalls_[3 + i].path, loads[i].first);
    EXPECT_EQ(startupCalls_[3 + i].mode, loads[i].second);
  }
  EXPECT_EQ(startupOutput_, Lines("FMOD all good", 6));
  EXPECT_EQ(g_SoundSystem->sounds.size(), 3u);
  EXPECT_EQ(g_MusicChannel, kNoChannel);
}

TEST_F(SoundSystemTest, StartupFailuresAreReportedAndStartupGoesOn) {
  Start([](RecordingBackend& backend) {
    backend.FailOperation(Op::kLoadDecoders, kErrDecoder);
    backend.FailLoad(kMusic);
  });
  EXPECT_EQ(startupOutput_, "FMOD all good\nFMOD all good\nFMOD ERROR 4\nFMOD all good\nFMOD all good\n"
                            "FMOD ERROR 6\n");
  ASSERT_NE(g_SoundSystem, nullptr);
  EXPECT_EQ(g_SoundSystem->sounds.size(), 2u);
  EXPECT_FALSE(g_SoundSystem->sounds.contains(kMusic));
}

TEST_F(SoundSystemTest, WithoutAnAudioDeviceTheGameRunsOnSilently) {
  testing::internal::CaptureStderr();
  EXPECT_EQ(Start([](RecordingBackend& backend) { backend.FailOperation(Op::kInitialize, kErrDeviceOpen); }), nullptr);
  const std::string errors = testing::internal::GetCapturedStderr();
  // One line for the device; the missing start-up files follow, one line each.
  EXPECT_EQ(errors.rfind("audio: no audio device", 0), 0u) << errors;
  EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 4) << errors;
  EXPECT_NE(errors.find("'Audio/ButtonClick.ogg'"), std::string::npos) << errors;
  // The device failure is reported; the start-up sounds do not exist here, which
  // the silent backend reports as real output would.
  EXPECT_EQ(startupOutput_, "FMOD all good\nFMOD ERROR 2\nFMOD all good\n" + Lines("FMOD ERROR 6", 3));
  ASSERT_NE(g_SoundSystem, nullptr);
  EXPECT_NE(dynamic_cast<SilentBackend*>(g_SoundSystem->backend.get()), nullptr);

  const std::string file = (std::filesystem::temp_directory_path() / "velmaris-silent.ogg").string();
  std::ofstream(file) << "x";
  EXPECT_EQ(PlaySound(file, kOrigin, 0.0f), 0);
  EXPECT_EQ(PlaySound(kSmack, kOrigin, 0.0f), 1);
  EXPECT_TRUE(g_SoundSystem->channels.contains(0));
  EXPECT_FALSE(g_SoundSystem->channels.contains(1));
  std::filesystem::remove(file);
}

TEST_F(SoundSystemTest, IdsCountUpAlsoWhenALoadFailsAndTheLoadIsRetried) {
  RecordingBackend& backend = *Start([](RecordingBackend& b) { b.FailLoad("Audio/Missing.ogg"); });
  std::string output;
  output += StdoutOf([] { EXPECT_EQ(PlaySound("Audio/Missing.ogg", kOrigin, 0.0f), 0); });
  EXPECT_EQ(output, "FMOD ERROR 6\n");
  EXPECT_EQ(PlaySound(kClick, kOrigin, 0.0f), 1);
  output = StdoutOf([] { EXPECT_EQ(PlaySound("Audio/Missing.ogg", kOrigin, 0.0f), 2); });
  EXPECT_EQ(output, "FMOD ERROR 6\n");

  EXPECT_EQ(backend.CallsOf(Op::kCreateSound).size(), 2u);
  EXPECT_EQ(backend.CallsOf(Op::kPlaySound).size(), 1u);
  EXPECT_EQ(g_SoundSystem->channels.size(), 1u);
  EXPECT_TRUE(g_SoundSystem->channels.contains(1));
  EXPECT_FALSE(g_SoundSystem->sounds.contains("Audio/Missing.ogg"));
}

TEST_F(SoundSystemTest, PlayStartsPausedAndUnpausesOnlyAfterTheVolumeIsSet) {
  RecordingBackend& backend = *Start();
  const std::string output = StdoutOf([] { PlaySound(kClick, kOrigin, -6.0f); });
  EXPECT_EQ(output, Lines("FMOD all good", 3));
  const auto& calls = backend.Calls();
  ASSERT_EQ(calls.size(), 3u);
  EXPECT_EQ(calls[0].op, Op::kPlaySound);
  EXPECT_TRUE(calls[0].paused);
  EXPECT_EQ(backend.PathOf(calls[0].sound), kClick);
  EXPECT_EQ(calls[1].op, Op::kSetVolume);
  EXPECT_EQ(calls[1].channel, calls[0].channel);
  EXPECT_FLOAT_EQ(calls[1].gain, DecibelsToGain(-6.0f));
  EXPECT_EQ(calls[2].op, Op::kSetPaused);
  EXPECT_FALSE(calls[2].paused);
  EXPECT_FALSE(backend.IsPaused(calls[0].channel));
  EXPECT_EQ(g_SoundSystem->channels.at(0), calls[0].channel);
}

TEST_F(SoundSystemTest, TwoPlaysOfOneSoundLoadItOnceAndPlayOnTwoChannels) {
  RecordingBackend& backend = *Start();
  const int32_t first = PlaySound(kSmack, kOrigin, 0.0f);
  const int32_t second = PlaySound(kSmack, kOrigin, 0.0f);
  EXPECT_EQ(first, 0);
  EXPECT_EQ(second, 1);
  const auto loads = backend.CallsOf(Op::kCreateSound);
  ASSERT_EQ(loads.size(), 1u);
  EXPECT_EQ(loads[0].path, kSmack);
  EXPECT_EQ(loads[0].mode, 0x89u);
  const ChannelHandle a = g_SoundSystem->channels.at(first);
  const ChannelHandle b = g_SoundSystem->channels.at(second);
  EXPECT_NE(a, b);
  EXPECT_TRUE(backend.IsPlaying(a));
  EXPECT_TRUE(backend.IsPlaying(b));
}

TEST_F(SoundSystemTest, CacheMatchesPathsExactlyIncludingLetterCase) {
  RecordingBackend& backend = *Start();
  LoadSound(kClick, false);
  LoadSound(kMusic, true);
  PlaySound(kClick, kOrigin, 0.0f);
  EXPECT_TRUE(backend.CallsOf(Op::kCreateSound).empty());

  LoadSound("Audio/buttonclick.ogg", false);
  const auto loads = backend.CallsOf(Op::kCreateSound);
  ASSERT_EQ(loads.size(), 1u);
  EXPECT_EQ(loads[0].path, "Audio/buttonclick.ogg");
  EXPECT_EQ(g_SoundSystem->sounds.size(), 4u);
  EXPECT_NE(g_SoundSystem->sounds.at("Audio/buttonclick.ogg"), g_SoundSystem->sounds.at(kClick));
}

TEST_F(SoundSystemTest, SetMusicVolumeBeforeTheMusicStartedDoesNothing) {
  RecordingBackend& backend = *Start();
  // A sound effect took id 0 before the music started; it is not the music.
  PlaySound(kClick, kOrigin, 0.0f);
  backend.ClearCalls();
  EXPECT_EQ(StdoutOf([] { SetMusicVolume(-96.0f); }), "");
  EXPECT_TRUE(backend.Calls().empty());
  EXPECT_EQ(backend.GainOf(g_SoundSystem->channels.at(0)), 1.0f);
}

TEST_F(SoundSystemTest, MusicTurnedDownAndUpComesBackLouderThanItStarted) {
  RecordingBackend& backend = *Start();
  PlaySound(kClick, kOrigin, 0.0f);
  g_MusicChannel = PlaySound(kMusic, kOrigin, 0.0f);
  EXPECT_EQ(g_MusicChannel, 1);
  EXPECT_TRUE(backend.CallsOf(Op::kCreateSound).empty()) << "the music was preloaded";
  const ChannelHandle music = g_SoundSystem->channels.at(g_MusicChannel);
  const ChannelHandle click = g_SoundSystem->channels.at(0);

  EXPECT_EQ(StdoutOf([] { SetMusicVolume(-96.0f); }), "FMOD all good\n");
  EXPECT_FLOAT_EQ(backend.GainOf(music), 1.5848932e-5f);
  EXPECT_EQ(StdoutOf([] { SetMusicVolume(1.0f); }), "FMOD all good\n");
  EXPECT_FLOAT_EQ(backend.GainOf(music), 1.1220185f);
  EXPECT_EQ(backend.GainOf(click), 1.0f);

  backend.EndChannel(music);
  EXPECT_EQ(StdoutOf([] { SetMusicVolume(-96.0f); }), "FMOD ERROR 9\n");
}

TEST_F(SoundSystemTest, SoundCallsBeforeStartUpDoNothing) {
  EXPECT_EQ(PlaySound(kClick, kOrigin, 0.0f), kNoChannel);
  LoadSound(kClick, false);
  SetMusicVolume(1.0f);
  EXPECT_EQ(g_SoundSystem, nullptr);
}

TEST_F(SoundSystemTest, ANewStartReplacesTheOldSystemAndItsIds) {
  Start();
  PlaySound(kClick, kOrigin, 0.0f);
  g_MusicChannel = 0;
  Start();
  EXPECT_EQ(g_MusicChannel, kNoChannel);
  EXPECT_EQ(PlaySound(kClick, kOrigin, 0.0f), 0);
}

}  // namespace
}  // namespace audio
