// The registration driver. Each component type registers itself from its own source
// file; this file only calls them, in this order:
//   Physics, CircleCollider, BoxCollider, Transform, Sprite, SpriteSource, Pool, Timer,
//   PlayerController, Camera, Star, UI, PlayerUI, Button, NewPlayerController, Script,
//   ScriptData, RotateAround, Animation, PointMover2
// (the order does not affect lookups: the registry is ordered by name). A type whose
// class has not landed yet gets its line when it does.
#include "serialization/component_registration.h"

#include "components/physics.h"
#include "components/transform.h"
#include "graphics/camera.h"
#include "graphics/sprite.h"
#include "graphics/sprite_source.h"
#include "serialization/test_component.h"
#include "serialization/type_registry.h"

namespace serialization {

void RegisterComponents() {
  TypeRegistry& registry = GetTypeRegistry();
  components::RegisterPhysics(registry);
  // CircleCollider
  // BoxCollider
  components::RegisterTransform(registry);
  graphics::RegisterSprite(registry);
  graphics::RegisterSpriteSource(registry);
  // Pool
  // Timer
  // PlayerController
  graphics::RegisterCamera(registry);
  // Star
  // UI
  // PlayerUI
  // Button
  // NewPlayerController
  // Script
  // ScriptData
  // RotateAround
  // Animation
  // PointMover2

  // Not a game type: the serializer self-tests need it.
  RegisterTestComponent(registry);
}

}  // namespace serialization
