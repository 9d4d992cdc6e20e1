// ScriptHost: the one Lua state every Script running the same file shares. The
// libraries, the scripting API and the compiled file exist once per file
// instead of once per object, so a level of many scripted objects stays small and
// quick; each Script keeps its globals in an environment table of its own.
#pragma once

#include <memory>
#include <string>

#include "scripting/script_file.h"

struct lua_State;

namespace scripting {

class ScriptHost {
 public:
  // The host of the file at path (as scripts name it, relative to the working
  // directory), made on first use and shared until its last Script lets it go. Null
  // when no Lua state can be made (out of memory).
  static std::shared_ptr<ScriptHost> Of(const std::string& path);

  // Closes the state: the finalisers of every script still run here, so destroy the
  // host while the objects its scripts reach are alive.
  ~ScriptHost();
  ScriptHost(const ScriptHost&) = delete;
  ScriptHost& operator=(const ScriptHost&) = delete;

  // Never null; made by NewScriptState with the level scripts' libraries (sandbox.h)
  // and the API.
  lua_State* State() const { return state_; }
  // The file's compiled chunk, kept in this state.
  ScriptFile& File() { return file_; }
  // The path of the file, as scripts name it.
  const std::string& Path() const { return file_.Path(); }

  // The names the engine reads and sets in every script's globals, in the table
  // PushNames pushes: interned once, not at every use.
  enum Name : int { kMyTransform = 1, kParent, kPhysics, kData, kInit, kUpdate };
  // Pushes the table of the names, indexed by Name. Never raises.
  void PushNames(lua_State* L) const;

  // True for one call in `scripts` (how many scripts share the host): each Script
  // that has run its Update asks, so that the collector gets one explicit step a
  // frame for the whole state, however many scripts share it.
  bool CollectorTurn(long scripts);

 private:
  ScriptHost(lua_State* state, const std::string& path);

  lua_State* state_;
  ScriptFile file_;
  int names_ = -2;  // the registry reference of the names' table
  long callsSinceCollectorTurn_ = 0;
};

// Pushes a new environment for one Script onto the stack of the host's state: a table
// whose own fields are the script's globals, with _G naming the table itself, and
// whose metatable reads what the table lacks from the state's shared globals (the
// libraries and the API). Raises a Lua error when memory runs out.
void PushNewEnvironment(lua_State* L);

}  // namespace scripting
