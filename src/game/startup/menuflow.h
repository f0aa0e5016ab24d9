#pragma once
// The game as a player starts it: the menus over their background, and the
// way from them into a level and back.

#include "game/progress/gamestate.h"

#include <string>

namespace bsh {

// Puts the background and the main menu on the screen stack; without any
// profile the profile screen instead of the menu.
void StartMenus();

// Every later change of menu: fades out, takes every screen away, pushes a
// new background and the main menu, fades in.
void ShowMainMenu();

// The quest level to play next: the first level of the quest map that is open
// and not completed in the current profile's record at its difficulty; the
// map's first level without a profile or when none is open. "" when the map
// holds no level.
std::string NextQuestLevel(const GameState& state);

} // namespace bsh
