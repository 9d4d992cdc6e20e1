// Colliders: the shapes the collision pass tests the player's circle against, and
// the name of what happens on contact. Two shapes: CircleCollider (a radius) and
// BoxCollider (an axis-aligned rectangle given by half extents). Neither uses the
// transform's rotation or scale.
#pragma once

#include <functional>
#include <limits>
#include <map>
#include <string>

#include "base/math.h"
#include "objects/base_component.h"

namespace objects {
class Transform;
class TypeRegistry;
}  // namespace objects

namespace components {

class Collider;
// The last contact found by a collider's circle-against-box test.
struct CollisionInfo {
  Collider* other = nullptr;  // the collider that was hit; not owned
  base::vector2D point;       // centre of the moving circle at the moment of contact
  bool hit = false;           // set on every recorded contact, never cleared
};

// What happens on contact: self is the collider whose handler runs, other the
// collider it touched.
using CollisionHandler = void (*)(Collider& self, Collider& other);
// Handlers by name, shared by every collider for the whole run.
using CollisionHandlerTable = std::map<std::string, CollisionHandler, std::less<>>;

// The shared table: "stopMovement", "bounceBack", "nextLevelTrigger" and
// "starCollect" once the engine has started (RegisterCollisionHandlers).
CollisionHandlerTable& GetCollisionHandlers();

class Collider : public objects::BaseComponent {
 public:
  // Finds the owner's Transform (only an actual Transform counts) and resolves
  // `handler` in the shared table. False without a
  // Transform. An unknown handler name is reported and gives no handler.
  bool Initialize() override;

  // Whether this collider's shape touches other's; only a circle tests anything.
  virtual bool CollidesWithCircle(Collider* other) = 0;
  virtual bool CollidesWithBox(Collider* other) = 0;
  virtual bool IsCircle() const { return false; }
  virtual bool IsBox() const { return false; }

  objects::Transform* GetTransform() const { return transform; }
  CollisionInfo& GetCollisionInfo() { return collisionInfo; }

  objects::Transform* transform = nullptr;  // the owner's Transform; not owned, null until found
  CollisionInfo collisionInfo;
  std::string handler;                            // name of the collision handler
  CollisionHandler handlerFunction = nullptr;     // resolved from handler; may be null
  CollisionHandlerTable* handlerTable = nullptr;  // the shared table; not owned

 protected:
  explicit Collider(std::string typeName);
};

class Physics;

class CircleCollider : public Collider {
 public:
  CircleCollider();

  // Also finds the object's Physics (optional: a circle without one never sweeps).
  bool Initialize() override;

  // Circle against circle: true exactly when the centres are closer than the sum of
  // the radii (touching circles do not collide). Records nothing.
  bool CollidesWithCircle(Collider* other) override;
  // The swept test of this circle, moving from its Physics' previousPosition to
  // its transform position, against a box. On a contact it records the contact in
  // collisionInfo and stops the Physics velocity along the blocked axis; the
  // position is left alone. False for a circle without Physics, or one that did
  // not move.
  bool CollidesWithBox(Collider* other) override;
  bool IsCircle() const override { return true; }

  float radius = 0.0f;  // world units

 private:
  Physics* physics_ = nullptr;  // the owner's Physics; not owned, null until found
};

// The box a circle sweeps against: left, right, top and bottom bounds in world
// units, y up (top > bottom).
struct BoxBounds {
  float left = 0.0f;
  float right = 0.0f;
  float top = 0.0f;
  float bottom = 0.0f;
};

// A segment from (x1, y1) to (x2, y2), world units.
struct EdgeSegment {
  float x1 = 0.0f;
  float y1 = 0.0f;
  float x2 = 0.0f;
  float y2 = 0.0f;
};

class BoxCollider : public Collider {
 public:
  BoxCollider();

  bool CollidesWithCircle(Collider*) override { return false; }
  bool CollidesWithBox(Collider*) override { return false; }
  bool IsBox() const override { return true; }

  // Edge 0 left (L,T)-(L,B), 1 upper (L,T)-(R,T), 2 right (R,T)-(R,B), 3 lower
  // (L,B)-(R,B), in world units. An index outside 0..3, or a box without a
  // transform, leaves `edge` untouched.
  void GetEdge(int index, EdgeSegment& edge) const;
  // The bounds around the transform position; all zero without a transform.
  BoxBounds GetBounds() const;

  // Half extents in world units: the box covers x +- x_size and y +- y_size around
  // its transform position.
  float xSize = 0.0f;
  float ySize = 0.0f;
};

// Which part of the box a sweep touched first.
enum class SweepContact { None, LeftEdge, RightEdge, UpperEdge, LowerEdge, Corner };

struct SweepResult {
  SweepContact contact = SweepContact::None;
  base::vector2D point;  // centre of the circle at the contact; finite on a contact
  // Entry times through each side's line, as fractions of the motion; +infinity
  // for a side whose entry conditions did not hold.
  float tLeft = std::numeric_limits<float>::infinity();
  float tRight = std::numeric_limits<float>::infinity();
  float tTop = std::numeric_limits<float>::infinity();
  float tBottom = std::numeric_limits<float>::infinity();
};

// The swept circle-against-box test without side effects: a circle of radius r
// moving from `previous` to `current`. Never reports a contact at a non-finite
// point.
SweepResult SweepCircleAgainstBox(base::vector2D previous, base::vector2D current, float radius,
                                  const BoxBounds& box);

// Registers "CircleCollider" and "BoxCollider" with their members.
void RegisterCircleCollider(objects::TypeRegistry& registry);
void RegisterBoxCollider(objects::TypeRegistry& registry);

}  // namespace components
