// The names the game code finds things by: level, menu and prefab files (relative
// to the data folder), their spaces and the objects inside them. Data files must
// use these exact names; a missing one is reported with the file it was expected in.
#pragma once

namespace game::names {

// --- Levels and transitions -------------------------------------------------------
inline constexpr const char* kLevel1 = "Level1";
inline constexpr const char* kLevel2 = "Level2";
inline constexpr const char* kLevel3 = "Level3";
inline constexpr const char* kLevelWin = "LevelWin";
inline constexpr const char* kLevel1Transition = "Level1Transition";
inline constexpr const char* kLevel2Transition = "Level2Transition";
inline constexpr const char* kLevel1File = "Levels/Level1.txt";
inline constexpr const char* kLevel2File = "Levels/Level2.txt";
inline constexpr const char* kLevel3File = "Levels/Level3.txt";
inline constexpr const char* kLevelWinFile = "Levels/LevelWin.txt";
inline constexpr const char* kLevel1TransitionFile = "Levels/Level1Transition.txt";
inline constexpr const char* kLevel2TransitionFile = "Levels/Level2Transition.txt";
inline constexpr const char* kPlayerTestFile = "Levels/PlayerTest.txt";

// Objects every level has.
inline constexpr const char* kPlayer = "Player";
inline constexpr const char* kUi = "c_UI";

// --- Level timer --------------------------------------------------------------------
inline constexpr const char* kTimerSpace = "U_LevelTimer";
inline constexpr const char* kTimerFile = "Prefabs/LevelTimer.txt";
// The five cells in screen order: minutes, colon, seconds.
inline constexpr const char* kTimerCells[5] = {"a_Digit0", "a_Digit1", "a_Colon", "a_Digit2", "a_Digit3"};
inline constexpr const char* kTimerMax = "b_Max";

// --- Victory screen -----------------------------------------------------------------
inline constexpr const char* kVictorySpace = "W_VictoryUI";
inline constexpr const char* kVictoryFile = "Menu/MenuVictory.txt";
inline constexpr const char* kVictoryBackground = "a_VictoryBG";
inline constexpr const char* kShrine = "b_Shrine";
inline constexpr const char* kMarkLevel = "c_Level";
inline constexpr const char* kMarkStars = "c_Stars";
inline constexpr const char* kMarkTime = "c_Time";
inline constexpr const char* kButtonNext = "c_ButtonNext";
inline constexpr const char* kButtonRestart = "c_ButtonRestart";

// --- End screen ---------------------------------------------------------------------
// Shown in the win level once Level3 is won: the run's ratings and times.
inline constexpr const char* kEndSpace = "W_EndScreen";
inline constexpr const char* kEndFile = "Menu/MenuEnd.txt";
inline constexpr const char* kEndBackground = "a_EndBG";
// The rating picture of each built-in level, in level order.
inline constexpr const char* kEndRatings[3] = {"b_Rating1", "b_Rating2", "b_Rating3"};
inline constexpr const char* kButtonPlayAgain = "c_ButtonPlayAgain";
inline constexpr const char* kButtonQuit = "c_ButtonQuit";

// --- Logos and the Level1 intro -----------------------------------------------------
inline constexpr const char* kLogosSpace = "V_GameLogos";
inline constexpr const char* kLogosFile = "Menu/GameLogos.txt";
inline constexpr const char* kWhiteScreen = "a_WhiteScreen";
inline constexpr const char* kLogoPellmar = "b_LogoPellmar";
inline constexpr const char* kLogoLibraries = "b_LogoFMOD";
inline constexpr const char* kLogoCorvaneT = "b_LogoCorvaneT";
inline constexpr const char* kBlackScreen = "d_BlackScreen";
inline constexpr const char* kWelcome0 = "e_Welcome0";
inline constexpr const char* kWelcome1 = "e_Welcome1";

// --- Overlays -------------------------------------------------------------------------
inline constexpr const char* kPauseMenu = "X_PauseMenu";
inline constexpr const char* kPauseOptions = "Y_PauseOptions";
inline constexpr const char* kPauseExit = "Z_PauseExit";
inline constexpr const char* kWindowExit = "Z_WindowExit";
inline constexpr const char* kPauseCredits = "Y_PauseCredits";
inline constexpr const char* kPauseHowToPlay = "Y_PauseHTP";
inline constexpr const char* kPauseCustomLevels = "Y_PauseCustomLevels";
// The options page's switches.
inline constexpr const char* kMusicSwitch = "c_ButtonMusicToggle";
inline constexpr const char* kSfxSwitch = "c_ButtonSFXToggle";
inline constexpr const char* kScreenSwitch = "c_ButtonScreenToggle";
inline constexpr const char* kPauseMenuFile = "Menu/MenuPause.txt";
inline constexpr const char* kPauseOptionsFile = "Menu/MenuPauseOptions.txt";
inline constexpr const char* kPauseExitFile = "Menu/MenuPauseExit.txt";
inline constexpr const char* kWindowExitFile = "Menu/MenuWindowExit.txt";
inline constexpr const char* kPauseCreditsFile = "Menu/MenuPauseCredits.txt";
inline constexpr const char* kPauseHowToPlayFile = "Menu/MenuPauseHTP.txt";
inline constexpr const char* kPauseCustomLevelsFile = "Menu/MenuPauseCustomLevels.txt";

// --- Sounds ---------------------------------------------------------------------------
inline constexpr const char* kMusic = "Audio/Rizoz ed Udavovi Vivid.ogg";

}  // namespace game::names
