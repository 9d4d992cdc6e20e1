// The scripting API as scripts see it: each class through small scripts, copies
// from getters, live engine objects through the globals, and refused arguments.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>

#include "components/physics.h"
#include "components/transform.h"
#include "scripting/binding/binding.h"
#include "scripting/script_fixture.h"

namespace {

using ::testing::HasSubstr;
using testing_support::ScriptFixture;

class ScriptingApiTest : public ScriptFixture {
 protected:
  // Runs code that must succeed.
  void Expect(const std::string& code) { EXPECT_EQ(Run(*script, code), "") << code; }

  // A script of no object: its state carries the whole API.
  std::unique_ptr<scripting::Script> script = std::make_unique<scripting::Script>();
};

TEST_F(ScriptingApiTest, MathFunctionsComputeInDoubleAndRoundToFloat) {
  Expect("s = Math.sinf(0.5); c = Math.cosf(0.5); t = Math.tanf(0.5); r = Math.sqrtf(2)");
  Expect("as = Math.asinf(0.5); ac = Math.acosf(0.5); at = Math.atanf(2); a = Math.abs(-2.25)");
  EXPECT_EQ(Number(*script, "s"), static_cast<float>(std::sin(0.5)));
  EXPECT_EQ(Number(*script, "c"), static_cast<float>(std::cos(0.5)));
  EXPECT_EQ(Number(*script, "t"), static_cast<float>(std::tan(0.5)));
  EXPECT_EQ(Number(*script, "r"), static_cast<float>(std::sqrt(2.0)));
  EXPECT_NE(Number(*script, "r"), std::sqrt(2.0));  // rounded to float
  EXPECT_EQ(Number(*script, "as"), static_cast<float>(std::asin(0.5)));
  EXPECT_EQ(Number(*script, "ac"), static_cast<float>(std::acos(0.5)));
  EXPECT_EQ(Number(*script, "at"), static_cast<float>(std::atan(2.0)));
  EXPECT_EQ(Number(*script, "a"), 2.25);
  // Math.abs keeps double precision.
  Expect("assert(Math.abs(-0.1) == 0.1)");
}

TEST_F(ScriptingApiTest, TransformBuiltInLuaAndItsCopies) {
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
    t:TransformSetRotation(90)
    assert(t:TransformGetRotation() == 90)
  )");
}

TEST_F(ScriptingApiTest, LiveTransformChangesTheEngineObject) {
  auto* transform = new components::Transform(0.0f, 0.0f, 0.0f);
  transform->scale = {1.0f, 1.0f, 9.0f, 1.0f};
  transform->dirty = false;
  object->AddComponent(transform);
  scripting::SetGlobal(script->GetState(), "t", transform);
  Expect("t:TransformSetScale(2, 3); t:TransformSetTranslation(1, 2, 0, 1)");
  Expect("local s = t:TransformGetScale(); assert(s.x == 2 and s.y == 3 and s.z == 9 and s.w == 1)");
  EXPECT_EQ(transform->scale.x, 2.0f);
  EXPECT_EQ(transform->scale.z, 9.0f);  // z kept
  EXPECT_EQ(transform->translation.y, 2.0f);
  EXPECT_TRUE(transform->dirty);  // the translation setter marks the matrix
}

TEST_F(ScriptingApiTest, PhysicsVelocityAndStartPosition) {
  components::Physics physics;
  scripting::SetGlobal(script->GetState(), "physics", &physics);
  Expect(R"(
    physics:SetVelocity(Vector2D(3, 4))
    local v = physics:GetVelocity()
    assert(v.x == 3 and v.y == 4)
    v.x = 50                                    -- a copy
    physics:SetStartPosition(Vector2D(-1, 2))
    local own = Physics()
    assert(own:GetVelocity().x == 0)
  )");
  EXPECT_EQ(physics.velocity.x, 3.0f);
  EXPECT_EQ(physics.previousPosition.x, -1.0f);
  EXPECT_EQ(physics.previousPosition.y, 2.0f);
}

TEST_F(ScriptingApiTest, VectorAndFourFloatProperties) {
  Expect(R"(
    local v = Vector2D(1.5, -2)
    v.x = v.x * 2; v.y = 7
    assert(v.x == 3 and v.y == 7)
    local f = XMFLOAT4(1, 2, 3, 4)
    f.w = 0.5
    assert(f.x == 1 and f.y == 2 and f.z == 3 and f.w == 0.5)
  )");
}

TEST_F(ScriptingApiTest, GameObjectsBuiltInLuaAndTheLiveParent) {
  scripting::SetGlobal(script->GetState(), "parent", object.get());
  Expect("local ghost = GameObject('ghost'); ghost:SetActive(false); parent:SetActive(false)");
  EXPECT_FALSE(object->IsActive());
}

TEST_F(ScriptingApiTest, PoolAndTimerCount) {
  Expect(R"(
    assert(Pool(3, 10, 0):GetAmount() == 3)
    assert(Pool(4, -1, 0):GetAmount() == 4)    -- -1: no practical limit

    local t = Timer(7)
    assert(t:GetStartValue() == 7 and t.startValue == 7 and t:GetAmount() == 0)
    assert(t.countUp and t.isActive and t.timePassed == 0)
    t:Update(2.5)
    assert(t:GetAmount() == 2 and t:GetTimePassed() == 0.5)
    t:CountDown(); assert(not t.countUp)
    t:Update(1.0); assert(t:GetAmount() == 1)
    t:CountUp(); assert(t.countUp)
    t:SetActive(false); assert(not t.isActive)
    t:Update(5); assert(t:GetAmount() == 1)
    t.isActive = true; t:Update(0.5); assert(t:GetAmount() == 2)
    t:SetStartValue(9); assert(t:GetStartValue() == 9)
    t:Reset()
    assert(t.startValue == 0 and t.timePassed == 0 and t:GetAmount() == 2)
    t.timePassed = 0.75; assert(t:GetTimePassed() == 0.75)
  )");
}

TEST_F(ScriptingApiTest, DataBlocksStartAtZeroAndCopyTheirVectors) {
  Expect(R"(
    local d = Data()
    assert(d.initTime == 0 and d.timer == 0 and d.angle == 0 and d.radius == 0)
    assert(d.speed == 0 and d.state == false)
    assert(d.start.x == 0 and d.finish.y == 0)
    d.finish = Vector2D(1, 2); d.state = true; d.angle = 0.5
    local f = d.finish
    f.x = 9
    assert(d.finish.x == 1 and d.finish.y == 2 and d.state and d.angle == 0.5)
  )");
}

TEST_F(ScriptingApiTest, WrongArgumentsAreLuaErrorsThatNameTheClass) {
  components::Physics physics;
  scripting::SetGlobal(script->GetState(), "physics", &physics);
  EXPECT_THAT(Run(*script, "physics:SetVelocity(5)"), HasSubstr("Vector2D expected, got number"));
  EXPECT_THAT(Run(*script, "Transform(0, 0, 0):TransformAddX(Vector2D(1, 1))"),
              HasSubstr("number expected"));
  EXPECT_THAT(Run(*script, "physics.velocity = 3"), HasSubstr("no writable variable 'velocity'"));
  EXPECT_EQ(Run(*script, "assert(Names == nil and physics.mass == nil)"), "");
}

}  // namespace
