// The Lua binding layer: lookups, writes, argument checks, const objects, copies,
// inheritance and every error message of the layer; lifetimes of values and pointers,
// calls from the engine into Lua, LuaException and the stack.
#include "scripting/binding/binding.h"

#include <cstdint>
#include <stdexcept>
#include <string>

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <lua.hpp>

namespace {

using ::testing::HasSubstr;
using ::testing::StrEq;
using ::testing::ThrowsMessage;

struct Vec {
  float x = 0;
  float y = 0;
  float Length() const { return x + y; }  // Manhattan: exact in float
  void Scale(float factor) { x *= factor, y *= factor; }
};
float Dot(const Vec& a, const Vec& b) { return a.x * b.x + a.y * b.y; }
void Grow(Vec& v) { v.x += 1; }
float SumOf(const Vec& v) { return v.x + v.y; }  // bound as a const method
Vec Zero() { return Vec{}; }

struct Body {
  Vec position;
  std::string name = "body";
  Vec GetPosition() const { return position; }
  void SetPosition(const Vec& p) { position = p; }
  Vec* PositionPointer() { return &position; }
  const Vec* ConstPosition() const { return &position; }
  Vec* Nothing() { return nullptr; }
  std::string Name() const { return name; }
  void Rename(const std::string& n) { name = n; }
  void Fail() { throw std::runtime_error("engine refused"); }
};

// Shape sits after a polymorphic base in Square, so a Square* and its Shape* differ.
struct Shape {
  int sides = 0;
  int Sides() const { return sides; }
};
struct Padding {
  virtual ~Padding() = default;
  double pad = 0;
};
struct Square : Padding, Shape {
  Square() { sides = 4; }
  float side = 2;
};
int SidesOf(const Shape& s) { return s.sides; }

struct Wide {
  alignas(16) double values[2] = {1, 2};
  bool Aligned() const { return reinterpret_cast<std::uintptr_t>(this) % 16 == 0; }
};

int TakeInt(int value) { return value; }
unsigned TakeUnsigned(unsigned value) { return value; }
float First() { return 1; }
float Second() { return 2; }

float g_gravity = 9.5f;
const int g_lives = 3;

// Counts its lives; refuses a negative id, and its copy throws for id 13.
struct Tracked {
  static inline int constructed = 0;
  static inline int destroyed = 0;
  int id = 0;
  explicit Tracked(int value) : id(value) {
    if (value < 0) throw std::invalid_argument("negative id");
    ++constructed;
  }
  Tracked(const Tracked& other) : id(other.id) {
    if (other.id == 13) throw std::runtime_error("copy failed");
    ++constructed;
  }
  ~Tracked() { ++destroyed; }
  Tracked Copy() const { return *this; }
  int Id() const { return id; }
};

// Calls a script function from inside a bound function: two boundaries deep.
lua_State* g_state = nullptr;
void CallBack(const std::string& name) { scripting::ScriptFunctionRef(g_state, name.c_str())(); }

// A chunk of Lua and the exact error it must raise; "" when it must run (its asserts hold).
struct Chunk {
  const char* code;
  const char* error;
};

class BindingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_gravity = 9.5f;
    Tracked::constructed = Tracked::destroyed = 0;
    g_state = L = luaL_newstate();
    luaL_openlibs(L);
    scripting::GetGlobalNamespace(L)
        .BeginNamespace("Math")
        .AddFunction("pick", &First)
        .AddFunction("pick", &Second)
        .AddFunction("int", &TakeInt)
        .AddFunction("unsigned", &TakeUnsigned)
        .AddVariable("gravity", &g_gravity)
        .AddVariable("lives", &g_lives)
        .EndNamespace()
        .BeginClass<Vec>("Vec")
        .AddConstructor<float, float>()
        .AddData("x", &Vec::x)
        .AddData("y", &Vec::y)
        .AddFunction("Length", &Vec::Length)
        .AddFunction("Scale", &Vec::Scale)
        .AddFunction("Sum", &SumOf)
        .AddFunction("Grow", &Grow)
        .AddStaticFunction("Dot", &Dot)
        .AddStaticFunction("Zero", &Zero)
        .EndClass()
        .BeginClass<Body>("Body")
        .AddConstructor<>()
        .AddData("position", &Body::position)
        .AddProperty("name", &Body::Name, &Body::Rename)
        .AddFunction("GetPosition", &Body::GetPosition)
        .AddFunction("SetPosition", &Body::SetPosition)
        .AddFunction("PositionPointer", &Body::PositionPointer)
        .AddFunction("ConstPosition", &Body::ConstPosition)
        .AddFunction("Nothing", &Body::Nothing)
        .AddFunction("Fail", &Body::Fail)
        .EndClass()
        .BeginClass<Shape>("Shape")
        .AddData("sides", &Shape::sides)
        .AddFunction("Sides", &Shape::Sides)
        .EndClass()
        .DeriveClass<Square, Shape>("Square")
        .AddConstructor<>()
        .AddData("side", &Square::side)
        .EndClass()
        .BeginClass<Wide>("Wide")
        .AddConstructor<>()
        .AddFunction("Aligned", &Wide::Aligned)
        .EndClass()
        .AddFunction("SidesOf", &SidesOf)
        .AddFunction("CallBack", &CallBack)
        .BeginClass<Tracked>("Tracked")
        .AddConstructor<int>()
        .AddFunction("Copy", &Tracked::Copy)
        .AddFunction("Id", &Tracked::Id)
        .EndClass();
    scripting::SetGlobal(L, "cv", static_cast<const Vec*>(&engine_vec));
  }
  void TearDown() override { Close(); }

  void Close() {
    if (L != nullptr) lua_close(L);
    L = nullptr;
  }

  // Runs a chunk; returns "" on success, else the error message.
  std::string Run(const std::string& code) {
    if (luaL_loadbuffer(L, code.data(), code.size(), "=test") != LUA_OK || lua_pcall(L, 0, 0, 0) != LUA_OK) {
      std::string message = lua_tostring(L, -1);
      lua_pop(L, 1);
      return message;
    }
    return "";
  }

  void Load(const std::string& code) { ASSERT_EQ(Run(code), "") << code; }

  // Runs the chunks in order in one state; each must give its exact result.
  void ExpectChunks(std::initializer_list<Chunk> chunks) {
    for (const Chunk& chunk : chunks) EXPECT_EQ(Run(chunk.code), chunk.error) << chunk.code;
    EXPECT_EQ(lua_gettop(L), 0);
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

  Vec engine_vec{1, 2};  // reaches Lua only as the const object cv
  lua_State* L = nullptr;
};

