#include "platform/sdl/sdl_window.h"

#include <algorithm>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include <SDL.h>

#include "base/log.h"

namespace platform::sdl {

int TranslateKey(int sdlKeycode) {
  if (sdlKeycode >= SDLK_a && sdlKeycode <= SDLK_z) return 0x41 + (sdlKeycode - SDLK_a);
  if (sdlKeycode >= SDLK_0 && sdlKeycode <= SDLK_9) return 0x30 + (sdlKeycode - SDLK_0);
  if (sdlKeycode >= SDLK_F1 && sdlKeycode <= SDLK_F12) return kVkF1 + (sdlKeycode - SDLK_F1);
  switch (sdlKeycode) {
    case SDLK_RETURN:
    case SDLK_KP_ENTER:
      return kVkReturn;
    case SDLK_ESCAPE:
      return kVkEscape;
    case SDLK_SPACE:
      return kVkSpace;
    case SDLK_TAB:
      return kVkTab;
    case SDLK_BACKSPACE:
      return kVkBackspace;
    case SDLK_LEFT:
      return kVkLeft;
    case SDLK_UP:
      return kVkUp;
    case SDLK_RIGHT:
      return kVkRight;
    case SDLK_DOWN:
      return kVkDown;
    case SDLK_LSHIFT:
    case SDLK_RSHIFT:
      return kVkShift;
    case SDLK_LCTRL:
    case SDLK_RCTRL:
      return kVkControl;
    case SDLK_LALT:
    case SDLK_RALT:
      return kVkAlt;
    default:
      return 0;
  }
}

Rect Letterbox(int drawableWidth, int drawableHeight) {
  if (drawableWidth <= 0 || drawableHeight <= 0) return Rect{0, 0, 0, 0};
  // The largest picture of the client's aspect ratio that fits, centred.
  const long long wide = static_cast<long long>(drawableWidth) * Window::kClientHeight;
  const long long tall = static_cast<long long>(drawableHeight) * Window::kClientWidth;
  int width = drawableWidth;
  int height = drawableHeight;
  if (wide > tall) {
    width = static_cast<int>(tall / Window::kClientHeight);
  } else {
    height = static_cast<int>(wide / Window::kClientWidth);
  }
  const int left = (drawableWidth - width) / 2;
  const int top = (drawableHeight - height) / 2;
  return Rect{left, top, left + width, top + height};
}

Rect WindowedRect(const Rect& usable) {
  if (usable.Width() >= Window::kClientWidth && usable.Height() >= Window::kClientHeight) {
    return Rect{usable.left, usable.top, usable.left + Window::kClientWidth,
                usable.top + Window::kClientHeight};
  }
  const Rect fit = Letterbox(usable.Width(), usable.Height());
  return Rect{usable.left + fit.left, usable.top + fit.top, usable.left + fit.right, usable.top + fit.bottom};
}

std::string WrapMessageText(std::string_view text, int columns, int lines) {
  columns = std::max(columns, 8);
  lines = std::max(lines, 2);
  std::vector<std::string> out;
  std::size_t start = 0;
  while (start <= text.size()) {
    const std::size_t end = std::min(text.find('\n', start), text.size());
    std::string_view paragraph = text.substr(start, end - start);
    std::string line;
    std::size_t at = 0;
    while (at < paragraph.size()) {
      const std::size_t space = std::min(paragraph.find(' ', at), paragraph.size());
      std::string_view word = paragraph.substr(at, space - at);
      at = space + 1;
      // A word too long for a line (a path, say) is broken where the line ends.
      while (word.size() > static_cast<std::size_t>(columns)) {
        if (!line.empty()) out.push_back(std::move(line));
        line.clear();
        out.emplace_back(word.substr(0, columns));
        word.remove_prefix(columns);
      }
      if (!line.empty() && line.size() + 1 + word.size() > static_cast<std::size_t>(columns)) {
        out.push_back(std::move(line));
        line.clear();
      }
      if (!line.empty()) line += ' ';
      line += word;
    }
    out.push_back(std::move(line));
    start = end + 1;
  }
  if (static_cast<int>(out.size()) > lines) {
    out.resize(lines - 1);
    out.emplace_back("... (the whole message is on standard error)");
  }
  std::string wrapped;
  for (const std::string& line : out) wrapped += (wrapped.empty() ? "" : "\n") + line;
  return wrapped;
}

namespace {

// SDL answers one click on the close button of its last window with two events,
// SDL_WINDOWEVENT_CLOSE and then SDL_QUIT. Both would become a close command, so
// the game's close prompt would open and at once toggle again. Called on the
// window close, this takes the quit of the same click off the queue: SDL queues it
// in the same step, so it is the very next event. A quit with anything between,
// or on its own (the desktop session ending, say), is a request of its own and closes.
bool IsPadEvent(Uint32 type) {
  return type == SDL_CONTROLLERDEVICEADDED || type == SDL_CONTROLLERDEVICEREMOVED ||
         type == SDL_CONTROLLERBUTTONDOWN || type == SDL_CONTROLLERBUTTONUP ||
         type == SDL_CONTROLLERAXISMOTION;
}

// The virtual-key code of a controller button in SDL's own layout (south A, east B),
// 0 for buttons the game does not use.
int PadKey(Uint8 button) {
  switch (button) {
    case SDL_CONTROLLER_BUTTON_A:
      return kVkPadA;
    case SDL_CONTROLLER_BUTTON_B:
      return kVkPadB;
    case SDL_CONTROLLER_BUTTON_X:
      return kVkPadX;
    case SDL_CONTROLLER_BUTTON_Y:
      return kVkPadY;
    case SDL_CONTROLLER_BUTTON_BACK:
      return kVkPadBack;
    case SDL_CONTROLLER_BUTTON_START:
      return kVkPadStart;
    case SDL_CONTROLLER_BUTTON_LEFTSTICK:
      return kVkPadLeftStickButton;
    case SDL_CONTROLLER_BUTTON_RIGHTSTICK:
      return kVkPadRightStickButton;
    case SDL_CONTROLLER_BUTTON_LEFTSHOULDER:
      return kVkPadLeftShoulder;
    case SDL_CONTROLLER_BUTTON_RIGHTSHOULDER:
      return kVkPadRightShoulder;
    case SDL_CONTROLLER_BUTTON_DPAD_UP:
      return kVkPadUp;
    case SDL_CONTROLLER_BUTTON_DPAD_DOWN:
      return kVkPadDown;
    case SDL_CONTROLLER_BUTTON_DPAD_LEFT:
      return kVkPadLeft;
    case SDL_CONTROLLER_BUTTON_DPAD_RIGHT:
      return kVkPadRight;
    default:
      return 0;
  }
}

// SDL falls back to its offscreen driver when no display answers, and a window there
// is never seen: the game would run on with nobody able to play it. A driver
// without a screen counts only when asked for by name (SDL_VIDEODRIVER).
void RequireDisplay() {
  const char* driver = SDL_GetCurrentVideoDriver();
  const char* asked = SDL_getenv("SDL_VIDEODRIVER");
  const bool screenless =
      driver == nullptr || SDL_strcmp(driver, "offscreen") == 0 || SDL_strcmp(driver, "dummy") == 0;
  if (!screenless || (asked != nullptr && asked[0] != '\0')) return;
  SDL_QuitSubSystem(SDL_INIT_VIDEO);
  throw WindowError(
      "no display to show the game on (neither DISPLAY nor WAYLAND_DISPLAY names one): start it from a "
      "desktop session, or under a virtual X server (xvfb-run)");
}

void DropQuitOfTheSameClose() {
  SDL_Event next;
  if (SDL_PeepEvents(&next, 1, SDL_PEEKEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) == 1 && next.type == SDL_QUIT) {
    SDL_PeepEvents(&next, 1, SDL_GETEVENT, SDL_QUIT, SDL_QUIT);
  }
}

}  // namespace

SdlWindow::SdlWindow(bool fullScreen, Dialogs dialogs) : dialogs_(dialogs) {
  // Ctrl+C in a terminal should end the process, not reach the game as a close.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
    throw WindowError(std::string("cannot start the video system: ") + SDL_GetError());
  }
  RequireDisplay();
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
  SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 0);

  window_ = SDL_CreateWindow("Velmaris", 0, 0, kClientWidth, kClientHeight,
                             SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN | SDL_WINDOW_RESIZABLE);
  if (window_ == nullptr) {
    const std::string error = SDL_GetError();
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    throw WindowError("cannot create the window: " + error);
  }
  glContext_ = SDL_GL_CreateContext(window_);
  if (glContext_ == nullptr) {
    const std::string error = SDL_GetError();
    SDL_DestroyWindow(window_);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    throw WindowError("cannot create an OpenGL 3.3 context: " + error);
  }
  SDL_GL_MakeCurrent(window_, glContext_);
  // Game controllers are optional: without them the game plays by mouse and keys.
  // SDL reports the controllers already plugged in as added, so they open in the
  // first messages.
  if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) == 0) {
    controllersStarted_ = true;
  } else {
    base::LogError("window", std::string("no game controllers: ") + SDL_GetError());
  }
  SDL_GL_SetSwapInterval(0);  // frames are paced by the frame rate controller
  SetFullScreen(fullScreen);
  SDL_ShowWindow(window_);
}

