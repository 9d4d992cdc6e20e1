// Script: its environment in the file's shared state, the initialisation and the
// per-frame run.
#include "scripting/script.h"

#include <cstring>
#include <string>
#include <string_view>

#include <lua.hpp>

#include "base/log.h"
#include "components/physics.h"
#include "objects/game_object.h"
#include "objects/transform.h"
#include "objects/type_registry.h"
#include "scripting/binding/binding.h"
#include "scripting/script_call.h"
#include "scripting/script_data.h"
#include "scripting/script_host.h"
#include "scripting/script_state.h"

namespace scripting {
namespace {

// Lua shortens long file names in positions to "..." and their end; the report
// gives the whole name back.
std::string WithFullName(const std::string& error, const std::string& filename) {
  if (error.rfind("...", 0) != 0) return error;
  for (std::size_t colon = error.find(':', 3); colon != std::string::npos;
       colon = error.find(':', colon + 1)) {
    const std::size_t tail = colon - 3;
    if (tail <= filename.size() && filename.compare(filename.size() - tail, tail, error, 3, tail) == 0) {
      return filename + error.substr(colon);
    }
  }
  return error;
}

// Where an error comes from: the text up to its first "name:line:" (the script's
// file and line, or the file and line of the Lua code that raised it), else the
// whole text, which then has no changing parts (a missing file, "not enough memory").
std::string_view PlaceOf(std::string_view text) {
  for (std::size_t colon = text.find(':'); colon != std::string_view::npos;
       colon = text.find(':', colon + 1)) {
    std::size_t end = colon + 1;
    while (end < text.size() && text[end] >= '0' && text[end] <= '9') ++end;
    if (end > colon + 1 && end < text.size() && text[end] == ':') return text.substr(0, end + 1);
  }
  return text;
}

}  // namespace

Script::Script() : BaseComponent("Script"), ownData_(std::make_unique<ScriptData>()) {
  data = ownData_.get();
  filename = "LuaScripts/testlua.lua";
}

Script::~Script() { Leave(); }

void Script::ReleaseSiblings() {
  released_ = true;
  Leave();
}

bool Script::Attach() {
  if (host_ != nullptr && host_->Path() == filename) return true;
  if (released_) return false;
  if (host_ != nullptr) {
    // Another file: the globals of the old one mean nothing to it.
    Leave();
    initState = false;
  }
  std::shared_ptr<ScriptHost> host = ScriptHost::Of(filename);
  if (host == nullptr) return false;
  try {
    RunProtected(host->State(), [this](lua_State* L) {
      lua_createtable(L, kRecordSize, 0);
      PushNewEnvironment(L);
      // An empty chunk is a Lua function with _ENV as its only upvalue: the holder
      // the file's chunk is joined to while it runs for this script.
      if (luaL_loadbuffer(L, "", 0, "=environment") != LUA_OK) lua_error(L);
      lua_pushvalue(L, -2);
      lua_setupvalue(L, -2, 1);
      lua_rawseti(L, -3, kHolder);
      lua_rawseti(L, -2, kEnvironment);
      // The userdata lent to the script, as the keys of a table that does not keep
      // them alive.
      lua_newtable(L);
      lua_createtable(L, 0, 1);
      lua_pushliteral(L, "k");
      lua_setfield(L, -2, "__mode");
      lua_setmetatable(L, -2);
      lua_rawseti(L, -2, kLent);
      record_ = luaL_ref(L, LUA_REGISTRYINDEX);
    });
  } catch (const LuaException& error) {
    Report(error.what());
    return false;
  }
  host_ = std::move(host);
  return true;
}

void Script::Leave() {
  if (host_ == nullptr) return;
  // The last script of the file closes the state, which runs every finaliser while
  // the objects are still there.
  if (host_.use_count() > 1) {
    lua_State* L = host_->State();
    lua_rawgeti(L, LUA_REGISTRYINDEX, record_);
    luaL_unref(L, LUA_REGISTRYINDEX, record_);
    for (const int field : {kEnvironment, kHolder}) {
      lua_pushnil(L);
      lua_rawseti(L, -2, field);
    }
    host_->File().ReleaseEnvironment(L);
    TakeBackLentObjects(L);
    lua_pop(L, 1);
  }
  host_.reset();
  record_ = LUA_NOREF;
  runaways_ = 0;
  switchedOff_ = false;
  for (FrameGlobal& global : frameGlobals_) global = FrameGlobal{global.field};
}

// The record is on top of the stack. Nothing here allocates, so nothing raises.
void Script::TakeBackLentObjects(lua_State* L) {
  lua_rawgeti(L, -1, kLent);
  lua_pushnil(L);
  while (lua_next(L, -2) != 0) {
    lua_pop(L, 1);
    binding::DestroyObject(L, -1);
  }
  lua_pop(L, 1);
}

lua_State* Script::GetState() { return Attach() ? host_->State() : nullptr; }

bool Script::PushGlobals() {
  lua_State* L = GetState();
  if (L == nullptr || !lua_checkstack(L, 2)) return false;
  lua_rawgeti(L, LUA_REGISTRYINDEX, record_);
  lua_rawgeti(L, -1, kEnvironment);
  lua_remove(L, -2);
  return true;
}

std::uint64_t Script::CompileCount() const { return host_ != nullptr ? host_->File().CompileCount() : 0; }

void Script::AttachData(ScriptData* objectData) { data = objectData; }

std::string Script::Located(const std::string& error) const {
  // Errors of Lua code already start with "file:line:"; the others get the file.
  const std::string text = WithFullName(error, filename);
  const bool named = text.compare(0, filename.size(), filename) == 0;
  return named ? text : filename + ": " + text;
}

void Script::Report(const std::string& error) const {
  const std::string report = Located(error);
  // Once per place, not per text: an error may carry a changing value.
  base::LogErrorOnceAt("SCRIPT", PlaceOf(report), report);
}

// Pushes the userdata lending object to the script (nil for null): the one kept in
// the record (at stack index record) while it still holds object and no finaliser
// called by hand has emptied it, else a new one, kept from then on and listed among
// the lent ones for Leave to take back. Raises only as Push does.
template <class T>
void Script::PushLent(lua_State* L, int record, T* object, FrameGlobal& global) {
  if (object != nullptr && object == global.object) {
    // While the record still holds the same userdata it is alive, and Lua never
    // moves one, so its header is where it was found.
    lua_rawgeti(L, record, global.field);
    if (lua_touserdata(L, -1) == global.block && global.header->made != nullptr) return;
    lua_pop(L, 1);
  }
  Push(L, object);
  lua_pushvalue(L, -1);
  lua_rawseti(L, record, global.field);
  global.object = object;
  global.block = lua_touserdata(L, -1);
  global.header = binding::HeaderOf(L, -1);
  if (object == nullptr) return;
  lua_rawgeti(L, record, kLent);
  lua_pushvalue(L, -2);
  lua_pushboolean(L, 1);
  lua_rawset(L, -3);
  lua_pop(L, 1);
}

// Where the frame's call keeps what it works with on the stack of its thunk.
struct Script::CallFrame {
  int record, environment, names;
};

// Sets the script's global `name` to the userdata lending object (see PushLent).
// Raises only as Push and assignment do.
template <class T>
void Script::SetLent(lua_State* L, const CallFrame& frame, int name, T* object, FrameGlobal& global) {
  lua_rawgeti(L, frame.names, name);
  PushLent(L, frame.record, object, global);
  lua_settable(L, frame.environment);
}

// A missing component leaves the global as the script last saw it.
void Script::SetFrameGlobals(lua_State* L, const CallFrame& frame) {
  objects::GameObject* owner = GetOwner();
  if (owner->ComponentsVersion() != siblingsVersion_) {
    siblingsVersion_ = owner->ComponentsVersion();
    transform_ = owner->GetComponent<objects::Transform>("Transform");
    physics_ = owner->GetComponent<components::Physics>("Physics");
  }
  if (transform_ != nullptr) {
    SetLent(L, frame, ScriptHost::kMyTransform, transform_, Global(kTransformGlobal));
  }
  SetLent(L, frame, ScriptHost::kParent, owner, Global(kParentGlobal));
  if (physics_ != nullptr) SetLent(L, frame, ScriptHost::kPhysics, physics_, Global(kPhysicsGlobal));
}

// One call into the script: the file's top level, the globals, one of its functions.
struct Script::Call {
  Script* script;
  int function;            // ScriptHost::kInit or kUpdate
  const double* argument;  // dt for Update; null for Init
};

// Runs in protected mode (CallScript): argument 1 is the Call, argument 2 the
// file's compiled chunk. Nothing here holds a destructor across a Lua error.
int Script::CallThunk(lua_State* L) {
  const Call& call = *static_cast<const Call*>(lua_touserdata(L, 1));
  Script& script = *call.script;
  const CallFrame frame{3, 4, 5};
  lua_rawgeti(L, LUA_REGISTRYINDEX, script.record_);
  lua_rawgeti(L, frame.record, kEnvironment);
  script.host_->PushNames(L);
  lua_rawgeti(L, frame.record, kHolder);
  // Joining replaces the chunk's upvalue rather than its value: the functions an
  // earlier run made for another script keep that script's environment.
  lua_upvaluejoin(L, 2, 1, -1, 1);
  lua_pop(L, 1);
  lua_pushvalue(L, 2);
  CallWithBudget(L, 0);
  const bool update = call.argument != nullptr;
  if (update) script.SetFrameGlobals(L, frame);
  script.SetLent(L, frame, ScriptHost::kData, script.data, script.Global(kDataGlobal));
  lua_rawgeti(L, frame.names, call.function);
  GetScriptFunction(L, frame.environment);
  if (update) lua_pushnumber(L, *call.argument);
  CallWithBudget(L, update ? 1 : 0);
  if (update && script.host_->CollectorTurn(script.host_.use_count())) {
    // A step of the incremental collector once a frame for the whole state, on top
    // of Lua's own steps as memory is allocated: garbage is paid off as it is made
    // instead of piling up to the next automatic cycle. Finalisers may run, and
    // raise, inside it.
    lua_gc(L, LUA_GCSTEP, 0);
  }
  return 0;
}

Script::Outcome Script::CallScriptFunction(int function, const double* argument) {
  lua_State* L = host_->State();
  std::string error;
  Call call{this, function, argument};
  Outcome outcome = Outcome::kFailed;
  if (host_->File().Push(L, &error)) {
    // Clears the mark of a runaway too, so that a failure before the thunk's own
    // budgeted calls is not taken for one.
    StartInstructionBudget(L);
    if (CallScript(L, &CallThunk, &call, 1, &error)) {
      outcome = Outcome::kDone;
    } else if (BudgetRanOut(L)) {
      outcome = Outcome::kRanOut;
    }
  }
  if (outcome != Outcome::kDone) Report(error);
  CountRunaway(outcome, error);
  return outcome;
}

void Script::CountRunaway(Outcome outcome, const std::string& error) {
  if (outcome != Outcome::kRanOut) {
    runaways_ = 0;
    return;
  }
  if (++runaways_ < kRunawaysBeforeSwitchOff) return;
  switchedOff_ = true;
  compilesAtSwitchOff_ = host_->File().CompileCount();
  base::LogError("SCRIPT", std::string(PlaceOf(Located(error))) +
                               " script switched off: " + std::to_string(kRunawaysBeforeSwitchOff) +
                               " calls in a row ran out of the instruction budget; it runs again once "
                               "the file changes");
}

// While switched off, the file is still watched: a new version (compiled by another
// script of the file, or seen on disk) switches the script on again.
bool Script::SwitchedOff() {
  if (!switchedOff_) return false;
  const ScriptFile& file = host_->File();
  if (file.CompileCount() == compilesAtSwitchOff_ && !file.Changed()) return true;
  switchedOff_ = false;
  runaways_ = 0;
  return false;
}

bool Script::ScriptInit() {
  if (GetOwner() == nullptr || !Attach() || SwitchedOff()) return false;
  return CallScriptFunction(ScriptHost::kInit, nullptr) == Outcome::kDone;
}

void Script::Update(float dt) {
  if (GetOwner() == nullptr || !Attach() || SwitchedOff()) return;
  if (!initState && CallScriptFunction(ScriptHost::kInit, nullptr) != Outcome::kDone) return;
  initState = true;
  const double seconds = dt;
  CallScriptFunction(ScriptHost::kUpdate, &seconds);
}

void RegisterScript(objects::TypeRegistry& registry) {
  registry.RegisterType<Script>("Script")
      .Describe("runs a Lua file for its object: Init once, then Update(dt) every frame (see Lua API)",
                R"({"filename": "LuaScripts/MoveRight.lua"})")
      .AddHeaderMember()
      .Add("filename", VELMARIS_FIELD(Script, filename), {"the Lua file, from the data folder"})
      .Hide(VELMARIS_FIELD(Script, data))
      .Add("initState", VELMARIS_FIELD(Script, initState),
           {"true skips Init: Update runs from the first frame"})
      .FinishType();
}

}  // namespace scripting
