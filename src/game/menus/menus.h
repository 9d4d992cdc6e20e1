// The overlays of a level: the pause menu and its pages (options, credits, how to
// play, exit question) and the window's exit question. Each is a space loaded once
// from its menu file and then only switched active and inactive; while one is open
// the level's space is paused and the music is turned down.
#pragma once

#include <string>
#include <vector>

namespace game {

// Makes `levelSpace` the level being played; the first call loads the six overlay
// spaces (inactive) and wires their buttons.
void InitMenus(const std::string& levelSpace);

// A button the menus find by name and give an action: its overlay file (relative
// to the data folder), the overlay's space and the button's object.
struct OverlayButton {
  const char* file;
  const char* space;
  const char* object;
};
// Every button of the wiring table, in its order.
std::vector<OverlayButton> OverlayButtons();

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

// The button actions (plain functions, stored in the buttons by InitMenus).
void OnResume();
void OnExitQuestion();
void OnOptions();
void OnHowToPlay();
void OnCredits();
void OnCreditsLeft();
void OnCreditsRight();
void OnBack();
void OnScreenToggle();  // the full-screen switch: ToggleFullScreen, kept in the settings
void OnMusicToggle();
void OnSfxToggle();
void OnQuit();

// The credits page showing, 0..7.
int CreditsPage();

// Forgets the overlay spaces and buttons kept by InitMenus (tests, after the spaces
// were reset).
void ResetMenus();

}  // namespace game
