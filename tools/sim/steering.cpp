#include "steering.h"

#include <cmath>
#include <filesystem>
#include <iostream>
#include <sstream>
#include <stdexcept>

#include <rapidjson/document.h>
#include <rapidjson/error/en.h>

#include "base/file_read.h"
#include "base/game_states.h"
#include "components/physics.h"
#include "components/player_controller_new.h"
#include "game/game_states.h"
#include "game/session.h"
#include "objects/space_registry.h"
#include "objects/transform.h"
#include "platform/headless/input_script.h"
#include "platform/key_names.h"

namespace sim {

struct RouteStep {
  enum class Kind { kBeginLevel, kTo, kWait, kAwaitScreen, kClick, kPress, kEndLevel };
  Kind kind = Kind::kTo;
  std::string where;  // "file: step N", for messages
  std::string level;  // the level space the step plays in; empty: none
  float x = 0.0f;     // to: the waypoint; wait: the point the object is waited for at
  float y = 0.0f;
  float within = 0.0f;   // to: reached at this distance; wait: the object this close
  long long frames = 0;  // wait: frames to hold still, or the most frames to wait
  std::string object;    // wait: the object waited for; empty: wait `frames`
  int pixelX = 0;        // click: window pixels, top left origin
  int pixelY = 0;
  std::string key;  // press: key name as input scripts write it
};

namespace {

namespace fs = std::filesystem;

// The window's centre: the camera sits on the player, so the player is drawn here
// and a pointer here means "no direction", which stops the player at once.
constexpr int kCentreX = platform::Window::kClientWidth / 2;
constexpr int kCentreY = platform::Window::kClientHeight / 2;
// How far from the centre the pointer is put to give a direction: far enough that a
// whole pixel is a small angle (about 0.2 degrees), near enough to stay in the window.
constexpr double kAimRadiusPixels = 300.0;
constexpr int kMaxIncludeDepth = 8;
// A flying player that moves less than this (world units) a frame for kStuckFrames
// frames in a row is held by a wall.
constexpr double kStillDistance = 0.005;
constexpr int kStuckFrames = 10;
// Times a leg is tried again after getting stuck before its waypoint is given up.
constexpr int kStuckRetries = 3;
// Frames a click waits for the state to change before the planner gives up on it.
constexpr long long kClickPatienceFrames = 60;

[[noreturn]] void Fail(const std::string& where, const std::string& what) {
  throw std::runtime_error(where + ": " + what);
}

float ReadNumber(const rapidjson::Value& value, const std::string& where, const char* name) {
  if (!value.IsNumber()) Fail(where, std::string("\"") + name + "\" must be a number");
  return value.GetFloat();
}

void ReadPoint(const rapidjson::Value& value, const std::string& where, const char* name, float& x,
               float& y) {
  if (!value.IsArray() || value.Size() != 2 || !value[0].IsNumber() || !value[1].IsNumber()) {
    Fail(where, std::string("\"") + name + "\" must be [x, y] in world units");
  }
  x = value[0].GetFloat();
  y = value[1].GetFloat();
}

float ReadDistance(const rapidjson::Value& value, const std::string& where) {
  const float distance = ReadNumber(value, where, "within");
  if (!(distance > 0.0f)) Fail(where, "\"within\" must be more than 0");
  return distance;
}

long long ReadFrames(const rapidjson::Value& value, const std::string& where, const char* name) {
  if (!value.IsInt64() || value.GetInt64() < 0)
    Fail(where, std::string("\"") + name + "\" must be a whole number of frames");
  return value.GetInt64();
}

void CheckMembers(const rapidjson::Value& object, const std::string& where,
                  std::initializer_list<const char*> allowed) {
  for (auto member = object.MemberBegin(); member != object.MemberEnd(); ++member) {
    bool known = false;
    for (const char* name : allowed) known = known || member->name == name;
    if (!known) Fail(where, std::string("unknown member \"") + member->name.GetString() + "\"");
  }
}

void ReadWait(const rapidjson::Value& wait, RouteStep& step) {
  step.kind = RouteStep::Kind::kWait;
  if (!wait.IsObject()) {
    step.frames = ReadFrames(wait, step.where, "wait");
    return;
  }
  CheckMembers(wait, step.where, {"object", "near", "within", "atMost"});
  if (!wait.HasMember("object") || !wait["object"].IsString() || !wait.HasMember("near") ||
      !wait.HasMember("within")) {
    Fail(step.where, "a waiting condition needs \"object\" (a name), \"near\" and \"within\"");
  }
  step.object = wait["object"].GetString();
  ReadPoint(wait["near"], step.where, "near", step.x, step.y);
  step.within = ReadDistance(wait["within"], step.where);
  step.frames = wait.HasMember("atMost") ? ReadFrames(wait["atMost"], step.where, "atMost") : 3600;
}

void LoadRoute(const fs::path& path, int depth, std::vector<std::unique_ptr<RouteStep>>& steps);

void ReadStep(const rapidjson::Value& json, const fs::path& path, const std::string& where,
              const std::string& level, float within, int depth,
              std::vector<std::unique_ptr<RouteStep>>& steps) {
  if (!json.IsObject()) Fail(where, "each step must be a JSON object");
  auto step = std::make_unique<RouteStep>();
  step->where = where;
  step->level = level;
  step->within = within;
  if (json.HasMember("to")) {
    CheckMembers(json, where, {"to", "within", "note"});
    step->kind = RouteStep::Kind::kTo;
    ReadPoint(json["to"], where, "to", step->x, step->y);
    if (json.HasMember("within")) step->within = ReadDistance(json["within"], where);
  } else if (json.HasMember("wait")) {
    CheckMembers(json, where, {"wait", "note"});
    ReadWait(json["wait"], *step);
  } else if (json.HasMember("click")) {
    CheckMembers(json, where, {"click", "note"});
    const rapidjson::Value& at = json["click"];
    if (!at.IsArray() || at.Size() != 2 || !at[0].IsInt() || !at[1].IsInt() || at[0].GetInt() < 0 ||
        at[0].GetInt() >= platform::Window::kClientWidth || at[1].GetInt() < 0 ||
        at[1].GetInt() >= platform::Window::kClientHeight) {
      Fail(where, "\"click\" must be [x, y] in window pixels, 0-1279 and 0-719");
    }
    // A click is for a screen shown over the level: it waits for one first.
    auto await = std::make_unique<RouteStep>();
    await->kind = RouteStep::Kind::kAwaitScreen;
    await->where = where;
    steps.push_back(std::move(await));
    step->kind = RouteStep::Kind::kClick;
    step->pixelX = at[0].GetInt();
    step->pixelY = at[1].GetInt();
  } else if (json.HasMember("press")) {
    CheckMembers(json, where, {"press", "note"});
    if (!json["press"].IsString() || platform::VirtualKeyFromName(json["press"].GetString()) == 0) {
      Fail(where, "\"press\" must be a key name such as \"Space\" or \"Escape\"");
    }
    step->kind = RouteStep::Kind::kPress;
    step->key = json["press"].GetString();
  } else if (json.HasMember("route")) {
    CheckMembers(json, where, {"route", "note"});
    if (!json["route"].IsString()) Fail(where, "\"route\" must be a file name");
    LoadRoute(path.parent_path() / json["route"].GetString(), depth + 1, steps);
    return;
  } else {
    Fail(where, "a step needs one of \"to\", \"wait\", \"click\", \"press\", \"route\"");
  }
  steps.push_back(std::move(step));
}

void LoadRoute(const fs::path& path, int depth, std::vector<std::unique_ptr<RouteStep>>& steps) {
  const std::string name = path.filename().string();
  if (depth > kMaxIncludeDepth)
    Fail(name, "routes include each other too deeply (does a route include itself?)");
  std::string text;
  const base::FileRead read = base::ReadWholeFile(path.string(), base::kDataFileLimit, text);
  if (!read.Ok()) Fail(path.string(), "the route file " + read.Said());
  rapidjson::Document route;
  route.Parse(text.c_str(), text.size());
  if (route.HasParseError()) {
    Fail(name, std::string("not JSON: ") + rapidjson::GetParseError_En(route.GetParseError()) +
                   " at offset " + std::to_string(route.GetErrorOffset()));
  }
  if (!route.IsObject()) Fail(name, "a route must be a JSON object");
  CheckMembers(route, name, {"level", "within", "steps", "note"});
  if (!route.HasMember("steps") || !route["steps"].IsArray()) Fail(name, "a route needs \"steps\", a list");
  std::string level;
  if (route.HasMember("level")) {
    if (!route["level"].IsString() || route["level"].GetStringLength() == 0)
      Fail(name, "\"level\" must be a space name");
    level = route["level"].GetString();
  }
  const float within = route.HasMember("within") ? ReadDistance(route["within"], name) : 0.5f;

  if (!level.empty()) {
    auto begin = std::make_unique<RouteStep>();
    begin->kind = RouteStep::Kind::kBeginLevel;
    begin->where = name;
    begin->level = level;
    steps.push_back(std::move(begin));
  }
  const rapidjson::Value& list = route["steps"];
  for (rapidjson::SizeType i = 0; i < list.Size(); ++i) {
    ReadStep(list[i], path, name + ": step " + std::to_string(i + 1), level, within, depth, steps);
  }
  if (!level.empty()) {
    auto end = std::make_unique<RouteStep>();
    end->kind = RouteStep::Kind::kEndLevel;
    end->where = name;
    end->level = level;
    steps.push_back(std::move(end));
  }
}

objects::GameObject* FindInLevel(const std::string& level, std::string_view name) {
  objects::Space* space = objects::FindSpace(level);
  return space == nullptr ? nullptr : space->FindObject(name).lock().get();
}

objects::Transform* PlayerTransform(const std::string& level) {
  objects::GameObject* player = FindInLevel(level, "Player");
  return player == nullptr ? nullptr : player->GetComponent<objects::Transform>("Transform");
}

bool LevelEnded() { return game::Session().level.levelEnded; }

// The level a step plays in: its route's, or else the one being played.
std::string LevelOf(const RouteStep& step) {
  return step.level.empty() ? game::Session().currentLevelSpace : step.level;
}

// The level does not update (its intro, a menu over it, its end): nothing moves.
bool LevelPaused(const std::string& level) {
  const objects::Space* space = objects::FindSpace(level);
  return space == nullptr || space->IsPaused();
}

bool IsLevelState(int state) {
  return state == game::kLevel1 || state == game::kLevel2 || state == game::kLevel3;
}

// A level is being played: no screen is over it that a click could be meant for.
bool PlayingALevel() {
  return IsLevelState(base::States().current) && !LevelEnded() && !game::Session().menuOpen;
}

std::string At(long long frame) { return "{\"frame\":" + std::to_string(frame) + ","; }

}  // namespace

Steering::Steering(const std::vector<std::string>& routeFiles, float dt) : dt_(dt) {
  for (const std::string& file : routeFiles) LoadRoute(file, 0, steps_);
}

Steering::~Steering() = default;

bool Steering::Finished() const { return current_ >= steps_.size(); }

void Steering::AimAt(int x, int y, std::vector<std::string>& lines, long long frame) {
  if (x == pointerX_ && y == pointerY_) return;
  pointerX_ = x;
  pointerY_ = y;
  lines.push_back(At(frame) + "\"mouse\":[" + std::to_string(x) + "," + std::to_string(y) + "]}");
}

void Steering::Button(bool down, std::vector<std::string>& lines, long long frame) {
  if (down == buttonDown_) return;
  buttonDown_ = down;
  // A button event carries the pointer. The frame's events are read on their own
  // (see Steer), so the pointer is stated again in the same frame: read on their own
  // or in the whole file, the lines then give the same messages.
  const bool pointerStated = !lines.empty() && lines.back().find("\"mouse\"") != std::string::npos;
  if (!pointerStated) {
    if (pointerX_ < 0) pointerX_ = kCentreX, pointerY_ = kCentreY;
    lines.push_back(At(frame) + "\"mouse\":[" + std::to_string(pointerX_) + "," + std::to_string(pointerY_) +
                    "]}");
  }
  lines.push_back(At(frame) + "\"button\":\"left\",\"down\":" + (down ? "true" : "false") + "}");
}

// Flies towards the waypoint: true once the player is within reach of it. A player
// that stops moving while it flies (pressed against a wall, where a contact holds it
// fast) goes back to where the leg began, then tries again.
bool Steering::FlyTo(const RouteStep& step, long long frame, std::vector<std::string>& lines) {
  if (LevelEnded()) return true;
  const std::string level = LevelOf(step);
  const objects::Transform* player = PlayerTransform(level);
  if (player == nullptr) Fail(step.where, "no \"Player\" with a Transform in " + level);
  const double x = player->translation.x;
  const double y = player->translation.y;
  if (stepFrames_ == 0) {
    legStartX_ = x, legStartY_ = y;
    stillFrames_ = 0;
    stuckTimes_ = 0;
    backingOff_ = false;
  } else if (!LevelPaused(level)) {
    stillFrames_ = std::hypot(x - lastX_, y - lastY_) < kStillDistance ? stillFrames_ + 1 : 0;
  }
  lastX_ = x, lastY_ = y;
  if (!backingOff_ && stillFrames_ >= kStuckFrames) {
    stillFrames_ = 0;
    if (++stuckTimes_ > kStuckRetries) {
      std::cout << "steering: frame " << frame << ": stuck at (" << x << ", " << y << ") again; giving up "
                << step.where << "\n";
      return true;
    }
    std::cout << "steering: frame " << frame << ": stuck at (" << x << ", " << y << ") on the way of "
              << step.where << "; going back to (" << legStartX_ << ", " << legStartY_ << ")\n";
    backingOff_ = true;
  }
  if (backingOff_ && std::hypot(legStartX_ - x, legStartY_ - y) <= step.within) backingOff_ = false;

  const double dx = (backingOff_ ? legStartX_ : step.x) - x;
  const double dy = (backingOff_ ? legStartY_ : step.y) - y;
  const double distance = std::hypot(dx, dy);
  if (!backingOff_ && distance <= step.within) return true;
  if (distance == 0.0) return false;
  AimAt(kCentreX + static_cast<int>(std::lround(kAimRadiusPixels * dx / distance)),
        kCentreY - static_cast<int>(std::lround(kAimRadiusPixels * dy / distance)), lines, frame);
  Button(true, lines, frame);
  return false;
}

// Holds still for a number of frames, or until an object comes near a point: it has to
// be seen away from the point first, so that a hazard resting there is waited for
// until it comes back (going as it leaves would be too late).
bool Steering::Wait(const RouteStep& step, long long frame, std::vector<std::string>& lines) {
  if (!step.level.empty() && LevelEnded()) return true;
  if (step.object.empty()) {
    if (stepFrames_ >= step.frames) return true;
  } else {
    const std::string level = LevelOf(step);
    const objects::GameObject* object = FindInLevel(level, step.object);
    const objects::Transform* transform =
        object == nullptr ? nullptr : object->GetComponent<objects::Transform>("Transform");
    if (transform == nullptr)
      Fail(step.where, "no object \"" + step.object + "\" with a Transform in " + level);
    const bool near =
        std::hypot(transform->translation.x - step.x, transform->translation.y - step.y) <= step.within;
    if (stepFrames_ == 0) objectWasAway_ = false;
    if (near && objectWasAway_) return true;
    objectWasAway_ = objectWasAway_ || !near;
    if (stepFrames_ >= step.frames) {
      std::cout << "steering: frame " << frame << ": " << step.where << ": waited " << step.frames
                << " frames and \"" << step.object << "\" did not come; going on\n";
      return true;
    }
  }
  AimAt(kCentreX, kCentreY, lines, frame);
  return false;
}

// Runs the current step for this frame: true when it is done (the next step then
// runs in the same frame), false when it made this frame's events or waits.
bool Steering::Advance(long long frame, std::vector<std::string>& lines) {
  RouteStep& step = *steps_[current_];
  switch (step.kind) {
    case RouteStep::Kind::kBeginLevel:
      if (game::Session().currentLevelSpace != step.level || !IsLevelState(base::States().current) ||
          LevelEnded()) {
        return false;
      }
      std::cout << "steering: frame " << frame << ": " << step.level << " begins (" << step.where << ")\n";
      knockbacks_ = 0;
      wallContacts_ = 0;
      return true;

    case RouteStep::Kind::kTo:
      return FlyTo(step, frame, lines);

    case RouteStep::Kind::kWait:
      return Wait(step, frame, lines);

    case RouteStep::Kind::kAwaitScreen:
      return !PlayingALevel();

    case RouteStep::Kind::kClick:
      // Pointer there and button up, then down (a click is a press: down now, up in
      // the frame before), then up again; done once the state has changed.
      if (stepFrames_ == 0) {
        AimAt(step.pixelX, step.pixelY, lines, frame);
        Button(false, lines, frame);
      } else if (stepFrames_ == 1) {
        stateAtClick_ = base::States().current;
        AimAt(step.pixelX, step.pixelY, lines, frame);
        Button(true, lines, frame);
      } else if (stepFrames_ == 2) {
        Button(false, lines, frame);
      } else if (base::States().current != stateAtClick_) {
        return true;
      } else if (stepFrames_ > 2 + kClickPatienceFrames) {
        std::cout << "steering: frame " << frame << ": " << step.where
                  << ": the click changed no state; going on\n";
        return true;
      }
      return false;

    case RouteStep::Kind::kPress:
      // Down in one frame, up in the next.
      lines.push_back(At(frame) + "\"key\":\"" + step.key +
                      "\",\"down\":" + (stepFrames_ == 0 ? "true" : "false") + "}");
      return stepFrames_ > 0;

    case RouteStep::Kind::kEndLevel:
      if (LevelEnded()) {
        const game::LevelState& level = game::Session().level;
        std::cout << "steering: frame " << frame << ": " << step.level << " ended: " << level.collectedStars
                  << " stars, end time " << level.endTime << " s, rating " << level.rating << ", "
                  << knockbacks_ << " knock-backs, " << wallContacts_ << " wall contacts\n";
        return true;
      }
      if (stepFrames_ == 0) {
        std::cout << "steering: frame " << frame << ": " << step.where
                  << ": every step is done but the level has not ended; standing still\n";
      }
      AimAt(kCentreX, kCentreY, lines, frame);
      return false;
  }
  return false;
}

// Reports what the route runs into, for the level maker: hazards (a knock-back starts)
// and walls (the player is not where its velocity took it: a contact put it back on
// the wall's surface). Both print once per episode and are counted for the level.
void Steering::Watch(long long frame) {
  if (Finished()) return;
  const RouteStep& step = *steps_[current_];
  // Only while the route flies or waits in its level: around a level's start the
  // player is put back at the origin, which is no contact.
  if (step.level.empty() || (step.kind != RouteStep::Kind::kTo && step.kind != RouteStep::Kind::kWait))
    return;
  const objects::GameObject* player = FindInLevel(step.level, "Player");
  // A paused level did not move: its physics holds the last frame that ran.
  if (player == nullptr || LevelPaused(step.level)) return;
  const auto* controller = player->GetComponent<components::PlayerControllerNew>("NewPlayerController");
  const auto* physics = player->GetComponent<components::Physics>("Physics");
  const auto* transform = player->GetComponent<objects::Transform>("Transform");
  if (controller == nullptr || physics == nullptr || transform == nullptr) return;
  const float x = transform->translation.x;
  const float y = transform->translation.y;

  const bool knockedBack = controller->knockbackActive;
  if (knockedBack && !wasKnockedBack_) {
    ++knockbacks_;
    std::cout << "steering: frame " << frame << ": knocked back at (" << x << ", " << y << ") on the way of "
              << step.where << "\n";
  }
  wasKnockedBack_ = knockedBack;

  const float freeX = physics->velocity.x * dt_ + physics->previousPosition.x;
  const float freeY = physics->velocity.y * dt_ + physics->previousPosition.y;
  const bool onWall = !knockedBack && std::hypot(x - freeX, y - freeY) > kStillDistance;
  if (onWall && !wasOnWall_) {
    ++wallContacts_;
    std::cout << "steering: frame " << frame << ": touched a wall at (" << x << ", " << y
              << ") on the way of " << step.where << "\n";
  }
  wasOnWall_ = onWall;
}

std::vector<platform::Message> Steering::Steer(long long frame) {
  Watch(frame);

  std::vector<std::string> lines;
  while (!Finished()) {
    if (!Advance(frame, lines)) {
      ++stepFrames_;
      break;
    }
    ++current_;
    stepFrames_ = 0;
  }
  if (lines.empty()) return {};
  std::ostringstream text;
  for (const std::string& line : lines) {
    text << line << '\n';
    recording_.push_back(line);
  }
  // The lines are read back as a replay reads them, so a replay posts the same messages.
  std::istringstream in(text.str());
  const auto script = platform::headless::InputScript::Parse(in, "steering");
  return script.EventsOf(frame);
}

void Steering::WriteRecording(std::ostream& stream) const {
  for (const std::string& line : recording_) stream << line << '\n';
}

}  // namespace sim
