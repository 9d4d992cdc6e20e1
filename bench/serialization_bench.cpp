// The data path under load: loading a generated level of 1,000 objects (target
// <= 20 ms) and the update and late-update passes over 1,000 objects with Transform
// and Physics (target <= 0.1 ms per frame).
#include <filesystem>
#include <fstream>
#include <string>

#include <benchmark/benchmark.h>
#include <unistd.h>

#include "core/component_registration.h"
#include "objects/space_registry.h"
#include "serialization/serializer.h"

namespace {

constexpr int kObjects = 1000;

// A level of kObjects objects, each with Transform, Physics and TestComponent
// (the types registered so far).
std::string WriteLevel() {
  const std::filesystem::path path = std::filesystem::temp_directory_path() /
                                     ("velmaris_bench_level_" + std::to_string(::getpid()) + ".txt");
  std::ofstream file(path);
  file << "{ \"Level1\": {\n";
  for (int i = 0; i < kObjects; ++i) {
    file << (i == 0 ? "" : ",\n") << "\"object" << i << "\": {"
         << "\"Transform\": {\"x_position\": " << i * 0.5 << ", \"y_position\": -1.5, \"rotation\": 10.0,"
         << " \"x_scale\": 1.0, \"y_scale\": 1.0},"
         << "\"Physics\": {\"x_velocity\": 1.0, \"y_velocity\": 0.5, \"max_velocity\": 3.0, \"mass\": 1.0},"
         << "\"TestComponent\": {\"int_vector\": [1, 2, 3], \"float_vector\": [0.5], \"rotation\": 1.0}}";
  }
  file << "\n} }\n";
  return path.string();
}

void BM_LoadLevel(benchmark::State& state) {
  core::RegisterComponents();
  const std::string path = WriteLevel();
  for (auto _ : state) {
    objects::SpaceRegistry spaces;
    serialization::Serializer serializer(&spaces);
    serializer.LoadLevel(path);
    benchmark::DoNotOptimize(spaces.FindSpace("Level1"));
  }
  std::filesystem::remove(path);
}
BENCHMARK(BM_LoadLevel)->Unit(benchmark::kMillisecond);

void BM_UpdatePasses(benchmark::State& state) {
  core::RegisterComponents();
  const std::string path = WriteLevel();
  objects::SpaceRegistry spaces;
  serialization::Serializer serializer(&spaces);
  serializer.LoadLevel(path);
  std::filesystem::remove(path);
  for (auto _ : state) {
    spaces.UpdateSpaces(1.0f / 60.0f);
    spaces.LateUpdateSpaces(1.0f / 60.0f);
  }
}
BENCHMARK(BM_UpdatePasses)->Unit(benchmark::kMicrosecond);

}  // namespace
