// PlayerUI: the star count on screen and for the level end.
#include "components/player_ui.h"

#include "components/hooks.h"
#include "components/pool.h"
#include "graphics/sprite.h"
#include "graphics/sprite_source.h"
#include "objects/game_object.h"
#include "objects/type_registry.h"

namespace components {

PlayerUI::PlayerUI() : BaseComponent("PlayerUI") {}

bool PlayerUI::Initialize() {
  // The sheet is only kept for the file format; the count is shown through the sprite.
  source = GetOwner() != nullptr ? GetOwner()->GetComponent<graphics::SpriteSource>("SpriteSource") : nullptr;
  sprite = objects::RequireSibling<graphics::Sprite>(*this, "Sprite");
  pool = objects::RequireSibling<Pool>(*this, "Pool");
  return true;
}

void PlayerUI::Update(float) {
  if (pool == nullptr) return;
  // The counter is unsigned; the file and the published count are int.
  const auto amount = static_cast<std::int32_t>(pool->amount);
  if (amount == prevCount) return;
  prevCount = amount;
  if (sprite != nullptr) sprite->frameIndex = amount;
  if (Hooks().starCount != nullptr) Hooks().starCount(amount);
}

void RegisterPlayerUI(objects::TypeRegistry& registry) {
  registry.RegisterType<PlayerUI>("PlayerUI")
      .Describe(
          "shows the star count of its object's Pool as its Sprite's frame and tells the level the count",
          R"({"prevCount": 0})")
      .AddHeaderMember()
      .Add("prevCount", VELMARIS_FIELD(PlayerUI, prevCount), {"the count last shown"})
      .Add("nextState", VELMARIS_FIELD(PlayerUI, nextState), {"kept in the file; nothing reads it"})
      .Hide(VELMARIS_FIELD(PlayerUI, source))
      .Hide(VELMARIS_FIELD(PlayerUI, sprite))
      .Hide(VELMARIS_FIELD(PlayerUI, pool))
      .Add("canChangeState", VELMARIS_FIELD(PlayerUI, canChangeState), {"kept in the file; nothing reads it"})
      .FinishType();
}

}  // namespace components
