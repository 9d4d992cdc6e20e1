// The component interface: every component type derives from BaseComponent and is
// found on its game object by its registered type name.
#pragma once

#include <cstdint>
#include <string>

namespace objects {

class GameObject;

// The per-frame passes a space runs over its components.
enum class Pass : std::uint8_t { kUpdate, kLateUpdate, kDraw };

class BaseComponent {
 public:
  // `type` is the registered type name, e.g. "Transform".
  explicit BaseComponent(std::string type);
  // Virtual so that a game object destroys each component as its own type.
  virtual ~BaseComponent() = default;

  BaseComponent(const BaseComponent&) = delete;
  BaseComponent& operator=(const BaseComponent&) = delete;

  // dt: frame time in seconds.
  virtual void Update(float dt);
  // Runs after every space has been updated (the camera reads final positions).
  virtual void LateUpdate(float dt);
  virtual void Draw();
  // Called after the object's components were read from a file and by
  // GameObject::Initialize; false reports a component that cannot work.
  virtual bool Initialize();

  // Called on every component of an object before any of them is destroyed, so
  // that a component which lends its siblings to code that outlives a call (a
  // script's interpreter) can end that loan while they all still exist.
  virtual void ReleaseSiblings() {}

  // The name the component is stored under on its object.
  const std::string& GetType() const { return type_; }
  // The object the component was added to; null until then. Not owning.
  GameObject* GetOwner() const { return owner_; }
  // True once the pass's do-nothing default has run on this component: it has no
  // work in that pass, and its space leaves it out of the pass from the next frame.
  bool IsIdleIn(Pass pass) const { return (idlePasses_ & Bit(pass)) != 0; }

 private:
  // Only the object sets these, as it stores the component: the type is the key of
  // the object's component map, so changing it elsewhere would leave the component
  // filed under a name it no longer has.
  friend class GameObject;

  static constexpr std::uint64_t Bit(Pass pass) { return std::uint64_t{1} << static_cast<int>(pass); }
  // Called by the do-nothing defaults: records the idle pass and tells the space.
  void MarkIdle(Pass pass);

  std::string type_;
  GameObject* owner_ = nullptr;
  // Bit(pass) of each pass found idle. A whole word, so that the class ends without
  // tail padding: derived classes cannot place members inside the header that the
  // reflection registry gives every component type.
  std::uint64_t idlePasses_ = 0;
};

}  // namespace objects
