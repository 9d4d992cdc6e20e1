// The fuzz targets' entry functions.
#include "fuzz/entries.h"

#include <fstream>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string_view>
#include <system_error>
#include <vector>

#include <rapidjson/document.h>

#include "base/game_states.h"
#include "base/log.h"
#include "core/component_registration.h"
#include "graphics/image_decoder.h"
#include "input/input.h"
#include "objects/space_registry.h"
#include "objects/transform.h"
#include "objects/type_registry.h"
#include "platform/headless/input_script.h"
#include "scripting/script_file.h"
#include "serialization/json_file.h"
#include "serialization/serializer.h"

namespace fuzz {
namespace {

constexpr float kFrameSeconds = 1.0f / 60.0f;

// The working directory for the length of a scope. A failure to move back is not
// thrown from the destructor: the next change of directory names the problem.
class ScopedWorkingDirectory {
 public:
  explicit ScopedWorkingDirectory(const std::filesystem::path& directory)
      : previous_(std::filesystem::current_path()) {
    std::filesystem::current_path(directory);
  }
  ~ScopedWorkingDirectory() {
    std::error_code ignored;
    std::filesystem::current_path(previous_, ignored);
  }
  ScopedWorkingDirectory(const ScopedWorkingDirectory&) = delete;
  ScopedWorkingDirectory& operator=(const ScopedWorkingDirectory&) = delete;

 private:
  std::filesystem::path previous_;
};

// True when the text could name a file outside the working directory: an absolute
// path, or one that climbs with "..". Paths are used up to their first NUL, which
// only shortens them.
bool CouldLeave(std::string_view text) { return text.starts_with('/') || text.find("..") != text.npos; }

// The first string value of the document that could name a file outside the working
// directory; empty when none does. Walks without recursion: nesting can be deep.
std::string StringLeaving(const rapidjson::Value& root) {
  std::vector<const rapidjson::Value*> pending{&root};
  while (!pending.empty()) {
    const rapidjson::Value& value = *pending.back();
    pending.pop_back();
    if (value.IsString()) {
      const std::string_view text(value.GetString(), value.GetStringLength());
      if (CouldLeave(text)) return std::string(text);
    } else if (value.IsObject()) {
      for (const auto& member : value.GetObject()) pending.push_back(&member.value);
    } else if (value.IsArray()) {
      for (const rapidjson::Value& element : value.GetArray()) pending.push_back(&element);
    }
  }
  return {};
}

void CopyFiles(const std::filesystem::path& from, const std::filesystem::path& to,
               std::string_view extension) {
  std::filesystem::create_directories(to);
  for (const auto& entry : std::filesystem::directory_iterator(from)) {
    if (entry.is_regular_file() && entry.path().extension() == extension) {
      std::filesystem::copy_file(entry.path(), to / entry.path().filename());
    }
  }
}

// Builds the world matrix of every object that has a Transform: what the loaded
// numbers feed first.
void BuildMatrices(const objects::SpaceRegistry& spaces) {
  for (const auto& [spaceName, space] : spaces.GetSpaces()) {
    for (const auto& [objectName, object] : space->GetObjects()) {
      if (auto* transform = object->GetComponent<objects::Transform>("Transform")) transform->GetMatrix();
    }
  }
}

Outcome Refused(std::string message) { return {Verdict::kRefused, std::move(message), {}}; }

Outcome Decode(const graphics::ImageDecoder& decoder, std::span<const std::uint8_t> bytes) {
  if (!decoder.Recognises(bytes)) return Refused("not a file of this format");
  graphics::DecodedImage image;
  std::string reason;
  graphics::ImageResult result = decoder.Decode(bytes, image, reason);
  if (result != graphics::ImageResult::kOk) {
    return Refused(reason.empty() ? std::string(graphics::ImageResultText(result)) : reason);
  }
  if (std::uint64_t{image.width} * image.height > kPreparedPixels) return {Verdict::kAccepted, {}, {}};
  graphics::TextureLoadOptions options;
  options.maxSize = kTextureSide;
  graphics::TextureImage texture;
  result = graphics::PrepareTexture(image, options, texture);
  if (result != graphics::ImageResult::kOk) return Refused(std::string(graphics::ImageResultText(result)));
  return {Verdict::kAccepted, {}, {}};
}

}  // namespace

LevelTarget::LevelTarget(std::filesystem::path scratch, const std::filesystem::path& dataDir)
    : scratch_(std::move(scratch)) {
  objects::ResetTypeRegistry();
  core::RegisterComponents();
  std::filesystem::remove_all(scratch_);
  std::filesystem::create_directories(scratch_ / std::filesystem::path(kLevelFile).parent_path());
  CopyFiles(dataDir / "Prefabs", scratch_ / "Prefabs", ".txt");
  CopyFiles(dataDir / "LuaScripts", scratch_ / "LuaScripts", ".lua");
}

LevelTarget::~LevelTarget() {
  std::error_code ignored;
  std::filesystem::remove_all(scratch_, ignored);
}

Outcome LevelTarget::Load(std::span<const std::uint8_t> bytes) {
  const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  // Parsed as the loader parses: what it refuses names no file at all.
  rapidjson::Document document;
  std::string parseError;
  if (serialization::ParseJsonText(text, document, parseError)) {
    const std::string leaving = StringLeaving(document);
    if (!leaving.empty())
      return {Verdict::kSkipped, "names a path outside the scratch folder: " + leaving, {}};
  }
  std::ofstream(scratch_ / kLevelFile, std::ios::binary | std::ios::trunc) << text;

  // Each run on its own: no script look, once-only log line, key or state change
  // carries over.
  scripting::ResetFileChecks();
  base::ResetLogOnce();
  base::States().Reset();
  input::ResetInput();
  ScopedWorkingDirectory inScratch(scratch_);
  objects::SpaceRegistry spaces;
  try {
    if (!serialization::Serializer(&spaces).LoadLevel(kLevelFile)) {
      return Refused(std::string("cannot open ") + kLevelFile);
    }
  } catch (const std::runtime_error& refusal) {
    return Refused(refusal.what());
  }
  // One frame: scripts start and the components take the loaded values in.
  spaces.UpdateSpaces(kFrameSeconds);
  spaces.LateUpdateSpaces(kFrameSeconds);
  BuildMatrices(spaces);
  std::ostringstream written;
  serialization::WriteSpacesJson(written, spaces);
  return {Verdict::kAccepted, {}, written.str()};
}

Outcome DecodePng(std::span<const std::uint8_t> bytes) {
  return Decode(*graphics::CreatePngDecoder(), bytes);
}

Outcome DecodeBmp(std::span<const std::uint8_t> bytes) {
  return Decode(*graphics::CreateBmpDecoder(), bytes);
}

Outcome ReadInputScript(std::span<const std::uint8_t> bytes) {
  std::istringstream in(std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
  try {
    platform::headless::InputScript::Parse(in, kInputScriptName);
  } catch (const platform::headless::InputScriptError& refusal) {
    return Refused(refusal.what());
  }
  return {Verdict::kAccepted, {}, {}};
}

}  // namespace fuzz
