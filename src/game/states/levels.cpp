#include "game/states/levels.h"

#include <memory>
#include <string>
#include <vector>

#include "audio/sound_system.h"
#include "base/game_states.h"
#include "base/log.h"
#include "components/collider.h"
#include "components/physics.h"
#include "components/player_ui.h"
#include "components/pool.h"
#include "components/timer.h"
#include "game/blocks.h"
#include "game/game_states.h"
#include "game/level_logic.h"
#include "game/menus/menus.h"
#include "game/names.h"
#include "game/session.h"
#include "game/space_lookup.h"
#include "game/states/custom_level.h"
#include "game/states/logos.h"
#include "game/states/sequence.h"
#include "graphics/sprite.h"
#include "objects/space_registry.h"
#include "objects/transform.h"

namespace game {
namespace {

// The level rules every level plays by.
constexpr int kStarGoal = 25;
constexpr float kTimeGoal = 120.0f;  // seconds
constexpr int kPlaying = 6;
// A transition screen lasts this many frames.
constexpr std::uint32_t kTransitionFrames = 240;

struct LevelFiles {
  const char* space;
  const char* file;
};
constexpr LevelFiles kLevel1Files{names::kLevel1, names::kLevel1File};
constexpr LevelFiles kLevel2Files{names::kLevel2, names::kLevel2File};
constexpr LevelFiles kLevel3Files{names::kLevel3, names::kLevel3File};

// What the level states keep between frames; the spaces own what is pointed at.
struct LevelReferences {
  objects::Transform* player = nullptr;  // of the level being played
  objects::Space* logos = nullptr;       // Level1's intro fades these two
  graphics::Sprite* blackScreen = nullptr;
  graphics::Sprite* welcome = nullptr;
  // The frame counter of the transition screen showing; null outside one.
  std::unique_ptr<components::Timer> transitionFrames;
};

LevelReferences& References() { return GameBlock<LevelReferences>(); }

LevelState& Level() { return Session().level; }

// How many objects of the space carry a collider that collects a star.
int CollectableStars(const objects::Space& space) {
  int stars = 0;
  for (const auto& [name, object] : space.GetObjects()) {
    for (const char* type : {"CircleCollider", "BoxCollider"}) {
      const auto* collider = object->GetComponent<components::Collider>(type);
      if (collider != nullptr && collider->handler == "starCollect") {
        ++stars;
        break;
      }
    }
  }
  return stars;
}

// A level read with too few stars for the star goal says so once, naming the prefab
// files it could not read (a broken Star prefab leaves every star without its
// collider). The level is played all the same.
void ReportUnreachableStarGoal(const objects::Space& space, const char* file,
                               const std::vector<std::string>& skippedPrefabs) {
  const int stars = CollectableStars(space);
  if (stars >= kStarGoal) return;
  std::string message = std::string(file) + ": only " + std::to_string(stars) + " stars can be collected, " +
                        "fewer than the star goal of " + std::to_string(kStarGoal);
  for (std::size_t i = 0; i < skippedPrefabs.size(); ++i)
    message += (i == 0 ? "; prefab files that could not be read: " : ", ") + skippedPrefabs[i];
  base::LogError("level", message);
}

// Reads the level once, or makes it active again; holds on to the player and
// empties the star counter; the player starts at the origin.
void LoadLevel(const LevelFiles& level) {
  const bool loaded = objects::FindSpace(level.space) != nullptr;
  std::vector<std::string> skippedPrefabs;
  objects::Space& space = LoadSpaceOnce(level.space, level.file, &skippedPrefabs);
  if (loaded) space.SetActive(true);
  if (!loaded) ReportUnreachableStarGoal(space, level.file, skippedPrefabs);
  PrepareLevelSpace(space, level.file);
}

void InitLevel(const char* levelSpace) { InitPlayedLevel(levelSpace, kStarGoal, kTimeGoal); }

}  // namespace

void PrepareLevelSpace(objects::Space& space, const std::string& file) {
  objects::GameObject& player = RequireObject(space, names::kPlayer, file);
  objects::Transform& transform = RequireComponent<objects::Transform>(player, "Transform", file);
  auto& ui = RequireComponent<components::PlayerUI>(space, names::kUi, "PlayerUI", file);
  components::Pool& stars =
      ui.pool != nullptr ? *ui.pool : RequireComponent<components::Pool>(space, names::kUi, "Pool", file);
  stars.amount = 0;

  transform.translation = {0.0f, 0.0f, 0.0f, 0.0f};
  transform.SetDirty();
  // The next collision sweep starts where the player now is, not where the last
  // visit left it, and the player does not carry its old speed into the new visit.
  if (auto* physics = player.GetComponent<components::Physics>("Physics")) {
    physics->previousPosition = {0.0f, 0.0f};
    physics->SetVelocity({0.0f, 0.0f});
  }
  References().player = &transform;
}

void InitPlayedLevel(const std::string& levelSpace, int starGoal, float timeGoal) {
  SetUpLevelTimer(0.0f, 1.0f);
  SetUpVictory(starGoal, levelSpace, timeGoal);
  InitMenus(levelSpace);
}

void ActivateEveryObject(const std::string& levelSpace) {
  objects::Space* space = objects::FindSpace(levelSpace);
  if (space == nullptr) return;
  for (const auto& [name, object] : space->GetObjects()) object->SetActive(true);
}

namespace {

void Deactivate(const char* spaceName) {
  if (objects::Space* space = objects::FindSpace(spaceName)) space->SetActive(false);
}

void SetLevel1Paused(bool paused) {
  if (objects::Space* space = objects::FindSpace(names::kLevel1)) space->SetPaused(paused);
}

void ShowWelcome(float progress) {
  SetLevel1Paused(true);
  Level().introFade = progress;
  SetAlpha(References().welcome, progress);
}

void StartMusic() {
  const float origin[2] = {0.0f, 0.0f};
  audio::Audio().musicChannel = audio::PlaySound(names::kMusic, origin, 0.0f);
  // Music switched off in the options stays silent until it is switched on.
  if (!audio::Audio().musicOn) audio::SetMusicVolume(-96.0f);
}

void UnpauseLevel1() { SetLevel1Paused(false); }

void FadeOutWelcome(float progress) {
  LevelReferences& refs = References();
  Level().introFade = 1.0f - progress;
  SetAlpha(refs.welcome, Level().introFade);
  SetAlpha(refs.blackScreen, Level().introFade);
}

void HideLogos() {
  if (References().logos != nullptr) References().logos->SetActive(false);
}

// Level1's intro, by its stage: the welcome text fades in over the black screen,
// stays, the music starts, the level moves again, and text and black screen fade
// out: 1.6 s in all, in seconds of dt. Stage 6 is play.
constexpr TimedStep kIntroSteps[] = {
    {.seconds = 0.4f, .show = &ShowWelcome},                           // 0
    {.seconds = 0.4f},                                                 // 1
    {.seconds = 0.0f},                                                 // 2: no such stage
    {.seconds = 0.2f, .finish = &StartMusic},                          // 3
    {.seconds = 0.2f, .finish = &UnpauseLevel1},                       // 4
    {.seconds = 0.4f, .show = &FadeOutWelcome, .finish = &HideLogos},  // 5
};
static_assert(std::size(kIntroSteps) == kPlaying, "play follows the intro's last stage");

// One frame of Level1's intro; nothing moves while an overlay is open.
void RunIntroStep() {
  LevelState& level = Level();
  SequencePlace place{level.introStage, level.introClock};
  RunTimedSteps(kIntroSteps, place, WallSeconds());
  level.introStage = place.step;
  level.introClock = place.clock;
}

void LoadTransition(const char* space, const char* file) {
  LoadSpaceOnce(space, file).SetActive(true);
  References().transitionFrames = std::make_unique<components::Timer>(0);
}

void UpdateTransition(float dt, int nextState) {
  ClearToLevelColour();
  components::Timer* frames = References().transitionFrames.get();
  // One count per frame, whatever the frame's length.
  if (frames != nullptr) frames->Update(1.0f);
  RunSpaces(dt);
  if (frames != nullptr && frames->GetAmount() >= kTransitionFrames) base::States().next = nextState;
}

void PlayLevelFrame() {
  UpdateDebugKeys();
  UpdateLevelTimer();
  UpdateVictory();
}

}  // namespace

void RunSpaces(float dt) {
  objects::UpdateSpaces(dt);
  objects::LateUpdateSpaces(dt);
  objects::DrawSpaces();
}

void Level1Load() {
  // Entering Level1 a second time skips its intro.
  if (objects::FindSpace(names::kLevel1) != nullptr) Level().introStage = kPlaying;
  LoadLevel(kLevel1Files);
}

void Level1Init() {
  InitLevel(names::kLevel1);
  Session().closeWithoutPrompt = false;
  ActivateEveryObject(names::kLevel1);
  PrepareLogosForLevelIntro();
  LevelReferences& refs = References();
  refs.logos = &LoadSpaceOnce(names::kLogosSpace, names::kLogosFile);
  refs.blackScreen =
      &RequireComponent<graphics::Sprite>(*refs.logos, names::kBlackScreen, "Sprite", names::kLogosFile);
  refs.welcome =
      &RequireComponent<graphics::Sprite>(*refs.logos, names::kWelcome0, "Sprite", names::kLogosFile);
}

void Level1Update(float dt) {
  ClearToLevelColour();
  StartRequestedCustomLevel();
  TogglePauseMenu();
  if (!Session().menuOpen) RunIntroStep();
  if (Level().introStage == kPlaying) PlayLevelFrame();
  RunSpaces(dt);
}

void Level1Unload() { Deactivate(names::kLevel1); }

void Level2Load() { LoadLevel(kLevel2Files); }
void Level2Init() {
  InitLevel(names::kLevel2);
  ActivateEveryObject(names::kLevel2);
}
void Level2Unload() { Deactivate(names::kLevel2); }

void Level3Load() { LoadLevel(kLevel3Files); }
void Level3Init() {
  InitLevel(names::kLevel3);
  ActivateEveryObject(names::kLevel3);
}
void Level3Unload() { Deactivate(names::kLevel3); }

void LevelUpdate(float dt) {
  ClearToLevelColour();
  StartRequestedCustomLevel();
  UpdateDebugKeys();
  TogglePauseMenu();
  UpdateLevelTimer();
  UpdateVictory();
  RunSpaces(dt);
}

void Level1TransitionLoad() { LoadTransition(names::kLevel1Transition, names::kLevel1TransitionFile); }
void Level1TransitionUpdate(float dt) { UpdateTransition(dt, game::kLevel2); }
void Level1TransitionUnload() { Deactivate(names::kLevel1Transition); }
void Level2TransitionLoad() { LoadTransition(names::kLevel2Transition, names::kLevel2TransitionFile); }
void Level2TransitionUpdate(float dt) { UpdateTransition(dt, game::kLevel3); }
void Level2TransitionUnload() { Deactivate(names::kLevel2Transition); }
void TransitionShutdown() { References().transitionFrames.reset(); }

}  // namespace game
