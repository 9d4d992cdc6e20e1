// Object storage of a space and its three per-frame passes.
#include "objects/space.h"

#include <utility>

namespace objects {
namespace {

SpacePass g_CollisionPass = nullptr;

// Visits every active object through a temporary shared reference, so an object
// stays alive for the calls made on it even if other code lets go of it.
template <typename Visit>
void ForEachActiveComponent(const Space::ObjectMap& objects, Visit visit) {
  for (const auto& entry : objects) {
    std::shared_ptr<GameObject> object = entry.second;
    if (!object || !object->IsActive()) continue;
    for (const auto& component : object->GetComponents()) {
      if (component.second) visit(*component.second);
    }
  }
}

}  // namespace

void SetCollisionPass(SpacePass pass) { g_CollisionPass = pass; }

Space::Space(std::string spaceName) : name_(std::move(spaceName)) {}

std::shared_ptr<GameObject> Space::CreateObject(const std::string& objectName) {
  if (objects_.find(objectName) != objects_.end()) return {};
  std::shared_ptr<GameObject> object(new GameObject(objectName));
  object->space_ = this;
  objects_.emplace(objectName, object);
  return object;
}

std::shared_ptr<GameObject> Space::AddObject(GameObject* object) {
  if (object == nullptr) return {};
  std::shared_ptr<GameObject> shared(object);
  if (objects_.emplace(object->GetName(), shared).second) object->space_ = this;
  return shared;
}

std::shared_ptr<GameObject> Space::RemoveObject(std::string_view objectName) {
  auto position = objects_.find(objectName);
  if (position == objects_.end()) return {};
  std::shared_ptr<GameObject> object = std::move(position->second);
  objects_.erase(position);
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

void Space::Update(float dt) {
  if (!active_ || paused_) return;
  ForEachActiveComponent(objects_, [dt](BaseComponent& component) { component.Update(dt); });
  if (g_CollisionPass != nullptr) g_CollisionPass(*this);
}

void Space::LateUpdate(float dt) {
  if (!active_ || paused_) return;
  ForEachActiveComponent(objects_, [dt](BaseComponent& component) { component.LateUpdate(dt); });
}

void Space::Draw() {
  if (!active_) return;
  ForEachActiveComponent(objects_, [](BaseComponent& component) { component.Draw(); });
}

}  // namespace objects
