#pragma once
// The saved run of a mode (see GameState::SaveGame): found again when a level
// starts without a level path, kept when the player leaves a level or the
// game closes during one, and gone once the resumed level is won or lost.

#include "game/board/levelloader.h"
#include "game/board/playfield.h"
#include "game/progress/progression.h"

#include <string>

namespace bsh {

class GameState;

// What the game keeps of the level in play when it closes.
enum class KeptOnClose { Nothing, EndlessBoard, Run };

// The level in play as the game closes.
struct LevelAtClose {
    bool endless = false;
    bool keepsEndlessBoard = false; // see EndlessBoard::Keeps
    bool preview = false;
    bool ended = false;   // already won, lost or left
    bool started = false; // the session runs
    bool person = false;  // a player, not the bot
    bool validMode = false;
    bool decided = false; // won or lost, its hand-over still to come
    bool won = false;     // the game-wide won flag
    bool profile = false; // a profile is current
};
// Only a player's level still undecided is kept: a preview, the bot, a level
// won or lost, or one already left have nothing (more) to keep. The endless
// board is kept by whoever plays it, as long as it keeps at all.
KeptOnClose DecideKeptOnClose(const LevelAtClose& level);

class SavedRun {
public:
    SavedRun(GameState& state, GameMode mode) : m_state(state), m_mode(mode) {}

    // Puts the mode's saved run on `board` as it was left; `levelPath` and
    // `level` become the run's level (its own file still gives what the run
    // does not hold). False (logged) when there is no run or its level cannot
    // be played; such a run is moved aside, never deleted.
    bool Resume(PlayField& board, std::string& levelPath, LevelInfo& level);
    // Keeps the run of `levelPath`; the log says `why`, and whether it was kept.
    bool Save(const char* why, const std::string& levelPath);
    // The level was played to its end: a resumed run is over, the profiles
    // hold its outcome.
    void Finish();

private:
    GameState& m_state;
    GameMode m_mode;
    bool m_resumed = false; // the level came from the saved run
};

} // namespace bsh
