// The real SDL window; needs an X display (make test runs the suite under Xvfb).
#include "platform/sdl/sdl_window.h"

#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

#include <SDL.h>
#include <gtest/gtest.h>

#include "core/frame_loop.h"
#include "input/input.h"

namespace {

using platform::Message;
using platform::MessageType;
using platform::sdl::SdlWindow;

// Takes messages until one of the given type arrives (SDL may queue window events first).
bool TakeMessage(SdlWindow& window, MessageType type, Message& message) {
  for (int i = 0; i < 100; ++i) {
    if (!window.PeekMessage(message)) continue;
    if (message.type == type) return true;
  }
  return false;
}

TEST(SdlWindowTest, OpensTheVelmarisWindowWithTheClientSize) {
  SdlWindow window(/*fullScreen=*/false);
  SDL_Window* sdlWindow = SDL_GL_GetCurrentWindow();
  ASSERT_NE(sdlWindow, nullptr);
  EXPECT_STREQ(SDL_GetWindowTitle(sdlWindow), "Velmaris");
  int width = 0, height = 0;
  SDL_GetWindowSize(sdlWindow, &width, &height);
  EXPECT_EQ(width, 1280);
  EXPECT_EQ(height, 720);
  EXPECT_NE(SDL_GetWindowFlags(sdlWindow) & SDL_WINDOW_RESIZABLE, 0u)
      << "the picture letterboxes into any size";
  const platform::Rect client = window.GetClientRect();
  EXPECT_EQ(client.Width(), 1280);
  EXPECT_EQ(client.Height(), 720);
  const platform::Rect viewport = window.PictureViewport();
  EXPECT_EQ(viewport.Width(), 1280);
  EXPECT_EQ(viewport.Height(), 720);
}

TEST(SdlWindowTest, KeyEventsArriveAsVirtualKeyCodes) {
  SdlWindow window(/*fullScreen=*/false);
  SDL_Event event{};
  event.type = SDL_KEYDOWN;
  event.key.keysym.sym = SDLK_p;
  SDL_PushEvent(&event);
  Message message;
  ASSERT_TRUE(TakeMessage(window, MessageType::kKeyDown, message));
  EXPECT_EQ(message.virtualKey, 0x50);
  EXPECT_TRUE(window.IsKeyHeld(0x50));

  event.type = SDL_KEYUP;
  SDL_PushEvent(&event);
  ASSERT_TRUE(TakeMessage(window, MessageType::kKeyUp, message));
  EXPECT_FALSE(window.IsKeyHeld(0x50));
}

TEST(SdlWindowTest, MouseButtonsCarryButtonCodesAndClientCoordinates) {
  SdlWindow window(/*fullScreen=*/false);
  SDL_Event event{};
  event.type = SDL_MOUSEBUTTONDOWN;
  event.button.button = SDL_BUTTON_RIGHT;
  event.button.x = 100;
  event.button.y = 200;
  SDL_PushEvent(&event);
  Message message;
  ASSERT_TRUE(TakeMessage(window, MessageType::kMouseButtonDown, message));
  EXPECT_EQ(message.virtualKey, 0x02);
  EXPECT_EQ(message.x, 100);
  EXPECT_EQ(message.y, 200);
}

// One click on the close button of the last window: SDL queues these two events.
SDL_Event WindowClose() {
  SDL_Event event{};
  event.type = SDL_WINDOWEVENT;
  event.window.event = SDL_WINDOWEVENT_CLOSE;
  return event;
}

SDL_Event Quit() {
  SDL_Event event{};
  event.type = SDL_QUIT;
  return event;
}

SDL_Event KeyDown() {
  SDL_Event event{};
  event.type = SDL_KEYDOWN;
  event.key.keysym.sym = SDLK_p;
  return event;
}

TEST(SdlWindowTest, OneCloseRequestIsOneCloseMessage) {
  struct Case {
    const char* what;
    std::vector<SDL_Event> events;
    int closes;
  };
  const Case cases[] = {
      {"a click on the close button", {WindowClose(), Quit()}, 1},
      {"a quit on its own", {Quit()}, 1},
      {"a window close on its own", {WindowClose()}, 1},
      {"two clicks", {WindowClose(), Quit(), WindowClose(), Quit()}, 2},
      {"a quit after other input is a request of its own", {WindowClose(), KeyDown(), Quit()}, 2},
  };
  SdlWindow window(/*fullScreen=*/false);
  for (const Case& c : cases) {
    SDL_PumpEvents();
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    for (SDL_Event event : c.events) ASSERT_EQ(SDL_PushEvent(&event), 1) << c.what;
    int closes = 0;
    Message message;
    while (window.PeekMessage(message)) {
      if (message.type == MessageType::kSystemCommand && message.command == platform::SystemCommand::kClose) {
        ++closes;
      }
    }
    EXPECT_EQ(closes, c.closes) << c.what;
  }
}

TEST(SdlWindowTest, CloseBeforeTheFirstLevelQuitsWithCodeZero) {
  core::SetWindowEventHooks({});
  base::States().Reset();
  input::ResetInput();
  SdlWindow window(/*fullScreen=*/false);
  const core::StateTable table{core::kEmptyState};
  base::States().next = 0;
  core::GameStateManager states(table);
  core::FixedFrameTimer timer(0.0f);
  core::FrameLoop loop(window, states, timer);
  ASSERT_TRUE(loop.RunOneFrame());
  SDL_Event event{};
  event.type = SDL_WINDOWEVENT;
  event.window.event = SDL_WINDOWEVENT_CLOSE;
  SDL_PushEvent(&event);
  EXPECT_EQ(loop.Run(), 0);
}

TEST(SdlTranslationTest, KeyTableCoversTheGamesKeys) {
  using platform::sdl::TranslateKey;
  EXPECT_EQ(TranslateKey(SDLK_a), 0x41);
  EXPECT_EQ(TranslateKey(SDLK_z), 0x5A);
  EXPECT_EQ(TranslateKey(SDLK_0), 0x30);
  EXPECT_EQ(TranslateKey(SDLK_9), 0x39);
  EXPECT_EQ(TranslateKey(SDLK_RETURN), 0x0D);
  EXPECT_EQ(TranslateKey(SDLK_ESCAPE), 0x1B);
  EXPECT_EQ(TranslateKey(SDLK_SPACE), 0x20);
  EXPECT_EQ(TranslateKey(SDLK_F12), 0x7B);
  EXPECT_EQ(TranslateKey(SDLK_RSHIFT), 0x10);
  EXPECT_EQ(TranslateKey(SDLK_LEFT), 0x25);
  EXPECT_EQ(TranslateKey(SDLK_CAPSLOCK), 0);
}

TEST(SdlTranslationTest, LetterboxCentresTheScaledPicture) {
  using platform::sdl::Letterbox;
  const platform::Rect wide = Letterbox(1920, 1200);  // 16:10: bars above and below
  EXPECT_EQ(wide.Width(), 1920);
  EXPECT_EQ(wide.Height(), 1080);
  EXPECT_EQ(wide.top, 60);
  const platform::Rect narrow = Letterbox(1000, 1000);
  EXPECT_EQ(narrow.Width(), 1000);
  EXPECT_EQ(narrow.Height(), 562);
  const platform::Rect tall = Letterbox(2560, 1080);  // 21:9: bars left and right
  EXPECT_EQ(tall.Width(), 1920);
  EXPECT_EQ(tall.left, 320);
  EXPECT_EQ(Letterbox(0, 0).Width(), 0);
}

}  // namespace

