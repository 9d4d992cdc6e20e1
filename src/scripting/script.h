// Script: runs one Lua file for its game object. The file defines the global
// functions Init() and Update(dt); the engine hands the script its object, the
// object's Transform and Physics and a ScriptData block through globals.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "objects/base_component.h"
#include "scripting/script_file.h"

struct lua_State;

namespace objects {
class TypeRegistry;
}

namespace scripting {

class ScriptData;

class Script : public objects::BaseComponent {
 public:
  // Opens a Lua state of its own with every standard library and the scripting
  // API, makes a ScriptData of its own, and names "LuaScripts/testlua.lua".
  Script();
  // Closes the Lua state (if ReleaseSiblings has not) and frees the ScriptData it
  // made for itself.
  ~Script() override;

  // Closes the Lua state before the object's other components go: the script's
  // finalisers may still reach them. The script does nothing from then on.
  void ReleaseSiblings() override;

  // dt in seconds. Until the initialisation has succeeded once (initState), runs it
  // first and stops the frame when it fails. Then runs the file's top-level code,
  // sets the globals myTransform, parent, physics and data, and calls Update(dt).
  // Then collects a step of the state's garbage, so that its memory stays flat.
  // Errors stop the frame's script work; each is written to standard error with
  // its file and line once per place (file and line), and the next frame tries again.
  void Update(float dt) override;

  // The initialisation: runs the file's top-level code, sets the global data and
  // calls Init(). False (without setting initState) when there is no owning object
  // or any step fails.
  bool ScriptInit();

  // Makes the object's own block the script's data. Not owned: it is a sibling
  // component. The block the script made for itself is no longer used but lives on
  // with the script, so that a reference the script kept to it stays valid.
  void AttachData(ScriptData* objectData);

  // The script's Lua state; null only if it could not be created.
  lua_State* GetState() const { return state; }
  // How many times the file was read and compiled (live reload).
  std::uint64_t CompileCount() const { return file_.CompileCount(); }

  // The Lua file, relative to the working directory.
  std::string filename;
  // Owned; closed by ReleaseSiblings or the destructor, null from then on.
  lua_State* state = nullptr;
  // The block given to the script as data: the script's own one, or the object's
  // ScriptData component once that is attached (a sibling, not owned).
  ScriptData* data = nullptr;
  // True once the initialisation has succeeded (a level file may set it).
  bool initState = false;

 private:
  // A frame global's userdata is kept in the registry under the address of its slot
  // and pushed again while it holds the same object, instead of a new one a frame.
  struct FrameGlobal {
    const void* object = nullptr;  // what the kept userdata holds; null: none kept
  };

  void CloseState();
  bool RunFile();
  void RunFrame(float dt);
  void SetFrameGlobals();
  void CollectGarbageStep();
  void Report(const std::string& error) const;

  FrameGlobal parentGlobal_, transformGlobal_, physicsGlobal_, dataGlobal_;

  std::unique_ptr<ScriptData> ownData_;  // the block made for itself; freed with the script
  ScriptFile file_;
};

// Registers "Script" with its serialized members filename and initState.
void RegisterScript(objects::TypeRegistry& registry);

}  // namespace scripting
