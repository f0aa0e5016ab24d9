#pragma once
// Plays a level's recording back (see Replay) in place of a player: the board
// set up as the recording began, then for each recorded frame the game clock
// put where it was and what the player did handed over in the recorded order.

#include "engine/scene/inputmanager.h"
#include "game/board/playfield.h"
#include "game/progress/replay.h"

#include <cstdint>
#include <functional>
#include <vector>

namespace bsh {

class ReplayPlayback {
public:
    // What a frame's actions act on; the pointer is handed back instead.
    struct Hands {
        std::function<void(int keyCode)> key;
        std::function<void()> leave;
        std::function<void()> closeTutorial;
    };

    // `replay` must outlive the playback.
    explicit ReplayPlayback(const Replay& replay) : m_replay(replay), m_clockMs(replay.startMs) {}

    const Replay& Recording() const { return m_replay; }
    // The board and its random source as the recording began. False (logged)
    // when the recorded board cannot be read.
    bool SetUpBoard(PlayField& board) const;
    // One recorded frame: the game clock set to it and running or not as it
    // was, its keys, leaving and closed tutorial texts handed to `hands` in
    // order. Returns the pointer's states of the frame.
    std::vector<tsv::InputManager::PointerState> Play(const ReplayFrame& frame, const Hands& hands);
    // Whether the bot clicked a tutorial text away within the frame.
    static bool BotClosedTutorial(const ReplayFrame& frame);

private:
    const Replay& m_replay;
    int64_t m_clockMs; // the game clock of the frame played last
};

} // namespace bsh
