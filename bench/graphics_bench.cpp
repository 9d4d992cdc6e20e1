// Sprites: loading a level of 1,000 sprites that share one picture through the level
// loader (target <= 20 ms), the CPU cost of a sprite draw on the recording device, and
// whole unpaced frames of 1,000 and 10,000 sprites on real OpenGL (Mesa's llvmpipe
// under Xvfb in automated runs; targets >= 120 and >= 30 frames a second) beside a
// frame with nothing drawn, the floor that clearing and presenting alone set, and
// frames of as many 2-pixel sprites, which cost the rasteriser next to nothing: what
// they take is the per-sprite work; what 24-pixel sprites take beyond it is fill.
// Frames per second = items per second of the frame benchmarks.
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>
#include <unistd.h>

#include "core/component_registration.h"
#include "graphics/graphics.h"
#include "graphics/recording/recording_render_device.h"
#include "graphics/sprite.h"
#include "graphics/sprite_source.h"
#include "objects/game_object.h"
#include "objects/space_registry.h"
#include "objects/transform.h"
#include "platform/sdl/sdl_window.h"
#include "serialization/serializer.h"

namespace {

namespace fs = std::filesystem;

// 9 KB, 128 x 128 RGBA; relative to the data folder.
constexpr const char* kSharedPicture = "images/Play/block.png";
constexpr float kCornflower[4] = {0.392157f, 0.584314f, 0.929412f, 1.0f};

// A level file in a scratch folder of its own: `count` objects, each a sprite of
// kSharedPicture `pixels` wide and high (a sprite of scale s is 48 s pixels wide),
// laid out in a grid that stays inside the 1280 x 720 picture (+-26.7 by +-15 world
// units around the origin).
class ScratchLevel {
 public:
  explicit ScratchLevel(int count, int pixels = 24)
      : folder_(fs::temp_directory_path() / ("velmaris_graphics_bench_" + std::to_string(::getpid()))) {
    fs::create_directories(folder_);
    path_ = (folder_ / ("Sprites" + std::to_string(count) + ".txt")).string();
    std::ofstream file(path_);
    const int columns = count <= 1000 ? 50 : 125;
    const int rows = (count + columns - 1) / columns;
    const float scale = static_cast<float>(pixels) / 48.0f;
    file << "{ \"Level1\": {\n";
    for (int i = 0; i < count; ++i) {
      const float x = -25.0f + 50.0f * static_cast<float>(i % columns) / static_cast<float>(columns);
      const float y = -14.0f + 28.0f * static_cast<float>(i / columns) / static_cast<float>(rows);
      file << (i == 0 ? "" : ",\n") << "\"Sprite" << i << "\": {"
           << "\"Transform\": {\"x_position\": " << x << ", \"y_position\": " << y
           << ", \"x_scale\": " << scale << ", \"y_scale\": " << scale << ", \"z_scale\": 1.0},"
           << "\"SpriteSource\": {\"numrows\": 1, \"numcols\": 1, \"image\": \"" << kSharedPicture << "\"},"
           << "\"Sprite\": {\"name\": \"block\"}}";
    }
    file << "\n} }\n";
  }
  ~ScratchLevel() {
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
  }
  ScratchLevel(const ScratchLevel&) = delete;
  ScratchLevel& operator=(const ScratchLevel&) = delete;

  const std::string& Path() const { return path_; }

 private:
  fs::path folder_;
  std::string path_;
};

// The data folder as working directory (the shader file and the picture) and the
// graphics on a real window for the life of one benchmark.
class RealWindowGraphics {
 public:
  explicit RealWindowGraphics(benchmark::State& state) : previous_(fs::current_path()) {
    fs::current_path(VELMARIS_SOURCE_DIR "/data");
    window_ = std::make_unique<platform::sdl::SdlWindow>(/*fullScreen=*/false);
    graphics::Block().windowHandle = window_.get();
    ready_ = graphics::InitializeGraphics() == 0;
    if (!ready_) state.SkipWithError("OpenGL set-up failed");
    graphics::SetCameraView({0, 0, -15, 1}, {0, 0, 15, 0}, {0, 1, 0, 0});
    core::RegisterComponents();
  }
  ~RealWindowGraphics() {
    graphics::ShutdownGraphics();
    graphics::Block().windowHandle = nullptr;
    window_.reset();
    fs::current_path(previous_);
  }
  RealWindowGraphics(const RealWindowGraphics&) = delete;
  RealWindowGraphics& operator=(const RealWindowGraphics&) = delete;