SdlWindow::~SdlWindow() {
  if (pad_ != nullptr) SDL_GameControllerClose(pad_);
  if (controllersStarted_) SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
  if (glContext_ != nullptr) SDL_GL_DeleteContext(glContext_);
  if (window_ != nullptr) SDL_DestroyWindow(window_);
  SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

bool SdlWindow::PeekMessage(Message& message) {
  if (destroyMessagePending_) {
    destroyMessagePending_ = false;
    message = Message{};
    message.type = MessageType::kDestroy;
    return true;
  }
  if (TakePending(message)) return true;
  SDL_Event event;
  while (SDL_PollEvent(&event) != 0) {
    if (event.type == SDL_WINDOWEVENT && event.window.event == SDL_WINDOWEVENT_CLOSE) {
      DropQuitOfTheSameClose();
    }
    const bool translated = IsPadEvent(event.type) ? TranslatePad(event, message) : Translate(event, message);
    if (translated && message.type == MessageType::kSystemCommand &&
        message.command == SystemCommand::kFocusLost) {
      // The keys and buttons held come up first: their releases go to the window
      // that has the focus now, and would never reach the game.
      Message release;
      while (keys_.TakeRelease(release)) pending_.push_back(release);
      pending_.push_back(message);
    } else if (translated) {
      keys_.Apply(message);
      return true;
    }
    if (TakePending(message)) return true;
  }
  return false;
}

bool SdlWindow::TakePending(Message& message) {
  if (pending_.empty()) return false;
  message = pending_.front();
  pending_.pop_front();
  return true;
}

void SdlWindow::OpenFirstPad() {
  for (int device = 0; device < SDL_NumJoysticks() && pad_ == nullptr; ++device) {
    if (SDL_IsGameController(device) != SDL_TRUE) continue;
    pad_ = SDL_GameControllerOpen(device);
    if (pad_ == nullptr) {
      base::LogError("window", std::string("cannot open a game controller: ") + SDL_GetError());
      continue;
    }
    padId_ = SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(pad_));
    const char* name = SDL_GameControllerName(pad_);
    std::cout << "game controller: " << (name != nullptr ? name : "unnamed") << std::endl;
  }
}

