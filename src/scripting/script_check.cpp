// The compile check: the file read whole, loaded in text mode into a fresh limited
// state, and the state closed again.
#include "scripting/script_check.h"

#include <fstream>
#include <iterator>
#include <system_error>

#include <lua.hpp>

#include "scripting/script_state.h"

namespace scripting {
namespace {

// The text of the file, or false with `error` set.
bool ReadScript(const std::filesystem::path& path, const std::string& name, std::string& text,
                std::string& error) {
  std::error_code code;
  const std::uintmax_t bytes = std::filesystem::file_size(path, code);
  if (code) {
    error = name + ": cannot read the file (" + code.message() + ")";
    return false;
  }
  if (bytes > kMaxScriptFileBytes) {
    error = name + ": the file is " + std::to_string(bytes) + " bytes, more than the " +
            std::to_string(kMaxScriptFileBytes) + " a script may have";
    return false;
  }
  std::ifstream in(path, std::ios::binary);
  text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  if (!in.good() && !in.eof()) {
    error = name + ": cannot read the file";
    return false;
  }
  return true;
}

}  // namespace

std::string CompileScriptFile(const std::filesystem::path& path, const std::string& name) {
  std::string text;
  std::string error;
  if (!ReadScript(path, name, text, error)) return error;
  lua_State* L = NewScriptState();
  if (L == nullptr) return name + ": not enough memory to compile the script";
  // lua_load runs protected: a syntax error or a memory failure comes back as a code
  // with its message on the stack.
  const std::string chunkName = "@" + name;
  if (luaL_loadbufferx(L, text.data(), text.size(), chunkName.c_str(), "t") != LUA_OK) {
    const char* message = lua_tostring(L, -1);
    error = message != nullptr ? message : "the script does not compile";
    // A refused binary chunk's message does not name the chunk.
    if (error.rfind(name + ":", 0) != 0) error = name + ": " + error;
  }
  CloseScriptState(L);
  return error;
}

}  // namespace scripting
