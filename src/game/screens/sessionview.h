#pragma once
// What the player sees and hears of a level session's cues (see SessionCues):
// the large messages (game over, level complete, no moves), the hint's arrows,
// glitter and tutorial text, the effects over cells, and the selection dropped
// when input stops. The session's end is handed on to whoever plays the level.

#include "game/board/levelsession.h"
#include "game/screens/boardhints.h"
#include "game/screens/boardinput.h"
#include "game/screens/levelmessage.h"
#include "game/screens/tutorialtexts.h"

#include <functional>

namespace bsh {

class GameMedia;

class SessionView : public SessionCues {
public:
    using FinishedHandler = std::function<void(BoardResult&)>;

    // `media` null: no sounds and no effects. `input` and `tutorials` outlive the view.
    SessionView(GameMedia* media, BoardInput& input, TutorialTexts& tutorials, FinishedHandler finished);

    // Before the session starts on `board`: the hint's arrows are made, and
    // shown at hints when `arrowsShown`.
    void Begin(const PlayField& board, bool arrowsShown);
    // An effect over cell (x, y), above the pieces and the marks.
    void FireEffect(GameEffect effect, int x, int y);

    LevelMessage& Message() { return m_message; }
    const LevelMessage& Message() const { return m_message; }
    BoardHints& Hints() { return m_hints; }
    const BoardHints& Hints() const { return m_hints; }

    void OnTimeUp() override;
    void OnLevelComplete() override;
    void OnInputStopped() override;
    void OnHint(int x1, int y1, int x2, int y2, const HintRecord& about,
                const std::vector<std::pair<int, int>>& work) override;
    void OnNoMovesNotice() override;
    void OnMove(int x1, int y1, int x2, int y2) override;
    void OnFinished(BoardResult& result) override;

private:
    GameMedia* m_media;
    BoardInput& m_input;
    TutorialTexts& m_tutorials;
    FinishedHandler m_finished;
    const PlayField* m_board = nullptr;
    bool m_arrowsShown = false;
    BoardHints m_hints;
    LevelMessage m_message;
};

} // namespace bsh