void SdlWindow::ClosePad() {
  SDL_GameControllerClose(pad_);
  pad_ = nullptr;
  padId_ = -1;
  // Its buttons and stick let go, whatever it last reported.
  Message release;
  while (keys_.TakeRelease(release, true)) pending_.push_back(release);
  if (stickX_ != 0 || stickY_ != 0) {
    stickX_ = 0;
    stickY_ = 0;
    Message rest;
    rest.type = MessageType::kPadStick;
    pending_.push_back(rest);
  }
}

bool SdlWindow::TranslatePad(const SDL_Event& event, Message& message) {
  message = Message{};
  switch (event.type) {
    case SDL_CONTROLLERDEVICEADDED:
      if (pad_ == nullptr) OpenFirstPad();
      return false;
    case SDL_CONTROLLERDEVICEREMOVED:
      if (pad_ == nullptr || event.cdevice.which != padId_) return false;
      ClosePad();
      OpenFirstPad();  // the next controller plugged in carries on
      return false;
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP:
      if (pad_ == nullptr || event.cbutton.which != padId_) return false;
      message.virtualKey = PadKey(event.cbutton.button);
      message.type = event.type == SDL_CONTROLLERBUTTONDOWN ? MessageType::kKeyDown : MessageType::kKeyUp;
      return message.virtualKey != 0;
    case SDL_CONTROLLERAXISMOTION:
      if (pad_ == nullptr || event.caxis.which != padId_) return false;
      if (event.caxis.axis == SDL_CONTROLLER_AXIS_LEFTX) {
        stickX_ = event.caxis.value;
      } else if (event.caxis.axis == SDL_CONTROLLER_AXIS_LEFTY) {
        stickY_ = event.caxis.value;
      } else {
        return false;
      }
      message.type = MessageType::kPadStick;
      message.x = stickX_;
      message.y = stickY_;
      return true;
    default:
      return false;
  }
}

