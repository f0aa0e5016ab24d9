#pragma once
// The tutorial texts of a level in play: which text shows, where and when.
// Each text shows while the player's profile still has showings of it left
// (one is used up as it shows), one at a time, beside the cells it talks
// about: the objective's text at the start, the texts about special pieces
// (DueStartTutorials), and those a hint brings (TextForHint). Where a text
// stands is PlaceBeside's rule over CellsRect and SquaresRect.

#include "engine/scene/scenenode.h"
#include "game/board/playfield.h"
#include "game/progress/awardblock.h"
#include "game/screens/hintbox.h"
#include "game/screens/starttutorials.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace bsh {

class GameState;

// The hint delay of a level: short while tutorial texts are still due.
int64_t HintDelayFor(const GameState& state);

// The squares of columns x1..x2 and rows y1..y2 (either way round), in world pixels.
ViewRect CellsRect(int x1, int y1, int x2, int y2);
// The squares the board has, as one rectangle; empty for a board without any.
ViewRect SquaresRect(const PlayField& board);

// The text a hint brings.
struct HintText {
    int hint = -1; // -1: none
    // Beside the hinted move, or else at the top of the board.
    bool besideMove = true;

    bool operator==(const HintText&) const = default;
};
// For a hint about a move whose runs would be about `about`, with `workLeft`
// pieces or squares still needing work and the showings left in `awards`:
// the first of the move's texts still due; else, once the swap text is used
// up and just one piece or square is left, a word of encouragement at the top
// of the board, where it hides nothing that matters.
HintText TextForHint(const HintRecord& about, size_t workLeft, const AwardBlock& awards);

class TutorialTexts {
public:
    // The width of the texts' lines, in pixels.
    static constexpr float kWidth = 260.0f;
    // The circle round a piece a text talks about: its size, and when it fades
    // and goes after it appears.
    static constexpr float kCircleSize = 56.0f;
    static constexpr int64_t kCircleFadeAfterMs = 3000;
    static constexpr int64_t kCircleGoneAfterMs = 4000;
    // Where the word of encouragement stands, in world pixels.
    static constexpr float kTopX = 0.0f, kTopY = -250.0f;

    explicit TutorialTexts(GameState& state) : m_state(state) {}
    // Closes the text showing; the circles go.
    ~TutorialTexts();
    TutorialTexts(const TutorialTexts&) = delete;
    TutorialTexts& operator=(const TutorialTexts&) = delete;

    // The level begins: texts show only when `on` (never in a preview or with
    // the hints off), and then the objective's text is due.
    void Begin(bool on);
    // The objective's text, once, beside the board; for after the message
    // that names the objective.
    void ShowObjectiveText(const PlayField& board);
    // The texts the start has due `since` ms into the level, each with a
    // circle round its piece from `now` on the game clock.
    void ShowStartTexts(const PlayField& board, int64_t since, int64_t now);
    // The text a hint about the move of (x1, y1) and (x2, y2) brings.
    void ShowHintText(const PlayField& board, int x1, int y1, int x2, int y2, const HintRecord& about,
                      size_t workLeft);

    // The language key of the text showing, "" for none.
    std::string Shown() const;
    // Closes the text showing at once (as a recording says the player did).
    void CloseNow();
    // Closes the text showing once it may be closed (the bot reads it as long
    // as it must).
    void DismissWhenClosable();
    // The circles round pieces (they fade and expire).
    const std::vector<tsv::SceneNodePtr>& Circles() const { return m_circles; }

private:
    // Text `hint` near world (x, y) when its counter allows; true when shown.
    bool Show(int hint, float x, float y);
    bool ShowBeside(int hint, const ViewRect& about, const ViewRect& board);
    void Circle(int x, int y, int64_t now);

    GameState& m_state;
    bool m_on = false;
    bool m_objectiveDue = false;
    StartTutorials m_start;
    HintBoxPtr m_box;
    std::vector<tsv::SceneNodePtr> m_circles;
};

} // namespace bsh
