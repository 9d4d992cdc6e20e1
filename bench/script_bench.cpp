// Per-frame cost of one Script: running a small Update with the file unchanged (the
// compiled chunk is kept; luaKB is the state's memory at the end), beside reading and compiling the file
// every frame, and the one-off cost of a new scripted object.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>
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
#include "scripting/script_file.h"

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

// A scratch folder holding the script.
class ScriptFolder {
 public:
  ScriptFolder()
      : folder_(fs::temp_directory_path() / ("velmaris_script_bench_" + std::to_string(::getpid()))) {
    fs::create_directories(folder_);
    std::ofstream(First()) << kScript;
  }
  ~ScriptFolder() { fs::remove_all(folder_); }

  std::string First() const { return (folder_ / "a.lua").string(); }

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
  // The Lua state of the script's file, shared with the other scripts of the file.
  lua_State* LuaState() const { return script_->GetState(); }

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
  state.counters["luaKB"] = lua_gc(scripted.LuaState(), LUA_GCCOUNT, 0);
}
BENCHMARK(BM_ScriptFrameUnchangedFile);

// A level's worth of scripted objects: 1,000 scripts of one file, 10,000 frames.
// Items are script updates, so the time per item is the cost per script per frame.
// luaMBFirst and luaMBLast are the states' memory after the first and the last
// frame, luaMBPeak the most it held at the end of any thousandth frame (untimed):
// flat memory keeps the peak near the first.
void BM_ThousandScriptsTenThousandFrames(benchmark::State& state) {
  constexpr int kScripts = 1000;
  ScriptFolder folder;
  std::vector<std::unique_ptr<ScriptedObject>> scripted;
  for (int i = 0; i < kScripts; ++i) scripted.push_back(std::make_unique<ScriptedObject>(folder.First()));
  auto luaMB = [&scripted] {
    std::set<lua_State*> states;
    for (const auto& object : scripted) states.insert(object->LuaState());
    double kilobytes = 0.0;
    for (lua_State* L : states) kilobytes += lua_gc(L, LUA_GCCOUNT, 0);
    return kilobytes / 1024.0;
  };
  std::int64_t frame = 0;
  double peak = 0.0;
  for (auto _ : state) {
    for (const auto& object : scripted) object->Script().Update(kDt);
    if (++frame == 1 || frame % 1000 == 0) {
      state.PauseTiming();
      const double megabytes = luaMB();
      if (frame == 1) state.counters["luaMBFirst"] = megabytes;
      peak = std::max(peak, megabytes);
      state.ResumeTiming();
    }
  }
  state.counters["luaMBLast"] = luaMB();
  state.counters["luaMBPeak"] = peak;
  benchmark::DoNotOptimize(scripted.front()->X());
  state.SetItemsProcessed(state.iterations() * kScripts);
}
BENCHMARK(BM_ThousandScriptsTenThousandFrames)->Iterations(10000)->Unit(benchmark::kMillisecond);

// What reading and compiling the file every frame costs: the file's modification
// time moves every frame and its last look is forgotten, so every frame compiles.
void BM_ScriptFrameCompileEveryFrame(benchmark::State& state) {
  ScriptFolder folder;
  ScriptedObject scripted(folder.First());
  auto stamp = fs::last_write_time(folder.First());
  for (auto _ : state) {
    fs::last_write_time(folder.First(), stamp += std::chrono::seconds(1));
    scripting::ResetFileChecks();
    scripted.Script().Update(kDt);
  }
  benchmark::DoNotOptimize(scripted.X());
  state.counters["compiles"] = static_cast<double>(scripted.Script().CompileCount());
}
BENCHMARK(BM_ScriptFrameCompileEveryFrame);

// What a new scripted object costs up to the end of its first frame: with
// another script of its file already running (shared:1), or as the file's first
// script, which makes the file's Lua state with the whole API (shared:0).
void BM_FirstFrameOfAScript(benchmark::State& state) {
  ScriptFolder folder;
  std::unique_ptr<ScriptedObject> running;
  if (state.range(0) == 1) running = std::make_unique<ScriptedObject>(folder.First());
  for (auto _ : state) {
    ScriptedObject scripted(folder.First());
    scripted.Script().Update(kDt);
    benchmark::DoNotOptimize(scripted.X());
  }
}
BENCHMARK(BM_FirstFrameOfAScript)->ArgName("shared")->Arg(0)->Arg(1);

}  // namespace
