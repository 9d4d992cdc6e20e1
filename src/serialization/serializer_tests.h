// Developer checks of the reflection registry and the serializer, for the PlayerTest
// state (which runs them once it is built) and the test suite. They write their findings to text files in a
// folder (the working directory by default): "serializer_test_output.txt" (size test, then replaced by the
// read test), read "serializerTest1.txt", and "serializeComponentTest.txt".
#pragma once

#include <filesystem>
#include <ostream>

namespace serialization {

class TestComponent;

// Sizes of eight component classes against the registry, then the members of
// "TestComponent". Throws the registry's errors when a type is not registered.
void RunSizeTest(const std::filesystem::path& folder = {});
// Reads "serializerTest1.txt" into two TestComponents (one constructed directly, one
// through the registry) and reports both. Throws std::runtime_error "First serializer
// test file missing!" when the file cannot be opened, and the loader's errors when it
// is not a TestComponent entry.
void RunReadTest(const std::filesystem::path& folder = {});
// Writes a TestComponent with known values as JSON.
void RunWriteTest(const std::filesystem::path& folder = {});

// The report block of one TestComponent.
void PrintTestComponent(const TestComponent& component, std::ostream& stream);

}  // namespace serialization
