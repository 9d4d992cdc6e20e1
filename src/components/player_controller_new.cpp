// PlayerControllerNew: steering towards the pointer, drag and knock-back.
#include "components/player_controller_new.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "components/frames.h"
#include "components/physics.h"
#include "input/input.h"
#include "objects/game_object.h"
#include "objects/transform.h"
#include "objects/type_registry.h"

namespace components {
namespace {

constexpr int kKeyP = 0x50;

float Length(base::vector2D v) { return std::sqrt(v.x * v.x + v.y * v.y); }

}  // namespace

PlayerControllerNew::PlayerControllerNew() : BaseComponent("NewPlayerController") {}

bool PlayerControllerNew::Initialize() {
  physics = objects::RequireSibling<Physics>(*this, "Physics");
  transform = objects::RequireSibling<objects::Transform>(*this, "Transform");
  return physics != nullptr && transform != nullptr;
}

void PlayerControllerNew::Update(float) {
  if (physics == nullptr || transform == nullptr) return;
  base::vector2D& velocity = physics->velocity;

  if (input::IsKeyTriggered(kKeyP)) canMove = !canMove;
  if (!canMove) {
    if (Length(velocity) > 0.0f) velocity = {0.0f, 0.0f};
    return;
  }

  // The pointer's offset from the view centre is taken as its offset from the player.
  const input::MousePosition mouse = input::GetMouseViewPosition();
  base::vector2D dir{mouse.x, mouse.y};
  const float mouseLength = Length(dir);
  if (mouseLength > 0.0f) {
    const float inverse = 1.0f / mouseLength;
    dir = {dir.x * inverse, dir.y * inverse};
  }

  if (knockbackActive) {
    knockbackTimer += 1.0f;
    if (knockbackTimer > knockbackTime * kFramesPerSecond)
      knockbackActive = false;  // control returns this frame
  }

  // Facing: 0 degrees with the pointer straight above, -90 to the right, 90 to the
  // left, 180 below.
  const float dirLength = Length(dir);
  if (dirLength > 0.0f) {
    const double radians = std::acos(static_cast<double>(dir.y / dirLength));
    float angle = static_cast<float>(radians / std::numbers::pi) * 180.0f;
    if (dir.x > 0.0f) angle = -angle;
    transform->rotation = angle;
  }

  if (!knockbackActive) {
    // The speed stays (up to the limit) but now points at the pointer.
    const float speed = std::min(maxMovementSpeed, Length(velocity));
    velocity = {dir.x * speed, dir.y * speed};
  }

  if (input::IsFlyDown() && !knockbackActive) {
    velocity = {velocity.x + dir.x * movementSpeed, velocity.y + dir.y * movementSpeed};
    const float speed = Length(velocity);
    if (speed > maxMovementSpeed && speed > 0.0f) {
      velocity = {velocity.x / speed * maxMovementSpeed, velocity.y / speed * maxMovementSpeed};
    }
  } else {
    // Drag, also slowing a knock-back down.
    const float speed = Length(velocity);
    base::vector2D unit = velocity;
    if (speed > 0.0f) unit = {velocity.x / speed, velocity.y / speed};
    velocity = {velocity.x - movementDrag * unit.x, velocity.y - movementDrag * unit.y};
    if (movementDrag >= Length(velocity)) velocity = {0.0f, 0.0f};
  }
}

void RegisterPlayerControllerNew(objects::TypeRegistry& registry) {
  registry.RegisterType<PlayerControllerNew>("NewPlayerController")
      .Describe(
          "the player's controller: faces the pointer, flies towards it while the button is held",
          R"({"movementSpeed": 0.6, "maxMovementSpeed": 14.0, "movementDrag": 0.35, "knockbackTime": 0.35, "knockbackSpeed": 20.0})")
      .AddHeaderMember()
      .Add("movementSpeed", VELMARIS_FIELD(PlayerControllerNew, movementSpeed),
           {"velocity added each frame (60 a second) while flying", "world units per second, per frame"})
      .Add("maxMovementSpeed", VELMARIS_FIELD(PlayerControllerNew, maxMovementSpeed),
           {"speed limit of steered flight", "world units per second"})
      .Add("movementDrag", VELMARIS_FIELD(PlayerControllerNew, movementDrag),
           {"speed taken away each frame (60 a second) when not flying", "world units per second, per frame"})
      .Add("knockbackTime", VELMARIS_FIELD(PlayerControllerNew, knockbackTime),
           {"how long a knock-back (\"bounceBack\") takes the controls away", "seconds"})
      .Add("knockbackSpeed", VELMARIS_FIELD(PlayerControllerNew, knockbackSpeed),
           {"speed a knock-back gives the player", "world units per second"})
      .Hide(VELMARIS_FIELD(PlayerControllerNew, knockbackTimer))
      .Hide(VELMARIS_FIELD(PlayerControllerNew, physics))
      .Hide(VELMARIS_FIELD(PlayerControllerNew, transform))
      .Add("canMove", VELMARIS_FIELD(PlayerControllerNew, canMove), {"the player may move (P toggles it)"})
      .Hide(VELMARIS_FIELD(PlayerControllerNew, knockbackActive))
      .FinishType();
}

}  // namespace components
