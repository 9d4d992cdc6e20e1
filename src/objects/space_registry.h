// The spaces of the game, by name: the process-wide registry that the level loader
// fills and the game states drive every frame, and the hand-built "MenuTestSpace"
// and "Overlay" that live outside it.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "objects/space.h"

namespace objects {

class SpaceRegistry {
 public:
  // Spaces by name, byte-wise ascending: "Level1" updates and draws before
  // "X_PauseMenu", so overlays draw on top. The registry owns its spaces.
  using SpaceMap = std::map<std::string, std::unique_ptr<Space>, std::less<>>;

  // Null for an unknown name.
  Space* FindSpace(std::string_view name) const;
  // The space of that name, created (active, not paused) and entered when absent.
  Space& CreateSpace(const std::string& name);

  // Each active space in name order: Update (which skips paused spaces),
  // LateUpdate, Draw.
  void UpdateSpaces(float dt);
  void LateUpdateSpaces(float dt);
  void DrawSpaces();

  const SpaceMap& GetSpaces() const { return spaces_; }
  // Removes every space (tests, and a state that owns a registry of its own).
  void Clear() { spaces_.clear(); }
  // Removes the space of that name, if any (a level played from a file of its own,
  // when it ends). Never while the spaces are being walked.
  void RemoveSpace(std::string_view name);

 private:
  SpaceMap spaces_;
};

// The process-wide registry: every space lives in it until the process ends.
SpaceRegistry& GetSpaceRegistry();

// The registry operations on the process-wide registry.
Space* FindSpace(std::string_view name);
void UpdateSpaces(float dt);
void LateUpdateSpaces(float dt);
void DrawSpaces();

// "MenuTestSpace": filled, updated and drawn only by the menu test state.
Space& GetMenuTestSpace();
// Stores a hand-built object in "MenuTestSpace" (see Space::AddObject).
std::shared_ptr<GameObject> AddObject(GameObject* object);

// "Overlay": a space outside the registry that no state walks; the frame loop's
// overlay (core/frame_loop.h) updates and draws it over each finished frame, for
// what is shown over the game and kept out of its screenshots (notices).
Space& GetOverlaySpace();

// Empties the process-wide registry, "MenuTestSpace" and "Overlay": engine shutdown
// (their sprites own textures, released while the graphics are up) and tests.
void ResetSpaces();

}  // namespace objects
