#pragma once
// The endless board's keeping (see EndlessRun): the player's kept board found
// again at the start with the figures it was kept with, the figures carried
// on through the session, and board and bests kept when the player leaves or
// the game closes.

#include "game/board/levelloader.h"
#include "game/board/playfield.h"
#include "game/progress/boardscoring.h"
#include "game/progress/endlessrun.h"

#include <cstdint>
#include <string>

namespace bsh {

class GameState;

class EndlessBoard {
public:
    explicit EndlessBoard(GameState& state) : m_state(state) {}

    // Whether the player's kept board is played and kept again, with their
    // bests (yes by default; a bot's run of its own plays a new board and
    // keeps nothing).
    void SetKeeps(bool keep) { m_keep = keep; }
    // Whether leaving or closing keeps the board: as set, and only for a profile.
    bool Keeps() const;

    // Sets `board` up: the kept board when one is kept and reads whole (its
    // figures restored into `scoring`), else a new one from `levelPath`, with
    // the clock of `level` (as read from that file).
    bool Start(const std::string& levelPath, const LevelInfo& level, PlayField& board, BoardScoring& scoring);
    // Goes on from figures kept elsewhere (a recording's start).
    void Carry(const EndlessTally& carried, BoardScoring& scoring);
    // The figures the board was found with.
    const EndlessTally& Carried() const { return m_carried; }
    // The figures now: the scoring's, and the moves found with plus this
    // session's `moves`. No scoring yet: no points.
    EndlessTally Tally(const BoardScoring* scoring, int32_t moves) const;

    // Keeps `board` with `tally` and raises the player's bests; the log says
    // `why` when it was kept. False when it could not be written.
    bool Save(const char* why, const EndlessTally& tally, const PlayField& board);

private:
    GameState& m_state;
    bool m_keep = true;
    EndlessTally m_carried;
};

} // namespace bsh
