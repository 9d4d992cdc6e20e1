// The component interface: every component type derives from BaseComponent and is
// found on its game object by its registered type name.
#pragma once

#include <string>

namespace objects {

class GameObject;

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

 private:
  // Only the object sets these, as it stores the component: the type is the key of
  // the object's component map, so changing it elsewhere would leave the component
  // filed under a name it no longer has.
  friend class GameObject;

  std::string type_;
  GameObject* owner_ = nullptr;
};

}  // namespace objects
