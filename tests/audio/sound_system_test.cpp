// The sound system's logic on the recording backend: ids, the cache, the order of
// calls, the music volume and the status lines.
#include "audio/sound_system.h"

#include <algorithm>
#include <memory>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "audio/recording/recording_backend.h"
#include "audio/silent/silent_backend.h"
#include "base/log.h"

namespace audio {
namespace {

using Op = RecordingBackend::Op;

const std::string kClick = "Audio/ButtonClick.ogg";
const std::string kMusic = "Audio/Rizoz ed Udavovi Vivid.ogg";
const std::string kSmack = "Audio/BirdSmack.ogg";
const float kOrigin[2] = {0.0f, 0.0f};
const std::string kGood = "FMOD all good\n";

std::string Repeat(const std::string& line, int count) {
  std::string lines;
  for (int i = 0; i < count; ++i) lines += line;
  return lines;
}

template <typename Action>
std::string StdoutOf(Action action) {
  testing::internal::CaptureStdout();
  action();
  return testing::internal::GetCapturedStdout();
}

// The recorded calls, one line each with the arguments that matter.
std::string Describe(const std::vector<RecordingBackend::Call>& calls) {
  std::ostringstream text;
  for (const RecordingBackend::Call& call : calls) {
    switch (call.op) {
      case Op::kCreate:
        text << "create";
        break;
      case Op::kInitialize:
        text << "initialize " << call.channelCount;
        break;
      case Op::kLoadDecoders:
        text << "decoders";
        break;
      case Op::kCreateSound:
        text << "load " << call.path << " 0x" << std::hex << call.mode << std::dec;
        break;
      case Op::kPlaySound:
        text << "play" << (call.paused ? " paused" : "");
        break;
      case Op::kSetVolume:
        text << "volume " << call.gain;
        break;
      case Op::kSetPaused:
        text << (call.paused ? "pause" : "unpause");
        break;
    }
    text << "\n";
  }
  return text.str();
}

class SoundSystemTest : public testing::Test {
 protected:
  void SetUp() override {
    Audio().musicOn = true;
    Audio().sfxOn = true;
    base::ResetLogOnce();
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
    if (Audio().system->backend.get() != &recorder) return nullptr;
    startupCalls_ = Describe(recorder.Calls());
    recorder.ClearCalls();
    return &recorder;
  }

