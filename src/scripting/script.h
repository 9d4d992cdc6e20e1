// Script: runs one Lua file for its game object. The file defines the global
// functions Init() and Update(dt); the engine hands the script its object, the
// object's Transform and Physics and a ScriptData block through globals. Every
// Script of one file shares that file's Lua state (ScriptHost), each with globals of
// its own.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "objects/base_component.h"

struct lua_State;

namespace objects {
class Transform;
class TypeRegistry;
}  // namespace objects

namespace components {
class Physics;
}

namespace scripting {

class ScriptData;
class ScriptHost;
namespace binding {
struct BlockHeader;
}

class Script : public objects::BaseComponent {
 public:
  // Makes a ScriptData of its own and names "LuaScripts/testlua.lua". The Lua state
  // is taken when the script first needs it.
  Script();
  // Leaves the state (if ReleaseSiblings has not) and frees the ScriptData it made
  // for itself.
  ~Script() override;

  // Leaves the file's state before the object's other components go: the script's
  // finalisers run now and may still reach them, and every object the engine lent
  // the script (parent, myTransform, physics, data) is taken back, so that no other
  // script of the state can reach it afterwards. The script does nothing from then
  // on.
  void ReleaseSiblings() override;

  // How many calls in a row into the script (a frame's run, an Init) may run out of
  // the instruction budget before the script is switched off: one that runs away
  // every frame would otherwise hold the game at a few frames a second.
  static constexpr int kRunawaysBeforeSwitchOff = 3;

  // dt in seconds. Until the initialisation has succeeded once (initState), runs it
  // first and stops the frame when it fails. Then runs the file's top-level code,
  // sets the globals myTransform, parent, physics and data, calls Update(dt) and
  // collects a step of the state's garbage, so that its memory stays flat: all in
  // one protected call into the file's state. Errors stop the frame's script work;
  // each is written to standard error with its file and line once per place (file
  // and line), and the next frame tries again. After kRunawaysBeforeSwitchOff calls
  // in a row ran out of the budget (a call that does not resets the count), the
  // script is switched off with one line naming the file and line, and does nothing
  // until its file changes on disk (live reload) or another name is given.
  void Update(float dt) override;

  // The initialisation: runs the file's top-level code, sets the global data and
  // calls Init(). False (without setting initState) when there is no owning object
  // or any step fails.
  bool ScriptInit();

  // Makes the object's own block the script's data. Not owned: it is a sibling
  // component. The block the script made for itself is no longer used but lives on
  // with the script, so that a reference the script kept to it stays valid.
  void AttachData(ScriptData* objectData);

  // The Lua state of the script's file, shared with every other Script running the
  // same file, taken now if the script has none yet for its filename; null only when
  // it cannot be made. The script's globals are not the state's: see PushGlobals.
  lua_State* GetState();
  // Pushes the table of the script's own globals (its environment) onto the
  // state's stack; false, pushing nothing, when there is no state.
  bool PushGlobals();
  // How many times the file was read and compiled (live reload).
  std::uint64_t CompileCount() const;

  // The Lua file, inside the data folder (base::ResolveDataPath; a name that leads
  // out is refused as a script error). Another name given to a script
  // that has run moves it to that file's state with fresh globals, initialised anew.
  std::string filename;
  // The block given to the script as data: the script's own one, or the object's
  // ScriptData component once that is attached (a sibling, not owned).
  ScriptData* data = nullptr;
  // True once the initialisation has succeeded (a level file may set it).
  bool initState = false;

 private:
  struct Call;
  struct CallFrame;

  // The fields of the script's record: a table in the state's registry (under the
  // reference record_) holding what the script's calls need from the Lua side.
  enum RecordField : int {
    kEnvironment = 1,  // the table of the script's globals
    kHolder,           // a function whose first upvalue is that table (see CallThunk)
    kLent,             // the userdata lent to the script, as weak keys
    kParentGlobal,     // the userdata kept for each frame global
    kTransformGlobal,
    kPhysicsGlobal,
    kDataGlobal,
  };
  static constexpr int kRecordSize = kDataGlobal;

  // A frame global's userdata is kept in the record and pushed again while it holds
  // the same object, instead of a new one a frame.
  struct FrameGlobal {
    RecordField field;
    const void* object = nullptr;                  // what the kept userdata holds; null: none kept
    const void* block = nullptr;                   // the kept userdata, as lua_touserdata gives it
    const binding::BlockHeader* header = nullptr;  // its header; emptied by "__gc"
  };

  static int CallThunk(lua_State* L);

  // How one call into the script ended.
  enum class Outcome { kDone, kFailed, kRanOut };

  bool Attach();
  void Leave();
  void TakeBackLentObjects(lua_State* L);
  template <class T>
  void PushLent(lua_State* L, int record, T* object, FrameGlobal& global);
  template <class T>
  void SetLent(lua_State* L, const CallFrame& frame, int name, T* object,
               FrameGlobal& global);  // name: a ScriptHost::Name
  void SetFrameGlobals(lua_State* L, const CallFrame& frame);
  Outcome CallScriptFunction(int function, const double* argument);  // function: a ScriptHost::Name
  void CountRunaway(Outcome outcome, const std::string& error);
  bool SwitchedOff();
  FrameGlobal& Global(RecordField field) { return frameGlobals_[field - kParentGlobal]; }
  std::string Located(const std::string& error) const;
  void Report(const std::string& error) const;

  FrameGlobal frameGlobals_[4] = {{kParentGlobal}, {kTransformGlobal}, {kPhysicsGlobal}, {kDataGlobal}};
  // The siblings handed to the script, looked up again only when the object's
  // components change (siblingsVersion_ behind GameObject::ComponentsVersion).
  objects::Transform* transform_ = nullptr;
  components::Physics* physics_ = nullptr;
  std::uint64_t siblingsVersion_ = 0;

  std::unique_ptr<ScriptData> ownData_;  // the block made for itself; freed with the script
  // The state of the file the script last ran; null until the script needs one.
  std::shared_ptr<ScriptHost> host_;
  int record_ = -2;        // LUA_NOREF while there is no host
  bool released_ = false;  // set by ReleaseSiblings: the siblings are going
  int runaways_ = 0;       // calls in a row that ran out of the budget
  bool switchedOff_ = false;
  std::uint64_t compilesAtSwitchOff_ = 0;  // the file's CompileCount then
};

// Registers "Script" with its serialized members filename and initState.
void RegisterScript(objects::TypeRegistry& registry);

}  // namespace scripting
