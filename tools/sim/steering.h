// The runner's steering planner: flies the player along a route of waypoints, frame by
// frame, from the live game state, and records the input it generated so that the run
// can be replayed with --input.
//
// A route is a JSON file a person can read and edit:
//
//   {"level": "Level1",            the level space it plays in; optional
//    "within": 0.5,                 default distance at which a waypoint counts as reached
//    "steps": [
//      {"to": [-5, -3], "note": "star"},                fly to a world position
//      {"to": [12, 8], "within": 1.5},                  ... reached at 1.5 units
//      {"wait": 30},                                    hold still for 30 frames
//      {"wait": {"object": "E_hazard_mine_01",          hold still until that object
//                "near": [36, 6], "within": 1.5,        of the level is this close to a
//                "atMost": 600}},                       point (at most 600 frames)
//      {"click": [640, 590]},                           click at a window pixel
//      {"press": "Space"},                              press and release a key
//      {"route": "level2.json"}                         the steps of another route file
//    ]}
//
// "note" is allowed on every step and ignored. A route that names a level starts once
// that level is the one being played and is over as soon as the level has ended (its
// remaining waypoints and waits are skipped); when its steps run out first, the player
// stands still until the level ends. A click waits until no level is being played, so
// that it lands on the screen shown over it (the victory screen, a menu).
#pragma once

#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "platform/window.h"

namespace sim {

struct RouteStep;

// Runs the steps of the route files, in order, and remembers every event it made.
class Steering {
 public:
  // Reads the route files (and the ones they include); throws std::runtime_error
  // naming the file and the step for anything it cannot take.
  // dt is the frame time the game runs at, in seconds.
  Steering(const std::vector<std::string>& routeFiles, float dt);
  ~Steering();

  // The events of frame `frame` (counted from 1), decided from the state the previous
  // frame left. The same events, as input-script lines, go into the recording.
  std::vector<platform::Message> Steer(long long frame);

  // Every step has been done.
  bool Finished() const;

  // The recording in the --input format: one JSON object a line.
  void WriteRecording(std::ostream& stream) const;

 private:
  std::vector<std::unique_ptr<RouteStep>> steps_;
  std::size_t current_ = 0;
  long long stepFrames_ = 0;  // frames spent in the current step
  int pointerX_ = -1;         // where the recording last put the pointer
  int pointerY_ = -1;
  bool buttonDown_ = false;
  int stateAtClick_ = 0;
  // Flying: where the leg began, where the player was a frame ago, how many frames it
  // has not moved, how often it got stuck on this leg, and whether it is going back to
  // the start of the leg to get free.
  double legStartX_ = 0.0, legStartY_ = 0.0;
  double lastX_ = 0.0, lastY_ = 0.0;
  int stillFrames_ = 0;
  int stuckTimes_ = 0;
  bool backingOff_ = false;
  // Waiting for an object: it has been seen away from the point.
  bool objectWasAway_ = false;
  float dt_;
  // What the current level's route ran into, for the report.
  bool wasKnockedBack_ = false;
  bool wasOnWall_ = false;
  int knockbacks_ = 0;
  int wallContacts_ = 0;
  std::vector<std::string> recording_;

  void Watch(long long frame);
  bool Advance(long long frame, std::vector<std::string>& lines);
  bool FlyTo(const RouteStep& step, long long frame, std::vector<std::string>& lines);
  bool Wait(const RouteStep& step, long long frame, std::vector<std::string>& lines);
  void AimAt(int x, int y, std::vector<std::string>& lines, long long frame);
  void Button(bool down, std::vector<std::string>& lines, long long frame);
};

}  // namespace sim