bool SdlWindow::Translate(const SDL_Event& event, Message& message) const {
  message = Message{};
  switch (event.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP:
      message.virtualKey = TranslateKey(event.key.keysym.sym);
      if (message.virtualKey == 0) return false;
      message.type = event.type == SDL_KEYDOWN ? MessageType::kKeyDown : MessageType::kKeyUp;
      return true;
    case SDL_MOUSEMOTION:
      message.type = MessageType::kMouseMove;
      ToClient(event.motion.x, event.motion.y, message.x, message.y);
      return true;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
      switch (event.button.button) {
        case SDL_BUTTON_LEFT:
          message.virtualKey = kVkLeftButton;
          break;
        case SDL_BUTTON_RIGHT:
          message.virtualKey = kVkRightButton;
          break;
        case SDL_BUTTON_MIDDLE:
          message.virtualKey = kVkMiddleButton;
          break;
        default:
          return false;
      }
      message.type =
          event.type == SDL_MOUSEBUTTONDOWN ? MessageType::kMouseButtonDown : MessageType::kMouseButtonUp;
      ToClient(event.button.x, event.button.y, message.x, message.y);
      return true;
    case SDL_QUIT:
      message.type = MessageType::kSystemCommand;
      message.command = SystemCommand::kClose;
      return true;
    case SDL_WINDOWEVENT:
      message.type = MessageType::kSystemCommand;
      if (event.window.event == SDL_WINDOWEVENT_CLOSE) {
        message.command = SystemCommand::kClose;
        return true;
      }
      if (event.window.event == SDL_WINDOWEVENT_MINIMIZED) {
        message.command = SystemCommand::kMinimize;
        return true;
      }
      if (event.window.event == SDL_WINDOWEVENT_FOCUS_LOST) {
        message.command = SystemCommand::kFocusLost;
        return true;
      }
      return false;
    default:
      return false;
  }
}

