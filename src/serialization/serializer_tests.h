// Developer checks of the reflection registry and the serializer, for the PlayerTest
// state (which runs them once it is built) and the test suite. They write their findings, each file whole or
// not at all, into a folder (the working directory by default; the game gives its cache folder):
// "serializer_test_output.txt" (size test, then replaced by the read test) and "serializeComponentTest.txt";
// the read test reads "serializerTest1.txt" from its input folder (the data folder).
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
void RunReadTest(const std::filesystem::path& folder = {}, const std::filesystem::path& inputFolder = {});
// Writes a TestComponent with known values as JSON.
void RunWriteTest(const std::filesystem::path& folder = {});

// The report block of one TestComponent.
void PrintTestComponent(const TestComponent& component, std::ostream& stream);

}  // namespace serialization
