#include "game/screens/savedrun.h"

#include "engine/core/log.h"
#include "game/progress/gamestate.h"

namespace bsh {

using tsv::EndL;
using tsv::GetLog;

KeptOnClose DecideKeptOnClose(const LevelAtClose& level)
{
    if (level.endless) {
        return !level.ended && level.started && level.keepsEndlessBoard ? KeptOnClose::EndlessBoard
                                                                         : KeptOnClose::Nothing;
    }
    if (level.preview || level.ended || !level.person || !level.validMode || !level.started || level.decided ||
        level.won || !level.profile) {
        return KeptOnClose::Nothing;
    }
    return KeptOnClose::Run;
}

bool SavedRun::Resume(PlayField& board, std::string& levelPath, LevelInfo& level)
{
    PlayField* target = &board;
    m_state.SetBoardSnapshotHooks({}, [target](tsv::RecordReader& in) { return target->LoadState(in); });
    if (!m_state.LoadGame()) {
        return false;
    }
    levelPath = m_state.GetLevelPath();
    if (!ReadLevelInfo(levelPath, level)) {
        // Kept aside, never deleted: a level file put back brings it back.
        GetLog() << tsv::Error << "The saved run's level cannot be played; the run is moved aside: " << levelPath
                 << EndL;
        m_state.SetAsideSavedGame(m_mode);
        return false;
    }
    m_resumed = true;
    GetLog() << tsv::Hint << "Saved run resumed: " << levelPath << EndL;
    return true;
}

bool SavedRun::Save(const char* why, const std::string& levelPath)
{
    if (m_state.SaveGame()) {
        GetLog() << tsv::Hint << why << ", the run is saved: " << levelPath << EndL;
        return true;
    }
    GetLog() << tsv::Error << why << ", but the run could not be saved: " << levelPath << EndL;
    return false;
}

void SavedRun::Finish()
{
    if (m_resumed) {
        m_state.DeleteSavedGame(m_mode);
    }
}

} // namespace bsh
