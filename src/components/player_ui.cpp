// PlayerUI: the star count on screen and for the level end.
#include "components/player_ui.h"

#include "objects/describe.h"
#include "components/pool.h"
#include "base/log.h"
#include "graphics/sprite.h"
#include "graphics/sprite_source.h"
#include "objects/game_object.h"
#include "objects/type_registry.h"

namespace components {

namespace {

StarCountHandler g_StarCountHandler = nullptr;

}  // namespace

void SetStarCountHandler(StarCountHandler handler) { g_StarCountHandler = handler; }

PlayerUI::PlayerUI() : BaseComponent("PlayerUI") {}

bool PlayerUI::Initialize() {
  if (GetOwner() == nullptr) return true;
  source = GetOwner()->GetComponent<graphics::SpriteSource>("SpriteSource");
  sprite = GetOwner()->GetComponent<graphics::Sprite>("Sprite");
  pool = GetOwner()->GetComponent<Pool>("Pool");
  if (pool == nullptr || sprite == nullptr) {
    base::LogError("player", objects::DescribeObject(GetOwner()) + ": PlayerUI needs " +
                                 (pool == nullptr ? "a Pool" : "a Sprite") +
                                 " on its object; the star count is not shown");
  }
  return true;
}

void PlayerUI::Update(float) {
  if (pool == nullptr) return;
  // The counter is unsigned; the file and the published count are int.
  const auto amount = static_cast<std::int32_t>(pool->amount);
  if (amount == prevCount) return;
  prevCount = amount;
  if (sprite != nullptr) sprite->frameIndex = amount;
  if (g_StarCountHandler != nullptr) g_StarCountHandler(amount);
}

void RegisterPlayerUI(objects::TypeRegistry& registry) {
  using objects::MemberType;
  registry.RegisterType<PlayerUI>("PlayerUI")
      .AddHeaderMember()
      .AddMember(MemberType::Int, "prevCount", VELMARIS_FIELD(PlayerUI, prevCount))
      .AddMember(MemberType::Int, "nextState", VELMARIS_FIELD(PlayerUI, nextState))
      .AddMember(MemberType::None, "", VELMARIS_FIELD(PlayerUI, source))
      .AddMember(MemberType::None, "", VELMARIS_FIELD(PlayerUI, sprite))
      .AddMember(MemberType::None, "", VELMARIS_FIELD(PlayerUI, pool))
      .AddMember(MemberType::Bool, "canChangeState", VELMARIS_FIELD(PlayerUI, canChangeState))
      .FinishType();
}

}  // namespace components
