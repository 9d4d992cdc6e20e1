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

// Fades change the opacity by this much per frame (about 1.7 s at 60 frames per
// second); waits count seconds of dt.
constexpr float kFadeStep = 0.01f;
// The third logo slides down from y 50 to 0 by this many world units a frame.
constexpr float kSlideStep = 0.5f;
constexpr int kLastStep = 11;

// Where the sequence is; kept across entries of the state, so that entering it
// again continues the finished sequence and goes on to Level1 at once.
struct LogoSequence {
  int stage = 0;
  float clock = 0.0f;       // seconds waited in the current step
  float logo1Alpha = 1.0f;  // "b_LogoPellmar"
  float logo2Alpha = 0.0f;  // "b_LogoFMOD"
  float logo3Y = 50.0f;     // world y of "b_LogoCorvaneT"
  float logo3Alpha = 1.0f;
  float blackAlpha = 0.0f;  // "d_BlackScreen"
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

// Step 11, also done by the first frame of step 10: the black screen covers all,
// the logos are gone and Level1 is asked for.
void FinishLogos() {
  LogoPictures& pictures = Pictures();
  SetAlpha(pictures.black, 1.0f);
  const int next = Sequence().stateAfterLogos;
  if (next <= game::kMenuTestSpace) base::States().next = next;
  for (graphics::Sprite* sprite : {pictures.logo3, pictures.logo1, pictures.logo2, pictures.white}) {
    SetAlpha(sprite, 0.0f);
  }
}

void RunStep(float dt) {
  LogoSequence& s = Sequence();
  LogoPictures& pictures = Pictures();
  switch (s.stage) {
    case 0:
      if (Waited(s.clock, dt, 3.0f)) s.stage = 1;
      break;
    case 1:
      s.logo1Alpha -= kFadeStep;
      SetAlpha(pictures.logo1, s.logo1Alpha);
      if (s.logo1Alpha <= 0.0f) s.stage = 2;
      break;
    case 2:
      s.logo2Alpha += kFadeStep;
      SetAlpha(pictures.logo2, s.logo2Alpha);
      if (s.logo2Alpha >= 1.0f) s.stage = 3;
      break;
    case 3:
      if (Waited(s.clock, dt, 3.0f)) s.stage = 4;
      break;
    case 4:
      s.logo2Alpha -= kFadeStep;
      SetAlpha(pictures.logo2, s.logo2Alpha);
      if (s.logo2Alpha <= 0.0f) s.stage = 5;
      break;
    case 5:
      s.logo3Y -= kSlideStep;
      if (pictures.logo3Transform != nullptr) {
        pictures.logo3Transform->translation = {0.0f, s.logo3Y, 0.0f, 0.0f};
        pictures.logo3Transform->SetDirty();
      }
      if (s.logo3Y <= 0.0f) s.stage = 6;
      break;
    case 6:
      if (Waited(s.clock, dt, 3.0f)) s.stage = 7;
      break;
    case 7:
      s.logo3Alpha -= kFadeStep;
      SetAlpha(pictures.logo3, s.logo3Alpha);
      if (s.logo3Alpha <= 0.0f) s.stage = 8;
      break;
    case 8:
      if (Waited(s.clock, dt, 1.0f)) s.stage = 9;
      break;
    case 9:
      s.blackAlpha += kFadeStep;
      SetAlpha(pictures.black, s.blackAlpha);
      if (s.blackAlpha >= 1.0f) s.stage = 10;
      break;
    case 10:
      if (Waited(s.clock, dt, 1.0f)) s.stage = kLastStep;
      FinishLogos();
      break;
    default:
      FinishLogos();
      break;
  }
}

bool SkipPressed() {
  using input::IsKeyTriggered;
  return IsKeyTriggered(platform::kVkReturn) || IsKeyTriggered(platform::kVkLeftButton) ||
         IsKeyTriggered(platform::kVkRightButton) || IsKeyTriggered(platform::kVkEscape) ||
         IsKeyTriggered(platform::kVkSpace);
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
  if (SkipPressed()) Sequence().stage = kLastStep;
  RunStep(dt);
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
