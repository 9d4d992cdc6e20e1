// The scripting API's description against a script's real state: every row names
// something scripts can reach, and every method and field a class registers has a
// row, so the generated reference can neither invent nor forget a name.
#include "scripting/api_reference.h"

#include <memory>
#include <set>
#include <string>

#include <gtest/gtest.h>

#include "scripting/script_fixture.h"

namespace {

using scripting::ApiKind;
using testing_support::RunLua;
using testing_support::ScriptFixture;

class ApiReferenceTest : public ScriptFixture {
 protected:
  // The string keys of the table on top of the stack that are not metamethods.
  static std::set<std::string> Names(lua_State* L) {
    std::set<std::string> names;
    lua_pushnil(L);
    while (lua_next(L, -2) != 0) {
      lua_pop(L, 1);
      if (lua_type(L, -1) == LUA_TSTRING) {
        const std::string key = lua_tostring(L, -1);
        if (key.rfind("__", 0) != 0) names.insert(key);
      }
    }
    return names;
  }

  // What the value of global `name` offers scripts: for an object, the methods of its
  // class and its fields; for a namespace, its functions.
  std::set<std::string> Offered(const char* name) {
    lua_State* L = script->GetState();
    script->PushGlobals();
    lua_getfield(L, -1, name);
    std::set<std::string> names;
    if (lua_istable(L, -1)) {
      names = Names(L);
    } else if (lua_getmetatable(L, -1)) {
      names = Names(L);
      lua_getfield(L, -1, "__propget");
      if (lua_istable(L, -1)) names.merge(Names(L));
      lua_pop(L, 2);
    }
    lua_pop(L, 2);
    return names;
  }

  std::unique_ptr<scripting::Script> script = std::make_unique<scripting::Script>();
};

// A call of the constructor with arguments of the right kinds.
std::string Construct(const scripting::ApiEntry& constructor) {
  std::string call = std::string(constructor.name) + "(";
  std::string arguments = constructor.arguments;
  bool first = true;
  for (std::size_t start = 0; !arguments.empty() && start != std::string::npos;) {
    const std::size_t comma = arguments.find(',', start);
    const std::string argument = arguments.substr(start, comma == std::string::npos ? comma : comma - start);
    call += (first ? "" : ", ") + std::string(argument.find("name") != std::string::npos ? "'n'" : "0");
    first = false;
    start = comma == std::string::npos ? comma : comma + 1;
  }
  return call + ")";
}

TEST_F(ApiReferenceTest, EveryClassOffersExactlyTheNamesItsRowsGive) {
  for (const scripting::ApiClass& api : scripting::ScriptingApiReference()) {
    std::set<std::string> described;
    std::string value = api.name;  // a namespace is its own value
    for (const scripting::ApiEntry& entry : api.entries) {
      if (entry.kind == ApiKind::Constructor) {
        EXPECT_EQ(entry.name, std::string(api.name));
        value = "made";
        ASSERT_EQ(RunLua(*script, "made = " + Construct(entry)), "") << api.name;
      } else {
        described.insert(entry.name);
      }
      EXPECT_NE(std::string(entry.description), "") << api.name << "." << entry.name;
    }
    EXPECT_EQ(Offered(value.c_str()), described) << api.name;
    EXPECT_NE(std::string(api.description), "") << api.name;
    EXPECT_EQ(RunLua(*script, std::string("assert(load(") + "[==[" + api.example + "]==]))"), "")
        << "the example of " << api.name << " does not compile";
  }
}

}  // namespace
