// Shared set-up for the gameplay component tests: objects built by hand in a space
// of their own, input driven through the raw tables with the game's projection,
// and sound effects recorded instead of played.
#pragma once

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <type_traits>
#include <vector>

#include <gtest/gtest.h>

#include "audio/recording/recording_backend.h"
#include "audio/sound_system.h"
#include "base/log.h"
#include "base/math.h"
#include "components/collider.h"
#include "components/collision_handlers.h"
#include "components/collision_pass.h"
#include "graphics/graphics.h"
#include "graphics/recording/recording_render_device.h"
#include "input/input.h"
#include "objects/game_object.h"
#include "objects/space.h"
#include "objects/transform.h"
#include "working_directory.h"

namespace component_testing {

constexpr int kLeftButton = 0x01;

class ComponentTest : public testing::Test {
 protected:
  void SetUp() override {
    input::ResetInput();
    savedProjection_ = graphics::Block().projection;
    input::AttachProjection(&graphics::Block().projection);
    graphics::Block().projection = base::MatrixTranspose(graphics::BuildProjection(1280.0f, 720.0f, 48.0f));
    audio::Audio().sfxOn = true;
    auto backend = std::make_unique<audio::RecordingBackend>();
    recorder_ = backend.get();
    testing::internal::CaptureStdout();  // the sound system's status lines
    audio::InitSoundSystem(std::move(backend));
    testing::internal::GetCapturedStdout();
    recorder_->ClearCalls();
    base::ResetLogOnce();
    // The engine's start-up installs these; the components are tested as it leaves them.
    components::RegisterCollisionHandlers();
    objects::Hooks().collisionPass = &components::CheckCollisions;
  }

  void TearDown() override {
    objects::Hooks().Reset();
    testing::internal::CaptureStdout();
    audio::ShutdownSoundSystem();
    testing::internal::GetCapturedStdout();
    audio::Audio().sfxOn = true;
    graphics::Block().projection = savedProjection_;
    input::ResetInput();
    if (dataFolder_) {
      graphics::Block().device.reset();
      dataFolder_.reset();
    }
  }

  // For tests that load sprite sources: the data folder as working directory and a
  // recording render device (owned by graphics::Block().device), both undone in TearDown.
  graphics::recording::RecordingRenderDevice* UseDataFolder() {
    dataFolder_.emplace(VELMARIS_DATA_DIR);
    auto device = std::make_unique<graphics::recording::RecordingRenderDevice>();
    auto* recording = device.get();
    graphics::Block().device = std::move(device);
    return recording;
  }

  // A new object in the test space with a Transform at (x, y).
  objects::GameObject& MakeObject(const std::string& name, float x = 0.0f, float y = 0.0f) {
    std::shared_ptr<objects::GameObject> object = space_.CreateObject(name);
    EXPECT_NE(object, nullptr) << name;
    object->AddComponent(new objects::Transform(x, y, 0.0f));
    return *object;
  }

  template <typename T>
  static T* Add(objects::GameObject& object, T* component) {
    return static_cast<T*>(object.AddComponent(component));
  }

  template <typename T>
  static T* Get(const objects::GameObject& object, const char* typeName) {
    return dynamic_cast<T*>(object.GetComponent(typeName));
  }

  // A new object at (x, y) with an initialised box of sizes (a, b) or circle of
  // radius a, whose contacts run the handler of that name.
  template <typename T>
  T* MakeShape(const std::string& name, float x, float y, float a, float b = 0.0f,
               const std::string& handler = "") {
    auto* shape = Add(MakeObject(name, x, y), new T());
    if constexpr (std::is_same_v<T, components::BoxCollider>) {
      shape->xSize = a;
      shape->ySize = b;
    } else {
      shape->radius = a;
    }
    shape->handler = handler;
    EXPECT_TRUE(shape->Initialize());
    return shape;
  }

  // The paths of the sounds started since the set-up, in order.
  std::vector<std::string> PlayedSounds() const {
    std::vector<std::string> paths;
    for (const auto& call : recorder_->CallsOf(audio::RecordingBackend::Op::kPlaySound)) {
      paths.push_back(recorder_->PathOf(call.sound));
    }
    return paths;
  }

  // Places the pointer at a view position in world units (24 pixels to the unit,
  // origin at the centre of the 1280 x 720 client area, y up).
  static void PointAt(float x, float y) {
    input::SetMousePosition(static_cast<int>(640.0f + 24.0f * x), static_cast<int>(360.0f - 24.0f * y));
  }

  // One frame of input: the raw key state becomes the snapshot. A key held in two
  // frames running is held throughout, never released in between.
  static void Frame(const std::vector<int>& keysDown = {}) {
    for (int key : {0x01, 0x0D, 0x20, 0x41, 0x44, 0x50, 0x53, 0x57}) {
      input::SetRawKey(key, std::find(keysDown.begin(), keysDown.end(), key) != keysDown.end());
    }
    for (int key : keysDown) input::SetRawKey(key, true);
    input::TakeSnapshot();
  }
  // One frame with the pointer at (x, y) and the left button held or not.
  static void Frame(float x, float y, bool held) {
    PointAt(x, y);
    Frame(held ? std::vector<int>{kLeftButton} : std::vector<int>{});
  }

  objects::Space space_{"TestLevel"};
  audio::RecordingBackend* recorder_ = nullptr;

 private:
  base::Matrix4 savedProjection_;
  std::optional<testing_support::ScopedWorkingDirectory> dataFolder_;
};

}  // namespace component_testing
