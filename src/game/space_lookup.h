// How the game finds what it needs in its data: spaces loaded from files once, and
// the objects and components inside them. Anything missing is a std::runtime_error
// naming the file it was expected in, so a broken data file stops the game with a
// message a level maker can act on instead of a null pointer later.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "objects/game_object.h"
#include "objects/space.h"

namespace game {

// The space `spaceName`, read from `file` first if no space of that name exists yet.
// A file that cannot be opened, or that does not hold the space, is an error. When it
// is read, `skippedPrefabs` (if not null) gets the prefab files that could not be
// read, with why (serialization::Serializer::SkippedPrefabs).
objects::Space& LoadSpaceOnce(const std::string& spaceName, const std::string& file,
                              std::vector<std::string>* skippedPrefabs = nullptr);

// The object `objectName` of `space`; `file` is where it should have come from.
objects::GameObject& RequireObject(const objects::Space& space, std::string_view objectName,
                                   std::string_view file);

// The component stored under `typeName` on `object`, as T.
template <typename T>
T& RequireComponent(const objects::GameObject& object, std::string_view typeName, std::string_view file);

// Shorthand: the component of an object of a space.
template <typename T>
T& RequireComponent(const objects::Space& space, std::string_view objectName, std::string_view typeName,
                    std::string_view file) {
  return RequireComponent<T>(RequireObject(space, objectName, file), typeName, file);
}

[[noreturn]] void ThrowMissingComponent(const objects::GameObject& object, std::string_view typeName,
                                        std::string_view file);

template <typename T>
T& RequireComponent(const objects::GameObject& object, std::string_view typeName, std::string_view file) {
  T* component = object.GetComponent<T>(typeName);
  if (component == nullptr) ThrowMissingComponent(object, typeName, file);
  return *component;
}

}  // namespace game
