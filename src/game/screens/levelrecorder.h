#pragma once
// The recording of the level in play (see Replay): how it began, then each
// frame of the board as the game screen takes it, with what the player did
// before it; kept on the replays shelf, with the level's result line, when
// the level is over.

#include "game/board/playfield.h"
#include "game/progress/gamestate.h"
#include "game/progress/replay.h"

#include <cstdint>
#include <memory>
#include <string>

namespace bsh {

class LevelRecorder {
public:
    // The level as the game screen begins it.
    struct Start {
        std::string level; // the level file as the game opened it
        GameMode mode = GameMode::Arcade;
        bool endless = false;
        bool bot = false;
        uint32_t seed = 0;
        EndlessTally carried; // the endless board's figures when it was found again
    };
    // Begins recording the level on `board` (as it stands before its first
    // frame), at `now` on the game clock.
    void Begin(const GameState& state, const Start& start, const PlayField& board, int64_t now);
    bool IsRecording() const { return m_replay != nullptr; }

    // Something the player did before the board's next frame.
    void Action(const ReplayAction& action);
    // Whether a tutorial text shows now: one shown at the last look and gone
    // now is an action of `kind` (closed before the frame, or by the bot in it).
    void LookAtTutorial(bool shown, ReplayAction::Kind kind);
    void SeeTutorial(bool shown) { m_tutorialShown = shown; }
    // The board's frame begins: the clock's step since the last one, and
    // whether it runs.
    void Frame(bool running, int64_t now);
    // The pointer as the board took it in the frame just begun.
    void Pointer(float x, float y, bool down);
    // The level is over (won, lost, left, or the game closed): the recording
    // ends with its result line and is kept. The line is kept even when
    // nothing was recorded (a playback's), and the last one counts.
    void End(const std::string& resultLine);
    const std::string& ResultLine() const { return m_resultLine; }
    // Where the recording was kept; "" before its end, when nothing was
    // recorded or it could not be written (logged).
    const std::string& KeptPath() const { return m_keptPath; }

private:
    std::unique_ptr<Replay> m_replay;
    ReplayFrame m_pending;     // the actions before the board's next frame
    int64_t m_lastMs = 0;      // the game clock at the last frame
    bool m_tutorialShown = false;
    std::string m_resultLine;
    std::string m_keptPath;
};

} // namespace bsh
