// Compiling a script file without running it: how the data file validator finds a
// level script's syntax errors before the game ever runs it.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

namespace scripting {

// The largest script file compiled, in bytes (16 MB): far beyond any level script,
// so a wrong path cannot fill memory.
inline constexpr std::uintmax_t kMaxScriptFileBytes = 16u * 1024u * 1024u;

// Compiles the file at `path` as Lua 5.2 text (a binary chunk is refused, as the game
// refuses it) in a state under a script's memory cap, and runs nothing. Empty when it
// compiles; otherwise why not, naming the script as `name`:
// "LuaScripts/Bad.lua:3: '=' expected near 'end'".
std::string CompileScriptFile(const std::filesystem::path& path, const std::string& name);

}  // namespace scripting
