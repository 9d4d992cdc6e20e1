// The overlays of a level: the pause menu, its pages and questions, and the
// window's exit question, as the page table lists them. Each is a space loaded once
// from its menu file and then only switched active and inactive; while one is open
// the level's space is paused and the music is turned down.
#pragma once

#include <string>
#include <string_view>

namespace components {
class Button;
}
namespace objects {
class Space;
}

namespace game {

// Makes `levelSpace` the level being played; the first call loads the pages of the
// page table (inactive) and wires their buttons.
void InitMenus(const std::string& levelSpace);

// Opens (the pause menu alone) or closes every page, pausing or resuming the
// level; `fromMinimize` says a minimise asked for it.
void SetPauseMenuOpen(bool opening, bool fromMinimize);

// Once per level frame: Escape (or a pending pause request after a minimise) opens
// the pause menu during play and closes whatever overlay is open.
void TogglePauseMenu();

// The screen switch: windowed when full screen, full screen otherwise; the options
// page's switch shows which.
void ToggleFullScreen();

// What a close of the window does once the first level has started.
enum class CloseAnswer {
  kShowingQuestion,  // the exit question is showing over the paused level
  kIgnored,          // the pause menu's own exit question is showing: nothing happens
  kQuit,             // no exit question can be shown: the close quits
};
CloseAnswer ShowWindowExitPrompt();

// What the pages' actions do with pages, by their space names. A page that is
// not loaded is said once, and then nothing happens.
objects::Space* PageSpace(std::string_view space);  // null when not loaded
components::Button* PageButtonOf(std::string_view space, std::string_view object);
bool HavePage(std::string_view space);          // false, said once, when not loaded
void OpenPausePage(std::string_view space);     // shown in the pause menu's place
void AskOverPauseMenu(std::string_view space);  // shown over it, its buttons greyed
void BackToPauseMenu();                         // every page and question closed
void OpenPauseMenu();                           // as Escape during play opens it
void ResumePlay();                              // every page closed, the level plays

// A switch of the options page shows on (frame 0) or off (frame 1); the page shows
// the switches as the player left them (settings of an earlier run, a --windowed
// start), not as its file draws them.
void ShowSwitch(const char* object, bool on);
void ShowSwitchesAsSet();

}  // namespace game