  std::string startupOutput_;
  std::string startupCalls_;
};

TEST(SoundVolume, DecibelsBecomeTheLinearFactorAndResultsOneStatusLine) {
  EXPECT_EQ(DecibelsToGain(0.0f), 1.0f);
  EXPECT_FLOAT_EQ(DecibelsToGain(1.0f), 1.1220185f);
  EXPECT_FLOAT_EQ(DecibelsToGain(-96.0f), 1.5848932e-5f);
  for (const auto& [result, line, returned] :
       {std::tuple{kOk, "FMOD all good\n", 0}, std::tuple{kErrFileOpen, "FMOD ERROR 6\n", 1},
        std::tuple{-36, "FMOD ERROR -36\n", 1}}) {
    int32_t got = -1;
    // Captured through a copy: clang 14 cannot capture a structured binding.
    EXPECT_EQ(StdoutOf([&got, code = result] { got = CheckResult(code); }), line);
    EXPECT_EQ(got, returned);
  }
}

TEST_F(SoundSystemTest, StartupOpensThirtyTwoChannelsAndPreloadsThreeSounds) {
  Start();
  EXPECT_EQ(startupCalls_,
            "create\ninitialize 32\ndecoders\nload Audio/AltStarCollect.ogg 0x89\n"
            "load " +
                kClick + " 0x89\nload " + kMusic + " 0x8a\n");
  EXPECT_EQ(startupOutput_, Repeat(kGood, 6));
  EXPECT_EQ(Audio().system->sounds.size(), 3u);
  EXPECT_EQ(Audio().musicChannel, kNoChannel);
}

TEST_F(SoundSystemTest, StartupFailuresAreReportedAndStartupGoesOn) {
  Start([](RecordingBackend& backend) {
    backend.FailOperation(Op::kLoadDecoders, kErrDecoder);
    backend.FailLoad(kMusic);
  });
  EXPECT_EQ(startupOutput_, kGood + kGood + "FMOD ERROR 4\n" + kGood + kGood + "FMOD ERROR 6\n");
  ASSERT_NE(Audio().system, nullptr);
  EXPECT_EQ(Audio().system->sounds.size(), 2u);
  EXPECT_FALSE(Audio().system->sounds.contains(kMusic));
}

TEST_F(SoundSystemTest, WithoutAnAudioDeviceTheGameRunsOnSilently) {
  testing::internal::CaptureStderr();
  EXPECT_EQ(Start([](RecordingBackend& backend) { backend.FailOperation(Op::kInitialize, kErrDeviceOpen); }),
            nullptr);
  const std::string errors = testing::internal::GetCapturedStderr();
  // One line for the device; the missing start-up files follow, one line each.
  EXPECT_EQ(errors.rfind("audio: no audio device", 0), 0u) << errors;
  EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 4) << errors;
  EXPECT_NE(errors.find("'Audio/ButtonClick.ogg'"), std::string::npos) << errors;
  // The start-up sounds do not exist here, which the silent backend reports as real output would.
  EXPECT_EQ(startupOutput_, kGood + "FMOD ERROR 2\n" + kGood + Repeat("FMOD ERROR 6\n", 3));
  EXPECT_NE(dynamic_cast<SilentBackend*>(Audio().system->backend.get()), nullptr);
}

TEST_F(SoundSystemTest, IdsCountUpAlsoWhenALoadFailsAndTheLoadIsRetried) {
  RecordingBackend& backend = *Start([](RecordingBackend& b) { b.FailLoad("Audio/Missing.ogg"); });
  EXPECT_EQ(StdoutOf([] { EXPECT_EQ(PlaySound("Audio/Missing.ogg", kOrigin, 0.0f), 0); }), "FMOD ERROR 6\n");
  EXPECT_EQ(PlaySound(kClick, kOrigin, 0.0f), 1);
  EXPECT_EQ(StdoutOf([] { EXPECT_EQ(PlaySound("Audio/Missing.ogg", kOrigin, 0.0f), 2); }), "FMOD ERROR 6\n");
  EXPECT_EQ(Describe(backend.Calls()),
            "load Audio/Missing.ogg 0x89\nplay paused\nvolume 1\nunpause\n"
            "load Audio/Missing.ogg 0x89\n");
  EXPECT_EQ(Audio().system->channels.size(), 1u);
  EXPECT_TRUE(Audio().system->channels.contains(1));
  EXPECT_FALSE(Audio().system->sounds.contains("Audio/Missing.ogg"));
}

TEST_F(SoundSystemTest, PlayStartsPausedAndUnpausesOnlyAfterTheVolumeIsSet) {
  RecordingBackend& backend = *Start();
  EXPECT_EQ(StdoutOf([] { PlaySound(kClick, kOrigin, -6.0f); }), Repeat(kGood, 3));
  EXPECT_EQ(Describe(backend.Calls()), "play paused\nvolume 0.501187\nunpause\n");
  const auto& calls = backend.Calls();
  EXPECT_EQ(backend.PathOf(calls[0].sound), kClick);
  EXPECT_EQ(calls[1].channel, calls[0].channel);
  EXPECT_EQ(calls[2].channel, calls[0].channel);
  EXPECT_EQ(Audio().system->channels.at(0), calls[0].channel);
}

TEST_F(SoundSystemTest, TwoPlaysOfOneSoundLoadItOnceAndPlayOnTwoChannels) {
  RecordingBackend& backend = *Start();
  EXPECT_EQ(PlaySound(kSmack, kOrigin, 0.0f), 0);
  EXPECT_EQ(PlaySound(kSmack, kOrigin, 0.0f), 1);
  EXPECT_EQ(Describe(backend.CallsOf(Op::kCreateSound)), "load " + kSmack + " 0x89\n");
  const ChannelHandle a = Audio().system->channels.at(0);
  const ChannelHandle b = Audio().system->channels.at(1);
  EXPECT_NE(a, b);
  EXPECT_TRUE(backend.IsPlaying(a) && backend.IsPlaying(b));
}

TEST_F(SoundSystemTest, FinishedEffectsAreForgottenButTheMusicIsKept) {
  RecordingBackend& backend = *Start();
  testing::internal::CaptureStdout();
  Audio().musicChannel = PlaySound(kMusic, kOrigin, 0.0f);
  // A sound played every frame of a long contact, each finished before the next.
  for (int frame = 0; frame < 1000; ++frame) {
    const std::int32_t id = PlaySound(kSmack, kOrigin, 0.0f);
    backend.EndChannel(Audio().system->channels.at(id));
  }
  testing::internal::GetCapturedStdout();
  EXPECT_LE(Audio().system->channels.size(), static_cast<std::size_t>(kChannelCount));
  ASSERT_TRUE(Audio().system->channels.count(Audio().musicChannel));
  EXPECT_EQ(StdoutOf([] { SetMusicVolume(-96.0f); }), kGood);
}

// In a busy level more effects overlap than there are mixing channels; the 33rd
// start used to be refused with "FMOD ERROR 8" and the effect went missing.
TEST_F(SoundSystemTest, EffectsBeyondTheChannelCountTakeOverTheOldestEffectNotTheMusic) {
  RecordingBackend& backend = *Start();
  testing::internal::CaptureStdout();
  Audio().musicChannel = PlaySound(kMusic, kOrigin, 0.0f);
  std::vector<std::int32_t> effects;
  for (int i = 1; i < kChannelCount; ++i) effects.push_back(PlaySound(kSmack, kOrigin, 0.0f));
  const std::vector<ChannelHandle> first = {Audio().system->channels.at(effects[0]),
                                            Audio().system->channels.at(effects[1])};
  // One load, then three lines for each of the 32 starts.
  ASSERT_EQ(testing::internal::GetCapturedStdout(), Repeat(kGood, 1 + 3 * kChannelCount));

  const ChannelHandle music = Audio().system->channels.at(Audio().musicChannel);
  // The 33rd sound takes the oldest effect's channel; the 40th, the eighth oldest.
  for (int start = kChannelCount + 1; start <= kChannelCount + 8; ++start) {
    SCOPED_TRACE(start);
    std::int32_t id = kNoChannel;
    EXPECT_EQ(StdoutOf([&] { id = PlaySound(kClick, kOrigin, -6.0f); }), Repeat(kGood, 3));
    const ChannelHandle channel = Audio().system->channels.at(id);
    EXPECT_TRUE(backend.IsPlaying(channel));
    EXPECT_FALSE(backend.IsPaused(channel));
    EXPECT_FLOAT_EQ(backend.GainOf(channel), 0.501187f);
    EXPECT_TRUE(backend.IsPlaying(music));
  }
  EXPECT_FALSE(backend.IsPlaying(first[0]));
  EXPECT_FALSE(backend.IsPlaying(first[1]));
  EXPECT_TRUE(backend.IsPlaying(Audio().system->channels.at(effects[8])));
  EXPECT_EQ(StdoutOf([] { SetMusicVolume(-96.0f); }), kGood);
  EXPECT_FLOAT_EQ(backend.GainOf(music), 1.5848932e-5f);
}

// Loops are never taken over: with every channel holding one the start is refused.
TEST_F(SoundSystemTest, AStartIsRefusedOnlyWhenEveryChannelHoldsALoop) {
  RecordingBackend& backend = *Start();
  testing::internal::CaptureStdout();
  std::vector<ChannelHandle> loops;
  for (int i = 0; i < kChannelCount; ++i) {
    loops.push_back(Audio().system->channels.at(PlaySound(kMusic, kOrigin, 0.0f)));
  }
  testing::internal::GetCapturedStdout();
  backend.ClearCalls();
  std::int32_t id = kNoChannel;
  EXPECT_EQ(StdoutOf([&] { id = PlaySound(kClick, kOrigin, 0.0f); }), "FMOD ERROR 8\n");
  EXPECT_EQ(id, kChannelCount);  // the id is used up all the same
  EXPECT_FALSE(Audio().system->channels.contains(id));
  EXPECT_TRUE(std::all_of(loops.begin(), loops.end(), [&](ChannelHandle c) { return backend.IsPlaying(c); }))
      << "no loop is taken over";
  // Once one loop has ended, the next start plays.
  backend.EndChannel(loops[5]);
  EXPECT_EQ(StdoutOf([] { PlaySound(kClick, kOrigin, 0.0f); }), Repeat(kGood, 3));
}

TEST_F(SoundSystemTest, CacheMatchesPathsExactlyIncludingLetterCase) {
  RecordingBackend& backend = *Start();
  LoadSound(kClick, false);
  LoadSound(kMusic, true);
  PlaySound(kClick, kOrigin, 0.0f);
  LoadSound("Audio/buttonclick.ogg", false);
  EXPECT_EQ(Describe(backend.CallsOf(Op::kCreateSound)), "load Audio/buttonclick.ogg 0x89\n");
  EXPECT_EQ(Audio().system->sounds.size(), 4u);
  EXPECT_NE(Audio().system->sounds.at("Audio/buttonclick.ogg"), Audio().system->sounds.at(kClick));
}

TEST_F(SoundSystemTest, MusicVolumeChangesOnlyTheStartedMusicAndReportsAnEndedOne) {
  RecordingBackend& backend = *Start();
  // A sound effect took id 0 before the music started; it is not the music.
  PlaySound(kClick, kOrigin, 0.0f);
  backend.ClearCalls();
  EXPECT_EQ(StdoutOf([] { SetMusicVolume(-96.0f); }), "");
  EXPECT_TRUE(backend.Calls().empty());

  Audio().musicChannel = PlaySound(kMusic, kOrigin, 0.0f);
  EXPECT_EQ(Audio().musicChannel, 1);
  EXPECT_TRUE(backend.CallsOf(Op::kCreateSound).empty()) << "the music was preloaded";
  const ChannelHandle music = Audio().system->channels.at(Audio().musicChannel);
  EXPECT_EQ(StdoutOf([] { SetMusicVolume(-96.0f); }), kGood);
  EXPECT_FLOAT_EQ(backend.GainOf(music), 1.5848932e-5f);
  EXPECT_EQ(StdoutOf([] { SetMusicVolume(1.0f); }), kGood);
  EXPECT_FLOAT_EQ(backend.GainOf(music), 1.1220185f);
  EXPECT_EQ(backend.GainOf(Audio().system->channels.at(0)), 1.0f);

  backend.EndChannel(music);
  EXPECT_EQ(StdoutOf([] { SetMusicVolume(-96.0f); }), "FMOD ERROR 9\n");
}

TEST_F(SoundSystemTest, CallsBeforeStartUpDoNothingAndANewStartForgetsTheOldIds) {
  EXPECT_EQ(PlaySound(kClick, kOrigin, 0.0f), kNoChannel);
  LoadSound(kClick, false);
  SetMusicVolume(1.0f);
  EXPECT_EQ(Audio().system, nullptr);

  Start();
  PlaySound(kClick, kOrigin, 0.0f);
  Audio().musicChannel = 0;
  Start();
  EXPECT_EQ(Audio().musicChannel, kNoChannel);
  EXPECT_EQ(PlaySound(kClick, kOrigin, 0.0f), 0);
}

// Writes one line per call it is told about, with the number of backend calls
// recorded by then: tools rely on a call being told after its backend calls.
class LineObserver final : public SoundObserver {
 public:
  explicit LineObserver(const RecordingBackend& backend) : backend_(backend) {}
  void OnLoadSound(const std::string& path, bool loop) override {
    Add("load " + path + (loop ? " loop" : ""));
  }
  void OnPlaySound(const std::string& path, float volumeDb, std::int32_t id) override {
    Add("play " + path + " " + std::to_string(static_cast<int>(volumeDb)) + " dB id " + std::to_string(id));
  }
  void OnSetMusicVolume(std::int32_t id, float volumeDb) override {
    Add("music " + std::to_string(static_cast<int>(volumeDb)) + " dB id " + std::to_string(id));
  }
  std::string lines;

