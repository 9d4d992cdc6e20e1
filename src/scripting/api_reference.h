// What scripts see, described for people: the functions, classes, methods and fields
// the scripting API registers, the globals the engine sets around each call, and the
// functions a script file defines. The generated reference is written from it.
#pragma once

#include <vector>

namespace scripting {

enum class ApiKind { Function, Constructor, Method, Field };

struct ApiEntry {
  ApiKind kind;
  const char* name;       // as scripts write it: "sinf", "TransformAddX", "x"
  const char* arguments;  // "x, y, z"; for a field its type
  const char* result;     // empty: nothing
  const char* description;
};

// A namespace of functions ("Math") or a class ("Transform").
struct ApiClass {
  const char* name;
  const char* description;
  const char* example;  // a line or two of Lua using it
  std::vector<ApiEntry> entries;
};

// A global a script may read, or a function it defines.
struct ApiGlobal {
  const char* name;
  const char* value;
  const char* when;
};

// In the order the API registers them.
const std::vector<ApiClass>& ScriptingApiReference();
// The engine's globals (data, parent, myTransform, physics).
const std::vector<ApiGlobal>& ScriptGlobals();
// The functions a script file defines (Init, Update).
const std::vector<ApiGlobal>& ScriptFunctions();

}  // namespace scripting
