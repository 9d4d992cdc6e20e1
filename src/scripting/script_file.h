// One script file compiled once into one Lua state and run again and again, for each
// of the scripts that share the state in its own environment; the file is read and
// compiled anew only when it changes on disk (live reload).
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <unordered_map>

struct lua_State;

namespace scripting {

// What identifies one version of a file on disk.
struct FileSignature {
  std::int64_t seconds = 0;
  std::int64_t nanoseconds = 0;
  std::int64_t size = 0;
  std::uint64_t inode = 0;
  std::uint64_t device = 0;
  bool operator==(const FileSignature&) const = default;
};

// How long one look at a script file on disk stands: every script running that file
// uses it until then. Four looks a second keep live reload quick for a person
// editing a script without a stat per object per frame. Measured on the system's
// steady clock, not in game time: the file changes in real time, paused or not.
inline constexpr std::chrono::milliseconds kFileCheckInterval{250};

// The looks at script files, shared by all scripts of the process.
struct FileChecks {
  struct Look {
    std::chrono::steady_clock::time_point when;
    bool taken = false;  // false: none yet, or forgotten; the next use looks again
    int error = 0;       // errno of a failed stat; 0 when the file was there
    FileSignature signature;
    std::string opened;   // the file the name leads to (base::ResolveDataPath)
    std::string refusal;  // why the name or the file is refused; empty when it is not
  };
  // By path as scripts name it (inside the data folder: see base/data_path.h). Entries are never removed, so
  // a script file may keep a pointer to its own.
  std::unordered_map<std::string, Look> looks;
  std::chrono::steady_clock::time_point (*now)() = &std::chrono::steady_clock::now;
};

FileChecks& GetFileChecks();

// Forgets every look, so that the next run of each script looks at its file again
// (tests; after writing a script file on purpose). Keeps the clock.
void ResetFileChecks();

// True for a Lua function with at least one upvalue, as lua_upvaluejoin needs. The
// registry, where the engine keeps its functions, is within scripts' reach
// (debug.getregistry), so what is taken from it is checked before such a raw call.
bool IsJoinable(lua_State* L, int index);

class ScriptFile {
 public:
  // The file at path, as a data file names it: inside the data folder, where
  // base::ResolveDataPath leads it. Nothing is read yet.
  explicit ScriptFile(std::string path);
  ScriptFile(const ScriptFile&) = delete;
  ScriptFile& operator=(const ScriptFile&) = delete;

  // Pushes the compiled chunk of the file onto L's stack. The chunk is kept between
  // calls and the file compiled again only when its modification time, size or
  // identity changed since the last compile, as seen by a look at most kFileCheckInterval old; a file
  // that failed to compile fails again without being read until it changes. A file
  // that cannot be found fails (as if it were read every time), and so does a name
  // that leads out of the data folder or a file that is not a plain file. On failure pushes
  // nothing and *error gets the text, which names the file (and the line, when there
  // is one). The chunk is shared by every script of the state: each runs it with its
  // own environment joined to the chunk's _ENV upvalue.
  bool Push(lua_State* L, std::string* error);

  const std::string& Path() const { return path_; }

  // Forgets the compiled chunk, removing it from L's registry.
  void Release(lua_State* L);

  // Lets go of the environment of the script that ran the chunk last (its _ENV goes
  // back to the state's globals), so that the chunk does not keep a script that has
  // left alive. Never raises; on a memory failure the chunk keeps it.
  void ReleaseEnvironment(lua_State* L);

  // How many times the file was read and compiled (for tests and benchmarks).
  std::uint64_t CompileCount() const { return compiles_; }

 private:
  bool Compile(lua_State* L, std::string* error);

  std::string path_;
  FileChecks::Look* look_;  // the look at path_
  bool known_ = false;      // signature_ describes the last compile
  FileSignature signature_;
  // The compiled chunk sits in the registry under this object's address.
  bool hasChunk_ = false;
  std::string compileError_;  // why the last compile failed, when there is no chunk
  std::uint64_t compiles_ = 0;
};

}  // namespace scripting
