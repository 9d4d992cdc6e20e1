// The whole game in-process on the headless window: the real state table, data
// files and hooks, the recording render device and the recording audio backend,
// one frame per call at 60 frames per second.
#pragma once

#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "audio/recording/recording_backend.h"
#include "audio/sound_system.h"
#include "base/game_states.h"
#include "base/log.h"
#include "base/player_notice.h"
#include "components/button.h"
#include "components/collision_handlers.h"
#include "components/hooks.h"
#include "components/player_ui.h"
#include "core/engine.h"
#include "core/frame_loop.h"
#include "core/window_procedure.h"
#include "game/game.h"
#include "game/game_states.h"
#include "game/session.h"
#include "graphics/sprite.h"
#include "graphics/sprite_source.h"
#include "input/input.h"
#include "objects/space.h"
#include "objects/space_registry.h"
#include "objects/transform.h"
#include "objects/type_registry.h"
#include "platform/headless/headless_window.h"

namespace game_testing {

class GameTest : public testing::Test {
 protected:
  void SetUp() override {
    savedDirectory_ = std::filesystem::current_path();
    std::filesystem::current_path(VELMARIS_DATA_DIR);
    base::States().Reset();
    base::States().next = game::kFirstState;
    input::ResetInput();
    base::ResetLogOnce();
    objects::ResetSpaces();
    objects::ResetTypeRegistry();
    game::ResetGame();
    audio::Audio().musicOn = true;
    audio::Audio().sfxOn = true;
    auto backend = std::make_unique<audio::RecordingBackend>();
    recorder_ = backend.get();
    testing::internal::CaptureStdout();  // the sound system's status lines
    engine_ = std::make_unique<core::Engine>(window_, std::move(backend));
    testing::internal::GetCapturedStdout();
    game::InstallGameHooks();
  }

  void TearDown() override {
    testing::internal::CaptureStdout();
    engine_.reset();
    testing::internal::GetCapturedStdout();
    game::ResetGame();
    components::Hooks().Reset();
    core::SetWindowEventHooks({});
    core::SetFrameOverlay(nullptr);
    base::SetPlayerNoticeHook(nullptr);
    objects::Hooks().Reset();
    objects::ResetTypeRegistry();
    audio::Audio().musicOn = true;
    audio::Audio().sfxOn = true;
    input::ResetInput();
    std::filesystem::current_path(savedDirectory_);
  }

  void RunFrames(int count) {
    for (int i = 0; i < count; ++i) ASSERT_TRUE(loop_.RunOneFrame());
  }

  core::FrameLoop& Loop() { return loop_; }

  // One frame; false when the loop has ended instead (the program would quit).
  bool RunOneFrame() { return loop_.RunOneFrame(); }

  // Leaves the current state as a request made during its update would (shutdown,
  // unload), then runs the frame that enters `state`.
  void Enter(int state) {
    const int current = base::States().current;
    if (base::IsTableState(current)) {
      game::GameStateTable()[current].shutdown();
      game::GameStateTable()[current].unload();
    }
    base::States().next = state;
    RunFrames(1);
    ASSERT_EQ(base::States().current, state);
  }

  // A key pressed for one frame, then released for one, so that the next press is
  // a new one.
  void Tap(int key) {
    window_.PostKey(key, true);
    RunFrames(1);
    window_.PostKey(key, false);
    RunOneFrame();  // may be the end of the run, after a quit
  }

  // Several keys held down together for one frame.
  void Chord(std::initializer_list<int> keys) {
    for (int key : keys) window_.PostKey(key, true);
    RunFrames(1);
    for (int key : keys) window_.PostKey(key, false);
    RunOneFrame();
  }

  // A left click at a point of the view in world units (origin at the centre, y up).
  void ClickAt(float x, float y) {
    const int px = static_cast<int>(640.0f + x * 24.0f);
    const int py = static_cast<int>(360.0f - y * 24.0f);
    window_.PostMouseMove(px, py);
    window_.PostMouseButton(platform::kVkLeftButton, true, px, py);
    RunFrames(1);
    window_.PostMouseButton(platform::kVkLeftButton, false, px, py);
    RunOneFrame();
  }

