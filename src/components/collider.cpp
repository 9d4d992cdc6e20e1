// Colliders: initialisation with the shared handler table, circle against circle,
// the swept circle against box, and the registration of both shapes.
#include "components/collider.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "base/log.h"
#include "components/collision_handlers.h"
#include "components/physics.h"
#include "objects/describe.h"
#include "objects/game_object.h"
#include "objects/transform.h"
#include "objects/type_registry.h"

namespace components {
namespace {

constexpr float kNotEntered = std::numeric_limits<float>::infinity();

// World units. A contact point is rounded to float, so a circle stopped there can
// start its next motion this far inside the side or corner it stopped at. Such a
// start counts as touching, and pushing on is a contact at once, as from an exact
// touch; only a deeper start counts as an overlap that was there before the motion.
constexpr float kTouchSlack = 1e-4f;

bool InUnitRange(float t) { return t >= 0.0f && t <= 1.0f; }

// Not +infinity; together with "> 0" this reads "finite and greater than 0".
bool Entered(float t) { return t != kNotEntered; }

SweepResult Contact(SweepResult result, SweepContact contact, base::vector2D point) {
  // No contact is ever reported at a point that would carry NaN or infinity into
  // the player's position.
  if (!std::isfinite(point.x) || !std::isfinite(point.y)) return result;
  result.contact = contact;
  result.point = point;
  return result;
}

// The corner step: the circle's first touch of the corner K on its way from p along
// d, from the triangle p, K and the contact point (law of sines). Returns the
// fraction of the motion, or a negative number for no contact.
double CornerEntryTime(base::vector2D p, base::vector2D d, base::vector2D corner, float radius) {
  const double len = std::sqrt(static_cast<double>(d.x) * d.x + static_cast<double>(d.y) * d.y);
  const float ex = corner.x - p.x;
  const float ey = corner.y - p.y;
  const double dist = std::sqrt(static_cast<double>(ex) * ex + static_cast<double>(ey) * ey);
  if (!(len > 0.0)) return -1.0;
  if (dist < radius) {
    // Deeper than kTouchSlack, the circle already overlapped the corner before it
    // moved, just as a negative entry time means for an edge, so there is no new
    // contact; this also covers the corner at the previous centre, where the angle
    // below would be 0/0.
    if (radius - dist > kTouchSlack) return -1.0;
    // Within a rounding error of its reach the circle touches the corner (the sine
    // rule would put the entry just behind the start): a contact at once when the
    // motion would take it deeper, not when it only slides past.
    const double along =
        std::clamp((static_cast<double>(d.x) * ex + static_cast<double>(d.y) * ey) / (len * len), 0.0, 1.0);
    const double nearest = std::hypot(ex - along * d.x, ey - along * d.y);
    return nearest < radius - kTouchSlack ? 0.0 : -1.0;
  }
  // Moving along or away from a corner it does not overlap, the circle never comes
  // closer.
  if (static_cast<double>(d.x) * ex + static_cast<double>(d.y) * ey <= 0.0) return -1.0;
  // Rounding can push the cosine a hair outside -1..1, where acos gives NaN.
  const double cosA =
      std::clamp((static_cast<double>(d.y) * ey + static_cast<double>(d.x) * ex) / (dist * len), -1.0, 1.0);
  const double angle = std::acos(cosA);
  const double sinA = std::sin(angle);
  const double q = dist * sinA / radius;
  if (std::fabs(q) > 1.0) return -1.0;
  if (sinA == 0.0) {
    // Moving straight at the corner (angle 0) the circle touches it after dist - r;
    // straight away from it (angle pi) never. The sine rule below would be 0/0.
    return angle == 0.0 ? (dist - radius) / len : -1.0;
  }
  const double gamma = (std::numbers::pi - angle) - (std::numbers::pi - std::asin(q));
  const double t = radius * std::sin(gamma) / sinA / len;
  if (!std::isfinite(t)) return -1.0;
  // From outside the reach and moving closer the entry is never behind the start;
  // a negative time is rounding at a start right on the reach.
  return std::max(t, 0.0);
}

}  // namespace

// --- swept circle against box ------------------------------------------------------

SweepResult SweepCircleAgainstBox(base::vector2D previous, base::vector2D current, float radius,
                                  const BoxBounds& box) {
  SweepResult result;
  const float px = previous.x, py = previous.y;
  const float cx = current.x, cy = current.y;
  const float r = radius;
  const float dx = cx - px;
  const float dy = cy - py;
  // A circle that did not move never touches a box.
  if (dx == 0.0f && dy == 0.0f) return result;

  const float L = box.left, R = box.right, T = box.top, B = box.bottom;
  float& tL = result.tLeft;
  float& tR = result.tRight;
  float& tT = result.tTop;
  float& tB = result.tBottom;
  // Whether each side's entry condition held; a motion along a side's line leaves
  // that side's entry time infinite even so.
  const bool enteredL = L > px - r && cx + r > L;
  const bool enteredR = px + r > R && R > cx - r;
  const bool enteredT = py + r > T && T > cy - r;
  const bool enteredB = B > py - r && cy + r > B;
  if (enteredL) tL = (L - r - px) / dx;
  if (enteredR) tR = (R + r - px) / dx;
  if (enteredT) tT = (T + r - py) / dy;
  if (enteredB) tB = (B - r - py) / dy;
  // A start within kTouchSlack inside a side's line, moving further in, enters it at
  // once.
  if (dx > 0.0f && tL < 0.0f && L - r - px >= -kTouchSlack) tL = 0.0f;
  if (dx < 0.0f && tR < 0.0f && px - (R + r) >= -kTouchSlack) tR = 0.0f;
  if (dy < 0.0f && tT < 0.0f && py - (T + r) >= -kTouchSlack) tT = 0.0f;
  if (dy > 0.0f && tB < 0.0f && B - r - py >= -kTouchSlack) tB = 0.0f;

  // Edges, in this order; the first that holds decides. A left entry outside the
  // side's span skips the right one, an upper entry outside its span skips the
  // lower one.
  if (InUnitRange(tL)) {
    const float y = tL * dy + py;
    if (B <= y && y <= T) return Contact(result, SweepContact::LeftEdge, {tL * dx + px, y});
  } else if (InUnitRange(tR)) {
    const float y = tR * dy + py;
    if (B <= y && y <= T) return Contact(result, SweepContact::RightEdge, {tR * dx + px, y});
  }
  if (InUnitRange(tT)) {
    const float x = tT * dx + px;
    if (L <= x && x <= R) return Contact(result, SweepContact::UpperEdge, {x, tT * dy + py});
  } else if (InUnitRange(tB)) {
    const float x = tB * dx + px;
    if (L <= x && x <= R) return Contact(result, SweepContact::LowerEdge, {x, tB * dy + py});
  }

  // Corners. The circle passed no side inside its span, so its first contact, if
  // any, is with a corner; all four are tried and the earliest contact counts.
  // (Guessing one corner from the entry times goes wrong for a motion along an axis,
  // whose entry times are infinite, for a box narrower or lower than the circle,
  // where both sides of an axis are entered, and for a motion that crosses a
  // corner's region.)
  if (!enteredL && !enteredB && !enteredR && !enteredT) return result;
  double t = -1.0;
  for (const float x : {L, R}) {
    for (const float y : {T, B}) {
      const double tCorner = CornerEntryTime(previous, {dx, dy}, {x, y}, r);
      if (tCorner >= 0.0 && tCorner <= 1.0 && (t < 0.0 || tCorner < t)) t = tCorner;
    }
  }
  if (t < 0.0) return result;
  const float tf = static_cast<float>(t);
  return Contact(result, SweepContact::Corner, {tf * dx + px, tf * dy + py});
}

// --- handler table and Collider ----------------------------------------------------

CollisionHandlerTable& GetCollisionHandlers() {
  static CollisionHandlerTable table;
  return table;
}

Collider::Collider(std::string typeName) : BaseComponent(std::move(typeName)) {}

bool Collider::Initialize() {
  transform = objects::RequireSibling<objects::Transform>(*this, "Transform");
  handlerTable = &GetCollisionHandlers();
  const auto found = handlerTable->find(handler);
  handlerFunction = found != handlerTable->end() ? found->second : nullptr;
  if (handlerFunction == nullptr && !handler.empty()) {
    base::LogError("collider", objects::DescribeObject(GetOwner()) + ": " + GetType() + " handler \"" +
                                   handler +
                                   "\" is not a collision handler; contacts run no handler of its own");
  }
  return transform != nullptr;
}

// --- CircleCollider ----------------------------------------------------------------

CircleCollider::CircleCollider() : Collider("CircleCollider") {}

bool CircleCollider::Initialize() {
  physics_ = GetOwner() != nullptr ? GetOwner()->GetComponent<Physics>("Physics") : nullptr;
  return Collider::Initialize();
}

bool CircleCollider::CollidesWithCircle(Collider* other) {
  auto* circle = dynamic_cast<CircleCollider*>(other);
  if (circle == nullptr || transform == nullptr || circle->transform == nullptr) return false;
  const float dx = circle->transform->translation.x - transform->translation.x;
  const float dy = circle->transform->translation.y - transform->translation.y;
  const float reach = circle->radius + radius;
  return reach * reach > dx * dx + dy * dy;
}

bool CircleCollider::CollidesWithBox(Collider* other) {
  auto* box = dynamic_cast<BoxCollider*>(other);
  if (box == nullptr || transform == nullptr || box->transform == nullptr || GetOwner() == nullptr)
    return false;
  // Found at initialisation; a circle checked before it was initialised looks now.
  Physics* physics = physics_ != nullptr ? physics_ : GetOwner()->GetComponent<Physics>("Physics");
  if (physics == nullptr) return false;

  const SweepResult sweep =
      SweepCircleAgainstBox(physics->previousPosition, {transform->translation.x, transform->translation.y},
                            radius, box->GetBounds());
  if (sweep.contact == SweepContact::None) return false;

  collisionInfo = {other, sweep.point, true};
  base::vector2D& velocity = physics->velocity;
  switch (sweep.contact) {
    case SweepContact::LeftEdge:
    case SweepContact::RightEdge:
      // An entry time still at +infinity counts as greater than 0 here.
      if (sweep.tBottom > 0.0f) velocity.y = 0.0f;
      if (sweep.tTop > 0.0f) velocity.y = 0.0f;
      if (sweep.tRight > 0.0f) velocity.x = 0.0f;
      if (sweep.tLeft > 0.0f) velocity.x = 0.0f;
      break;
    case SweepContact::UpperEdge:
      // Only the first that holds, and only entry times that were computed.
      if (Entered(sweep.tBottom) && sweep.tBottom > 0.0f) {
        velocity.y = 0.0f;
      } else if (Entered(sweep.tTop) && sweep.tTop > 0.0f) {
        velocity.y = 0.0f;
      } else if (Entered(sweep.tRight) && sweep.tRight > 0.0f) {
        velocity.x = 0.0f;
      } else if (Entered(sweep.tLeft) && sweep.tLeft > 0.0f) {
        velocity.x = 0.0f;
      }
      break;
    case SweepContact::LowerEdge:
      velocity.y = 0.0f;
      break;
    case SweepContact::Corner:
    case SweepContact::None:
      velocity = {0.0f, 0.0f};
      break;
  }
  return true;
}

// --- BoxCollider -------------------------------------------------------------------

BoxCollider::BoxCollider() : Collider("BoxCollider") {}

BoxBounds BoxCollider::GetBounds() const {
  if (transform == nullptr) return {};
  const float bx = transform->translation.x;
  const float by = transform->translation.y;
  return {bx - xSize, bx + xSize, by + ySize, by - ySize};
}

void BoxCollider::GetEdge(int index, EdgeSegment& edge) const {
  if (index < 0 || index > 3 || transform == nullptr) return;
  const BoxBounds b = GetBounds();
  switch (index) {
    case 0:
      edge = {b.left, b.top, b.left, b.bottom};
      break;
    case 1:
      edge = {b.left, b.top, b.right, b.top};
      break;
    case 2:
      edge = {b.right, b.top, b.right, b.bottom};
      break;
    default:
      edge = {b.left, b.bottom, b.right, b.bottom};
      break;
  }
}

// --- registration ------------------------------------------------------------------

namespace {

// The collider part every shape starts with.
template <typename T>
objects::TypeDescriptor& RegisterColliderPart(objects::TypeRegistry& registry, const char* name) {
  return registry.RegisterType<T>(name)
      .AddHeaderMember()
      .Hide(VELMARIS_FIELD(T, transform))
      .Hide(VELMARIS_FIELD(T, collisionInfo))
      .Add("handler", VELMARIS_FIELD(T, handler),
           {"the collision handler that runs when the player touches it (see Collision handlers)"})
      .Hide(VELMARIS_FIELD(T, handlerFunction))
      .Hide(VELMARIS_FIELD(T, handlerTable));
}

}  // namespace

void RegisterCircleCollider(objects::TypeRegistry& registry) {
  RegisterColliderPart<CircleCollider>(registry, "CircleCollider")
      .Describe("a circle around the object's position that touches other colliders; the player's is one",
                R"({"handler": "starCollect", "radius": 0.6})")
      .Add("radius", VELMARIS_FIELD(CircleCollider, radius), {"radius of the circle", "world units"})
      .FinishType();
}

void RegisterBoxCollider(objects::TypeRegistry& registry) {
  RegisterColliderPart<BoxCollider>(registry, "BoxCollider")
      .Describe("an upright rectangle around the object's position that the player's circle touches",
                R"({"handler": "stopMovement", "x_size": 4.0, "y_size": 0.5})")
      .Add("x_size", VELMARIS_FIELD(BoxCollider, xSize), {"half the width of the rectangle", "world units"})
      .Add("y_size", VELMARIS_FIELD(BoxCollider, ySize), {"half the height of the rectangle", "world units"})
      .FinishType();
}

}  // namespace components
