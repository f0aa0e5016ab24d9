#include "game/progress/boardscoring.h"

#include "game/board/playfield.h"
#include "game/progress/gamestate.h"

#include <algorithm>

namespace bsh {

// The board's figures are the first counters of a mode's statistics block, in the same order.
namespace {

constexpr bool SameCounter(BoardStat stat, StatCounter counter)
{
    return static_cast<size_t>(stat) == StatIndex(counter);
}
static_assert(SameCounter(BoardStat::Jewels, StatCounter::Jewels) &&
              SameCounter(BoardStat::Blocks, StatCounter::Blocks) &&
              SameCounter(BoardStat::Cells, StatCounter::Cells) && SameCounter(BoardStat::Locks, StatCounter::Locks) &&
              SameCounter(BoardStat::Explosions, StatCounter::Explosions) &&
              SameCounter(BoardStat::Cannons, StatCounter::Cannons));

} // namespace

void BoardScoring::OnScore(int32_t points, float x, float y)
{
    const int32_t multiplier = m_state.GetScoreMultiplier();
    m_points += multiplier != 0 ? static_cast<int64_t>(points) * multiplier : points;
    m_state.AddScore(points, x, y);
}

void BoardScoring::OnMultiplier(MultiplierChange change)
{
    if (change == MultiplierChange::Reset) {
        m_cascade = 0;
        m_state.SetScoreMultiplier(0);
    } else {
        m_longestCascade = std::max(m_longestCascade, ++m_cascade);
        m_state.RaiseScoreMultiplier();
    }
}

void BoardScoring::OnStat(BoardStat stat, int32_t delta)
{
    if (stat == BoardStat::Jewels || stat == BoardStat::Blocks || stat == BoardStat::Explosions) {
        m_piecesCleared += delta;
    }
    m_state.AddStat(StatAt(static_cast<size_t>(stat)), delta);
}

void BoardScoring::Restore(int64_t points, int32_t longestCascade, int32_t piecesCleared)
{
    m_points = points;
    m_longestCascade = longestCascade;
    m_piecesCleared = piecesCleared;
}

void BoardScoring::OnMatchSize(int32_t cells)
{
    const GameMode mode = m_state.GetMode();
    if (IsValidMode(mode) && cells > m_state.GetStat(mode, StatCounter::MaximumMatch)) {
        m_state.SetStat(mode, StatCounter::MaximumMatch, cells);
    }
}

bool BoardScoring::IsSwapHintDue() const
{
    tsv::IntrusivePtr<Profile> profile = m_state.CurrentProfile();
    return profile && profile->Awards().GetHintCounter(HintIndex(HintRecord::Flag::SwapJewels)) != 0;
}

int32_t BoardScoring::RunScore() const
{
    tsv::IntrusivePtr<Profile> profile = m_state.CurrentProfile();
    return profile && IsValidMode(m_state.GetMode()) ? profile->Record().GetScore(m_state.GetMode()) : 0;
}

int32_t BoardScoring::Multiplier() const { return m_state.GetScoreMultiplier(); }

} // namespace bsh
