#pragma once
// Both highscore tables, ten rows each. The entry that the current run has
// just placed is highlighted (once: the run's score is used up by it), either
// table can be reset after a question, and sparkles drift over the screen.

#include "engine/gui/screen.h"
#include "game/progress/gamestate.h"

#include <cstdint>
#include <functional>

namespace bsh {

class HighscoreScreen : public tsv::Screen {
public:
    static constexpr const char* kScreenFile = "/gui/highscorescreen.xml";
    static constexpr const char* kHighlightSound = "/sound/levelup.wav";
    static constexpr const char* kSparkleNode = "/object/gui/sparkle.xml";
    static constexpr int kRows = kHighscoreCapacity;
    // A reset table scores 1000 to 10000.
    static constexpr int32_t kResetFirstScore = 1000;
    // One sparkle per frame with a chance of 1 in kSparkleChance, within
    // kSparkleWidth pixels to the right of the anchor and kSparkleHeight around it.
    static constexpr int kSparkleChance = 30;
    static constexpr int kSparkleWidth = 240;
    static constexpr int kSparkleHeight = 20;

    // `returnMode`: the quest map for GameMode::Quest, the arcade selection for
    // GameMode::Arcade (whose run is then reset), else the main menu; `onClose`
    // receives it once when the screen is left.
    HighscoreScreen(GameState& state, GameMode returnMode, std::function<void(GameMode returnMode)> onClose);

    void Run() override;

    // Fills both tables and looks for the run's entry.
    void FillTables();
    // The current player's endless bests below the tables.
    void ShowEndlessBests();
    // What a confirmed reset does: the mode's table regenerated.
    void ResetTable(GameMode table);
    // Nothing for a mode without a table.
    void AskToReset(GameMode table);
    void Leave();

    const tsv::IntrusivePtr<HighscoreEntry>& GetHighlighted() const { return m_highlighted; }
    // 1..10, the highlighted row of its table; 0 when none.
    int GetHighlightedRow() const { return m_highlightRow; }
    // GameMode::None when nothing is highlighted.
    GameMode GetHighlightedTable() const { return m_highlightTable; }

private:
    void FillTable(GameMode table);
    void PlaceHighlight();
    void Sparkle();

    GameState& m_state;
    GameMode m_returnMode;
    std::function<void(GameMode)> m_onClose;
    tsv::IntrusivePtr<HighscoreEntry> m_highlighted;
    GameMode m_highlightTable = GameMode::None;
    int m_highlightRow = 0;
    bool m_leaving = false;
    bool m_asking = false;
};

} // namespace bsh
