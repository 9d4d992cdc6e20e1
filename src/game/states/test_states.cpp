#include "game/states/test_states.h"

#include <iostream>
#include <memory>

#include "base/atomic_file.h"
#include "base/game_states.h"
#include "base/log.h"
#include "base/user_folders.h"
#include "components/button.h"
#include "components/cursor.h"
#include "game/blocks.h"
#include "game/game_states.h"
#include "game/level_logic.h"
#include "game/names.h"
#include "graphics/graphics.h"
#include "graphics/sprite.h"
#include "graphics/sprite_source.h"
#include "input/input.h"
#include "objects/space_registry.h"
#include "objects/transform.h"
#include "platform/window.h"
#include "serialization/serializer.h"
#include "serialization/serializer_tests.h"

namespace game {
namespace {

constexpr float kGreen[4] = {0.133333f, 0.545098f, 0.133333f, 1.0f};
constexpr float kDarkBlue[4] = {0.0f, 0.0f, 0.545098f, 1.0f};
// The menu test's fixed time step, seconds.
constexpr float kMenuTestStep = 0.016f;
constexpr const char* kMenuTestPicture = "Flex.png";

// What the developer states keep between frames.
struct TestStates {
  // The player test's own list of spaces, apart from the game's.
  std::unique_ptr<objects::SpaceRegistry> playerTestSpaces;
  // The lines the menu test's buttons wrote since its init; the file holds them all.
  std::string menuTestLines;
};

TestStates& Tests() { return GameBlock<TestStates>(); }

// The still view of the test states: the origin seen from z = -10.
void SetStillView() {
  graphics::SetCameraView({0.0f, 0.0f, -10.0f, 1.0f}, {0.0f, 0.0f, 10.0f, 0.0f}, {0.0f, 1.0f, 0.0f, 0.0f});
}

// The developer states write into the cache folder, never into the data folder.
std::filesystem::path OutputFolder() {
  const std::filesystem::path folder = base::UserFolderPath(base::UserFolder::kCache);
  std::string error;
  if (folder.empty()) {
    base::LogErrorOnce("test states",
                       "no cache folder (neither XDG_CACHE_HOME nor HOME is set); "
                       "the test outputs are not written");
  } else if (!base::MakeFolder(folder, error)) {
    base::LogErrorOnce("test states", error + "; the test outputs are not written");
    return {};
  }
  return folder;
}

// Each click rewrites the whole file, so it always holds every line so far.
void WriteMenuTestLine(const char* line) {
  std::string& lines = Tests().menuTestLines;
  lines += line;
  lines += '\n';
  const std::filesystem::path folder = OutputFolder();
  std::string error;
  if (!folder.empty() && !base::WriteFileAtomically(folder / "MenuTest.txt", lines, error)) {
    base::LogErrorOnce("menu test", error);
  }
}

// One object of the menu test: a Flex.png sprite labelled `spriteName`, at (x, y).
objects::GameObject& AddMenuTestObject(const char* name, const char* spriteName, float x, float y,
                                       float scale) {
  objects::GameObject* object = new objects::GameObject(name);
  objects::AddObject(object);  // the menu test space owns it from here
  auto* transform = new objects::Transform(x, y, 0.0f);
  transform->scale = {scale, scale, 1.0f, 1.0f};
  object->AddComponent(transform);
  object->AddComponent(new graphics::SpriteSource(kMenuTestPicture));
  object->AddComponent(new graphics::Sprite(spriteName));
  return *object;
}

void BuildMenuTestSpace() {
  struct TestButton {
    const char* object;
    const char* sprite;
    float y;
    void (*action)();
  };
  static constexpr TestButton kButtons[] = {
      {"TestButton", "ButtonText", 4.0f, [] { WriteMenuTestLine("BUTTON_1 CLICKED!"); }},
      {"TestButton2", "Button2Text", 0.0f, [] { WriteMenuTestLine("BUTTON_2 CLICKED!"); }},
      {"TestButton3", "Button3Text", -4.0f, [] { WriteMenuTestLine("BUTTON_3 CLICKED!"); }},
  };
  for (const TestButton& entry : kButtons) {
    objects::GameObject& object = AddMenuTestObject(entry.object, entry.sprite, 0.0f, entry.y, 1.0f);
    auto* button = new components::Button();
    button->action = entry.action;
    button->canClick = true;
    object.AddComponent(button);
    object.Initialize();
  }
  objects::GameObject& cursorObject = AddMenuTestObject("TestCursor", "CursorSprite", 0.0f, 0.0f, 0.5f);
  auto* cursor = new components::Cursor();
  cursor->offsetX = -1;
  cursorObject.AddComponent(cursor);
  cursorObject.Initialize();
}

}  // namespace

void PlayerTestInit() {
  if (const std::filesystem::path folder = OutputFolder(); !folder.empty()) {
    serialization::RunSizeTest(folder);
    serialization::RunReadTest(folder);
    serialization::RunWriteTest(folder);
  }
  TestStates& tests = Tests();
  tests.playerTestSpaces = std::make_unique<objects::SpaceRegistry>();
  serialization::Serializer serializer(tests.playerTestSpaces.get());
  if (!serializer.LoadLevel(names::kPlayerTestFile)) {
    base::LogError("player test", std::string(names::kPlayerTestFile) + ": cannot open the file");
  }
  SetStillView();
}

void PlayerTestUpdate(float) {
  graphics::ClearScreen(kGreen);
  ReturnToEmptyOnKeyZero();
}

void MenuTestInit() {
  objects::Space& space = objects::GetMenuTestSpace();
  if (space.GetObjects().empty()) BuildMenuTestSpace();
  Tests().menuTestLines.clear();
  SetStillView();
}

void MenuTestUpdate(float) {
  ClearToLevelColour();
  objects::Space& space = objects::GetMenuTestSpace();
  space.Update(kMenuTestStep);
  space.LateUpdate(kMenuTestStep);
  space.Draw();
}

void ReturnToEmptyOnKeyZero() {
  if (input::IsKeyHeldNow(platform::kVk0)) base::States().next = game::kEmpty;
}

void SBPimrowUpdate(float) {
  graphics::ClearScreen(kGreen);
  ReturnToEmptyOnKeyZero();
}
void SBPimrowShutdown() { std::cout << "SBPimrow: exit" << std::endl; }

void SBZorbelInit() { std::cout << "SBZorbel: init" << std::endl; }
void SBZorbelUpdate(float) { ReturnToEmptyOnKeyZero(); }
void SBZorbelShutdown() { std::cout << "SBZorbel: exit" << std::endl; }

void SBQuentaInit() { graphics::ClearScreen(kDarkBlue); }
void SBQuentaUpdate(float) {
  graphics::ClearScreen(kDarkBlue);
  ReturnToEmptyOnKeyZero();
}
void SBQuentaShutdown() { std::cout << "SBQuenta: Exit" << std::endl; }

}  // namespace game