  // Clicks the centre of the button object `object` of space `space`.
  void Click(const char* space, const char* object) {
    objects::Space* found = objects::FindSpace(space);
    ASSERT_NE(found, nullptr) << space;
    std::shared_ptr<objects::GameObject> button = found->FindObject(object).lock();
    ASSERT_NE(button, nullptr) << object;
    auto* transform = button->GetComponent<objects::Transform>("Transform");
    ASSERT_NE(transform, nullptr);
    ClickAt(transform->translation.x, transform->translation.y);
  }

  static objects::Space& SpaceNamed(const char* name) {
    objects::Space* space = objects::FindSpace(name);
    if (space == nullptr) throw std::runtime_error(std::string("no space ") + name);
    return *space;
  }

  template <typename T>
  static T& ComponentOf(const char* space, const char* object, const char* type) {
    std::shared_ptr<objects::GameObject> found = SpaceNamed(space).FindObject(object).lock();
    if (found == nullptr) throw std::runtime_error(std::string("no object ") + object);
    T* component = found->GetComponent<T>(type);
    if (component == nullptr) throw std::runtime_error(std::string("no ") + type + " on " + object);
    return *component;
  }

  static graphics::Sprite& SpriteOf(const char* space, const char* object) {
    return ComponentOf<graphics::Sprite>(space, object, "Sprite");
  }

  static components::Button& ButtonOf(const char* space, const char* object) {
    return ComponentOf<components::Button>(space, object, "Button");
  }

  static game::LevelState& Level() { return game::Session().level; }

  // The text label `id` of `space` shows, read from its glyphs' frames as drawn
  // (a hidden glyph reads as a space), without the spaces at its ends.
  static std::string LabelShown(const char* space, const std::string& id) {
    std::string text;
    for (int i = 0;; ++i) {
      char number[12];
      std::snprintf(number, sizeof number, "%03d", i);
      std::shared_ptr<objects::GameObject> glyph =
          SpaceNamed(space).FindObject("z_" + id + "_" + number).lock();
      if (glyph == nullptr) break;
      const auto* sprite = glyph->GetComponent<graphics::Sprite>("Sprite");
      text +=
          sprite != nullptr && sprite->colour.w > 0.0f ? static_cast<char>(' ' + sprite->frameIndex) : ' ';
    }
    const std::size_t first = text.find_first_not_of(' ');
    return first == std::string::npos ? "" : text.substr(first, text.find_last_not_of(' ') - first + 1);
  }

  // The music's linear gain as the mixer would have it now; -1 before it started.
  float MusicGain() const {
    const auto& channels = audio::Audio().system->channels;
    const auto found = channels.find(audio::Audio().musicChannel);
    return found == channels.end() ? -1.0f : recorder_->GainOf(found->second);
  }

  // Runs Level1 from its start through its intro until play begins.
  void PlayLevel1PastItsIntro() {
    Enter(game::kLevel1);
    for (int frame = 0; frame < 600 && Level().introStage != 6; ++frame) RunFrames(1);
    ASSERT_EQ(Level().introStage, 6);
  }

  platform::headless::HeadlessWindow window_;
  audio::RecordingBackend* recorder_ = nullptr;  // owned by the sound system

 private:
  std::filesystem::path savedDirectory_;
  std::unique_ptr<core::Engine> engine_;
  // Frame times the test may change between frames; the real time is the frame
  // time unless set.
  struct SettableTimer final : core::FrameTimer {
    float dt = 1.0f / 60.0f;
    std::optional<float> real;
    core::FrameTimes WaitForFrame() override { return {dt, real.value_or(dt)}; }
  };

 protected:
  SettableTimer timer_;

 private:
  core::GameStateManager states_{game::GameStateTable()};
  core::FrameLoop loop_{window_, states_, timer_};
};

}  // namespace game_testing
