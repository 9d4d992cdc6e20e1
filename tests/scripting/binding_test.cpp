// The Lua binding layer seen from scripts: lookups, writes, argument checks, const
// objects, copies, inheritance and every error message of the layer.
#include "scripting/binding/binding.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <lua.hpp>
#include <stdexcept>
#include <string>

namespace {

using ::testing::EndsWith;
using ::testing::HasSubstr;

struct Vec {
  float x = 0;
  float y = 0;
  float Length() const { return x + y; }  // Manhattan: exact in float
  void Scale(float factor) {
    x *= factor;
    y *= factor;
  }
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

class BindingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    L = luaL_newstate();
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
        .AddFunction("SidesOf", &SidesOf);
  }
  void TearDown() override { lua_close(L); }

  // Runs a chunk; returns "" on success, else the error message.
  std::string Run(const std::string& code) {
    if (luaL_loadbuffer(L, code.data(), code.size(), "=test") != LUA_OK ||
        lua_pcall(L, 0, 0, 0) != LUA_OK) {
      std::string message = lua_tostring(L, -1);
      lua_pop(L, 1);
      return message;
    }
    return "";
  }

  // Evaluates an expression to a number (fails the test on an error).
  double Number(const std::string& expression) {
    const std::string code = "return " + expression;
    if (luaL_loadbuffer(L, code.data(), code.size(), "=test") != LUA_OK ||
        lua_pcall(L, 0, 1, 0) != LUA_OK) {
      ADD_FAILURE() << expression << ": " << lua_tostring(L, -1);
      lua_pop(L, 1);
      return -1;
    }
    const double value = lua_tonumber(L, -1);
    lua_pop(L, 1);
    return value;
  }

  lua_State* L = nullptr;
};

TEST_F(BindingTest, ConstructorsMethodsAndPropertiesWork) {
  EXPECT_EQ(Run("v = Vec(3, 4); v:Scale(2); v.y = v.y + 1"), "");
  EXPECT_EQ(Number("v.x"), 6);
  EXPECT_EQ(Number("v.y"), 9);
  EXPECT_EQ(Number("v:Length()"), 15);
  EXPECT_EQ(Number("Vec.Dot(Vec(1, 2), Vec(3, 4))"), 11);
  EXPECT_EQ(Number("Vec.Zero().x + Vec.Zero().y"), 0);
  EXPECT_EQ(Number("v:Sum()"), 15);  // free function bound as a method
  EXPECT_EQ(Run("v:Grow()"), "");
  EXPECT_EQ(Number("v.x"), 7);
  EXPECT_EQ(lua_gettop(L), 0);
}

TEST_F(BindingTest, SecondRegistrationOfANameWins) { EXPECT_EQ(Number("Math.pick()"), 2); }

TEST_F(BindingTest, StringsCrossBothWays) {
  EXPECT_EQ(Run("b = Body(); b.name = 'hero'; assert(b.name == 'hero', b.name)"), "");
  // A number is accepted where a string is expected, as Lua's own library does.
  EXPECT_EQ(Run("b.name = 12; assert(b.name == '12', b.name)"), "");
  EXPECT_THAT(Run("b.name = {}"), HasSubstr("string expected, got table"));
}

TEST_F(BindingTest, NumbersAreCheckedAndSaturateIntoIntegers) {
  EXPECT_THAT(Run("Math.int('x')"),
              HasSubstr("bad argument #1 to 'int' (number expected, got string)"));
  EXPECT_THAT(Run("Math.int()"), HasSubstr("number expected, got no value"));
  EXPECT_EQ(Number("Math.int('42')"), 42);
  EXPECT_EQ(Number("Math.int(-7.9)"), -7);
  EXPECT_EQ(Number("Math.int(1e20)"), INT_MAX);
  EXPECT_EQ(Number("Math.int(-1e20)"), INT_MIN);
  EXPECT_EQ(Number("Math.int(0/0)"), 0);
  EXPECT_EQ(Number("Math.unsigned(-1)"), 0);
  EXPECT_EQ(Number("Math.unsigned(4294967295)"), 4294967295.0);
}