void SdlWindow::ToClient(int windowX, int windowY, int& x, int& y) const {
  // Window coordinates are in window units; the picture rectangle is in drawable
  // pixels, which differ on high-density displays.
  int windowWidth = 0, windowHeight = 0, drawableWidth = 0, drawableHeight = 0;
  SDL_GetWindowSize(window_, &windowWidth, &windowHeight);
  SDL_GL_GetDrawableSize(window_, &drawableWidth, &drawableHeight);
  if (windowWidth <= 0 || windowHeight <= 0) {
    x = windowX;
    y = windowY;
    return;
  }
  const double px = static_cast<double>(windowX) * drawableWidth / windowWidth;
  const double py = static_cast<double>(windowY) * drawableHeight / windowHeight;
  const Rect picture = Letterbox(drawableWidth, drawableHeight);
  if (picture.Width() <= 0 || picture.Height() <= 0) {
    x = windowX;
    y = windowY;
    return;
  }
  // Positions on the letterbox bars are pinned to the picture's edge: the game
  // only ever sees client coordinates.
  x = std::clamp(static_cast<int>((px - picture.left) * kClientWidth / picture.Width()), 0, kClientWidth - 1);
  y = std::clamp(static_cast<int>((py - picture.top) * kClientHeight / picture.Height()), 0,
                 kClientHeight - 1);
}

Rect SdlWindow::GetClientRect() const { return Rect{0, 0, kClientWidth, kClientHeight}; }

bool SdlWindow::IsKeyHeld(int virtualKey) const { return keys_.IsHeld(virtualKey); }

void SdlWindow::GetKeyboardState(KeyboardState& state) const { state = keys_.State(); }

void SdlWindow::SetFullScreen(bool fullScreen) {
  if (SDL_SetWindowFullscreen(window_, fullScreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) != 0) {
    base::LogError("window", std::string("cannot change full screen: ") + SDL_GetError());
    return;
  }
  fullScreen_ = fullScreen;
  if (!fullScreen) PlaceWindowed();
}

void SdlWindow::PlaceWindowed() {
  // On the display the window is on, so that leaving full screen on a second
  // display stays there.
  const int display = std::max(0, SDL_GetWindowDisplayIndex(window_));
  SDL_Rect bounds{0, 0, kClientWidth, kClientHeight};
  if (SDL_GetDisplayUsableBounds(display, &bounds) != 0) {
    base::LogError("window", std::string("cannot read the size of the desktop: ") + SDL_GetError());
  }
  const Rect placed = WindowedRect(Rect{bounds.x, bounds.y, bounds.x + bounds.w, bounds.y + bounds.h});
  SDL_SetWindowSize(window_, placed.Width(), placed.Height());
  SDL_SetWindowPosition(window_, placed.left, placed.top);
}

void SdlWindow::Minimize() { SDL_MinimizeWindow(window_); }

void SdlWindow::Destroy() {
  // The SDL window stays until this object goes, so the GL context outlives the
  // frame loop; the game sees the window as gone.
  if (destroyed_) return;
  destroyed_ = true;
  destroyMessagePending_ = true;
  SDL_HideWindow(window_);
}

void SdlWindow::ShowMessageBox(std::string_view caption, std::string_view text) {
  // A modal box would wait for a click nobody gives in automated runs.
  if (dialogs_ == Dialogs::kNever || std::getenv("VELMARIS_NO_DIALOGS") != nullptr) return;
  // SDL's box does not wrap: a long line would push it, and its button, off the
  // screen. About 8 by 18 pixels a character, with room for the frame and button.
  SDL_Rect bounds{0, 0, kClientWidth, kClientHeight};
  SDL_GetDisplayUsableBounds(std::max(0, SDL_GetWindowDisplayIndex(window_)), &bounds);
  const int columns = std::min(100, (bounds.w - 120) / 8);
  const int lines = (bounds.h - 160) / 18;
  const std::string captionText(caption);
  const std::string bodyText = WrapMessageText(text, columns, lines);
  SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, captionText.c_str(), bodyText.c_str(), window_);
}

void SdlWindow::GetDrawableSize(int& width, int& height) const {
  SDL_GL_GetDrawableSize(window_, &width, &height);
}

Rect SdlWindow::PictureViewport() const {
  int width = 0, height = 0;
  GetDrawableSize(width, height);
  const Rect topDown = Letterbox(width, height);
  // GL counts rows from the bottom.
  return Rect{topDown.left, height - topDown.bottom, topDown.right, height - topDown.top};
}

void SdlWindow::SwapBuffers() { SDL_GL_SwapWindow(window_); }

}  // namespace platform::sdl
