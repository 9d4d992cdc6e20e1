// The registration driver. Each component type registers itself from its own source
// file; this file only calls them, in this order:
//   Physics, CircleCollider, BoxCollider, Transform, Sprite, SpriteSource, Pool, Timer,
//   PlayerController, Camera, Star, UI, PlayerUI, Button, NewPlayerController, Script,
//   ScriptData, RotateAround, Animation, PointMover2
// (the order does not affect lookups: the registry is ordered by name).
#include "core/component_registration.h"

#include "components/animation.h"
#include "components/button.h"
#include "components/collider.h"
#include "components/collision_handlers.h"
#include "components/collision_pass.h"
#include "components/move_between_two_points.h"
#include "components/physics.h"
#include "components/player_controller.h"
#include "components/player_controller_new.h"
#include "components/player_ui.h"
#include "components/pool.h"
#include "components/rotate_around.h"
#include "components/star.h"
#include "components/timer.h"
#include "components/ui.h"
#include "core/data_file_rules.h"
#include "graphics/camera.h"
#include "graphics/sprite.h"
#include "graphics/sprite_source.h"
#include "objects/space.h"
#include "objects/transform.h"
#include "objects/type_registry.h"
#include "scripting/script.h"
#include "scripting/script_data.h"
#include "serialization/level_rules.h"
#include "serialization/test_component.h"

namespace core {

void RegisterComponents() {
  objects::TypeRegistry& registry = objects::GetTypeRegistry();
  components::RegisterPhysics(registry);
  components::RegisterCircleCollider(registry);
  components::RegisterBoxCollider(registry);
  objects::RegisterTransform(registry);
  graphics::RegisterSprite(registry);
  graphics::RegisterSpriteSource(registry);
  components::RegisterPool(registry);
  components::RegisterTimer(registry);
  components::RegisterPlayerController(registry);
  graphics::RegisterCamera(registry);
  components::RegisterStar(registry);
  components::RegisterUI(registry);
  components::RegisterPlayerUI(registry);
  components::RegisterButton(registry);
  components::RegisterPlayerControllerNew(registry);
  scripting::RegisterScript(registry);
  scripting::RegisterScriptData(registry);
  components::RegisterRotateAround(registry);
  components::RegisterAnimation(registry);
  components::RegisterMoveBetweenTwoPoints(registry);

  // Not a game type: the serializer self-tests need it.
  serialization::RegisterTestComponent(registry);
  serialization::GetLoaderRules().fileMembers = EngineFileMembers();

  // The collision pass and its handlers live with the gameplay components; the
  // spaces below them only know the hook.
  components::RegisterCollisionHandlers();
  objects::Hooks().collisionPass = &components::CheckCollisions;
}

}  // namespace core