 private:
  void Add(const std::string& line) {
    lines += line + " after " + std::to_string(backend_.Calls().size()) + "\n";
  }
  const RecordingBackend& backend_;
};

TEST_F(SoundSystemTest, AnObserverIsToldEveryCallAfterItsBackendCalls) {
  RecordingBackend& backend = *Start();
  LineObserver observer(backend);
  Audio().observer = &observer;
  testing::internal::CaptureStdout();
  SetMusicVolume(-96.0f);             // before the music: nothing to set
  PlaySound(kSmack, kOrigin, -6.0f);  // not preloaded: loaded first
  Audio().musicChannel = PlaySound(kMusic, kOrigin, 0.0f);
  SetMusicVolume(-96.0f);
  Audio().sfxOn = false;
  PlayEffect(kClick);  // effects off: no call
  Audio().sfxOn = true;
  PlayEffect(kClick);
  testing::internal::GetCapturedStdout();
  Audio().observer = nullptr;
  EXPECT_EQ(observer.lines,
            "music -96 dB id -1 after 0\n"
            "load " +
                kSmack +
                " after 1\n"
                "play " +
                kSmack +
                " -6 dB id 0 after 4\n"
                "play " +
                kMusic +
                " 0 dB id 1 after 7\n"
                "music -96 dB id 1 after 8\n"
                "play " +
                kClick + " 0 dB id 2 after 11\n");
}

}  // namespace
}  // namespace audio
