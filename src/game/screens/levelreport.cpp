#include "game/screens/levelreport.h"

namespace bsh {

BoardResult WithBoardClock(BoardResult result, const PlayField* board)
{
    if (board) {
        result.timePlayedMs = board->GetTimePlayed();
        result.timeLeftMs = board->GetTimeLeft();
    }
    return result;
}

std::string FormatLevelDump(const PlayField* board, int selectedX, int selectedY, const EndlessTally* tally)
{
    if (!board) {
        return "no board";
    }
    std::string text = board->DumpText() + "selected " + std::to_string(selectedX) + " " +
                       std::to_string(selectedY) + "\n";
    if (tally) {
        text += FormatEndlessJson(*tally) + "\n";
    }
    return text;
}

} // namespace bsh