  bool Ready() const { return ready_; }

 private:
  fs::path previous_;
  std::unique_ptr<platform::sdl::SdlWindow> window_;
  bool ready_ = false;
};

bool Load(objects::SpaceRegistry& spaces, const std::string& path, benchmark::State& state) {
  serialization::Serializer serializer(&spaces);
  if (serializer.LoadLevel(path)) return true;
  state.SkipWithError("the generated level does not load");
  return false;
}

// Loading includes decoding and uploading the picture: the previous load's sprites
// are gone (untimed) before the next one starts.
void BM_LoadLevelOfSharedSprites(benchmark::State& state) {
  RealWindowGraphics graphics(state);
  const ScratchLevel level(1000);
  objects::SpaceRegistry spaces;  // declared after the graphics: its textures go first
  for (auto _ : state) {
    if (!graphics.Ready() || !Load(spaces, level.Path(), state)) break;
    state.PauseTiming();
    spaces.Clear();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_LoadLevelOfSharedSprites)->Unit(benchmark::kMillisecond)->UseRealTime();

// Game objects each with a transform, a 4 x 4 sheet and a sprite on a distinct frame.
std::vector<std::unique_ptr<objects::GameObject>> MakeSprites(int count) {
  std::vector<std::unique_ptr<objects::GameObject>> objects;
  for (int i = 0; i < count; ++i) {
    auto object = std::make_unique<objects::GameObject>("Sprite" + std::to_string(i));
    auto* transform = new objects::Transform(static_cast<float>(i % 50) - 25.0f,
                                             static_cast<float>(i / 50 % 30) - 15.0f, 0.0f);
    transform->SetScale(0.5f, 0.5f);
    object->AddComponent(transform);
    auto* source = new graphics::SpriteSource(VELMARIS_TESTDATA_DIR "/pngsuite/basn6a08.png");
    source->rows = source->columns = 4;
    object->AddComponent(source);
    auto* sprite = new graphics::Sprite();
    sprite->frameIndex = i % 16;
    object->AddComponent(sprite);
    object->Initialize();
    objects.push_back(std::move(object));
  }
  return objects;
}

void BM_SpriteDrawRecording(benchmark::State& state) {
  auto device = std::make_unique<graphics::recording::RecordingRenderDevice>();
  auto* recording = device.get();
  graphics::Block().device = std::move(device);
  {
    const auto objects = MakeSprites(100);
    for (auto _ : state) {
      for (const auto& object : objects) object->GetComponent("Sprite")->Draw();
      graphics::PresentFrame();
      recording->ForgetRecords();
    }
    state.SetItemsProcessed(state.iterations() * 100);
  }
  graphics::ShutdownGraphics();
}
BENCHMARK(BM_SpriteDrawRecording);

// One frame as a level draws it: clear, every sprite of the level in draw order,
// present. Arguments: the number of sprites (0: the frame with nothing drawn) and
// their size in pixels.
void BM_OpenGlFrame(benchmark::State& state) {
  RealWindowGraphics graphics(state);
  const int count = static_cast<int>(state.range(0));
  objects::SpaceRegistry spaces;  // declared after the graphics: its textures go first
  if (count > 0) {
    const ScratchLevel level(count, static_cast<int>(state.range(1)));
    if (!graphics.Ready() || !Load(spaces, level.Path(), state)) return;
  }
  for (auto _ : state) {
    graphics::ClearScreen(kCornflower);
    spaces.DrawSpaces();
    graphics::PresentFrame();
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_OpenGlFrame)
    ->ArgNames({"sprites", "pixels"})
    ->Args({0, 0})
    ->Args({1000, 24})
    ->Args({10000, 24})
    ->Args({1000, 2})
    ->Args({10000, 2})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace
