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

Space::Space(std::string spaceName) : name(std::move(spaceName)) {}

std::shared_ptr<GameObject> Space::CreateObject(const std::string& objectName) {
  if (objects.find(objectName) != objects.end()) return {};
  std::shared_ptr<GameObject> object(new GameObject(objectName));
  object->space = this;
  objects.emplace(objectName, object);
  return object;
}

std::shared_ptr<GameObject> Space::AddObject(GameObject* object) {
  if (object == nullptr) return {};
  std::shared_ptr<GameObject> shared(object);
  if (objects.emplace(object->GetName(), shared).second) object->space = this;
  return shared;
}

std::shared_ptr<GameObject> Space::RemoveObject(std::string_view objectName) {
  auto position = objects.find(objectName);
  if (position == objects.end()) return {};
  std::shared_ptr<GameObject> object = std::move(position->second);
  objects.erase(position);
  return object;
}

std::weak_ptr<GameObject> Space::FindObject(std::string_view objectName) const {
  auto position = objects.find(objectName);
  if (position == objects.end()) return {};
  return position->second;
}

std::vector<std::weak_ptr<GameObject>> Space::GetAllObjects() const {
  std::vector<std::weak_ptr<GameObject>> result;
  result.reserve(objects.size());
  for (const auto& entry : objects) result.emplace_back(entry.second);
  return result;
}

std::vector<std::weak_ptr<GameObject>> Space::GetObjectsWithComponent(
    std::string_view typeName) const {
  std::vector<std::weak_ptr<GameObject>> result;
  for (const auto& entry : objects) {
    if (entry.second->HasComponent(typeName)) result.emplace_back(entry.second);
  }
  return result;
}

void Space::Update(float dt) {
  if (!active || paused) return;
  ForEachActiveComponent(objects, [dt](BaseComponent& component) { component.Update(dt); });
  if (g_CollisionPass != nullptr) g_CollisionPass(*this);
}

void Space::LateUpdate(float dt) {
  if (!active || paused) return;
  ForEachActiveComponent(objects, [dt](BaseComponent& component) { component.LateUpdate(dt); });
}

void Space::Draw() {
  if (!active) return;
  ForEachActiveComponent(objects, [](BaseComponent& component) { component.Draw(); });
}

}  // namespace objects
