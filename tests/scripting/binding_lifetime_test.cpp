// Lifetimes and calls across the binding: collection of value objects, pointers
// Lua must not delete, calls from the engine into Lua, LuaException and the stack.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <lua.hpp>
#include <stdexcept>
#include <string>

#include "scripting/binding/binding.h"

namespace {

using ::testing::HasSubstr;

struct Tracked {
  static inline int constructed = 0;
  static inline int destroyed = 0;
  int id = 0;
  explicit Tracked(int value) : id(value) { ++constructed; }
  Tracked(const Tracked& other) : id(other.id) { ++constructed; }
  ~Tracked() { ++destroyed; }
  Tracked Copy() const { return *this; }
  int Id() const { return id; }
};

struct Fragile {
  static inline int alive = 0;
  explicit Fragile(int value) {
    if (value < 0) throw std::invalid_argument("negative size");
    ++alive;
  }
  Fragile(const Fragile&) { ++alive; }
  ~Fragile() { --alive; }
};

struct Explosive {
  bool explode = false;
  Explosive() = default;
  Explosive(const Explosive& other) : explode(other.explode) {
    if (other.explode) throw std::runtime_error("copy failed");
  }
};

struct Vec {
  float x = 0;
};

// Calls a script function from inside a bound function: two boundaries deep.
struct Caller {
  static inline lua_State* state = nullptr;
  void Call(const std::string& name) {
    scripting::ScriptFunctionRef function(state, name.c_str());
    function();
  }
};

class BindingLifetimeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Tracked::constructed = Tracked::destroyed = 0;
    Fragile::alive = 0;
    L = luaL_newstate();
    luaL_openlibs(L);
    Caller::state = L;
    scripting::GetGlobalNamespace(L)
        .BeginClass<Tracked>("Tracked")
        .AddConstructor<int>()
        .AddFunction("Copy", &Tracked::Copy)
        .AddFunction("Id", &Tracked::Id)
        .EndClass()
        .BeginClass<Fragile>("Fragile")
        .AddConstructor<int>()
        .EndClass()
        .BeginClass<Explosive>("Explosive")
        .EndClass()
        .BeginClass<Vec>("Vec")
        .AddConstructor<>()
        .AddData("x", &Vec::x)
        .EndClass()
        .BeginClass<Caller>("Caller")
        .AddConstructor<>()
        .AddFunction("Call", &Caller::Call)
        .EndClass();
  }
  void TearDown() override { Close(); }

  void Close() {
    if (L != nullptr) lua_close(L);
    L = nullptr;
  }

  void Load(const std::string& code) {
    ASSERT_EQ(luaL_loadbuffer(L, code.data(), code.size(), "=test"), LUA_OK);
    ASSERT_EQ(lua_pcall(L, 0, 0, 0), LUA_OK) << lua_tostring(L, -1);
  }

  // Calls global name through a reference and returns the LuaException text.
  std::string CallError(const char* name) {
    try {
      scripting::ScriptFunctionRef(L, name)();
    } catch (const scripting::LuaException& error) {
      return error.what();
    }
    return "(no error)";
  }

  lua_State* L = nullptr;
};

TEST_F(BindingLifetimeTest, CollectedValuesAreDestroyedExactlyOnce) {
  Load("do local t = Tracked(1); local copy = t:Copy(); assert(copy:Id() == 1) end");
  EXPECT_EQ(Tracked::constructed, 2);
  lua_gc(L, LUA_GCCOLLECT, 0);
  EXPECT_EQ(Tracked::destroyed, 2);
  Load("kept = Tracked(2)");
  Close();
  EXPECT_EQ(Tracked::destroyed, 3);
  EXPECT_EQ(Tracked::constructed, 3);
}

TEST_F(BindingLifetimeTest, AFinaliserCalledByHandDoesNotDestroyTwice) {
  Load("t = Tracked(1); getmetatable(t).__gc(t); getmetatable(Tracked(9)).__gc(5)");
  EXPECT_EQ(Tracked::destroyed, 1);
  // The destroyed object is inert: it no longer passes as a Tracked.
  luaL_loadstring(L, "return t:Id()");
  EXPECT_NE(lua_pcall(L, 0, 0, 0), LUA_OK);
  lua_pop(L, 1);
  Close();
  EXPECT_EQ(Tracked::destroyed, 2);  // t once, and Tracked(9)
}

TEST_F(BindingLifetimeTest, PointerUserdataNeverDeletesTheEngineObject) {
  Tracked owned(7);
  scripting::SetGlobal(L, "shared", &owned);
  Load("assert(shared:Id() == 7); shared = nil; collectgarbage()");
  Close();
  EXPECT_EQ(Tracked::destroyed, 0);
  EXPECT_EQ(owned.id, 7);
}

TEST_F(BindingLifetimeTest, NullPointerArrivesAsNil) {
  scripting::SetGlobal(L, "none", static_cast<Tracked*>(nullptr));
  Load("assert(none == nil)");
}

TEST_F(BindingLifetimeTest, ConstructorThatThrowsLeavesNothingToDestroy) {
  Load("ok, message = pcall(function() return Fragile(-1) end)");
  Load("assert(not ok); assert(message:find('negative size'), message)");
  Load("good = Fragile(1)");
  lua_gc(L, LUA_GCCOLLECT, 0);
  EXPECT_EQ(Fragile::alive, 1);
  Close();
  EXPECT_EQ(Fragile::alive, 0);
}

