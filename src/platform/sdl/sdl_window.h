// The real window: SDL2 with an OpenGL 3.3 core context. The game's 1280 x 720
// picture is letterboxed into the drawable; mouse positions come back in client
// pixels. The first game controller (SDL's game-controller mappings) comes as messages too.
#pragma once

#include <deque>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

#include "platform/key_state_tracker.h"
#include "platform/window.h"

struct SDL_Window;
union SDL_Event;
struct _SDL_GameController;  // SDL's own name for SDL_GameController

namespace platform::sdl {

// Thrown when SDL cannot give us a window or a GL context.
class WindowError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Win32 virtual-key code of an SDL key code, 0 for keys the game does not know.
int TranslateKey(int sdlKeycode);

// Where a picture of the client size sits, centred and scaled, inside a drawable
// of the given size (top-down coordinates).
Rect Letterbox(int drawableWidth, int drawableHeight);

// Where the window opens inside a desktop's usable area: 1280 x 720 at its top left
// when that fits, otherwise the largest picture of that shape that fits, centred.
// The window can be resized afterwards; the picture stays letterboxed in it.
Rect WindowedRect(const Rect& usable);

// A message box's text broken into lines of at most `columns` characters (at
// spaces, or inside a word longer than a line), at most `lines` of them; a longer
// text ends with a line saying the rest is on standard error.
std::string WrapMessageText(std::string_view text, int columns, int lines);

// Whether the window's message boxes are shown. A modal box waits for a click, so
// only a window a person plays in shows them; the runner's never does, and its
// callers' lines on standard error are all there is.
enum class Dialogs { kShown, kNever };

class SdlWindow final : public Window, public GlSurface {
 public:
  // Opens the window titled "Velmaris", in desktop full screen when asked to.
  explicit SdlWindow(bool fullScreen, Dialogs dialogs = Dialogs::kShown);
  ~SdlWindow() override;
  SdlWindow(const SdlWindow&) = delete;
  SdlWindow& operator=(const SdlWindow&) = delete;

  bool PeekMessage(Message& message) override;
  Rect GetClientRect() const override;
  bool IsKeyHeld(int virtualKey) const override;
  void GetKeyboardState(KeyboardState& state) const override;
  void SetFullScreen(bool fullScreen) override;
  bool IsFullScreen() const override { return fullScreen_; }
  void Minimize() override;
  void Destroy() override;
  void ShowMessageBox(std::string_view caption, std::string_view text) override;
  GlSurface* GetGlSurface() override { return this; }

  void GetDrawableSize(int& width, int& height) const override;
  Rect PictureViewport() const override;
  void SwapBuffers() override;

 private:
  // Hands out the oldest message the window made up itself (releases on a focus
  // loss); false when there is none.
  bool TakePending(Message& message);
  // Sizes and places the window for leaving full screen (WindowedRect).
  void PlaceWindowed();
  // Game controllers: the first one plugged in is the one the game reads; when it
  // goes, its buttons and stick are released and the next one takes over.
  void OpenFirstPad();
  void ClosePad();
  // A controller event into a message; false for the events of other controllers
  // and for plugging in and out (whose releases wait in pending_).
  bool TranslatePad(const SDL_Event& event, Message& message);
  // Turns one SDL event into a message; false for events the game ignores.
  bool Translate(const SDL_Event& event, Message& message) const;
  // Maps a window position (window pixels) into client pixels.
  void ToClient(int windowX, int windowY, int& x, int& y) const;

  Dialogs dialogs_;
  SDL_Window* window_ = nullptr;
  void* glContext_ = nullptr;
  bool fullScreen_ = false;
  bool destroyed_ = false;
  bool destroyMessagePending_ = false;
  KeyStateTracker keys_;
  std::deque<Message> pending_;  // already applied to keys_
  bool controllersStarted_ = false;
  _SDL_GameController* pad_ = nullptr;  // the controller the game reads, or null
  int padId_ = -1;                      // its joystick instance id
  int stickX_ = 0;                      // its left stick, as last reported
  int stickY_ = 0;
};

}  // namespace platform::sdl