TEST_F(BindingTest, NamespaceVariablesReadAndWrite) {
  EXPECT_EQ(Number("Math.gravity"), 9.5);
  EXPECT_EQ(Run("Math.gravity = 3"), "");
  EXPECT_EQ(g_gravity, 3.0f);
  g_gravity = 9.5f;
  EXPECT_EQ(Number("Math.lives"), 3);
  EXPECT_THAT(Run("Math.lives = 4"), EndsWith("no member named 'lives'"));
}

TEST_F(BindingTest, UnknownFieldReadsNilAndWriteNamesIt) {
  EXPECT_EQ(Run("v = Vec(1, 2); assert(v.z == nil); assert(v.Missing == nil)"), "");
  EXPECT_EQ(Run("v.z = 1"), "test:1: no writable variable 'z'");
  EXPECT_THAT(Run("v[3] = 1"), EndsWith("no writable variable '3'"));
  EXPECT_EQ(Run("assert(Math.nothing == nil and Vec.nothing == nil)"), "");
}

TEST_F(BindingTest, NamespaceAndStaticWritesWithoutSetterNameTheMember) {
  EXPECT_EQ(Run("Math.helper = 1"), "test:1: no member named 'helper'");
  EXPECT_EQ(Run("Vec.origin = Vec(0, 0)"), "test:1: no member named 'origin'");
}

TEST_F(BindingTest, MalformedNamespaceTablesAreReported) {
  EXPECT_EQ(Run("Math.__propget.broken = function() return 1 end; return Math.broken"),
            "test:1: not a cfunction");
  EXPECT_EQ(Run("rawset(Math, '__parent', 5); return Math.unknown"),
            "test:1: __parent is not a table");
  EXPECT_EQ(Run("Math.__propget = nil; return Math.unknown"), "test:1: missing __propget table");
}

TEST_F(BindingTest, ConstObjectsOnlySeeConstMethods) {
  Vec engine_vec{1, 2};
  scripting::SetGlobal(L, "cv", static_cast<const Vec*>(&engine_vec));
  EXPECT_EQ(Number("cv:Length()"), 3);
  EXPECT_EQ(Number("cv:Sum()"), 3);
  EXPECT_EQ(Number("cv.x"), 1);
  EXPECT_EQ(Run("assert(cv.Scale == nil and cv.Grow == nil)"), "");
  EXPECT_THAT(Run("cv:Scale(2)"), HasSubstr("attempt to call method 'Scale' (a nil value)"));
  EXPECT_EQ(Run("cv.x = 5"), "test:1: no writable variable 'x'");
  EXPECT_EQ(engine_vec.x, 1);
}

TEST_F(BindingTest, ConstObjectWhereMutableNeededIsRefused) {
  Vec engine_vec{1, 2};
  scripting::SetGlobal(L, "cv", static_cast<const Vec*>(&engine_vec));
  EXPECT_THAT(Run("local scale = Vec(0, 0).Scale; scale(cv, 2)"), HasSubstr("cannot be const"));
  EXPECT_THAT(Run("Vec(0, 0).Grow(cv)"), HasSubstr("cannot be const"));
  EXPECT_EQ(Number("Vec.Dot(cv, Vec(1, 1))"), 3);  // const reference accepts it
  EXPECT_EQ(engine_vec.x, 1);
}

TEST_F(BindingTest, WrongArgumentsNameExpectedAndActualType) {
  EXPECT_THAT(Run("Vec.Dot(5, Vec(1, 1))"),
              HasSubstr("bad argument #1 to 'Dot' (Vec expected, got number)"));
  EXPECT_THAT(Run("Vec.Dot(Vec(1, 1), Body())"), HasSubstr("(Vec expected, got Body)"));
  EXPECT_THAT(Run("Vec.Dot(Vec(1, 1), {})"), HasSubstr("(Vec expected, got table)"));
  EXPECT_THAT(Run("Vec.Dot(Vec(1, 1), io.stdout)"), HasSubstr("(Vec expected, got userdata)"));
  EXPECT_THAT(Run("Vec(1, 1).Length(Body())"), HasSubstr("Vec expected, got Body"));
  Vec engine_vec;
  scripting::SetGlobal(L, "cv", static_cast<const Vec*>(&engine_vec));
  EXPECT_THAT(Run("Body():SetPosition(cv.x)"), HasSubstr("Vec expected, got number"));
  EXPECT_THAT(Run("Vec.Dot(Body():ConstPosition(), Square())"),
              HasSubstr("Vec expected, got Square"));
}

