// Fills the process-wide reflection registry with every component type that level
// and prefab files may name.
#pragma once

namespace core {

// Registers the component types (each through its own Register function next to its
// class) and "TestComponent" for the serializer self-tests, and installs the
// collision pass of the spaces with its four handlers. Called once, first thing
// in engine start-up; calling it again registers the same types afresh.
void RegisterComponents();

}  // namespace core
