#include "game/space_lookup.h"

#include <stdexcept>

#include "objects/space_registry.h"
#include "serialization/serializer.h"

namespace game {

objects::Space& LoadSpaceOnce(const std::string& spaceName, const std::string& file,
                              std::vector<std::string>* skippedPrefabs) {
  if (objects::Space* space = objects::FindSpace(spaceName)) return *space;
  serialization::Serializer serializer(&objects::GetSpaceRegistry());
  if (!serializer.LoadLevel(file)) throw std::runtime_error(file + ": cannot open the file");
  if (skippedPrefabs != nullptr) *skippedPrefabs = serializer.SkippedPrefabs();
  objects::Space* space = objects::FindSpace(spaceName);
  if (space == nullptr) throw std::runtime_error(file + ": no space \"" + spaceName + "\" in the file");
  return *space;
}

objects::GameObject& RequireObject(const objects::Space& space, std::string_view objectName,
                                   std::string_view file) {
  std::shared_ptr<objects::GameObject> object = space.FindObject(objectName).lock();
  if (object == nullptr) {
    throw std::runtime_error(std::string(file) + ": space \"" + space.GetName() + "\" has no object \"" +
                             std::string(objectName) + "\"");
  }
  // The space keeps owning the object for as long as the game runs.
  return *object;
}

void ThrowMissingComponent(const objects::GameObject& object, std::string_view typeName,
                           std::string_view file) {
  const objects::Space* space = object.GetSpace();
  throw std::runtime_error(std::string(file) + ": object \"" + object.GetName() + "\"" +
                           (space != nullptr ? " of space \"" + space->GetName() + "\"" : std::string()) +
                           " has no " + std::string(typeName) + " component");
}

}  // namespace game
