// The scripting API as scripts see it: each class through small scripts, copies
// from getters, live engine objects through the globals, and refused arguments.
#include <cmath>
#include <memory>
#include <string>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "components/physics.h"
#include "objects/transform.h"
#include "scripting/binding/binding.h"
#include "scripting/script_fixture.h"

namespace {

using testing_support::Number;
using testing_support::RunLua;
using testing_support::ScriptFixture;
using testing_support::SetScriptGlobal;

class ScriptingApiTest : public ScriptFixture {
 protected:
  // Runs code that must succeed.
  void Expect(const std::string& code) { EXPECT_EQ(RunLua(*script, code), "") << code; }

  // A script of no object: its state carries the whole API.
  std::unique_ptr<scripting::Script> script = std::make_unique<scripting::Script>();
};

TEST_F(ScriptingApiTest, MathFunctionsComputeInDoubleAndRoundToFloat) {
  const std::pair<const char*, double> calls[] = {
      {"Math.sinf(0.5)", static_cast<float>(std::sin(0.5))},
      {"Math.cosf(0.5)", static_cast<float>(std::cos(0.5))},
      {"Math.tanf(0.5)", static_cast<float>(std::tan(0.5))},
      {"Math.sqrtf(2)", static_cast<float>(std::sqrt(2.0))},  // not sqrt(2) in double
      {"Math.asinf(0.5)", static_cast<float>(std::asin(0.5))},
      {"Math.acosf(0.5)", static_cast<float>(std::acos(0.5))},
      {"Math.atanf(2)", static_cast<float>(std::atan(2.0))},
      {"Math.abs(-0.1)", 0.1},  // abs keeps double precision
  };
  for (const auto& [call, expected] : calls) {
    Expect(std::string("result = ") + call);
    EXPECT_EQ(Number(*script, "result"), expected) << call;
  }
}

TEST_F(ScriptingApiTest, ValueClassesBuiltInLuaAndTheirCopies) {
  Expect(R"(
    local t = Transform(1, 2, 3)
    local p = t:TransformGetTranslation()
    assert(p.x == 1 and p.y == 2 and p.z == 3 and p.w == 1)
    p.x = 100                                   -- a copy: the transform keeps 1
    t:TransformAddX(2); t:TransformAddY(-1); t:TransformAddZ(0.5)
    p = t:TransformGetTranslation()
    assert(p.x == 3 and p.y == 1 and p.z == 3.5)
    t:TransformSetTranslation(4, 5, 6, 7)
    p = t:TransformGetTranslation()
    assert(p.x == 4 and p.y == 5 and p.z == 6 and p.w == 7)
    t:TransformSetRotation(90); assert(t:TransformGetRotation() == 90)
    local f = XMFLOAT4(1, 2, 3, 4); f.w = 0.5; assert(f.x == 1 and f.y == 2 and f.z == 3 and f.w == 0.5)
    local v = Vector2D(1.5, -2); v.x = v.x * 2; assert(v.x == 3 and v.y == -2)
    local d = Data(); d.finish = Vector2D(1, 2); d.finish.x = 9; assert(d.finish.x == 1 and d.finish.y == 2)
    assert(Physics():GetVelocity().x == 0)
    GameObject('ghost'):SetActive(false)
  )");
}

TEST_F(ScriptingApiTest, LiveEngineObjectsChangeThroughTheirGlobals) {
  auto* transform = new objects::Transform(0.0f, 0.0f, 0.0f);
  transform->scale = {1.0f, 1.0f, 9.0f, 1.0f};
  transform->dirty = false;
  object->AddComponent(transform);
  components::Physics physics;
  SetScriptGlobal(*script, "t", transform);
  SetScriptGlobal(*script, "physics", &physics);
  SetScriptGlobal(*script, "parent", object.get());
  Expect("t:TransformSetScale(2, 3); t:TransformSetTranslation(1, 2, 0, 1); parent:SetActive(false)");
  Expect("local s = t:TransformGetScale(); assert(s.x == 2 and s.y == 3 and s.z == 9 and s.w == 1)");
  Expect(R"(
    physics:SetVelocity(Vector2D(3, 4))
    local v = physics:GetVelocity()
    assert(v.x == 3 and v.y == 4)
    v.x = 50                                    -- a copy
    physics:SetStartPosition(Vector2D(-1, 2))
  )");
  EXPECT_EQ(transform->scale.x, 2.0f);
  EXPECT_EQ(transform->scale.z, 9.0f);  // z kept
  EXPECT_EQ(transform->translation.y, 2.0f);
  EXPECT_TRUE(transform->dirty);  // the translation setter marks the matrix
  EXPECT_FALSE(object->IsActive());
  EXPECT_EQ(physics.velocity.x, 3.0f);
  EXPECT_EQ(physics.previousPosition.x, -1.0f);
  EXPECT_EQ(physics.previousPosition.y, 2.0f);
  // A number where an object is expected is refused naming the class.
  EXPECT_EQ(RunLua(*script, "physics:SetVelocity(5)"),
            "[string \"physics:SetVelocity(5)\"]:1: bad argument #1 to 'SetVelocity' (Vector2D expected, got "
            "number)");
  Expect("assert(Names == nil and physics.mass == nil)");
}

TEST_F(ScriptingApiTest, PoolAndTimerCount) {
  Expect(R"(
    assert(Pool(3, 10, 0):GetAmount() == 3)
    assert(Pool(4, -1, 0):GetAmount() == 4)    -- -1: no practical limit
    local t = Timer(7)
    assert(t:GetStartValue() == 7 and t.startValue == 7 and t:GetAmount() == 0)
    t:Update(2.5); assert(t:GetAmount() == 2 and t:GetTimePassed() == 0.5 and t.timePassed == 0.5)
    t:CountDown(); t:Update(1.0); assert(t:GetAmount() == 1 and not t.countUp)
    t:CountUp(); t:SetActive(false); t:Update(5); assert(t:GetAmount() == 1 and not t.isActive)
    t.isActive = true; t:Update(0.5); assert(t:GetAmount() == 2)
    t:SetStartValue(9); assert(t:GetStartValue() == 9)
    t:Reset(); assert(t.startValue == 0 and t.timePassed == 0 and t:GetAmount() == 2)
  )");
}

// Metatables are out of plain Lua's reach, and one swapped through the debug library
// still cannot make the engine call a method on an object of another type.
TEST_F(ScriptingApiTest, ScriptsCannotMakeTheEngineCallAMethodOnTheWrongType) {
  struct Attack {
    const char* code;
    const char* error;       // part of the error the attack must end in
    bool methodKept = true;  // whether TransformAddX still works afterwards
  };
  for (const Attack& attack : {
           Attack{"local v = Vector2D(1, 2)\n"
                  "rawset(getmetatable(v), '__parent', getmetatable(myTransform))\n"
                  "v:TransformAddX(1)",
                  "bad argument #1 to 'rawset' (table expected, got string)"},
           Attack{"assert(getmetatable(Vector2D(1, 2)) == 'Vector2D' and getmetatable(myTransform) == "
                  "'Transform')\n"
                  "setmetatable(Math, {})",
                  "cannot change a protected metatable"},
           Attack{"local v = Vector2D(1, 2)\n"
                  "rawset(debug.getmetatable(v), '__parent', debug.getmetatable(myTransform))\n"
                  "v:TransformAddX(1)",
                  "calling 'TransformAddX' on bad self (Transform expected, got Vector2D)"},
           Attack{"local v = Vector2D(1, 2)\n"
                  "debug.setmetatable(v, debug.getmetatable(myTransform))\n"
                  "v:TransformAddX(1)",
                  "calling 'TransformAddX' on bad self (Transform expected, got Vector2D)"},
           Attack{"debug.setmetatable(io.stderr, debug.getmetatable(myTransform))\n"
                  "io.stderr:TransformAddX(1)",
                  "calling 'TransformAddX' on bad self (Transform expected, got userdata)"},
           Attack{"local setX = debug.getmetatable(Vector2D(0, 0)).__propset.x\n"
                  "debug.setupvalue(debug.getmetatable(myTransform).TransformAddX, 1, select(2, "
                  "debug.getupvalue(setX, 1)))\n"
                  "myTransform:TransformAddX(1)",
                  "bound function has a foreign upvalue", false},
       }) {
    SCOPED_TRACE(attack.code);
    objects::Transform transform(1.0f, 2.0f, 0.0f);
    scripting::Script fresh;
    testing_support::GiveIoAndDebug(fresh);
    SetScriptGlobal(fresh, "myTransform", &transform);
    EXPECT_THAT(RunLua(fresh, attack.code), ::testing::HasSubstr(attack.error));
    EXPECT_EQ(transform.translation.x, 1.0f);
    if (!attack.methodKept) continue;
    EXPECT_EQ(RunLua(fresh, "myTransform:TransformAddX(1)"), "");  // the real object still works
    EXPECT_EQ(transform.translation.x, 2.0f);
  }
}

}  // namespace
