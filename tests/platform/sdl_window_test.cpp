// The real SDL window; needs an X display (make test runs the suite under Xvfb).
#include "platform/sdl/sdl_window.h"

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
  EXPECT_EQ(SDL_GetWindowFlags(sdlWindow) & SDL_WINDOW_RESIZABLE, 0u);
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
