// Per-frame cost of one Script: running a small Update with the file unchanged (the
// compiled chunk is kept; luaKB is the state's memory at the end), beside reading and compiling the file
// every frame, and the one-off cost of building a Script (its Lua state and the whole API).
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include <benchmark/benchmark.h>
#include <lua.hpp>
#include <unistd.h>

#include "components/physics.h"
#include "objects/game_object.h"
#include "objects/transform.h"
#include "scripting/script.h"
#include "scripting/script_data.h"

namespace {

namespace fs = std::filesystem;

// A small script of the usual shape: a top-level constant, Init and Update.
constexpr const char* kScript = R"(
local STEP = 0.5
function Init()
  data.speed = 2
end
function Update(dt)
  data.timer = data.timer + dt
  myTransform:TransformAddX(STEP * data.speed * dt)
end
)";

constexpr float kDt = 1.0f / 60.0f;

// An object with Transform, Physics, ScriptData and Script, the script file written
// twice (two names, same text) into a scratch folder.
class ScriptedObject {
 public:
  ScriptedObject()
      : folder_(fs::temp_directory_path() / ("velmaris_script_bench_" + std::to_string(::getpid()))) {
    fs::create_directories(folder_);
    for (const std::string& path : {First(), Second()}) std::ofstream(path) << kScript;
    object_.AddComponent(new objects::Transform(0.0f, 0.0f, 0.0f));
    object_.AddComponent(new components::Physics());
    script_ = new scripting::Script();
    script_->filename = First();
    object_.AddComponent(script_);
    object_.AddComponent(new scripting::ScriptData());
    object_.Initialize();
  }
  ~ScriptedObject() { fs::remove_all(folder_); }

  std::string First() const { return (folder_ / "a.lua").string(); }
  std::string Second() const { return (folder_ / "b.lua").string(); }
  scripting::Script& Script() { return *script_; }
  float X() const {
    return static_cast<objects::Transform*>(object_.GetComponent("Transform"))->translation.x;
  }

 private:
  fs::path folder_;
  objects::GameObject object_{"Bench"};
  scripting::Script* script_ = nullptr;  // owned by object_
};

void BM_ScriptFrameUnchangedFile(benchmark::State& state) {
  ScriptedObject scripted;
  for (auto _ : state) scripted.Script().Update(kDt);
  benchmark::DoNotOptimize(scripted.X());
  state.counters["compiles"] = static_cast<double>(scripted.Script().CompileCount());
  state.counters["luaKB"] = lua_gc(scripted.Script().GetState(), LUA_GCCOUNT, 0);
}
BENCHMARK(BM_ScriptFrameUnchangedFile);

// What reading and compiling the file every frame costs: the script switches
// between two copies of the file each frame, so every frame compiles.
void BM_ScriptFrameCompileEveryFrame(benchmark::State& state) {
  ScriptedObject scripted;
  const std::string names[2] = {scripted.First(), scripted.Second()};
  int which = 0;
  for (auto _ : state) {
    scripted.Script().filename = names[which ^= 1];
    scripted.Script().Update(kDt);
  }
  benchmark::DoNotOptimize(scripted.X());
  state.counters["compiles"] = static_cast<double>(scripted.Script().CompileCount());
}
BENCHMARK(BM_ScriptFrameCompileEveryFrame);

void BM_ScriptConstruction(benchmark::State& state) {
  for (auto _ : state) {
    auto script = std::make_unique<scripting::Script>();
    benchmark::DoNotOptimize(script.get());
  }
}
BENCHMARK(BM_ScriptConstruction);

}  // namespace
