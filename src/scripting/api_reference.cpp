// The description of the scripting API, one row for each name scripting_api.cpp
// registers (a test checks every row against a script's state).
#include "scripting/api_reference.h"

namespace scripting {

const std::vector<ApiClass>& ScriptingApiReference() {
  using enum ApiKind;
  static const std::vector<ApiClass> kClasses = {
      {"Math",
       "functions on numbers; angles in radians, results rounded to 32-bit floats except abs",
       "local dx = Math.cosf(data.angle) * data.radius",
       {
           {Function, "sinf", "radians", "number", "sine"},
           {Function, "cosf", "radians", "number", "cosine"},
           {Function, "tanf", "radians", "number", "tangent"},
           {Function, "sqrtf", "x", "number", "square root"},
           {Function, "asinf", "x", "radians", "arc sine"},
           {Function, "acosf", "x", "radians", "arc cosine"},
           {Function, "atanf", "x", "radians", "arc tangent"},
           {Function, "abs", "x", "number", "absolute value, in double precision"},
       }},
      {"Transform",
       "position (world units), rotation (degrees) and scale of an object; myTransform is the object's own",
       "myTransform:TransformAddX(data.speed * dt)",
       {
           {Constructor, "Transform", "x, y, z", "Transform", "a transform of the script's own at (x, y, z)"},
           {Method, "TransformSetRotation", "degrees", "", "sets the rotation"},
           {Method, "TransformGetRotation", "", "degrees", "the rotation"},
           {Method, "TransformAddX", "delta", "", "moves the position along x by delta world units"},
           {Method, "TransformAddY", "delta", "", "moves the position along y by delta world units"},
           {Method, "TransformAddZ", "delta", "", "moves the position along z by delta"},
           {Method, "TransformSetTranslation", "x, y, z, w", "", "sets the position (w is 1 for a point)"},
           {Method, "TransformGetTranslation", "", "XMFLOAT4", "a copy of the position"},
           {Method, "TransformSetScale", "sx, sy", "",
            "sets the scale along x and y, in world units (z kept)"},
           {Method, "TransformGetScale", "", "XMFLOAT4", "a copy of the scale"},
       }},
      {"Physics",
       "velocity of an object (world units per second); physics is the object's own",
       "local v = physics:GetVelocity()\nphysics:SetVelocity(Vector2D(v.x, 0))",
       {
           {Constructor, "Physics", "", "Physics", "a physics component of the script's own, at rest"},
           {Method, "SetVelocity", "Vector2D", "", "sets the velocity, world units per second"},
           {Method, "GetVelocity", "", "Vector2D", "a copy of the velocity"},
           {Method, "SetStartPosition", "Vector2D", "",
            "where the next collision sweep starts, world units (after moving the object by hand)"},
       }},
      {"Vector2D",
       "two numbers, x then y",
       "data.start = Vector2D(5, 0)",
       {
           {Constructor, "Vector2D", "x, y", "Vector2D", "a new vector"},
           {Field, "x", "number", "", "the first component"},
           {Field, "y", "number", "", "the second component"},
       }},
      {"GameObject",
       "a game object; parent is the script's own",
       "parent:SetActive(false)",
       {
           {Constructor, "GameObject", "name", "GameObject", "an object of the script's own, in no level"},
           {Method, "SetActive", "on", "",
            "shows and updates the object (true) or takes it out of play (false)"},
       }},
      {"Pool",
       "a bounded counter",
       "local stars = Pool(0, 25, 0)\nprint(stars:GetAmount())",
       {
           {Constructor, "Pool", "amount, max, min", "Pool", "a counter; a max of -1 means no limit"},
           {Method, "GetAmount", "", "integer", "the current count"},
       }},
      {"Timer",
       "a counter that steps once a whole second has passed",
       "local t = Timer(0)\nt:Update(dt)\nif t:GetAmount() >= 3 then parent:SetActive(false) end",
       {
           {Constructor, "Timer", "start", "Timer", "a timer counting up from 0, active"},
           {Method, "Update", "dt", "", "lets dt seconds pass"},
           {Method, "Reset", "", "", "the start value and the time passed back to 0"},
           {Method, "CountUp", "", "", "count up from now on"},
           {Method, "CountDown", "", "", "count down from now on"},
           {Method, "SetStartValue", "n", "", "sets the start value"},
           {Method, "GetStartValue", "", "integer", "the start value"},
           {Method, "SetActive", "on", "", "runs (true) or stops (false) the timer"},
           {Method, "GetAmount", "", "integer", "the current count"},
           {Method, "GetTimePassed", "", "seconds", "time gathered towards the next step"},
           {Field, "timePassed", "number", "", "time gathered towards the next step, seconds"},
           {Field, "startValue", "integer", "", "the start value"},
           {Field, "countUp", "boolean", "", "counts up (true) or down (false)"},
           {Field, "isActive", "boolean", "", "the timer runs"},
       }},
      {"Data",
       "a ScriptData block of tunable numbers; data is the object's own, from its ScriptData entry",
       "function Init() data.speed = 2 end",
       {
           {Constructor, "Data", "", "Data", "a block of zeros of the script's own"},
           {Field, "initTime", "number", "", "ScriptData initTime"},
           {Field, "timer", "number", "", "ScriptData timer"},
           {Field, "angle", "number", "", "ScriptData angle"},
           {Field, "radius", "number", "", "ScriptData radius"},
           {Field, "speed", "number", "", "ScriptData speed"},
           {Field, "state", "boolean", "", "ScriptData state"},
           {Field, "start", "Vector2D", "", "ScriptData start_x, start_y; reading gives a copy"},
           {Field, "finish", "Vector2D", "", "ScriptData end_x, end_y; reading gives a copy"},
       }},
      {"XMFLOAT4",
       "four numbers x, y, z, w: a position, a scale or a colour",
       "local p = myTransform:TransformGetTranslation()\nprint(p.x, p.y)",
       {
           {Constructor, "XMFLOAT4", "x, y, z, w", "XMFLOAT4", "a new vector"},
           {Field, "x", "number", "", "the first component"},
           {Field, "y", "number", "", "the second component"},
           {Field, "z", "number", "", "the third component"},
           {Field, "w", "number", "", "the fourth component"},
       }},
  };
  return kClasses;
}

const std::vector<ApiGlobal>& ScriptGlobals() {
  static const std::vector<ApiGlobal> kGlobals = {
      {"data", "Data: the object's ScriptData (a block of zeros when it has none)",
       "before Init and every Update"},
      {"parent", "GameObject: the object the script belongs to", "before every Update"},
      {"myTransform", "Transform: the object's Transform; kept from before when it has none",
       "before every Update"},
      {"physics", "Physics: the object's Physics; kept from before when it has none", "before every Update"},
  };
  return kGlobals;
}

const std::vector<ApiGlobal>& ScriptFunctions() {
  static const std::vector<ApiGlobal> kFunctions = {
      {"Init()", "runs once before the first Update; tried again every frame until it succeeds",
       "the first frame (or when the level loads, with a ScriptData)"},
      {"Update(dt)", "runs every frame; dt is the frame time in seconds",
       "every frame, after the whole file ran"},
  };
  return kFunctions;
}

}  // namespace scripting
