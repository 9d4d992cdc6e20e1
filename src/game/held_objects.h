// The objects of the data files that the game keeps pointers into or finds by name,
// so that dev mode's live reload never takes them out of their spaces.
#pragma once

#include <string_view>

namespace game {

// "Player" and "c_UI" of any space (the levels; the collision pass and its handlers
// find them by name), and every object of the game's own screens: the level timer,
// the victory screen, the end screen, the logos and every page of the page table, whose pictures and
// buttons the game drives through pointers kept from their first load.
bool IsHeldByGame(std::string_view space, std::string_view object);

}  // namespace game
