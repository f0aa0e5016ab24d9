#pragma once
// Which tutorial texts a level's start has due, and about which piece: a
// plain function of the board's pieces and the time since the start, so that
// the game screen only shows what it is handed (its counters on the player's
// profile decide whether a text shows at all).

#include "game/board/playfield.h"

#include <cstdint>
#include <vector>

namespace bsh {

// A text due about the piece in cell (x, y).
struct TutorialCue {
    int hint = -1;
    int x = -1, y = -1;

    bool operator==(const TutorialCue&) const = default;
};

// What the level's start has handed out so far.
struct StartTutorials {
    bool bonusDone = false;
    bool pieceDone = false;
};

inline constexpr int64_t kPieceTextAfterMs = 2000;
inline constexpr int64_t kBonusTextFromMs = 3000;
inline constexpr int64_t kBonusTextUntilMs = 4000;

// The texts due `since` ms into the level, in the order to show them: the
// bonus level's text about each artifact between 3 and 4 seconds in; then,
// from 2 seconds in and while no text shows (`textShowing`) or is handed out
// now, the first key, bomb, cannon or dynamite on the board (columns left to
// right, each from the top), or nothing ever when the board has none. What
// it hands out is marked in `done`, shown or not.
std::vector<TutorialCue> DueStartTutorials(const PlayField& board, int64_t since, bool textShowing,
                                           StartTutorials& done);

} // namespace bsh
