#include "game/states/logos.h"

#include "base/game_states.h"
#include "game/blocks.h"
#include "game/game_states.h"
#include "game/level_logic.h"
#include "game/names.h"
#include "game/space_lookup.h"
#include "game/states/sequence.h"
#include "graphics/sprite.h"
#include "input/input.h"
#include "objects/space_registry.h"
#include "objects/transform.h"

namespace game {
namespace {

// The third logo drops from this world y to its place at 0.
constexpr float kLogo3StartY = 50.0f;

// Where the sequence is; kept across entries of the state, so that entering it
// again continues the finished sequence and goes on to Level1 at once. Steps 0 to 9
// are the timed steps below, 10 asks for Level1, 11 is the end.
constexpr int kAskStep = 10;
constexpr int kLastStep = 11;
struct LogoSequence {
  SequencePlace place;
  int stateAfterLogos = game::kLevel1;
};

// The pictures the sequence fades; owned by the space "V_GameLogos".
struct LogoPictures {
  graphics::Sprite* white = nullptr;
  graphics::Sprite* black = nullptr;
  graphics::Sprite* logo1 = nullptr;
  graphics::Sprite* logo2 = nullptr;
  graphics::Sprite* logo3 = nullptr;
  graphics::Sprite* welcome0 = nullptr;
  graphics::Sprite* welcome1 = nullptr;
  objects::Transform* logo3Transform = nullptr;
};

LogoSequence& Sequence() { return GameBlock<LogoSequence>(); }
LogoPictures& Pictures() { return GameBlock<LogoPictures>(); }

void FadeOutLogo1(float progress) { SetAlpha(Pictures().logo1, 1.0f - progress); }
void FadeInLogo2(float progress) { SetAlpha(Pictures().logo2, progress); }
void FadeOutLogo2(float progress) { SetAlpha(Pictures().logo2, 1.0f - progress); }
void FadeOutLogo3(float progress) { SetAlpha(Pictures().logo3, 1.0f - progress); }
void FadeInBlack(float progress) { SetAlpha(Pictures().black, progress); }

// Eased out: fast from above the screen, slowing into place.
void DropLogo3(float progress) {
  objects::Transform* transform = Pictures().logo3Transform;
  if (transform == nullptr) return;
  const float left = 1.0f - progress;
  transform->translation = {0.0f, kLogo3StartY * left * left * left, 0.0f, 0.0f};
  transform->SetDirty();
}

// Each logo is on screen for 1.8 s in all; then a short black fade leads into
// Level1. Seconds of dt, so that a slow frame rate does not stretch them.
constexpr TimedStep kLogoSteps[] = {
    {.seconds = 1.2f},                         // 0: the first logo shows
    {.seconds = 0.6f, .show = &FadeOutLogo1},  // 1
    {.seconds = 0.5f, .show = &FadeInLogo2},   // 2: the second logo
    {.seconds = 0.8f},                         // 3
    {.seconds = 0.5f, .show = &FadeOutLogo2},  // 4
    {.seconds = 0.6f, .show = &DropLogo3},     // 5: the third logo
    {.seconds = 0.7f},                         // 6
    {.seconds = 0.5f, .show = &FadeOutLogo3},  // 7
    {.seconds = 0.3f},                         // 8: the white screen alone
    {.seconds = 0.5f, .show = &FadeInBlack},   // 9
};
static_assert(std::size(kLogoSteps) == kAskStep, "the timed steps come before the request for Level1");

LogoPictures FindPictures(const objects::Space& logos) {
  auto sprite = [&logos](const char* object) {
    return &RequireComponent<graphics::Sprite>(logos, object, "Sprite", names::kLogosFile);
  };
  LogoPictures found;
  found.white = sprite(names::kWhiteScreen);
  found.black = sprite(names::kBlackScreen);
  found.logo1 = sprite(names::kLogoPellmar);
  found.logo2 = sprite(names::kLogoLibraries);
  found.logo3 = sprite(names::kLogoCorvaneT);
  found.welcome0 = sprite(names::kWelcome0);
  found.welcome1 = sprite(names::kWelcome1);
  found.logo3Transform =
      &RequireComponent<objects::Transform>(logos, names::kLogoCorvaneT, "Transform", names::kLogosFile);
  return found;
}

// Once the timed steps are over, or at a skip: the black screen covers all, the
// logos are gone and Level1 is asked for.
void FinishLogos() {
  LogoPictures& pictures = Pictures();
  SetAlpha(pictures.black, 1.0f);
  const int next = Sequence().stateAfterLogos;
  if (next <= game::kMenuTestSpace) base::States().next = next;
  for (graphics::Sprite* sprite : {pictures.logo3, pictures.logo1, pictures.logo2, pictures.white}) {
    SetAlpha(sprite, 0.0f);
  }
}

void RunStep() {
  SequencePlace& place = Sequence().place;
  RunTimedSteps(kLogoSteps, place, WallSeconds());
  if (place.step < kAskStep) return;
  place.step = kLastStep;
  FinishLogos();
}

// Keys that do something of their own at any time, and so do not skip: the
// recording and screenshot keys (a screenshot of a logo should show it), and the
// stick's direction keys, which a stick resting off centre holds.
bool SkipsLogos(int virtualKey) {
  switch (virtualKey) {
    case platform::kVkF9:
    case platform::kVkF12:
    case platform::kVkPadStickUp:
    case platform::kVkPadStickDown:
    case platform::kVkPadStickLeft:
    case platform::kVkPadStickRight:
      return false;
    default:
      return true;
  }
}

// Any key, mouse button or controller button pressed in this frame.
bool SkipPressed() {
  for (int key = 0; key < platform::kKeyCount; ++key) {
    if (input::IsKeyTriggered(key) && SkipsLogos(key)) return true;
  }
  return false;
}

}  // namespace

void LogosLoad() { LoadSpaceOnce(names::kLogosSpace, names::kLogosFile).SetActive(true); }

void LogosInit() {
  Sequence().stateAfterLogos = game::kLevel1;
  Pictures() = FindPictures(LoadSpaceOnce(names::kLogosSpace, names::kLogosFile));
  LogoPictures& pictures = Pictures();
  for (graphics::Sprite* sprite : {pictures.black, pictures.logo2, pictures.welcome0, pictures.welcome1}) {
    SetAlpha(sprite, 0.0f);
  }
}

void LogosUpdate(float dt) {
  ClearToLevelColour();
  if (SkipPressed()) Sequence().place.step = kLastStep;
  RunStep();
  objects::UpdateSpaces(dt);
  objects::LateUpdateSpaces(dt);
  objects::DrawSpaces();
}

void LogosUnload() {
  // The logo space stays active: Level1's intro fades its black screen and text.
  if (objects::Space* level = objects::FindSpace(names::kLevel1)) level->SetActive(false);
}

void PrepareLogosForLevelIntro() {
  if (objects::FindSpace(names::kLogosSpace) != nullptr) return;
  objects::Space& logos = LoadSpaceOnce(names::kLogosSpace, names::kLogosFile);
  logos.SetActive(true);
  LogoPictures pictures = FindPictures(logos);
  SetAlpha(pictures.black, 1.0f);
  for (graphics::Sprite* sprite : {pictures.white, pictures.logo1, pictures.logo2, pictures.logo3,
                                   pictures.welcome0, pictures.welcome1}) {
    SetAlpha(sprite, 0.0f);
  }
}

}  // namespace game
