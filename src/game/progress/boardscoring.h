#pragma once
// The board's points, multiplier and statistics, kept by the game-wide state.
// The board's view holds one and passes these events on to it; a run on the
// rules alone listens with it directly.

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

    // The points the board scored so far (times the multiplier), kept here
    // whether or not a profile takes them.
    int64_t Points() const { return m_points; }
    // The most runs one move set off, one after another, and the pieces the
    // board has destroyed (jewels, specials and blocks).
    int32_t LongestCascade() const { return m_longestCascade; }
    int32_t PiecesCleared() const { return m_piecesCleared; }
    // Carries on from a kept board's figures (the endless board).
    void Restore(int64_t points, int32_t longestCascade, int32_t piecesCleared);

private:
    GameState& m_state;
    int64_t m_points = 0;
    int32_t m_cascade = 0;
    int32_t m_longestCascade = 0;
    int32_t m_piecesCleared = 0;
};

} // namespace bsh
