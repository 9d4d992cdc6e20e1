// The serializer self-tests and their report files.
#include "serialization/serializer_tests.h"

#include <cstring>
#include <memory>
#include <new>
#include <sstream>
#include <stdexcept>
#include <string>

#include "base/atomic_file.h"
#include "base/log.h"
#include "objects/type_registry.h"
#include "serialization/json_file.h"
#include "serialization/serializer.h"
#include "serialization/test_component.h"

namespace serialization {
namespace {

constexpr const char* kReportFile = "serializer_test_output.txt";
constexpr const char* kReadFile = "serializerTest1.txt";
constexpr const char* kWriteFile = "serializeComponentTest.txt";

// A report goes to its file whole, or not at all (with a line saying why).
void Save(const std::filesystem::path& path, const std::string& text) {
  std::string error;
  if (!base::WriteFileAtomically(path, text, error)) base::LogError("serializer tests", error);
}

// Frees a component made in raw memory by CreateComponent or placement new.
struct ComponentDeleter {
  void operator()(objects::BaseComponent* component) const { delete component; }
};
using ComponentPointer = std::unique_ptr<objects::BaseComponent, ComponentDeleter>;

// A TestComponent constructed in zero-filled memory.
ComponentPointer MakeClearedTestComponent() {
  void* memory = ::operator new(sizeof(TestComponent));
  std::memset(memory, 0, sizeof(TestComponent));
  return ComponentPointer(new (memory) TestComponent());
}

// "Component Size" is sizeof the class, recorded by RegisterType<Class>; "Reflection
// Size" is what the registration left as the type's size. They differ when a
// registration forgot FinishType. An unregistered name throws the registry's error.
void WriteSizeLines(std::ostream& out, const char* name) {
  const objects::TypeDescriptor& type = objects::FindType(name);
  out << "Testing size of " << name << ":\n";
  out << "Component Size is " << type.allocationSize << "\n";
  out << "Reflection Size is " << type.size << "\n";
  out << "\n";
}

}  // namespace

void PrintTestComponent(const TestComponent& component, std::ostream& stream) {
  stream << "Component: " << component.GetType() << "\n";
  stream << "     Size: " << sizeof(TestComponent) << "\n";
  stream << "   Parent: " << static_cast<const void*>(component.GetOwner()) << "\n";
  stream << " Position: (" << component.position.x << ", " << component.position.y << ")\n";
  stream << "    Scale: (" << component.scale.x << ", " << component.scale.y << ")\n";
  stream << " Rotation: " << component.rotation << "\n\n";
  stream << "Int Vector: ";
  for (std::int32_t number : component.intVector) stream << " " << number << ",";
  stream << "\n";
  stream << "Float Vector: ";
  for (float number : component.floatVector) stream << " " << number << ",";
  stream << "\n";
}

void RunSizeTest(const std::filesystem::path& folder) {
  std::ostringstream out;
  for (const char* name :
       {"Transform", "Physics", "Sprite", "SpriteSource", "Pool", "Timer", "PlayerController", "Camera"}) {
    WriteSizeLines(out, name);
  }
  out << "Basic Component Test:\n";
  for (const char* name : {"x_position", "y_position", "x_scale", "y_scale", "rotation"}) {
    const objects::MemberDescriptor& member = objects::FindMember("TestComponent", name);
    out << "Member: " << member.name << "\n";
    out << "Size: " << member.size << "\n";
    out << "Offset: " << member.offset << "\n";
  }
  out << "Overall Size: " << objects::FindType("TestComponent").size << "\n";
  out << "\n";
  Save(folder / kReportFile, out.str());
}

void RunReadTest(const std::filesystem::path& folder, const std::filesystem::path& inputFolder) {
  std::ostringstream out;
  const std::string inputPath = (inputFolder / kReadFile).string();
  rapidjson::Document document;
  std::string error;
  const JsonFileResult result = ReadJsonFile(inputPath, document, error);
  if (result == JsonFileResult::NotOpened) throw std::runtime_error("First serializer test file missing!");
  if (result == JsonFileResult::Refused) {
    throw std::runtime_error("Serializer test file " + inputPath + " " + error + ".");
  }
  if (result == JsonFileResult::Malformed) {
    throw std::runtime_error("Serializer test file " + inputPath + " is not well-formed JSON " + error);
  }
  if (!document.IsObject() || document.ObjectEmpty()) {
    throw std::runtime_error("Serializer test file " + inputPath +
                             " does not hold a TestComponent entry as its first member.");
  }
  const JsonMember& entry = *document.MemberBegin();
  if (std::string(entry.name.GetString(), entry.name.GetStringLength()) != "TestComponent") {
    throw std::runtime_error("Serializer test file " + inputPath +
                             " does not hold a TestComponent entry as its first member.");
  }

  Serializer serializer(nullptr);
  ComponentPointer first = MakeClearedTestComponent();
  serializer.DeserializeComponent(first.get(), entry);
  const auto& direct = static_cast<const TestComponent&>(*first);
  out << "Component Location: " << static_cast<const void*>(&direct) << "\n";
  out << "Position Location: " << static_cast<const void*>(&direct.position) << "\n";
  out << "Scale Location: " << static_cast<const void*>(&direct.scale) << "\n";
  out << "Rotation Location: " << static_cast<const void*>(&direct.rotation) << "\n";
  out << "\n";
  PrintTestComponent(direct, out);

  ComponentPointer second(objects::CreateComponent(objects::FindType("TestComponent")));
  serializer.DeserializeComponent(second.get(), entry);
  out << "Deserialized Component Test:\n";
  PrintTestComponent(static_cast<const TestComponent&>(*second), out);
  Save(folder / kReportFile, out.str());
}

void RunWriteTest(const std::filesystem::path& folder) {
  std::ostringstream out;
  rapidjson::OStreamWrapper wrapper(out);
  JsonWriter writer(wrapper);
  writer.StartObject();
  ComponentPointer component = MakeClearedTestComponent();
  auto& test = static_cast<TestComponent&>(*component);
  test.position = {1.0f, 2.0f};
  test.scale = {3.0f, 4.0f};
  test.rotation = 5.0f;
  test.intVector = {1, 2, 3, 4, 5};
  test.floatVector = {0.1f, 0.2f, 0.3f, 0.4f, 0.5f};
  Serializer::SerializeComponent(test, writer);
  writer.EndObject();
  Save(folder / kWriteFile, out.str());
}

}  // namespace serialization
