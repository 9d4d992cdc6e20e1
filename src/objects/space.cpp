// Object storage of a space and its three per-frame passes.
#include "objects/space.h"

#include <utility>

namespace objects {
ObjectHooks& Hooks() {
  static ObjectHooks hooks;
  return hooks;
}

Space::Space(std::string spaceName) : name_(std::move(spaceName)) {}

Space::~Space() {
  for (const auto& [objectName, object] : objects_) object->space_ = nullptr;
}

std::shared_ptr<GameObject> Space::CreateObject(const std::string& objectName) {
  if (objects_.find(objectName) != objects_.end()) return {};
  std::shared_ptr<GameObject> object(new GameObject(objectName));
  object->space_ = this;
  objects_.emplace(objectName, object);
  NoteChange();
  return object;
}

std::shared_ptr<GameObject> Space::AddObject(GameObject* object) {
  if (object == nullptr) return {};
  std::shared_ptr<GameObject> shared(object);
  if (objects_.emplace(object->GetName(), shared).second) {
    object->space_ = this;
    NoteChange();
  }
  return shared;
}

std::shared_ptr<GameObject> Space::RemoveObject(std::string_view objectName) {
  auto position = objects_.find(objectName);
  if (position == objects_.end()) return {};
  std::shared_ptr<GameObject> object = std::move(position->second);
  objects_.erase(position);
  object->space_ = nullptr;
  NoteChange();
  if (walkDepth_ > 0) removedDuringWalk_.push_back(object);
  return object;
}

std::weak_ptr<GameObject> Space::FindObject(std::string_view objectName) const {
  auto position = objects_.find(objectName);
  if (position == objects_.end()) return {};
  return position->second;
}

std::vector<std::weak_ptr<GameObject>> Space::GetAllObjects() const {
  std::vector<std::weak_ptr<GameObject>> result;
  result.reserve(objects_.size());
  for (const auto& entry : objects_) result.emplace_back(entry.second);
  return result;
}

std::vector<std::weak_ptr<GameObject>> Space::GetObjectsWithComponent(std::string_view typeName) const {
  std::vector<std::weak_ptr<GameObject>> result;
  for (const auto& entry : objects_) {
    if (entry.second->HasComponent(typeName)) result.emplace_back(entry.second);
  }
  return result;
}

void Space::RebuildWalks() {
  for (WalkList& list : walks_) {
    list.objects.clear();
    list.components.clear();
  }
  constexpr Pass kPassOf[] = {Pass::kUpdate, Pass::kLateUpdate, Pass::kDraw};
  for (const auto& [objectName, object] : objects_) {
    for (int kind = 0; kind < kWalkKinds; ++kind) {
      WalkList& list = walks_[kind];
      const auto first = static_cast<std::uint32_t>(list.components.size());
      for (const auto& [typeName, component] : object->GetComponents()) {
        if (kind == kEveryComponent || !component->IsIdleIn(kPassOf[kind]))
          list.components.push_back(component.get());
      }
      const auto count = static_cast<std::uint32_t>(list.components.size()) - first;
      if (count > 0 || kind == kEveryComponent) list.objects.push_back({object.get(), first, count});
    }
  }
  builtVersion_ = version_;
  builtIdleVersion_ = idleVersion_;
}

std::size_t Space::IndexAfter(const WalkList& list, const std::string& objectName) {
  const auto after = std::upper_bound(
      list.objects.begin(), list.objects.end(), objectName,
      [](const std::string& name, const WalkEntry& entry) { return name < entry.object->GetName(); });
  return static_cast<std::size_t>(after - list.objects.begin());
}

void Space::Update(float dt) {
  if (!active_ || paused_) return;
  RunPass(kUpdateWalk, [dt](BaseComponent& component) { component.Update(dt); });
  if (Hooks().collisionPass != nullptr) Hooks().collisionPass(*this);
}

void Space::LateUpdate(float dt) {
  if (!active_ || paused_) return;
  RunPass(kLateUpdateWalk, [dt](BaseComponent& component) { component.LateUpdate(dt); });
}

void Space::Draw() {
  if (!active_) return;
  RunPass(kDrawWalk, [](BaseComponent& component) { component.Draw(); });
}

}  // namespace objects
