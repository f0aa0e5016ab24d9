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
    tsv::IntrusivePtr<Profile> profile = state.CurrentProfile();
    if (state.GetMode() == GameModeQuest && profile) {
        if (profile->GetDifficulty() == DifficultyEasy) {
            limit *= 2;
        } else if (profile->GetDifficulty() == DifficultyHard) {
            limit /= 2;
        }
    }
    board.SetTimeLimit(limit);
    return true;
}

void RecordLevelEnd(GameState& state, int32_t mode, int32_t timeUsedPercent, BoardResult& result)
{
    state.SetTimeUsed(timeUsedPercent);
    if (IsValidMode(mode)) {
        state.SetStat64(mode, StatTimePlayed, result.timePlayedMs / 1000);
        if (result.won) {
            state.SetStat64(mode, StatTimeLeft, result.timeLeftMs / 1000);
        }
    }
    state.SetWon(result.won);
    tsv::IntrusivePtr<Profile> profile = state.CurrentProfile();
    result.score = profile && IsValidMode(mode) ? profile->Record().GetScore(mode) : 0;
}

} // namespace bsh
