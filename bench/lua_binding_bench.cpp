// Cost of crossing the Lua binding: a bound method, a property read, a constructor
// called from a Lua loop, and an engine-to-Lua call through ScriptFunctionRef.
#include <string>

#include <benchmark/benchmark.h>
#include <lua.hpp>

#include "scripting/binding/binding.h"

namespace {

struct Mover {
  float x = 0;
  float y = 0;
  void AddX(float delta) { x += delta; }
};

constexpr int kCallsPerRun = 1000;  // calls made by one run of the Lua loop

class LuaFixture {
 public:
  LuaFixture() : L_(luaL_newstate()) {
    luaL_openlibs(L_);
    scripting::GetGlobalNamespace(L_)
        .BeginClass<Mover>("Mover")
        .AddConstructor<float, float>()
        .AddData("x", &Mover::x)
        .AddFunction("AddX", &Mover::AddX)
        .EndClass();
    scripting::SetGlobal(L_, "mover", &mover_);
  }
  ~LuaFixture() { lua_close(L_); }

  // Compiles "for i = 1, kCallsPerRun do <body> end" into a global function.
  scripting::ScriptFunctionRef Loop(const std::string& body) {
    const std::string code =
        "function Loop() for i = 1, " + std::to_string(kCallsPerRun) + " do " + body + " end end";
    luaL_dostring(L_, code.c_str());
    return scripting::ScriptFunctionRef(L_, "Loop");
  }

  lua_State* State() const { return L_; }
  const Mover& mover() const { return mover_; }

 private:
  lua_State* L_;
  Mover mover_;
};

void RunLoop(benchmark::State& state, const char* body) {
  LuaFixture lua;
  scripting::ScriptFunctionRef loop = lua.Loop(body);
  for (auto _ : state) loop();
  benchmark::DoNotOptimize(lua.mover().x);
  state.SetItemsProcessed(state.iterations() * kCallsPerRun);
}

void BM_LuaEmptyLoop(benchmark::State& state) { RunLoop(state, ""); }
void BM_LuaCallsBoundMethod(benchmark::State& state) { RunLoop(state, "mover:AddX(1)"); }
void BM_LuaReadsBoundProperty(benchmark::State& state) { RunLoop(state, "local x = mover.x"); }
void BM_LuaConstructsValueObject(benchmark::State& state) { RunLoop(state, "local m = Mover(1, 2)"); }

// One engine call into a script function taking dt and an object pointer, as a
// script's Update is called once per frame.
void BM_EngineCallsScriptFunction(benchmark::State& state) {
  LuaFixture lua;
  luaL_dostring(lua.State(), "function Update(dt, m) m.x = m.x + dt end");
  scripting::ScriptFunctionRef update(lua.State(), "Update");
  Mover target;
  for (auto _ : state) update(0.016f, &target);
  benchmark::DoNotOptimize(target.x);
}

BENCHMARK(BM_LuaEmptyLoop);
BENCHMARK(BM_LuaCallsBoundMethod);
BENCHMARK(BM_LuaReadsBoundProperty);
BENCHMARK(BM_LuaConstructsValueObject);
BENCHMARK(BM_EngineCallsScriptFunction);

}  // namespace
