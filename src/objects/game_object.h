// A named bag of components, found by exact type name. Objects are owned by their
// space through shared references; an object owns its components outright.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "objects/base_component.h"

namespace objects {

class Space;

class GameObject {
 public:
  // Components by type name, byte-wise ascending (the update and draw order).
  using ComponentMap = std::map<std::string, std::unique_ptr<BaseComponent>, std::less<>>;

  explicit GameObject(std::string name);
  ~GameObject();

  GameObject(const GameObject&) = delete;
  GameObject& operator=(const GameObject&) = delete;

  // Creates a component of a registered type (throws the registry's type error for
  // an unknown name, allocating nothing). When the object already holds a component
  // of that type, the existing one stays in the map and the new one is returned
  // unattached; the object keeps it alive (unreachable by GetComponent) until it is
  // destroyed itself.
  BaseComponent* AddComponent(const std::string& typeName);

  // Takes ownership of a component built with `new` and stores it under its own
  // type, replacing the one stored there before. The replaced component is no longer
  // reachable by GetComponent but lives until this object dies, so pointers that
  // siblings cached to it stay valid. Null gives null.
  BaseComponent* AddComponent(BaseComponent* component);

  // Exact, case-sensitive match; null when absent.
  BaseComponent* GetComponent(std::string_view typeName) const;
  // The same, as the class T: null also when the component stored under that name
  // is of another class (a hand-built one stored under a misleading type).
  template <typename T>
  T* GetComponent(std::string_view typeName) const {
    return dynamic_cast<T*>(GetComponent(typeName));
  }
  bool HasComponent(std::string_view typeName) const;

  // Initialize of every component in type-name order; false at the first failure.
  bool Initialize();

  void SetActive(bool isActive) { active_ = isActive; }
  bool IsActive() const { return active_; }
  const std::string& GetName() const { return name_; }
  // The owning space; null for an object that no space has taken.
  Space* GetSpace() const { return space_; }
  const ComponentMap& GetComponents() const { return components_; }
  // Changes whenever a component is stored under a type name (added or replaced),
  // so that a component looking siblings up every frame can keep what it found. No
  // two objects ever have the same version.
  std::uint64_t ComponentsVersion() const { return componentsVersion_; }

 private:
  friend class Space;

  static std::uint64_t NextComponentsVersion() {
    static std::uint64_t last = 0;
    return ++last;
  }
  void NoteComponentsChanged();

  std::string name_;
  bool active_ = true;
  Space* space_ = nullptr;
  ComponentMap components_;
  std::uint64_t componentsVersion_ = NextComponentsVersion();
  // Components that AddComponent did not attach or that were replaced.
  std::vector<std::unique_ptr<BaseComponent>> retired_;
};

// Writes, once per object, component and missing type, "<object>: <component's
// type> needs a <typeName> on its object" to standard error (RequireSibling).
void ReportMissingSibling(const BaseComponent& component, std::string_view typeName);

// The sibling that `component` cannot work without: the component stored under
// typeName on its object, as the class T. When the component has no object yet, or
// the object holds no such component (or one of another class), the problem is
// reported once (ReportMissingSibling) and the result is null. Not owning.
template <typename T>
T* RequireSibling(const BaseComponent& component, std::string_view typeName) {
  const GameObject* object = component.GetOwner();
  T* sibling = object != nullptr ? object->GetComponent<T>(typeName) : nullptr;
  if (sibling == nullptr) ReportMissingSibling(component, typeName);
  return sibling;
}

}  // namespace objects