// A game controller without hardware: SDL's virtual joystick, mapped as a
// controller in SDL's own button and axis order.
class SdlGamepadTest : public testing::Test {
 protected:
  void SetUp() override {
    // The test window may not have the focus under a bare X server.
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    window_ = std::make_unique<SdlWindow>(/*fullScreen=*/false);
    device_ = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, SDL_CONTROLLER_AXIS_MAX,
                                        SDL_CONTROLLER_BUTTON_MAX, 0);
    ASSERT_GE(device_, 0) << SDL_GetError();
    joystick_ = SDL_JoystickOpen(device_);
    ASSERT_NE(joystick_, nullptr) << SDL_GetError();
    // The window opens the controller on its "added" event.
    const SDL_JoystickID id = SDL_JoystickInstanceID(joystick_);
    DrainUntil([id](const std::vector<Message>&) { return SDL_GameControllerFromInstanceID(id) != nullptr; });
    ASSERT_NE(SDL_GameControllerFromInstanceID(id), nullptr) << "the window did not open the controller";
  }
  void TearDown() override {
    if (joystick_ != nullptr) SDL_JoystickClose(joystick_);
    if (device_ >= 0) SDL_JoystickDetachVirtual(device_);
    window_.reset();
  }

  // Takes the window's messages until `done` says they are all there, or for at most
  // two seconds: a loaded machine may deliver the device's events late.
  std::vector<Message> DrainUntil(const std::function<bool(const std::vector<Message>&)>& done) {
    std::vector<Message> messages;
    Message message;
    for (int i = 0; i < 400 && !done(messages); ++i) {
      while (window_->PeekMessage(message)) messages.push_back(message);
      if (!done(messages)) SDL_Delay(5);
    }
    return messages;
  }

  static bool Has(const std::vector<Message>& messages, MessageType type, int virtualKey) {
    return std::any_of(messages.begin(), messages.end(), [&](const Message& m) {
      return m.type == type && (type == MessageType::kPadStick || m.virtualKey == virtualKey);
    });
  }

  std::unique_ptr<SdlWindow> window_;
  int device_ = -1;
  SDL_Joystick* joystick_ = nullptr;
};

