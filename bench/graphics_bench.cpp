// Sprite drawing: the CPU cost of one sprite draw on the recording device, and whole
// frames of many sprites on real OpenGL (Mesa's llvmpipe under Xvfb in automated runs).
#include <filesystem>
#include <memory>
#include <vector>

#include <benchmark/benchmark.h>

#include "graphics/graphics.h"
#include "graphics/recording/recording_render_device.h"
#include "graphics/sprite.h"
#include "graphics/sprite_source.h"
#include "objects/game_object.h"
#include "objects/transform.h"
#include "platform/sdl/sdl_window.h"

namespace {

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

void DrawAll(const std::vector<std::unique_ptr<objects::GameObject>>& objects) {
  for (const auto& object : objects) object->GetComponent("Sprite")->Draw();
}

void BM_SpriteDrawRecording(benchmark::State& state) {
  auto device = std::make_unique<graphics::recording::RecordingRenderDevice>();
  auto* recording = device.get();
  graphics::Block().device = std::move(device);
  const auto objects = MakeSprites(100);
  for (auto _ : state) {
    DrawAll(objects);
    recording->ForgetRecords();
  }
  state.SetItemsProcessed(state.iterations() * 100);
  graphics::Block().device.reset();
}
BENCHMARK(BM_SpriteDrawRecording);

// Frames per second = items per second of this benchmark.
void BM_OpenGlFrame(benchmark::State& state) {
  const auto previous = std::filesystem::current_path();
  std::filesystem::current_path(VELMARIS_SOURCE_DIR "/data");
  {
    platform::sdl::SdlWindow window(/*fullScreen=*/false);
    graphics::Block().windowHandle = &window;
    if (graphics::InitializeGraphics() != 0) state.SkipWithError("OpenGL set-up failed");
    graphics::SetCameraView({0, 0, -15, 1}, {0, 0, 15, 0}, {0, 1, 0, 0});
    const auto objects = MakeSprites(static_cast<int>(state.range(0)));
    const float clear[4] = {0.392157f, 0.584314f, 0.929412f, 1.0f};
    for (auto _ : state) {
      graphics::ClearScreen(clear);
      DrawAll(objects);
      graphics::PresentFrame();
    }
    state.SetItemsProcessed(state.iterations());
    graphics::ShutdownGraphics();
    graphics::Block().windowHandle = nullptr;
  }
  std::filesystem::current_path(previous);
}
BENCHMARK(BM_OpenGlFrame)->Arg(1000)->Arg(5000)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
