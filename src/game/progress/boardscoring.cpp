#include "game/progress/boardscoring.h"

#include "game/board/playfield.h"
#include "game/progress/gamestate.h"

namespace bsh {

void BoardScoring::OnScore(int32_t points, float x, float y) { m_state.AddScore(points, x, y); }

void BoardScoring::OnMultiplier(MultiplierChange change)
{
    if (change == MultiplierChange::Reset) {
        m_state.SetScoreMultiplier(0);
    } else {
        m_state.RaiseScoreMultiplier();
    }
}

void BoardScoring::OnStat(BoardStat stat, int32_t delta) { m_state.AddStat(static_cast<int>(stat), delta); }

void BoardScoring::OnMatchSize(int32_t cells)
{
    const int32_t mode = m_state.GetMode();
    if (IsValidMode(mode) && cells > m_state.GetStat(mode, StatMaximumMatch)) {
        m_state.SetStat(mode, StatMaximumMatch, cells);
    }
}

bool BoardScoring::IsSwapHintDue() const
{
    tsv::IntrusivePtr<Profile> profile = m_state.CurrentProfile();
    return profile && profile->Awards().GetHintCounter(HintRecord::SwapJewels) != 0;
}

int32_t BoardScoring::RunScore() const
{
    tsv::IntrusivePtr<Profile> profile = m_state.CurrentProfile();
    return profile && IsValidMode(m_state.GetMode()) ? profile->Record().GetScore(m_state.GetMode()) : 0;
}

int32_t BoardScoring::Multiplier() const { return m_state.GetScoreMultiplier(); }

} // namespace bsh