TEST_F(SdlGamepadTest, ButtonsAndTheLeftStickArriveAsMessages) {
  SDL_JoystickSetVirtualButton(joystick_, SDL_CONTROLLER_BUTTON_A, 1);
  SDL_JoystickSetVirtualAxis(joystick_, SDL_CONTROLLER_AXIS_LEFTX, -32768);
  std::vector<Message> got = DrainUntil([](const std::vector<Message>& m) {
    return Has(m, MessageType::kKeyDown, platform::kVkPadA) && Has(m, MessageType::kPadStick, 0);
  });
  bool pressedA = false, stickLeft = false;
  for (const Message& m : got) {
    pressedA |= m.type == MessageType::kKeyDown && m.virtualKey == platform::kVkPadA;
    stickLeft |= m.type == MessageType::kPadStick && m.x == -32768 && m.y == 0;
  }
  EXPECT_TRUE(pressedA);
  EXPECT_TRUE(stickLeft);
  EXPECT_TRUE(window_->IsKeyHeld(platform::kVkPadA));

  SDL_JoystickSetVirtualButton(joystick_, SDL_CONTROLLER_BUTTON_A, 0);
  SDL_JoystickSetVirtualButton(joystick_, SDL_CONTROLLER_BUTTON_START, 1);
  DrainUntil([](const std::vector<Message>& m) {
    return Has(m, MessageType::kKeyUp, platform::kVkPadA) &&
           Has(m, MessageType::kKeyDown, platform::kVkPadStart);
  });
  EXPECT_FALSE(window_->IsKeyHeld(platform::kVkPadA));
  EXPECT_TRUE(window_->IsKeyHeld(platform::kVkPadStart));
}

TEST_F(SdlGamepadTest, AControllerUnpluggedLetsGoOfItsButtonsAndStick) {
  SDL_JoystickSetVirtualButton(joystick_, SDL_CONTROLLER_BUTTON_B, 1);
  SDL_JoystickSetVirtualAxis(joystick_, SDL_CONTROLLER_AXIS_LEFTY, 30000);
  DrainUntil([](const std::vector<Message>& m) { return Has(m, MessageType::kKeyDown, platform::kVkPadB); });
  ASSERT_TRUE(window_->IsKeyHeld(platform::kVkPadB));
  SDL_JoystickClose(joystick_);
  joystick_ = nullptr;
  SDL_JoystickDetachVirtual(device_);
  device_ = -1;
  bool released = false, stickAtRest = false;
  for (const Message& m : DrainUntil(
           [](const std::vector<Message>& m) { return Has(m, MessageType::kKeyUp, platform::kVkPadB); })) {
    released |= m.type == MessageType::kKeyUp && m.virtualKey == platform::kVkPadB;
    stickAtRest |= m.type == MessageType::kPadStick && m.x == 0 && m.y == 0;
  }
  EXPECT_TRUE(released);
  EXPECT_TRUE(stickAtRest);
  EXPECT_FALSE(window_->IsKeyHeld(platform::kVkPadB));
}

TEST(SdlTranslationTest, WindowOpensAtTheLargestSizeThatFitsTheDesktop) {
  struct Case {
    platform::Rect usable;
    platform::Rect expected;
  };
  const Case cases[] = {
      {{0, 0, 1920, 1040}, {0, 0, 1280, 720}},        // fits: top left, full size
      {{1920, 0, 3840, 1080}, {1920, 0, 3200, 720}},  // a second display
      {{0, 0, 1024, 740}, {0, 82, 1024, 658}},        // too narrow: 1024 x 576, centred
      {{0, 30, 1366, 698}, {89, 30, 1276, 698}},      // too low: 1187 x 668, centred
  };
  for (const Case& c : cases) {
    const platform::Rect placed = platform::sdl::WindowedRect(c.usable);
    EXPECT_EQ(placed.left, c.expected.left) << c.usable.Width() << "x" << c.usable.Height();
    EXPECT_EQ(placed.top, c.expected.top);
    EXPECT_EQ(placed.right, c.expected.right);
    EXPECT_EQ(placed.bottom, c.expected.bottom);
  }
}

TEST(SdlTranslationTest, MessageBoxTextWrapsToFitTheScreen) {
  struct Case {
    const char* text;
    int columns;
    int lines;
    const char* expected;
  };
  const Case cases[] = {
      {"short", 20, 5, "short"},
      {"the level file is missing its player", 12, 5, "the level\nfile is\nmissing its\nplayer"},
      {"kept\nparagraphs", 20, 5, "kept\nparagraphs"},
      {"data/Levels/VeryLongName.txt: broken", 10, 9, "data/Level\ns/VeryLong\nName.txt:\nbroken"},
      {"a b c d e f", 8, 2, "a b c d\ne f"},
      {"one two three four five six", 8, 3, "one two\nthree\n... (the whole message is on standard error)"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(platform::sdl::WrapMessageText(c.text, c.columns, c.lines), c.expected) << c.text;
  }
}