TEST_F(BindingTest, ScriptsUseTheApiAsBound) {
  ExpectChunks({
      {"v = Vec(3, 4); v:Scale(2); v.y = v.y + 1; assert(v.x == 6 and v.y == 9 and v:Length() == 15)", ""},
      {"assert(v:Sum() == 15); v:Grow(); assert(v.x == 7)", ""},  // free functions as methods
      {"assert(Vec.Dot(Vec(1, 2), Vec(3, 4)) == 11 and Vec.Zero().x + Vec.Zero().y == 0)", ""},
      {"assert(Math.pick() == 2)", ""},  // the second registration of a name wins
      {"b = Body(); b.name = 'hero'; assert(b.name == 'hero'); b.name = 12; assert(b.name == '12')", ""},
      {"assert(Math.int('42') == 42 and Math.int(-7.9) == -7 and Math.int(0/0) == 0)", ""},
      {"assert(Math.int(1e20) == 2147483647 and Math.int(-1e20) == -2147483648)", ""},
      {"assert(Math.unsigned(-1) == 0 and Math.unsigned(4294967295) == 4294967295)", ""},
      {"assert(Math.gravity == 9.5 and Math.lives == 3); Math.gravity = 3", ""},
      {"assert(v.z == nil and v.Missing == nil and Math.nothing == nil and Vec.nothing == nil)", ""},
      {"for i = 1, 20 do assert(Wide():Aligned()) end", ""},
      {"assert(not pcall(Body().Fail, Body()))", ""},
      // Getters give copies; pointers share the engine object.
      {"b.position = Vec(1, 2); local p = b.position; p.x = 50; b:GetPosition().x = 60", ""},
      {"assert(b.position.x == 1); local p = b.position; p.x = 70; b.position = p; assert(b.position.x == "
       "70)",
       ""},
      {"b:SetPosition(Vec(5, 0)); assert(b:GetPosition().x == 5)", ""},
      {"b:PositionPointer().x = 8; assert(b.position.x == 8 and b:Nothing() == nil)", ""},
      // Const objects see const methods only; derived classes reach their base.
      {"assert(cv:Length() == 3 and cv:Sum() == 3 and cv.x == 1)", ""},
      {"assert(cv.Scale == nil and cv.Grow == nil and Vec.Dot(cv, Vec(1, 1)) == 3)", ""},
      {"s = Square(); assert(s:Sides() == 4 and s.sides + s.side == 6)", ""},
      {"s.sides = 5; assert(SidesOf(s) == 5)", ""},  // the Shape inside is not at the Square's address
  });
  EXPECT_EQ(g_gravity, 3.0f);
  EXPECT_EQ(engine_vec.x, 1);
}

