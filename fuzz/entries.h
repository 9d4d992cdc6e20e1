// The fuzz targets' entry functions: each feeds one input to one reader of the engine
// the way the game feeds it a file, and says how the reader took it. The libFuzzer
// programs beside this file and the regression replay under tests/fuzz/ both call
// them, so a reproducer replays exactly as it was found.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>

namespace fuzz {

enum class Verdict {
  kAccepted,  // read as valid
  kRefused,   // refused with a message
  kSkipped,   // not given to the reader (see LevelTarget::Load)
};

struct Outcome {
  Verdict verdict = Verdict::kSkipped;
  std::string message;  // the refusal or why the input was skipped; empty when accepted
  std::string written;  // an accepted level's spaces written back as JSON; else empty
};

// Level files through serialization::Serializer::LoadLevel, in a scratch folder that
// stands in for the game's working directory: it holds copies of the game's prefab
// files and Lua scripts and nothing else, so the files a fuzzed level can name are
// those or the level itself (JSON, which Lua refuses to compile).
class LevelTarget {
 public:
  // The level file's path inside the scratch folder, as the loader is given it.
  static constexpr const char* kLevelFile = "Levels/Fuzzed.txt";

  // Registers the component types as engine start-up does and makes the scratch
  // folder (removing whatever was there) from dataDir's Prefabs/ and LuaScripts/.
  // Throws std::filesystem::filesystem_error when it cannot.
  LevelTarget(std::filesystem::path scratch, const std::filesystem::path& dataDir);
  // Removes the scratch folder.
  ~LevelTarget();
  LevelTarget(const LevelTarget&) = delete;
  LevelTarget& operator=(const LevelTarget&) = delete;

  // Writes the bytes to the level file and loads it into a registry of its own with
  // the scratch folder as working directory; a loaded level then runs one frame of
  // 1/60 s (update and late update: scripts start), has every world matrix built and
  // its spaces written back as JSON. A level holding a string that could name a file
  // outside the scratch folder (an absolute path, a "..") is skipped. Every run
  // starts afresh: nothing of a previous run is remembered.
  Outcome Load(std::span<const std::uint8_t> bytes);

  const std::filesystem::path& Scratch() const { return scratch_; }

 private:
  std::filesystem::path scratch_;
};

// Image files through the PNG or the BMP decoder, each as the texture loader would
// use it: bytes the decoder does not recognise are refused as not of its format, and
// a decoded image of at most kPreparedPixels is prepared as a texture of at most
// kTextureSide pixels a side. The area filter's time grows with the source's pixels,
// and a run-length BMP of 1 KiB can decode to 1 GiB: larger images would only make
// the fuzzer's runs slow without reaching other code.
inline constexpr std::uint32_t kTextureSide = 256;
inline constexpr std::uint64_t kPreparedPixels = 1u << 24;
Outcome DecodePng(std::span<const std::uint8_t> bytes);
Outcome DecodeBmp(std::span<const std::uint8_t> bytes);

// Input scripts through platform::headless::InputScript::Parse, under the name
// kInputScriptName.
inline constexpr const char* kInputScriptName = "fuzzed.jsonl";
Outcome ReadInputScript(std::span<const std::uint8_t> bytes);

}  // namespace fuzz