TEST_F(BindingLifetimeTest, PushingAValueWhoseCopyThrowsIsALuaException) {
  Explosive bomb;
  bomb.explode = true;
  try {
    scripting::SetGlobal(L, "bomb", bomb);
    FAIL() << "no exception";
  } catch (const scripting::LuaException& error) {
    EXPECT_STREQ(error.what(), "copy failed");
  }
  EXPECT_EQ(lua_gettop(L), 0);
  Load("assert(bomb == nil)");
}

TEST_F(BindingLifetimeTest, InitAndUpdateReceiveArgumentsAndChangeEngineObjects) {
  Load(
      "function Init() total = 0 end\n"
      "function Update(dt, body, label) total = total + dt; body.x = body.x + 1; last = label end");
  Vec body;
  scripting::ScriptFunctionRef init(L, "Init");
  scripting::ScriptFunctionRef update(L, "Update");
  init();
  update(0.25f, &body, "first");
  update(0.5, &body, std::string("second"));
  EXPECT_EQ(body.x, 2);
  lua_getglobal(L, "total");
  EXPECT_EQ(lua_tonumber(L, -1), 0.75);
  lua_getglobal(L, "last");
  EXPECT_STREQ(lua_tostring(L, -1), "second");
  lua_pop(L, 2);
  EXPECT_EQ(lua_gettop(L), 0);
}

TEST_F(BindingLifetimeTest, ValueArgumentsAreCopiesOwnedByLua) {
  Load("function Keep(t) kept = t end");
  {
    Tracked local(3);
    scripting::ScriptFunctionRef(L, "Keep")(local);
  }
  EXPECT_EQ(Tracked::destroyed, 1);  // the C++ original only
  Load("assert(kept:Id() == 3); kept = nil; collectgarbage()");
  EXPECT_EQ(Tracked::destroyed, 2);
}

TEST_F(BindingLifetimeTest, LuaExceptionCarriesTheErrorText) {
  Load(
      "function Fails() error('boom') end\n"
      "function FailsWithNothing() error() end\n"
      "function FailsWithTable() error({}) end\n"
      "function FailsWithNumber() error(42.5, 0) end");
  EXPECT_EQ(CallError("Fails"), "test:1: boom");
  EXPECT_EQ(CallError("FailsWithNothing"), "missing error");
  EXPECT_EQ(CallError("FailsWithTable"), "(error object is a table value)");
  EXPECT_EQ(CallError("FailsWithNumber"), "42.5");
  EXPECT_THAT(CallError("NoSuchFunction"), HasSubstr("attempt to call a nil value"));
  EXPECT_EQ(lua_gettop(L), 0);
  EXPECT_STREQ(scripting::LuaException(L).what(), "missing error");
}

TEST_F(BindingLifetimeTest, ACallWorksAgainAfterAFailure) {
  Load("calls = 0; function Update() calls = calls + 1; if calls == 1 then error('first') end end");
  scripting::ScriptFunctionRef update(L, "Update");
  EXPECT_THROW(update(), scripting::LuaException);
  EXPECT_NO_THROW(update());
  lua_getglobal(L, "calls");
  EXPECT_EQ(lua_tonumber(L, -1), 2);
  lua_pop(L, 1);
  EXPECT_EQ(lua_gettop(L), 0);
}

TEST_F(BindingLifetimeTest, ErrorsCrossNestedBoundariesBothWays) {
  Load("function Inner() error('inner failure') end");
  Load("ok, message = pcall(function() Caller():Call('Inner') end)");
  Load("assert(not ok); assert(message:find('inner failure'), message)");
  EXPECT_EQ(lua_gettop(L), 0);
}

TEST_F(BindingLifetimeTest, ReferencesHoldTheValueAndFreeTheirSlot) {
  Load("function F() which = 1 end");
  scripting::ScriptFunctionRef first(L, "F");
  Load("function F() which = 2 end");
  first();
  lua_getglobal(L, "which");
  EXPECT_EQ(lua_tonumber(L, -1), 1);
  lua_pop(L, 1);

  scripting::ScriptFunctionRef moved = std::move(first);
  EXPECT_TRUE(first.IsNil());
  EXPECT_FALSE(moved.IsNil());
  EXPECT_THROW(first(), scripting::LuaException);

  const auto registry_size = lua_rawlen(L, LUA_REGISTRYINDEX);
  for (int i = 0; i < 1000; ++i) scripting::ScriptFunctionRef(L, "F");
  EXPECT_LE(lua_rawlen(L, LUA_REGISTRYINDEX), registry_size + 1);
  EXPECT_TRUE(scripting::ScriptFunctionRef(L, "Absent").IsNil());
}

TEST_F(BindingLifetimeTest, PoppingMoreThanTheStackHoldsIsRefused) {
  lua_pushnumber(L, 1);
  try {
    scripting::Pop(L, 2);
    FAIL() << "no exception";
  } catch (const std::logic_error& error) {
    EXPECT_STREQ(error.what(), "invalid stack");
  }
  EXPECT_EQ(lua_gettop(L), 1);
  EXPECT_THROW(scripting::Pop(L, -1), std::logic_error);
  scripting::Pop(L, 1);
  EXPECT_EQ(lua_gettop(L), 0);
}

TEST_F(BindingLifetimeTest, StackGuardRestoresTheTop) {
  lua_pushnumber(L, 1);
  {
    scripting::StackGuard guard(L);
    lua_pushnumber(L, 2);
    lua_pushnumber(L, 3);
  }
  EXPECT_EQ(lua_gettop(L), 1);
  EXPECT_EQ(lua_tonumber(L, -1), 1);
  lua_pop(L, 1);
}

}  // namespace
