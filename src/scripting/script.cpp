// Script: the per-object Lua state, the initialisation and the per-frame run.
#include "scripting/script.h"

#include <cstring>
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
#include "scripting/script_state.h"
#include "scripting/scripting_api.h"

namespace scripting {
namespace {

// Every standard library, in the order luaL_openlibs opens them.
void OpenStandardLibraries(lua_State* L) {
  static const luaL_Reg kLibraries[] = {
      {"_G", luaopen_base},
      {LUA_LOADLIBNAME, luaopen_package},
      {LUA_COLIBNAME, luaopen_coroutine},
      {LUA_TABLIBNAME, luaopen_table},
      {LUA_IOLIBNAME, luaopen_io},
      {LUA_OSLIBNAME, luaopen_os},
      {LUA_STRLIBNAME, luaopen_string},
      {LUA_BITLIBNAME, luaopen_bit32},
      {LUA_MATHLIBNAME, luaopen_math},
      {LUA_DBLIBNAME, luaopen_debug},
  };
  for (const luaL_Reg& library : kLibraries) {
    luaL_requiref(L, library.name, library.func, 1);
    lua_pop(L, 1);
  }
}

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

// Pushes the userdata for object (nil for null), reusing the one kept in slot when
// it still holds object and no finaliser called by hand has emptied it. Raises only
// as Push does.
template <class T>
void PushKept(lua_State* L, T* object, const void* slot, const void** kept) {
  if (object != nullptr && object == *kept) {
    lua_rawgetp(L, LUA_REGISTRYINDEX, slot);
    if (binding::HeaderOf(L, -1) != nullptr) return;
    lua_pop(L, 1);
  }
  Push(L, object);
  lua_pushvalue(L, -1);
  lua_rawsetp(L, LUA_REGISTRYINDEX, slot);
  *kept = object;
}

}  // namespace

Script::Script() : BaseComponent("Script"), ownData_(std::make_unique<ScriptData>()) {
  data = ownData_.get();
  state = NewScriptState();
  if (state != nullptr) {
    OpenStandardLibraries(state);
    RegisterScriptingApi(state);
  } else {
    base::LogErrorOnce("SCRIPT", "cannot create a Lua state: out of memory; scripts do not run");
  }
  filename = "LuaScripts/testlua.lua";
}

Script::~Script() { CloseState(); }

void Script::ReleaseSiblings() { CloseState(); }

void Script::CloseState() {
  if (state == nullptr) return;
  // Closing runs the script's finalisers, which may still reach the object's
  // other components through the globals.
  file_.Release(state);
  CloseScriptState(state);
  state = nullptr;
}

void Script::AttachData(ScriptData* objectData) { data = objectData; }

void Script::Report(const std::string& error) const {
  // Errors of Lua code already start with "file:line:"; the others get the file.
  const std::string text = WithFullName(error, filename);
  const bool named = text.compare(0, filename.size(), filename) == 0;
  const std::string report = named ? text : filename + ": " + text;
  // Once per place, not per text: an error may carry a changing value.
  base::LogErrorOnceAt("SCRIPT", PlaceOf(report), report);
}

bool Script::RunFile() {
  std::string error;
  if (file_.Run(state, filename, &error)) return true;
  Report(error);
  return false;
}

bool Script::ScriptInit() {
  if (GetOwner() == nullptr || state == nullptr) return false;
  if (!RunFile()) return false;
  try {
    SetGlobal(state, "data", data);
  } catch (const LuaException& error) {
    Report(error.what());
    return false;
  }
  std::string error;
  if (!CallGlobal(state, "Init", nullptr, 0, &error)) {
    Report(error);
    return false;
  }
  return true;
}

// A missing component leaves the global as the script last saw it.
void Script::SetFrameGlobals() {
  auto* transform = GetOwner()->GetComponent<objects::Transform>("Transform");
  auto* physics = GetOwner()->GetComponent<components::Physics>("Physics");
  objects::GameObject* parent = GetOwner();
  ScriptData* block = data;
  RunProtected(state, [&](lua_State* L) {
    if (transform != nullptr) {
      PushKept(L, transform, &transformGlobal_, &transformGlobal_.object);
      lua_setglobal(L, "myTransform");
    }
    PushKept(L, parent, &parentGlobal_, &parentGlobal_.object);
    lua_setglobal(L, "parent");
    if (physics != nullptr) {
      PushKept(L, physics, &physicsGlobal_, &physicsGlobal_.object);
      lua_setglobal(L, "physics");
    }
    PushKept(L, block, &dataGlobal_, &dataGlobal_.object);
    lua_setglobal(L, "data");
  });
}

// One basic step of the incremental collector a frame: the garbage a frame makes is
// paid off as it is made, instead of piling up to the next automatic cycle.
// Finalisers may run, and raise, inside it.
void Script::CollectGarbageStep() {
  try {
    RunProtected(state, [](lua_State* L) { lua_gc(L, LUA_GCSTEP, 0); });
  } catch (const LuaException& error) {
    Report(error.what());
  }
}

void Script::Update(float dt) {
  RunFrame(dt);
  if (state != nullptr) CollectGarbageStep();
}

void Script::RunFrame(float dt) {
  if (!initState) {
    if (!ScriptInit()) return;
  }
  initState = true;
  if (GetOwner() == nullptr || state == nullptr) return;
  if (!RunFile()) return;
  try {
    SetFrameGlobals();
  } catch (const LuaException& error) {
    Report(error.what());
    return;
  }
  const double seconds = dt;
  std::string error;
  if (!CallGlobal(state, "Update", &seconds, 1, &error)) Report(error);
}

void RegisterScript(objects::TypeRegistry& registry) {
  using objects::MemberType;
  registry.RegisterType<Script>("Script")
      .AddHeaderMember()
      .AddMember(MemberType::String, "filename", VELMARIS_FIELD(Script, filename))
      .AddMember(MemberType::None, "", VELMARIS_FIELD(Script, state))
      .AddMember(MemberType::None, "", VELMARIS_FIELD(Script, data))
      .AddMember(MemberType::Bool, "initState", VELMARIS_FIELD(Script, initState))
      .FinishType();
}

}  // namespace scripting
