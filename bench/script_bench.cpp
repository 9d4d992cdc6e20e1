// Per-frame cost of one Script: running a small Update with the file unchanged (the
// compiled chunk is kept; luaKB is the state's memory at the end), beside reading and compiling the file
// every frame, and the one-off cost of building a Script (its Lua state and the whole API).
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

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

// A scratch folder holding the script twice (two names, same text).
class ScriptFolder {
 public:
  ScriptFolder()
      : folder_(fs::temp_directory_path() / ("velmaris_script_bench_" + std::to_string(::getpid()))) {
    fs::create_directories(folder_);
    for (const std::string& path : {First(), Second()}) std::ofstream(path) << kScript;
  }
  ~ScriptFolder() { fs::remove_all(folder_); }

  std::string First() const { return (folder_ / "a.lua").string(); }
  std::string Second() const { return (folder_ / "b.lua").string(); }

 private:
  fs::path folder_;
};

// An object with Transform, Physics, ScriptData and a Script running `path`.
class ScriptedObject {
 public:
  explicit ScriptedObject(const std::string& path) {
    object_.AddComponent(new objects::Transform(0.0f, 0.0f, 0.0f));
    object_.AddComponent(new components::Physics());
    script_ = new scripting::Script();
    script_->filename = path;
    object_.AddComponent(script_);
    object_.AddComponent(new scripting::ScriptData());
    object_.Initialize();
  }

  scripting::Script& Script() { return *script_; }
  float X() const {
    return static_cast<objects::Transform*>(object_.GetComponent("Transform"))->translation.x;
  }
  // Kilobytes the script's Lua state holds now.
  int LuaKB() const { return lua_gc(script_->GetState(), LUA_GCCOUNT, 0); }

 private:
  objects::GameObject object_{"Bench"};
  scripting::Script* script_ = nullptr;  // owned by object_
};

void BM_ScriptFrameUnchangedFile(benchmark::State& state) {
  ScriptFolder folder;
  ScriptedObject scripted(folder.First());
  for (auto _ : state) scripted.Script().Update(kDt);
  benchmark::DoNotOptimize(scripted.X());
  state.counters["compiles"] = static_cast<double>(scripted.Script().CompileCount());
  state.counters["luaKB"] = scripted.LuaKB();
}
BENCHMARK(BM_ScriptFrameUnchangedFile);

// A level's worth of scripted objects: 1,000 scripts of one file, 10,000 frames.
// Items are script updates, so the time per item is the cost per script per frame;
// luaMBFirst and luaMBLast are the states' memory after the first and the last frame.
void BM_ThousandScriptsTenThousandFrames(benchmark::State& state) {
  constexpr int kScripts = 1000;
  ScriptFolder folder;
  std::vector<std::unique_ptr<ScriptedObject>> scripted;
  for (int i = 0; i < kScripts; ++i) scripted.push_back(std::make_unique<ScriptedObject>(folder.First()));
  auto luaMB = [&scripted] {
    double kilobytes = 0.0;
    for (const auto& object : scripted) kilobytes += object->LuaKB();
    return kilobytes / 1024.0;
  };
  bool first = true;
  for (auto _ : state) {
    for (const auto& object : scripted) object->Script().Update(kDt);
    if (first) state.counters["luaMBFirst"] = luaMB();
    first = false;
  }
  state.counters["luaMBLast"] = luaMB();
  benchmark::DoNotOptimize(scripted.front()->X());
  state.SetItemsProcessed(state.iterations() * kScripts);
}
BENCHMARK(BM_ThousandScriptsTenThousandFrames)->Iterations(10000)->Unit(benchmark::kMillisecond);

// What reading and compiling the file every frame costs: the script switches
// between two copies of the file each frame, so every frame compiles.
void BM_ScriptFrameCompileEveryFrame(benchmark::State& state) {
  ScriptFolder folder;
  ScriptedObject scripted(folder.First());
  const std::string names[2] = {folder.First(), folder.Second()};
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
