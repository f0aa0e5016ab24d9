#pragma once
// The board's points, multiplier and statistics, kept by the game-wide state.
// The board's view extends this with pictures and sound; a run on the rules
// alone uses it as it is.

#include "game/board/boardevents.h"

namespace bsh {

class GameState;

class BoardScoring : public BoardEvents {
public:
    explicit BoardScoring(GameState& state) : m_state(state) {}

    void OnScore(int32_t points, float x, float y) override;
    void OnMultiplier(MultiplierChange change) override;
    void OnStat(BoardStat stat, int32_t delta) override;
    void OnMatchSize(int32_t cells) override;
    bool IsSwapHintDue() const override;
    int32_t RunScore() const override;
    int32_t Multiplier() const override;

protected:
    GameState& State() const { return m_state; }

private:
    GameState& m_state;
};

} // namespace bsh
