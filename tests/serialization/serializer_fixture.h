// A fixture for loader tests: the real component types plus probe types registered,
// a space registry of its own and a scratch folder for level and prefab files.
#pragma once

#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>

#include <gtest/gtest.h>
#include <unistd.h>

#include "core/component_registration.h"
#include "objects/probe_component.h"
#include "objects/space_registry.h"
#include "serialization/serializer.h"
#include "working_directory.h"

namespace testing_support {

class SerializerFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    objects::ResetTypeRegistry();
    core::RegisterComponents();
    for (const char* name : {"Alpha", "Beta", "Gamma"}) RegisterProbe(objects::GetTypeRegistry(), name);
    Probe::Journal().clear();
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    folder = std::filesystem::temp_directory_path() /
             ("velmaris_" + std::to_string(::getpid()) + "_" + test->test_suite_name() + "_" + test->name());
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    inFolder = std::make_unique<ScopedWorkingDirectory>(folder);
  }
  void TearDown() override {
    inFolder.reset();
    std::filesystem::remove_all(folder);
    objects::ResetTypeRegistry();
  }

  // Writes a file into the scratch folder, the working directory (the data folder, as
  // far as the loader sees); returns its name there.
  std::string Write(const std::string& name, const std::string& text) {
    std::ofstream(folder / name, std::ios::binary) << text;
    return name;
  }

  // The whole text of a file in the scratch folder.
  std::string Read(const std::string& name) const {
    std::ostringstream text;
    text << std::ifstream(folder / name).rdbuf();
    return text.str();
  }

  // Loads the text as a level file into `spaces`; returns the path used.
  std::string Load(const std::string& text, const std::string& name = "level.txt") {
    const std::string path = Write(name, text);
    serialization::Serializer serializer(&spaces);
    EXPECT_TRUE(serializer.LoadLevel(path));
    return path;
  }

  // The message of the runtime_error that the call throws.
  static std::string ErrorOf(const std::function<void()>& call) {
    try {
      call();
    } catch (const std::runtime_error& error) {
      return error.what();
    }
    return "(no exception)";
  }

  // The message of the runtime_error that loading the text throws.
  std::string LoadError(const std::string& text, const std::string& name = "level.txt") {
    return ErrorOf([&] { Load(text, name); });
  }

  std::shared_ptr<objects::GameObject> Object(const std::string& space, const std::string& name) const {
    objects::Space* found = spaces.FindSpace(space);
    return found != nullptr ? found->FindObject(name).lock() : nullptr;
  }

  template <typename T>
  T* ComponentOf(const std::string& space, const std::string& object, const std::string& type) const {
    auto found = Object(space, object);
    return found ? static_cast<T*>(found->GetComponent(type)) : nullptr;
  }

  // Registers "Camera", a type with the component header and nothing else.
  static void RegisterCamera() {
    objects::GetTypeRegistry()
        .RegisterType<objects::BaseComponent>(
            "Camera",
            [](void* m) -> objects::BaseComponent* { return new (m) objects::BaseComponent("Camera"); })
        .AddHeaderMember()
        .FinishType();
  }

  objects::SpaceRegistry spaces;
  std::filesystem::path folder;
  std::unique_ptr<ScopedWorkingDirectory> inFolder;
};

}  // namespace testing_support
