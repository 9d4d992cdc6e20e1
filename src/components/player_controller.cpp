// PlayerController: W, A, S, D and the mouse.
#include "components/player_controller.h"

#include <cmath>

#include "components/physics.h"
#include "input/input.h"
#include "objects/game_object.h"
#include "objects/type_registry.h"

namespace components {
namespace {

constexpr int kKeyW = 0x57;
constexpr int kKeyA = 0x41;
constexpr int kKeyS = 0x53;
constexpr int kKeyD = 0x44;

}  // namespace

PlayerController::PlayerController() : BaseComponent("PlayerController") {}

bool PlayerController::Initialize() {
  physics = objects::RequireSibling<Physics>(*this, "Physics");
  return physics != nullptr;
}

void PlayerController::Update(float) {
  if (!canMove || physics == nullptr) return;
  base::vector2D d{0.0f, 0.0f};
  if (input::IsKeyDown(kKeyW)) d.y = 1.0f;
  if (input::IsKeyDown(kKeyA)) d.x = -1.0f;
  if (input::IsKeyDown(kKeyS)) d.y -= 1.0f;
  if (input::IsKeyDown(kKeyD)) d.x += 1.0f;
  const float length = std::sqrt(d.x * d.x + d.y * d.y);
  if (length > 0.0f) d = {d.x / length, d.y / length};

  base::vector2D velocity{d.x * speed, d.y * speed};
  if (input::IsFlyDown()) {
    const input::MousePosition mouse = input::GetMouseViewPosition();
    velocity = {mouse.x, mouse.y};
  }
  physics->velocity = velocity;
}

void RegisterPlayerController(objects::TypeRegistry& registry) {
  registry.RegisterType<PlayerController>("PlayerController")
      .Describe("a simple keyboard controller: W, A, S, D set the Physics velocity",
                R"({"speed": 8.0, "canMove": true})")
      .AddHeaderMember()
      .Add("speed", VELMARIS_FIELD(PlayerController, speed),
           {"speed the keys give", "world units per second"})
      .Hide(VELMARIS_FIELD(PlayerController, physics))
      .Add("canMove", VELMARIS_FIELD(PlayerController, canMove), {"the keys move the object"})
      .FinishType();
}

}  // namespace components
