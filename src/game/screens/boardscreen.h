#pragma once
// The board half of the game screen: it owns the level's PlayField, steps it
// every frame, turns the mouse into selections, clicks and drags, gives hint
// arrows, runs the no-moves sequence and notices the end of the level. With
// autoplay a bot plays the level through the same rules.

#include "game/board/levelloader.h"
#include "game/board/playfield.h"
#include "engine/gui/font.h"
#include "engine/runtime/task.h"

#include <cstdint>
#include <functional>
#include <string>

namespace bsh {

class GameState;

// How a finished level went, for the bot's report and the level's hand-over.
struct BoardResult {
    std::string level;
    bool won = false;
    int64_t score = 0;
    int64_t timePlayedMs = 0;
    int64_t timeLeftMs = 0;
    int32_t moves = 0;
    int32_t reshuffles = 0;
};

// One JSON object on one line: {"level": ..., "won": ..., ..., "seed": n}.
std::string FormatResultJson(const BoardResult& result, uint32_t seed);

// Where a release of the left button leads, given the pressed cell, the
// selection and how far the mouse moved since the press.
struct ReleaseAction {
    enum Kind { None, Select, Deselect, Swap } kind = None;
    int x = -1, y = -1;   // Select: the new selection; Swap: the first cell
    int tx = -1, ty = -1; // Swap: the second cell
};
// A move of at most 5 pixels each way is a click on the cell under the mouse;
// anything longer is a drag from the pressed cell toward its neighbour in the
// dominant direction (vertical when |dy| >= |dx|). `selectable` says whether
// the player may pick the piece in a cell.
ReleaseAction DecideRelease(int pressX, int pressY, float dx, float dy, int releaseX, int releaseY, int selX,
                            int selY, const std::function<bool(int, int)>& selectable);

class BoardScreen : public tsv::Task {
public:
    // Milliseconds of the level's end sequences and of the no-moves sequence.
    static constexpr int64_t kDoneCheckMs = 3000;
    static constexpr int64_t kCompleteDelayMs = 2500;
    static constexpr int64_t kGameOverDelayMs = 4000;
    static constexpr int64_t kNoMovesNoticeMs = 3000;
    static constexpr int64_t kNoMovesReshuffleMs = 6000;
    static constexpr int64_t kBotThinkMs = 300;

    // Called once when the level has ended and its hand-over time has come.
    using EndHandler = std::function<void(const BoardResult&)>;

    BoardScreen(GameState& state, std::string levelPath, int32_t mode, bool autoplay);
    ~BoardScreen() override;

    // Reads the level; false (logged) when it is no level.
    bool Start();
    void SetEndHandler(EndHandler handler) { m_onEnd = std::move(handler); }

    // Task: one frame, reading the mouse from the input manager.
    void Run() override;
    // One frame with the given mouse state (logical 800 x 600 coordinates).
    void Frame(float mouseX, float mouseY, bool leftDown);

    PlayField& Board() { return *m_board; }
    bool IsInputAllowed() const;
    bool IsNoMovesPending() const { return m_noMovesStart != 0; }
    int SelectedX() const { return m_selX; }
    int SelectedY() const { return m_selY; }
    bool HasEnded() const { return m_ended; }
    const BoardResult& Result() const { return m_result; }
    // The board snapshot for the script's "dump" command.
    std::string Dump() const;

private:
    int64_t Now() const;
    void UpdateLevelEnd(int64_t now);
    void UpdateHints(int64_t now);
    void UpdateNoMoves(int64_t now);
    void UpdateBot(int64_t now);
    void HandleMouse(float mouseX, float mouseY, bool leftDown);
    void GiveHint(int64_t now);
    void StartNoMoves(int64_t now);
    void TrySwap(int x1, int y1, int x2, int y2);
    void Select(int x, int y);
    void ShowHintArrows(int x1, int y1, int x2, int y2, int64_t now);
    void Finish(bool won);
    // A large message over the board for `ms` milliseconds (the level's end,
    // the no-moves notice), replacing the one shown.
    void ShowMessage(const std::string& text, int64_t ms);

    GameState& m_state;
    std::string m_levelPath;
    int32_t m_mode;
    bool m_autoplay;
    PlayFieldPtr m_board;
    LevelInfo m_level;
    tsv::SceneNodePtr m_backdrop;
    tsv::SceneNodePtr m_selection;
    tsv::SceneNodePtr m_pressMark;
    tsv::SceneNodePtr m_hintArrows;
    tsv::FontPtr m_font;
    tsv::SceneNodePtr m_message;
    EndHandler m_onEnd;

    int m_selX = -1, m_selY = -1;
    int m_pressX = -1, m_pressY = -1;
    float m_pressMouseX = 0, m_pressMouseY = 0;
    int m_hoverX = -1, m_hoverY = -1;
    bool m_leftWasDown = false;

    bool m_hintsOn = true;
    int64_t m_hintDelay = 10000;
    int64_t m_startTime = 0;
    int64_t m_nextDoneCheck = 0;
    int64_t m_completionTime = 0;
    int64_t m_gameOverTime = 0;
    int64_t m_noMovesStart = 0;
    bool m_noMovesNoticeShown = false;
    int64_t m_settledSince = 0;
    int64_t m_hintArrowsUntil = 0;
    bool m_handedOver = false;
    bool m_ended = false;
    BoardResult m_result;
};

} // namespace bsh
