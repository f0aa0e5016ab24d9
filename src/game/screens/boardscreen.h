#pragma once
// The board half of the game screen: it owns the level's PlayField with its
// view, runs the level's session every frame, turns the mouse into
// selections, clicks and drags, shows hint arrows and the large messages.
// With autoplay a bot plays the level through the same session.

#include "engine/gui/font.h"
#include "engine/runtime/task.h"
#include "game/board/levelloader.h"
#include "game/board/levelsession.h"
#include "game/board/playfield.h"
#include "game/screens/boardview.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace bsh {

class GameMedia;
class GameState;

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

// The hint delay of a level: short while tutorial texts are still due.
int64_t HintDelayFor(const GameState& state);

class BoardScreen : public tsv::Task, public SessionCues {
public:
    // Called once when the level has ended and its hand-over time has come.
    using EndHandler = std::function<void(const BoardResult&)>;

    // `media` null: the board plays without sounds and effects.
    BoardScreen(GameState& state, std::string levelPath, int32_t mode, LevelSession::Player player,
                GameMedia* media);
    ~BoardScreen() override;

    // The board's random source; before Start.
    void SetSeed(uint32_t seed) { m_seed = seed; }
    // Reads the level; false (logged) when it is no level.
    bool Start();
    void SetEndHandler(EndHandler handler) { m_onEnd = std::move(handler); }

    // Task: one frame, reading the mouse from the input manager.
    void Run() override;
    // One frame with the given mouse state (logical 800 x 600 coordinates).
    void Frame(float mouseX, float mouseY, bool leftDown);

    PlayField& Board() { return *m_board; }
    bool IsInputAllowed() const;
    bool IsNoMovesPending() const { return m_session && m_session->IsNoMovesPending(); }
    int SelectedX() const { return m_selX; }
    int SelectedY() const { return m_selY; }
    bool HasEnded() const { return m_ended; }
    const BoardResult& Result() const;
    // The board snapshot for the script's "dump" command.
    std::string Dump() const;

private:
    // Session cues.
    void OnTimeUp() override;
    void OnLevelComplete() override;
    void OnInputStopped() override;
    void OnHint(int x1, int y1, int x2, int y2, const std::vector<std::pair<int, int>>& work) override;
    void OnNoMovesNotice() override;
    void OnMove(int x1, int y1, int x2, int y2) override;
    void OnFinished(BoardResult& result) override;

    int64_t Now() const;
    void FireEffect(GameEffect effect, int x, int y);
    void HandleMouse(float mouseX, float mouseY, bool leftDown);
    void Select(int x, int y);
    void ShowHintArrows(int x1, int y1, int x2, int y2, int64_t now);
    // A large message over the board for `ms` milliseconds (the level's end,
    // the no-moves notice), replacing the one shown.
    void ShowMessage(const std::string& text, int64_t ms);

    GameState& m_state;
    GameMedia* m_media;
    std::string m_levelPath;
    int32_t m_mode;
    LevelSession::Player m_player;
    std::unique_ptr<BoardView> m_view;
    PlayFieldPtr m_board;
    std::unique_ptr<LevelSession> m_session;
    LevelInfo m_level;
    std::vector<tsv::SceneNodePtr> m_decoration;
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
    int64_t m_hintArrowsUntil = 0;
    bool m_ended = false;
    uint32_t m_seed = 1;
};

} // namespace bsh
