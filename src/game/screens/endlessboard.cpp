#include "game/screens/endlessboard.h"

#include "engine/core/log.h"
#include "game/progress/gamestate.h"

namespace bsh {

using tsv::EndL;
using tsv::GetLog;

bool EndlessBoard::Keeps() const { return m_keep && m_state.CurrentProfile(); }

bool EndlessBoard::Start(const std::string& levelPath, const LevelInfo& level, PlayField& board,
                         BoardScoring& scoring)
{
    if (Keeps()) {
        // A kept board is read once aside, so a damaged one never leaves
        // half a board behind, then into the board that is played.
        const std::string path = EndlessRun::PathFor(m_state.CurrentProfile()->GetName());
        EndlessTally tally;
        BoardEvents unseen;
        tsv::IntrusivePtr<PlayField> probe = tsv::MakeIntrusive<PlayField>(unseen, [] { return int64_t{0}; });
        if (EndlessRun::Load(path, tally, *probe) == EndlessRun::Read::Loaded &&
            EndlessRun::Load(path, m_carried, board) == EndlessRun::Read::Loaded) {
            Carry(m_carried, scoring);
            GetLog() << tsv::Hint << "Endless board found again: " << path << EndL;
            return true;
        }
        m_carried = {};
    }
    if (!LoadLevel(levelPath, board)) {
        return false;
    }
    board.SetTimeLimit(level.time);
    return true;
}

void EndlessBoard::Carry(const EndlessTally& carried, BoardScoring& scoring)
{
    m_carried = carried;
    scoring.Restore(m_carried.score, m_carried.longestCascade, m_carried.piecesCleared);
}

EndlessTally EndlessBoard::Tally(const BoardScoring* scoring, int32_t moves) const
{
    EndlessTally tally;
    if (scoring) {
        tally.score = scoring->Points();
        tally.longestCascade = scoring->LongestCascade();
        tally.piecesCleared = scoring->PiecesCleared();
    }
    tally.moves = m_carried.moves + moves;
    return tally;
}

bool EndlessBoard::Save(const char* why, const EndlessTally& tally, const PlayField& board)
{
    const std::string name = m_state.CurrentProfile()->GetName();
    PlayerExtra extra = m_state.Extras().Get(name);
    if (RaiseEndlessBests(extra, tally)) {
        m_state.Extras().Set(name, extra);
        m_state.Extras().Save();
    }
    if (EndlessRun::Save(EndlessRun::PathFor(name), tally, board)) {
        GetLog() << tsv::Hint << why << ", the endless board is kept" << EndL;
        return true;
    }
    return false;
}

} // namespace bsh
