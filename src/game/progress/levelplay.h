#pragma once
// A level file read for play: the board filled, the award the level uncovers
// handed to the game-wide state, and the time limit scaled by the difficulty
// in quest mode (doubled at Easy, halved at Hard).

#include "game/board/levelloader.h"
#include "game/board/levelsession.h"
#include "game/progress/progression.h"

#include <string>

namespace bsh {

class GameState;
class PlayField;

bool LoadLevelForPlay(GameState& state, const std::string& path, PlayField& board, LevelInfo* info = nullptr);

// The end of a level in `mode`: the time statistics, the share of the time
// used and the won flag go to the state; the result gets the run's score,
// the board's points, the time used and the rating.
void RecordLevelEnd(GameState& state, GameMode mode, int32_t timeUsedPercent, int64_t points, BoardResult& result);

} // namespace bsh
