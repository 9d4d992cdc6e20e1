// Default operations of the component interface: do nothing, initialise successfully.
#include "objects/base_component.h"

#include <utility>

namespace objects {

BaseComponent::BaseComponent(std::string typeName) : type_(std::move(typeName)) {}

void BaseComponent::Update(float) {}

void BaseComponent::LateUpdate(float) {}

void BaseComponent::Draw() {}

bool BaseComponent::Initialize() { return true; }

}  // namespace objects
