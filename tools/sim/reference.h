// velmaris-sim --reference: the level makers' reference in Markdown, written from the
// reflection registry, the collision handler table, the menu pages, the state table
// and the scripting API's description, so it names what the engine really takes.
#pragma once

#include <string>
#include <vector>

namespace sim {

struct ReferencePage {
  std::string file;  // e.g. "reference.md"
  std::string text;
};

// The pages (the registry must be filled).
std::vector<ReferencePage> ReferencePages();

}  // namespace sim
