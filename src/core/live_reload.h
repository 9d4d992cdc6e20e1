// Dev mode's live reload: watches the level, menu and prefab files loaded into the
// live spaces and the pictures their sprite sources show, and applies a changed file
// between frames. A file that fails to load leaves the running version as it was.
#pragma once

#include <memory>
#include <string_view>

#include "core/clock.h"

namespace objects {
class SpaceRegistry;
}

namespace core {

// What a reload does with a level file (a menu, or a prefab file loaded as a level):
// it loads the new version into a scratch registry first and, only when that works,
// into the live registry, where the loader updates the objects in place and creates
// the new ones. An object the previous version named and the new one does not is
// taken out of its space, unless the game holds it (see HeldObjectTest): that one
// stays, with a line on standard error. Objects the game made by code are never
// touched, and components taken out of an entry stay until the game restarts. An
// object taken out of its space is kept alive (neither updated nor drawn) until the
// watcher ends, so no pointer anyone kept to it or its components dangles.
class LiveReload {
 public:
  // True for an object a reload must not take out of its space: game code keeps
  // pointers into it or finds it by name.
  using HeldObjectTest = bool (*)(std::string_view space, std::string_view object);

  // Watches every level file loaded into `registry` from now on: installs the
  // serializer's level-read hook, so one watcher at a time. The clock times the
  // checks. Neither argument is owned; both must outlive the watcher.
  LiveReload(objects::SpaceRegistry& registry, Clock& clock);
  // Removes the hook and releases the objects reloads took out of their spaces (their
  // sprites own textures): destroy the watcher while the graphics are up.
  ~LiveReload();
  LiveReload(const LiveReload&) = delete;
  LiveReload& operator=(const LiveReload&) = delete;

  // Null (the default) lets a reload take out any object its file no longer names.
  void SetHeldObjects(HeldObjectTest test);

  // Once a frame, between frames: CheckNow when base::FileWatcher's interval has
  // passed on the clock since the last check (or since the watcher started).
  void Poll();

  // Looks at every watched file now and applies what changed: level files (also those
  // that use a changed prefab) first, then pictures. Writes "reloaded FILE" on
  // standard output for each file applied and the reason on standard error for each
  // one that is not.
  void CheckNow();

 private:
  struct Watch;
  std::unique_ptr<Watch> watch_;
};

}  // namespace core
