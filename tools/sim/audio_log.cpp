// The audio log's line format. One JSON object per line, in the order of the calls:
//
//   {"frame":0,"call":"LoadSound","path":"Audio/ButtonClick.ogg","loop":false,"loaded":true}
//   {"frame":12,"call":"PlaySound","path":"Audio/ButtonClick.ogg","id":3,"db":0}
//   {"frame":12,"call":"SetVolume","id":3,"gain":1}
//   {"frame":12,"call":"SetPaused","id":3,"paused":false}
//   {"frame":40,"call":"SetMusicVolume","id":0,"db":-96}
//   {"frame":40,"call":"SetVolume","id":0,"gain":1.5848932e-05}
//
// frame    the runner's frame the call was made in, 1 for the first frame; 0 for
//          start-up (the preloaded sounds) and the levels loaded before frame 1.
// call     LoadSound, PlaySound and SetMusicVolume are the sound system's calls, with
//          the path as the game gives it and the volume in decibels ("db"). A sound
//          effect is its PlaySound at 0 dB; one played while effects are off writes
//          nothing. "loaded" says whether the sound is loaded after the call (false:
//          the file is missing or unreadable, and every play tries again).
//          SetVolume (linear "gain", 1 = as recorded) and SetPaused are calls on the
//          audio backend; they belong to the sound-system line before them.
// id       the sound system's channel id: what PlaySound returned, the music's id for
//          SetMusicVolume, -1 for no channel (the music volume set before the music
//          started, which changes nothing).
// error    only on a backend call that failed: its code from audio/audio_backend.h.
//
// Numbers are written in the shortest form that reads back as the same float.
#include "audio_log.h"

#include <charconv>
#include <cmath>
#include <stdexcept>
#include <utility>

#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include "audio/recording/recording_backend.h"

namespace sim {
namespace {

using audio::RecordingBackend;

// One line of the log, written key by key.
class Line {
 public:
  Line(long long frame, const char* call) : writer_(buffer_) {
    writer_.StartObject();
    Int("frame", frame);
    writer_.Key("call");
    writer_.String(call);
  }

  Line& Int(const char* key, long long value) {
    writer_.Key(key);
    writer_.Int64(value);
    return *this;
  }
  Line& Number(const char* key, float value) {
    writer_.Key(key);
    if (!std::isfinite(value)) {
      writer_.Null();  // JSON has no infinities
      return *this;
    }
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, value).ptr;
    writer_.RawValue(text, static_cast<std::size_t>(end - text), rapidjson::kNumberType);
    return *this;
  }
  Line& Bool(const char* key, bool value) {
    writer_.Key(key);
    writer_.Bool(value);
    return *this;
  }
  Line& Text(const char* key, const std::string& value) {
    writer_.Key(key);
    writer_.String(value.c_str(), static_cast<rapidjson::SizeType>(value.size()));
    return *this;
  }

  void WriteTo(std::ostream& stream) {
    writer_.EndObject();
    stream << buffer_.GetString() << '\n';
  }

 private:
  rapidjson::StringBuffer buffer_;
  rapidjson::Writer<rapidjson::StringBuffer> writer_;
};

// The run's recording backend; null when the sound system is down or runs on another.
RecordingBackend* Recorder() {
  audio::SoundSystem* system = audio::Audio().system.get();
  return system == nullptr ? nullptr : dynamic_cast<RecordingBackend*>(system->backend.get());
}

}  // namespace

std::unique_ptr<audio::AudioBackend> MakeAudioLogBackend() {
  auto backend = std::make_unique<RecordingBackend>();
  backend->RequireFiles(true);
  return backend;
}

AudioLog::AudioLog(std::string path) : path_(std::move(path)), file_(path_, std::ios::trunc) {
  if (!file_) throw std::runtime_error(path_ + ": cannot write the audio log");
  audio::Audio().observer = this;
}

AudioLog::~AudioLog() {
  if (audio::Audio().observer == this) audio::Audio().observer = nullptr;
}

void AudioLog::SetFrame(long long frame) {
  // Backend calls made outside any sound-system call belong to the frame they were made in.
  WriteBackendCalls(audio::kNoChannel);
  frame_ = frame;
}

void AudioLog::Finish() {
  WriteBackendCalls(audio::kNoChannel);
  file_.close();
  if (!file_) throw std::runtime_error(path_ + ": cannot write the audio log");
}

void AudioLog::OnLoadSound(const std::string& path, bool loop) {
  const audio::SoundSystem* system = audio::Audio().system.get();
  Line(frame_, "LoadSound")
      .Text("path", path)
      .Bool("loop", loop)
      .Bool("loaded", system != nullptr && system->sounds.contains(path))
      .WriteTo(file_);
  WriteBackendCalls(audio::kNoChannel);
}

void AudioLog::OnPlaySound(const std::string& path, float volumeDb, std::int32_t id) {
  Line(frame_, "PlaySound").Text("path", path).Int("id", id).Number("db", volumeDb).WriteTo(file_);
  WriteBackendCalls(id);
}

void AudioLog::OnSetMusicVolume(std::int32_t id, float volumeDb) {
  Line(frame_, "SetMusicVolume").Int("id", id).Number("db", volumeDb).WriteTo(file_);
  WriteBackendCalls(audio::kNoChannel);
}

void AudioLog::WriteBackendCalls(std::int32_t startedId) {
  RecordingBackend* recorder = Recorder();
  if (recorder == nullptr) return;
  for (const RecordingBackend::Call& call : recorder->Calls()) {
    if (call.op == RecordingBackend::Op::kPlaySound && call.channel && startedId != audio::kNoChannel) {
      ids_[call.channel.value] = startedId;
    }
    if (call.op != RecordingBackend::Op::kSetVolume && call.op != RecordingBackend::Op::kSetPaused) continue;
    const auto found = ids_.find(call.channel.value);
    const bool volume = call.op == RecordingBackend::Op::kSetVolume;
    Line line(frame_, volume ? "SetVolume" : "SetPaused");
    line.Int("id", found == ids_.end() ? audio::kNoChannel : found->second);
    if (volume) {
      line.Number("gain", call.gain);
    } else {
      line.Bool("paused", call.paused);
    }
    if (call.result != audio::kOk) line.Int("error", call.result);
    line.WriteTo(file_);
  }
  // The log is the only reader of the calls; forgetting them keeps long runs flat.
  recorder->ClearCalls();
}

}  // namespace sim
