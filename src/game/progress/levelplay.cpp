#include "game/progress/levelplay.h"

#include "game/board/playfield.h"
#include "game/progress/gamestate.h"

namespace bsh {

bool LoadLevelForPlay(GameState& state, const std::string& path, PlayField& board, LevelInfo* info)
{
    LevelInfo local;
    LevelInfo& level = info ? *info : local;
    if (!LoadLevel(path, board, &level)) {
        return false;
    }
    if (!level.awardKey.empty()) {
        state.SetAwardKey(level.awardKey);
    }
    int64_t limit = level.time;
    if (state.GetMode() == GameMode::Quest) {
        if (state.GetDifficulty() == Difficulty::Easy) {
            limit *= 2;
        } else if (state.GetDifficulty() == Difficulty::Hard) {
            limit /= 2;
        }
    }
    board.SetTimeLimit(limit);
    board.SetRelaxed(state.IsLevelRelaxed());
    return true;
}

void RecordLevelEnd(GameState& state, GameMode mode, int32_t timeUsedPercent, int64_t points, BoardResult& result)
{
    result.points = points;
    result.timeUsedPct = timeUsedPercent;
    state.SetTimeUsed(timeUsedPercent);
    if (IsValidMode(mode)) {
        state.SetStat64(mode, StatCounter::TimePlayed, result.timePlayedMs / 1000);
        if (result.won) {
            state.SetStat64(mode, StatCounter::TimeLeft, result.timeLeftMs / 1000);
        }
    }
    state.SetWon(result.won);
    result.stars = result.won && !state.IsLevelRelaxed() ? state.Rating() : 0;
    tsv::IntrusivePtr<Profile> profile = state.CurrentProfile();
    result.score = profile && IsValidMode(mode) ? profile->Record().GetScore(mode) : 0;
}

} // namespace bsh
