// A named layer of game objects (a level, an overlay, a menu page), updated and
// drawn in object-name order.
#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <span>
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
  // Objects that outlive the space (held elsewhere) are left without a space.
  ~Space();

  Space(const Space&) = delete;
  Space& operator=(const Space&) = delete;

  // A new active object without components, or an empty reference (and no change)
  // when the name is taken.
  std::shared_ptr<GameObject> CreateObject(const std::string& name);

  // Takes shared ownership of a hand-built object and stores it under its name if
  // the name is free. The returned reference owns the object either way; null gives
  // an empty reference.
  std::shared_ptr<GameObject> AddObject(GameObject* object);

  // Takes the object out of the space (it then has no space) and hands over the
  // space's reference to it; empty when no object has that name. During a walk the space keeps the object
  // alive until the walk ends, so the calls being made on it finish safely.
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

  // Calls visit(object, components) for every object, active or not, in name order,
  // with its components in type-name order. The walk runs over flat lists cached
  // between changes, so it costs no map walk and no reference counting. Objects
  // added during the walk are visited when their names come after the object being
  // visited (as a walk of the map itself would); the visited object's component list
  // is the one it had when its visit began.
  template <typename Visit>
  void ForEachObject(Visit visit) {
    Walk(kEveryComponent, visit);
  }

 private:
  friend class GameObject;     // reports changes to its components
  friend class BaseComponent;  // reports components found idle in a pass

  // The flat walks: one per pass, holding the components that take part in it (a
  // component found idle in a pass leaves that walk), and one of every component.
  enum WalkKind { kUpdateWalk, kLateUpdateWalk, kDrawWalk, kEveryComponent, kWalkKinds };
  // One object of a walk: its components are the walk's components[first, first + count).
  struct WalkEntry {
    GameObject* object;
    std::uint32_t first;
    std::uint32_t count;
  };
  struct WalkList {
    std::vector<WalkEntry> objects;  // name order; objects with no component in it left out
    std::vector<BaseComponent*> components;
  };

  template <typename Visit>
  void Walk(WalkKind kind, Visit visit);
  // Calls the pass on each component of every object that is active when its turn
  // comes (an earlier component may have switched it off).
  template <typename Call>
  void RunPass(WalkKind kind, Call call);

  // Objects or components came or went: the walks are out of date.
  void NoteChange() { ++version_; }
  // A component was found idle in a pass: the walks shrink when the next one starts.
  void NoteIdleComponent() { ++idleVersion_; }
  // Rebuilds the walks.
  void RebuildWalks();
  // The index in `list` of the first object named after `name`.
  static std::size_t IndexAfter(const WalkList& list, const std::string& name);

  std::string name_;
  ObjectMap objects_;
  bool active_ = true;
  bool paused_ = false;

  WalkList walks_[kWalkKinds];
  std::uint64_t version_ = 0;
  std::uint64_t idleVersion_ = 0;
  std::uint64_t builtVersion_ = ~std::uint64_t{0};  // version_ the walks were built at
  std::uint64_t builtIdleVersion_ = 0;              // idleVersion_ the walks were built at
  int walkDepth_ = 0;                               // walks in progress
  // Objects removed during a walk, released when the outermost walk ends.
  std::vector<std::shared_ptr<GameObject>> removedDuringWalk_;
};

template <typename Visit>
void Space::Walk(WalkKind kind, Visit visit) {
  ++walkDepth_;
  if (builtVersion_ != version_ || builtIdleVersion_ != idleVersion_) RebuildWalks();
  for (std::size_t i = 0; i < walks_[kind].objects.size();) {
    const WalkEntry entry = walks_[kind].objects[i];  // a rebuild below replaces the lists
    visit(*entry.object,
          std::span<BaseComponent* const>(walks_[kind].components.data() + entry.first, entry.count));
    if (builtVersion_ == version_) {
      ++i;
    } else {
      RebuildWalks();
      i = IndexAfter(walks_[kind], entry.object->GetName());
    }
  }
  if (--walkDepth_ == 0) removedDuringWalk_.clear();
}

template <typename Call>
void Space::RunPass(WalkKind kind, Call call) {
  Walk(kind, [&call](GameObject& object, std::span<BaseComponent* const> components) {
    if (!object.IsActive()) return;
    for (BaseComponent* component : components) call(*component);
  });
}

// What the layers above install into this one, in one block.
struct ObjectHooks {
  // The pass a space runs after its components' Update: the collision pass, which
  // lives with the gameplay components above this layer and is installed by the
  // engine's start-up. Null (no pass) until then and in tests that want none.
  void (*collisionPass)(Space& space) = nullptr;

  // Nothing installed (start-up; tests).
  void Reset() { *this = ObjectHooks{}; }
};

// The one block of the process.
ObjectHooks& Hooks();

}  // namespace objects
