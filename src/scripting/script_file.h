// One script file compiled once into one Lua state and run again and again, for each
// of the scripts that share the state in its own environment; the file is read and
// compiled anew only when it changes on disk (live reload).
#pragma once

#include <cstdint>
#include <string>

#include "base/file_watch.h"

struct lua_State;

namespace scripting {

// The watcher of the script files, shared by all scripts of the process: it takes
// their names inside the data folder (base::ResolveDataPath), so that a name that
// leads out is refused, and looks at a file a few times a second for every script
// running it together.
base::FileWatcher& ScriptFileWatcher();

// Forgets every look, so that the next run of each script looks at its file again
// (tests; after writing a script file on purpose). Keeps the clock.
void ResetFileChecks();

class ScriptFile {
 public:
  // The file at path, as a data file names it: inside the data folder, where
  // base::ResolveDataPath leads it. Nothing is read yet.
  explicit ScriptFile(std::string path);
  ScriptFile(const ScriptFile&) = delete;
  ScriptFile& operator=(const ScriptFile&) = delete;

  // Pushes the compiled chunk of the file onto L's stack. The chunk is kept between
  // calls and the file compiled again only when a look of ScriptFileWatcher sees
  // another version than the last compile; a file that failed to compile fails again
  // without being read until it changes. A file that cannot be found fails (as if it
  // were read every time), and so does a name that leads out of the data folder or a
  // file that is not a plain file. On failure pushes nothing and *error gets the
  // text, which names the file (and the line, when there is one). The chunk is shared
  // by every script of the state: each runs it with its own environment joined to
  // the chunk's _ENV upvalue.
  bool Push(lua_State* L, std::string* error);

  const std::string& Path() const { return path_; }

  // Forgets the compiled chunk, removing it from L's registry.
  void Release(lua_State* L);

  // Lets go of the environment of the script that ran the chunk last (its _ENV goes
  // back to the state's globals), so that the chunk does not keep a script that has
  // left alive. Never raises; on a memory failure the chunk keeps it.
  void ReleaseEnvironment(lua_State* L);

  // True when the file, as a look of ScriptFileWatcher sees it now, is another version
  // than the one compiled last (or is gone, or refused).
  bool Changed() const;

  // How many times the file was read and compiled (for tests and benchmarks).
  std::uint64_t CompileCount() const { return compiles_; }

 private:
  bool Compile(lua_State* L, const std::string& file, std::string* error);

  std::string path_;
  bool known_ = false;  // stamp_ describes the last compile
  base::FileStamp stamp_;
  // The compiled chunk sits in the registry under this object's address.
  bool hasChunk_ = false;
  std::string compileError_;  // why the last compile failed, when there is no chunk
  std::uint64_t compiles_ = 0;
};

}  // namespace scripting
