// A named layer of game objects (a level, an overlay, a menu page), updated and
// drawn in object-name order.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "objects/game_object.h"

namespace objects {

class Space {
 public:
  // Objects by name, byte-wise ascending; the space owns them.
  using ObjectMap = std::map<std::string, std::shared_ptr<GameObject>, std::less<>>;

  explicit Space(std::string name);

  Space(const Space&) = delete;
  Space& operator=(const Space&) = delete;

  // A new active object without components, or an empty reference (and no change)
  // when the name is taken.
  std::shared_ptr<GameObject> CreateObject(const std::string& name);

  // Takes shared ownership of a hand-built object and stores it under its name if
  // the name is free. The returned reference owns the object either way; null gives
  // an empty reference.
  std::shared_ptr<GameObject> AddObject(GameObject* object);

  // Takes the object out of the space and hands over the space's reference to it;
  // empty when no object has that name. Not during one of the space's passes.
  std::shared_ptr<GameObject> RemoveObject(std::string_view name);

  std::weak_ptr<GameObject> FindObject(std::string_view name) const;
  std::vector<std::weak_ptr<GameObject>> GetAllObjects() const;
  // Objects holding a component stored under exactly this type name, in name order.
  std::vector<std::weak_ptr<GameObject>> GetObjectsWithComponent(std::string_view typeName) const;

  // Components' Update of every active object, then the installed collision pass; nothing
  // when the space is inactive or paused.
  void Update(float dt);
  // Components' LateUpdate of every active object; nothing when inactive or paused.
  void LateUpdate(float dt);
  // Components' Draw of every active object; a paused space is still drawn.
  void Draw();

  const std::string& GetName() const { return name_; }
  bool IsActive() const { return active_; }
  void SetActive(bool isActive) { active_ = isActive; }
  bool IsPaused() const { return paused_; }
  void SetPaused(bool isPaused) { paused_ = isPaused; }
  const ObjectMap& GetObjects() const { return objects_; }

 private:
  std::string name_;
  ObjectMap objects_;
  bool active_ = true;
  bool paused_ = false;
};

// The pass a space runs after its components' Update: the collision pass, which
// lives with the gameplay components above this layer and is installed by the
// engine's start-up. Null (no pass) until then and in tests that want none.
using SpacePass = void (*)(Space& space);
void SetCollisionPass(SpacePass pass);

}  // namespace objects
