// Default operations of the component interface: do nothing (and say so, so that
// the space stops calling them), initialise successfully.
#include "objects/base_component.h"

#include <utility>

#include "objects/game_object.h"
#include "objects/space.h"

namespace objects {

BaseComponent::BaseComponent(std::string typeName) : type_(std::move(typeName)) {}

void BaseComponent::Update(float) { MarkIdle(Pass::kUpdate); }

void BaseComponent::LateUpdate(float) { MarkIdle(Pass::kLateUpdate); }

void BaseComponent::Draw() { MarkIdle(Pass::kDraw); }

void BaseComponent::MarkIdle(Pass pass) {
  if (IsIdleIn(pass)) return;
  idlePasses_ |= Bit(pass);
  if (owner_ != nullptr && owner_->GetSpace() != nullptr) owner_->GetSpace()->NoteIdleComponent();
}

bool BaseComponent::Initialize() { return true; }

}  // namespace objects
