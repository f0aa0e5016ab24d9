#pragma once
// The level in play as text: the result line its recording ends with, and the
// board snapshot the script's "dump" command prints.

#include "game/board/levelsession.h"
#include "game/board/playfield.h"
#include "game/progress/endlessrun.h"

#include <string>

namespace bsh {

// `result` with the board's clock (time played and left); as it is without a board.
BoardResult WithBoardClock(BoardResult result, const PlayField* board);

// The board's snapshot, then "selected X Y" (-1 -1 without a selection), then
// for the endless board (`tally` not null) its figures; "no board" before the
// level has one.
std::string FormatLevelDump(const PlayField* board, int selectedX, int selectedY, const EndlessTally* tally);

} // namespace bsh