TEST_F(BindingTest, EveryRefusalGivesItsExactMessage) {
  ExpectChunks({
      {"Vec(1, 2).z = 1", "test:1: no writable variable 'z'"},
      {"Vec(1, 2)[3] = 1", "test:1: no writable variable '3'"},
      {"cv.x = 5", "test:1: no writable variable 'x'"},
      {"Body():ConstPosition().x = 9", "test:1: no writable variable 'x'"},
      {"Square().nothing = 1", "test:1: no writable variable 'nothing'"},
      {"Math.helper = 1", "test:1: no member named 'helper'"},
      {"Math.lives = 4", "test:1: no member named 'lives'"},
      {"Vec.origin = Vec(0, 0)", "test:1: no member named 'origin'"},
      {"Vec.Dot(5, Vec(1, 1))", "test:1: bad argument #1 to 'Dot' (Vec expected, got number)"},
      {"Vec.Dot(Vec(1, 1), Body())", "test:1: bad argument #2 to 'Dot' (Vec expected, got Body)"},
      {"Vec.Dot(Vec(1, 1), {})", "test:1: bad argument #2 to 'Dot' (Vec expected, got table)"},
      {"Vec.Dot(Vec(1, 1), io.stdout)", "test:1: bad argument #2 to 'Dot' (Vec expected, got userdata)"},
      {"Vec.Dot(Body():ConstPosition(), Square())",
       "test:1: bad argument #2 to 'Dot' (Vec expected, got Square)"},
      {"Vec(1, 1).Length(Body())", "test:1: bad argument #1 to 'Length' (Vec expected, got Body)"},
      {"Body():SetPosition(cv.x)", "test:1: bad argument #1 to 'SetPosition' (Vec expected, got number)"},
      {"local f = Square().Sides; f(Vec(1, 1))", "test:1: bad argument #1 to 'f' (Shape expected, got Vec)"},
      {"Vec(0, 0).Scale(cv, 2)", "test:1: bad argument #1 to 'Scale' (cannot be const)"},
      {"Vec(0, 0).Grow(cv)", "test:1: bad argument #1 to 'Grow' (cannot be const)"},
      {"Vec.Dot(nil, Vec(1, 1))", "test:1: bad argument #1 to 'Dot' (nil passed to reference)"},
      {"Body():SetPosition()", "test:1: bad argument #1 to 'SetPosition' (nil passed to reference)"},
      {"cv:Scale(2)", "test:1: attempt to call method 'Scale' (a nil value)"},
      {"Math.int('x')", "test:1: bad argument #1 to 'int' (number expected, got string)"},
      {"Math.int()", "test:1: bad argument #1 to 'int' (number expected, got no value)"},
      {"Body().name = {}", "bad argument #2 to '?' (string expected, got table)"},
      {"Body():Fail()", "test:1: engine refused"},
      // Malformed namespace tables, each breaking Math further.
      {"Math.__propget.broken = function() return 1 end; return Math.broken", "test:1: not a cfunction"},
      {"rawset(Math, '__parent', 5); return Math.unknown", "test:1: __parent is not a table"},
      {"Math.__propget = nil; return Math.unknown", "test:1: missing __propget table"},
  });
  EXPECT_EQ(engine_vec.x, 1);
}