TEST_F(BindingTest, NilForAReferenceIsRefused) {
  EXPECT_THAT(Run("Vec.Dot(nil, Vec(1, 1))"), HasSubstr("nil passed to reference"));
  EXPECT_THAT(Run("Body():SetPosition()"), HasSubstr("nil passed to reference"));
}

TEST_F(BindingTest, ClassValuesFromGettersAreCopies) {
  EXPECT_EQ(Run("b = Body(); b.position = Vec(1, 2)"), "");
  EXPECT_EQ(Run("local p = b.position; p.x = 50"), "");
  EXPECT_EQ(Run("b:GetPosition().x = 60"), "");
  EXPECT_EQ(Number("b.position.x"), 1);
  // A copy written back, and a vector given to a setter, do change the object.
  EXPECT_EQ(Run("local p = b.position; p.x = 70; b.position = p"), "");
  EXPECT_EQ(Number("b.position.x"), 70);
  EXPECT_EQ(Run("b:SetPosition(Vec(5, 0))"), "");
  EXPECT_EQ(Number("b:GetPosition().x"), 5);
}

TEST_F(BindingTest, PointerResultsShareTheEngineObject) {
  EXPECT_EQ(Run("b = Body(); b:PositionPointer().x = 8"), "");
  EXPECT_EQ(Number("b.position.x"), 8);
  EXPECT_EQ(Run("assert(b:Nothing() == nil)"), "");
  EXPECT_EQ(Run("b:ConstPosition().x = 9"), "test:1: no writable variable 'x'");
}

TEST_F(BindingTest, DerivedClassesReachTheirBaseThroughParent) {
  EXPECT_EQ(Run("s = Square()"), "");
  EXPECT_EQ(Number("s:Sides()"), 4);
  EXPECT_EQ(Number("s.sides + s.side"), 6);
  EXPECT_EQ(Run("s.sides = 5"), "");
  // The Shape inside a Square is not at the Square's address.
  EXPECT_EQ(Number("SidesOf(s)"), 5);
  EXPECT_EQ(Run("s.nothing = 1"), "test:1: no writable variable 'nothing'");
  EXPECT_THAT(Run("local sides = Square().Sides; sides(Vec(1, 1))"),
              HasSubstr("Shape expected, got Vec"));
}

TEST_F(BindingTest, EngineExceptionsBecomeLuaErrors) {
  EXPECT_EQ(Run("local ok, message = pcall(function() Body():Fail() end)\n"
                "assert(not ok); error(message, 0)"),
            "test:1: engine refused");
  EXPECT_EQ(Run("local ok = pcall(Body().Fail, Body()); assert(not ok)"), "");
}

TEST_F(BindingTest, ValuesNeedingWideAlignmentAreAligned) {
  EXPECT_EQ(Run("for i = 1, 20 do assert(Wide():Aligned()) end"), "");
}

TEST_F(BindingTest, EngineReadsObjectsBackFromTheStack) {
  ASSERT_EQ(Run("v = Vec(4, 5); s = Square()"), "");
  lua_getglobal(L, "v");
  Vec* v = scripting::ToObject<Vec>(L, -1);
  ASSERT_NE(v, nullptr);
  EXPECT_EQ(v->y, 5);
  EXPECT_EQ(scripting::ToObject<Body>(L, -1), nullptr);
  lua_getglobal(L, "s");
  const Shape* shape = scripting::ToConstObject<Shape>(L, -1);
  ASSERT_NE(shape, nullptr);
  EXPECT_EQ(shape->sides, 4);
  lua_pop(L, 2);
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
  EXPECT_EQ(Number("Math.again() + Math.pick() + Vec(1, 1):Twice()"), 5);
}

}  // namespace
