#pragma once
// The level in play as the start-up reaches it from outside the screens: the
// window lost its focus or the game is closing.

namespace bsh {

// Opens the pause of the level in play, if any (the window lost its focus or
// was minimised): the board is hidden when the player comes back.
void PauseLevelInPlay();
// The game is closing: the level in play, if any, is saved as leaving saves it.
void SaveLevelInPlay();

} // namespace bsh