TEST_F(BindingTest, EngineReadsObjectsBackFromTheStack) {
  ASSERT_EQ(Run("v = Vec(4, 5); s = Square()"), "");
  lua_getglobal(L, "v");
  Vec* v = scripting::ToObject<Vec>(L, -1);
  ASSERT_NE(v, nullptr);
  EXPECT_EQ(v->y, 5);
  EXPECT_EQ(scripting::ToObject<Body>(L, -1), nullptr);
  lua_getglobal(L, "cv");
  EXPECT_EQ(scripting::ToObject<Vec>(L, -1), nullptr);  // a const object is not mutable
  lua_getglobal(L, "s");
  const Shape* shape = scripting::ToConstObject<Shape>(L, -1);
  ASSERT_NE(shape, nullptr);
  EXPECT_EQ(shape->sides, 4);
  lua_pop(L, 4);
}

TEST_F(BindingTest, RegistrationMistakesThrowAndKeepTheStack) {
  EXPECT_THROW(scripting::GetGlobalNamespace(L).EndNamespace(), std::logic_error);
  EXPECT_THROW(scripting::GetGlobalNamespace(L).AddVariable("g", &g_gravity), std::logic_error);
  EXPECT_THROW(scripting::GetGlobalNamespace(L).BeginNamespace("print"), std::logic_error);
  EXPECT_EQ(lua_gettop(L), 0);
  // Reopening a namespace and a class adds to them.
  scripting::GetGlobalNamespace(L)
      .BeginNamespace("Math")
      .AddFunction("again", &First)
      .EndNamespace()
      .BeginClass<Vec>("Vec")
      .AddFunction("Twice", &Vec::Length)
      .EndClass();
  EXPECT_EQ(lua_gettop(L), 0);
  EXPECT_EQ(Run("assert(Math.again() + Math.pick() + Vec(1, 1):Twice() == 5)"), "");
}

TEST_F(BindingTest, CollectedValuesAreDestroyedExactlyOnce) {
  Load("do local t = Tracked(1); local copy = t:Copy(); assert(copy:Id() == 1) end");
  EXPECT_EQ(Tracked::constructed, 2);
  lua_gc(L, LUA_GCCOLLECT, 0);
  EXPECT_EQ(Tracked::destroyed, 2);
  // A finaliser called by hand destroys once; the object is then inert.
  Load("t = Tracked(2); debug.getmetatable(t).__gc(t); debug.getmetatable(Tracked(9)).__gc(5)");
  EXPECT_EQ(Tracked::destroyed, 3);
  EXPECT_NE(luaL_dostring(L, "return t:Id()"), LUA_OK);
  lua_pop(L, 1);
  Load("kept = Tracked(3)");
  Close();
  EXPECT_EQ(Tracked::destroyed, 5);  // Tracked(9) and kept at the close, t not again
  EXPECT_EQ(Tracked::constructed, 5);
}

TEST_F(BindingTest, LuaOwnsValueCopiesButNeverTheEnginesPointers) {
  Tracked owned(7);
  scripting::SetGlobal(L, "shared", &owned);
  scripting::SetGlobal(L, "none", static_cast<Tracked*>(nullptr));
  Load("function Keep(t) kept = t end; assert(shared:Id() == 7 and none == nil); shared = nil");
  {
    Tracked local(3);
    scripting::ScriptFunctionRef(L, "Keep")(local);
  }
  EXPECT_EQ(Tracked::destroyed, 1);  // the C++ original only
  Load("assert(kept:Id() == 3); kept = nil; collectgarbage()");
  EXPECT_EQ(Tracked::destroyed, 2);
  Close();
  EXPECT_EQ(Tracked::destroyed, 2);
  EXPECT_EQ(owned.id, 7);
}

