// The scripting API, built with the binding layer. Where an engine class does not
// offer an operation in the shape scripts call it, a free function here adapts it,
// so the engine classes stay unaware of Lua.
#include "scripting/scripting_api.h"

#include <cmath>
#include <cstdint>
#include <string>

#include "base/math.h"
#include "components/physics.h"
#include "components/pool.h"
#include "components/timer.h"
#include "objects/game_object.h"
#include "objects/transform.h"
#include "scripting/binding/binding.h"
#include "scripting/script_data.h"

namespace scripting {
namespace {

using base::vector2D;
using base::XMFLOAT4;
using components::Physics;
using components::Pool;
using components::Timer;
using objects::Transform;

// Angles in radians. Computed in double precision, handed back as 32-bit floats.
float Sine(double radians) { return static_cast<float>(std::sin(radians)); }
float Cosine(double radians) { return static_cast<float>(std::cos(radians)); }
float Tangent(double radians) { return static_cast<float>(std::tan(radians)); }
float SquareRoot(double value) { return static_cast<float>(std::sqrt(value)); }
float ArcSine(double value) { return static_cast<float>(std::asin(value)); }
float ArcCosine(double value) { return static_cast<float>(std::acos(value)); }
float ArcTangent(double value) { return static_cast<float>(std::atan(value)); }
double Absolute(double value) { return std::fabs(value); }

// Sets all four components of the translation (and marks the matrix dirty).
void SetTranslation(objects::Transform& transform, float x, float y, float z, float w) {
  transform.SetTranslation(XMFLOAT4{x, y, z, w});
}

// The position the collision sweep of the next contact starts from (world units).
void SetStartPosition(Physics& physics, vector2D position) { physics.previousPosition = position; }

void RegisterMath(lua_State* L) {
  GetGlobalNamespace(L)
      .BeginNamespace("Math")
      .AddFunction("sinf", &Sine)
      .AddFunction("cosf", &Cosine)
      .AddFunction("tanf", &Tangent)
      .AddFunction("sqrtf", &SquareRoot)
      .AddFunction("asinf", &ArcSine)
      .AddFunction("acosf", &ArcCosine)
      .AddFunction("atanf", &ArcTangent)
      .AddFunction("abs", &Absolute)
      .EndNamespace();
}

void RegisterComponents(lua_State* L) {
  GetGlobalNamespace(L)
      .BeginClass<objects::Transform>("Transform")
      .AddConstructor<float, float, float>()
      .AddFunction("TransformSetRotation", &objects::Transform::SetRotation)
      .AddFunction("TransformGetRotation", &objects::Transform::GetRotation)
      .AddFunction("TransformAddX", &objects::Transform::AddX)
      .AddFunction("TransformAddY", &objects::Transform::AddY)
      .AddFunction("TransformAddZ", &objects::Transform::AddZ)
      .AddFunction("TransformSetTranslation", &SetTranslation)
      .AddFunction("TransformGetTranslation", &objects::Transform::GetTranslation)
      .AddFunction("TransformSetScale", &objects::Transform::SetScale)
      .AddFunction("TransformGetScale", &objects::Transform::GetScale)
      .EndClass()
      .BeginClass<Physics>("Physics")
      .AddConstructor<>()
      .AddFunction("SetVelocity", &Physics::SetVelocity)
      .AddFunction("GetVelocity", &Physics::GetVelocity)
      .AddFunction("SetStartPosition", &SetStartPosition)
      .EndClass()
      .BeginClass<vector2D>("Vector2D")
      .AddConstructor<float, float>()
      .AddData("x", &vector2D::x)
      .AddData("y", &vector2D::y)
      .EndClass()
      .BeginClass<objects::GameObject>("GameObject")
      .AddConstructor<std::string>()
      .AddFunction("SetActive", &objects::GameObject::SetActive)
      .EndClass();
}

// Counts arrive as Lua numbers; a negative capacity (-1, as files write it) wraps
// to 4294967295 as in the file format.
void RegisterCounters(lua_State* L) {
  GetGlobalNamespace(L)
      .BeginClass<Pool>("Pool")
      .AddConstructor<std::int64_t, std::int64_t, std::int64_t>()
      .AddFunction("GetAmount", &Pool::GetAmount)
      .EndClass()
      .BeginClass<Timer>("Timer")
      .AddConstructor<std::int32_t>()
      .AddFunction("Update", &Timer::Update)
      .AddFunction("Reset", &Timer::Reset)
      .AddFunction("CountUp", &Timer::CountUp)
      .AddFunction("CountDown", &Timer::CountDown)
      .AddFunction("SetStartValue", &Timer::SetStartValue)
      .AddFunction("GetStartValue", &Timer::GetStartValue)
      .AddFunction("SetActive", &Timer::SetActive)
      .AddFunction("GetAmount", &Timer::GetAmount)
      .AddFunction("GetTimePassed", &Timer::GetTimePassed)
      .AddData("timePassed", &Timer::timePassed)
      .AddData("startValue", &Timer::startValue)
      .AddData("countUp", &Timer::countUp)
      .AddData("isActive", &Timer::active)
      .EndClass();
}

void RegisterValues(lua_State* L) {
  GetGlobalNamespace(L)
      .BeginClass<ScriptData>("Data")
      .AddConstructor<>()
      .AddData("initTime", &ScriptData::initTime)
      .AddData("timer", &ScriptData::timer)
      .AddData("angle", &ScriptData::angle)
      .AddData("radius", &ScriptData::radius)
      .AddData("speed", &ScriptData::speed)
      .AddData("state", &ScriptData::state)
      .AddData("start", &ScriptData::start)
      .AddData("finish", &ScriptData::finish)
      .EndClass()
      .BeginClass<XMFLOAT4>("XMFLOAT4")
      .AddConstructor<float, float, float, float>()
      .AddData("x", &XMFLOAT4::x)
      .AddData("y", &XMFLOAT4::y)
      .AddData("z", &XMFLOAT4::z)
      .AddData("w", &XMFLOAT4::w)
      .EndClass();
}

}  // namespace

void RegisterScriptingApi(lua_State* L) {
  RegisterMath(L);
  RegisterComponents(L);
  RegisterCounters(L);
  RegisterValues(L);
}

}  // namespace scripting
