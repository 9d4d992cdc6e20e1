// The space registries and the registry passes.
#include "objects/space_registry.h"

namespace objects {

Space* SpaceRegistry::FindSpace(std::string_view spaceName) const {
  auto position = spaces_.find(spaceName);
  return position == spaces_.end() ? nullptr : position->second.get();
}

void SpaceRegistry::RemoveSpace(std::string_view name) {
  const auto position = spaces_.find(name);
  if (position != spaces_.end()) spaces_.erase(position);
}

Space& SpaceRegistry::CreateSpace(const std::string& spaceName) {
  std::unique_ptr<Space>& slot = spaces_[spaceName];
  if (!slot) slot = std::make_unique<Space>(spaceName);
  return *slot;
}

void SpaceRegistry::UpdateSpaces(float dt) {
  for (auto& entry : spaces_) {
    if (entry.second->IsActive()) entry.second->Update(dt);
  }
}

void SpaceRegistry::LateUpdateSpaces(float dt) {
  for (auto& entry : spaces_) {
    if (entry.second->IsActive()) entry.second->LateUpdate(dt);
  }
}

void SpaceRegistry::DrawSpaces() {
  for (auto& entry : spaces_) {
    if (entry.second->IsActive()) entry.second->Draw();
  }
}

SpaceRegistry& GetSpaceRegistry() {
  static SpaceRegistry registry;
  return registry;
}

Space* FindSpace(std::string_view spaceName) { return GetSpaceRegistry().FindSpace(spaceName); }

void UpdateSpaces(float dt) { GetSpaceRegistry().UpdateSpaces(dt); }

void LateUpdateSpaces(float dt) { GetSpaceRegistry().LateUpdateSpaces(dt); }

void DrawSpaces() { GetSpaceRegistry().DrawSpaces(); }

namespace {

// Holds "MenuTestSpace"; ResetSpaces replaces it with a fresh one.
std::unique_ptr<Space>& MenuTestSpaceSlot() {
  static std::unique_ptr<Space> space = std::make_unique<Space>("MenuTestSpace");
  return space;
}

std::unique_ptr<Space>& OverlaySpaceSlot() {
  static std::unique_ptr<Space> space = std::make_unique<Space>("Overlay");
  return space;
}

}  // namespace

Space& GetOverlaySpace() { return *OverlaySpaceSlot(); }

Space& GetMenuTestSpace() { return *MenuTestSpaceSlot(); }

std::shared_ptr<GameObject> AddObject(GameObject* object) { return GetMenuTestSpace().AddObject(object); }

void ResetSpaces() {
  GetSpaceRegistry().Clear();
  MenuTestSpaceSlot() = std::make_unique<Space>("MenuTestSpace");
  OverlaySpaceSlot() = std::make_unique<Space>("Overlay");
}

}  // namespace objects