TEST_F(BindingTest, ThrowingConstructorsAndCopiesLeaveNothingBehind) {
  Load("local ok, message = pcall(Tracked, -1); assert(not ok and message:find('negative id'), message)");
  const Tracked bomb(13);
  EXPECT_THAT([&] { scripting::SetGlobal(L, "bomb", bomb); },
              ThrowsMessage<scripting::LuaException>(StrEq("copy failed")));
  EXPECT_EQ(lua_gettop(L), 0);
  Load("assert(bomb == nil)");
  Close();
  EXPECT_EQ(Tracked::destroyed, 0);
  EXPECT_EQ(Tracked::constructed, 1);  // bomb
}

TEST_F(BindingTest, CallsFromTheEnginePassArgumentsAndWorkAgainAfterAFailure) {
  Load(
      "function Init() total = 0 end\n"
      "function Update(dt, body, label)\n"
      "  total = total + dt; body.x = body.x + 1; last = label\n"
      "  if total == 0.25 then error('first') end\n"
      "end");
  Vec body;
  scripting::ScriptFunctionRef init(L, "Init");
  scripting::ScriptFunctionRef update(L, "Update");
  init();
  EXPECT_THROW(update(0.25f, &body, "first"), scripting::LuaException);
  EXPECT_EQ(lua_gettop(L), 0);
  update(0.5, &body, std::string("second"));
  EXPECT_EQ(body.x, 2);
  Load("assert(total == 0.75 and last == 'second')");
}

TEST_F(BindingTest, LuaExceptionCarriesTheErrorText) {
  Load(
      "function Fails() error('boom') end\n"
      "function FailsWithNothing() error() end\n"
      "function FailsWithTable() error({}) end\n"
      "function FailsWithNumber() error(42.5, 0) end\n"
      "function Inner() error('inner failure') end");
  EXPECT_EQ(CallError("Fails"), "test:1: boom");
  EXPECT_EQ(CallError("FailsWithNothing"), "missing error");
  EXPECT_EQ(CallError("FailsWithTable"), "(error object is a table value)");
  EXPECT_EQ(CallError("FailsWithNumber"), "42.5");
  EXPECT_THAT(CallError("NoSuchFunction"), HasSubstr("attempt to call a nil value"));
  EXPECT_STREQ(scripting::LuaException(L).what(), "missing error");
  // An error crosses a bound function that called back into Lua.
  Load("local ok, message = pcall(CallBack, 'Inner'); assert(not ok and message:find('inner failure'))");
  EXPECT_EQ(lua_gettop(L), 0);
}

TEST_F(BindingTest, ReferencesHoldTheValueAndFreeTheirSlot) {
  Load("function F() which = 1 end");
  scripting::ScriptFunctionRef first(L, "F");
  Load("function F() which = 2 end");
  first();
  Load("assert(which == 1)");

  scripting::ScriptFunctionRef moved = std::move(first);
  EXPECT_TRUE(first.IsNil());
  EXPECT_FALSE(moved.IsNil());
  EXPECT_THROW(first(), scripting::LuaException);

  const auto registry_size = lua_rawlen(L, LUA_REGISTRYINDEX);
  for (int i = 0; i < 1000; ++i) scripting::ScriptFunctionRef(L, "F");
  EXPECT_LE(lua_rawlen(L, LUA_REGISTRYINDEX), registry_size + 1);
  EXPECT_TRUE(scripting::ScriptFunctionRef(L, "Absent").IsNil());
}

TEST_F(BindingTest, PopsBeyondTheStackAreRefusedAndTheGuardRestoresTheTop) {
  lua_pushnumber(L, 1);
  EXPECT_THAT([&] { scripting::Pop(L, 2); }, ThrowsMessage<std::logic_error>(StrEq("invalid stack")));
  EXPECT_THROW(scripting::Pop(L, -1), std::logic_error);
  EXPECT_EQ(lua_gettop(L), 1);
  {
    scripting::StackGuard guard(L);
    lua_pushnumber(L, 2);
    lua_pushnumber(L, 3);
  }
  EXPECT_EQ(lua_gettop(L), 1);
  EXPECT_EQ(lua_tonumber(L, -1), 1);
  scripting::Pop(L, 1);
  EXPECT_EQ(lua_gettop(L), 0);
}

}  // namespace
