#pragma once
// One level in play, on the rules alone: the board stepped every frame, the
// time-up and level-complete checks with their hand-over delays, the hint
// timer, the no-moves sequence and, for autoplay, the bot. The game screen
// adds the pictures and the mouse; a simulated run uses it as it is, so both
// play the same game for the same seed.

#include "game/board/playfield.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace bsh {

// How a finished level went, for the bot's report and the level's hand-over.
struct BoardResult {
    std::string level;
    bool won = false;
    int64_t score = 0;
    int64_t timePlayedMs = 0;
    int64_t timeLeftMs = 0;
    int32_t moves = 0;
    int32_t reshuffles = 0;
    int64_t points = 0;       // what the board scored, with or without a profile
    int32_t stars = 0;        // the arcade rating of a won level (2..6), 0 when lost
    int32_t timeUsedPct = 0;  // the share of the time limit used
};

// The move the bot plays among `moves` (not empty): the index of the one that
// best serves the level's objectives.
size_t PickBotMove(PlayField& board, const std::vector<BoardMove>& moves);

// One JSON object on one line: {"level": ..., "won": ..., ..., "seed": n}.
std::string FormatResultJson(const BoardResult& result, uint32_t seed);

// What a session asks of whoever shows it. Every call has an empty default.
class SessionCues {
public:
    virtual ~SessionCues() = default;
    virtual void OnTimeUp() {}          // the game-over notice; the level ends 4000 ms later
    virtual void OnLevelComplete() {}   // the level-complete notice; it ends 2500 ms later
    virtual void OnInputStopped() {}    // drop the selection: input is not allowed for now
    // A hint is due: the move to show (x1 < 0: none), what its runs are
    // about, and the cells that still need work.
    virtual void OnHint(int /*x1*/, int /*y1*/, int /*x2*/, int /*y2*/, const HintRecord& /*about*/,
                        const std::vector<std::pair<int, int>>& /*work*/) {}
    virtual void OnNoMovesNotice() {}   // the no-moves notice, while the pieces shake
    virtual void OnMove(int /*x1*/, int /*y1*/, int /*x2*/, int /*y2*/) {} // an exchange was tried
    // The level is over and its hand-over time has come; called once.
    virtual void OnFinished(BoardResult&) {}
};

class LevelSession {
public:
    // Milliseconds of the level's end sequences, the no-moves sequence and the bot.
    static constexpr int64_t kDoneCheckMs = 3000;
    static constexpr int64_t kCompleteDelayMs = 2500;
    static constexpr int64_t kGameOverDelayMs = 4000;
    static constexpr int64_t kNoMovesNoticeMs = 3000;
    static constexpr int64_t kNoMovesReshuffleMs = 6000;
    static constexpr int64_t kBotThinkMs = 300;
    static constexpr int64_t kHintDelayTutorial = 3000;
    static constexpr int64_t kHintDelayQuiet = 10000;

    enum class Player { Person, Bot };
    // An open-ended session plays the level without ever completing it (a
    // preview, the endless board); with no moves left the board reshuffles.
    void SetOpenEnded(bool openEnded) { m_openEnded = openEnded; }

    LevelSession(PlayField& board, SessionCues& cues, Player player, int64_t hintDelayMs);

    // The level starts now: the hint timer and the first done check count from here.
    void Start(std::string level);
    // One frame: the board's Step, then the level's end, hints, the no-moves
    // sequence and the bot. Returns false once the level has been handed over.
    bool Frame();

    // Tries the player's (or the bot's) exchange; counts it as a move.
    void TrySwap(int x1, int y1, int x2, int y2);
    bool IsInputAllowed() const;
    bool IsNoMovesPending() const { return m_noMovesStart != 0; }
    bool IsCompleting() const { return m_completionTime != 0; }
    // Won, lost on time or handed over: nothing the player does changes the outcome.
    bool IsDecided() const { return m_completionTime != 0 || m_gameOverTime != 0 || m_handedOver; }
    bool HasEnded() const { return m_handedOver; }
    // The share of the time limit used so far, 0..100.
    int32_t TimeUsedPercent() const;
    const BoardResult& Result() const { return m_result; }

private:
    void UpdateLevelEnd(int64_t now);
    void UpdateHints(int64_t now);
    void UpdateNoMoves(int64_t now);
    void UpdateBot(int64_t now);
    void GiveHint(int64_t now);
    void StartNoMoves(int64_t now);
    void Finish(bool won);

    PlayField& m_board;
    SessionCues& m_cues;
    Player m_player;
    int64_t m_hintDelay;
    int64_t m_nextDoneCheck = 0;
    int64_t m_completionTime = 0;
    int64_t m_gameOverTime = 0;
    int64_t m_noMovesStart = 0;
    bool m_noMovesNoticeShown = false;
    int64_t m_settledSince = 0;
    bool m_handedOver = false;
    bool m_openEnded = false;
    BoardResult m_result;
};

} // namespace bsh
