// Component storage of a game object and the creation of components by type name.
#include "objects/game_object.h"

#include <string>
#include <utility>

#include "base/log.h"
#include "objects/describe.h"
#include "objects/space.h"
#include "objects/type_registry.h"

namespace objects {

GameObject::GameObject(std::string objectName) : name_(std::move(objectName)) {}

GameObject::~GameObject() {
  for (auto& entry : components_) entry.second->ReleaseSiblings();
  for (auto& component : retired_) component->ReleaseSiblings();
  // Map order, as the components were updated.
  for (auto& entry : components_) entry.second.reset();
  components_.clear();
  retired_.clear();
}

BaseComponent* GameObject::AddComponent(const std::string& typeName) {
  const objects::TypeDescriptor& descriptor = objects::FindType(typeName);
  std::unique_ptr<BaseComponent> component(objects::CreateComponent(descriptor));
  component->type_ = typeName;
  component->owner_ = this;
  BaseComponent* result = component.get();
  auto [position, inserted] = components_.try_emplace(typeName, nullptr);
  if (inserted) {
    position->second = std::move(component);
    NoteComponentsChanged();
  } else {
    retired_.push_back(std::move(component));
  }
  return result;
}

BaseComponent* GameObject::AddComponent(BaseComponent* component) {
  if (component == nullptr) return nullptr;
  std::unique_ptr<BaseComponent>& slot = components_[component->type_];
  if (slot.get() == component) return component;  // already stored here
  component->owner_ = this;
  if (slot) retired_.push_back(std::move(slot));
  slot.reset(component);
  NoteComponentsChanged();
  return component;
}

void GameObject::NoteComponentsChanged() {
  componentsVersion_ = NextComponentsVersion();
  if (space_ != nullptr) space_->NoteChange();
}

BaseComponent* GameObject::GetComponent(std::string_view typeName) const {
  auto position = components_.find(typeName);
  return position == components_.end() ? nullptr : position->second.get();
}

bool GameObject::HasComponent(std::string_view typeName) const {
  return components_.find(typeName) != components_.end();
}

bool GameObject::Initialize() {
  for (auto& entry : components_) {
    if (!entry.second->Initialize()) return false;
  }
  return true;
}

void ReportMissingSibling(const BaseComponent& component, std::string_view typeName) {
  base::LogErrorOnce("component", DescribeObject(component.GetOwner()) + ": " + component.GetType() +
                                      " needs a " + std::string(typeName) + " on its object");
}

}  // namespace objects
