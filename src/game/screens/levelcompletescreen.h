#pragma once
// The summary that closes every played level, won or lost: it records the
// result as progress when it is built, reveals the level's statistics and
// scores one line at a time, ends with a final message (a new award, a gained
// arcade rank, or a closing word) and, on any of its close buttons, lets the
// game state decide where play goes next.

#include "engine/gui/screen.h"
#include "game/progress/gamestate.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace bsh {

class LevelCompleteScreen : public tsv::Screen {
public:
    using CloseHandler = std::function<void(const NextScreenDecision&)>;

    static constexpr const char* kScreenFile = "/gui/levelcompletescreen.xml";
    static constexpr const char* kAwardSound = "/sound/artifact.wav";
    // The first line shows kFirstLineMs after creation, each further one (and
    // then the final message) kLineIntervalMs after the one before; a line's
    // value follows kValueDelayMs after the line.
    static constexpr int64_t kFirstLineMs = 400;
    static constexpr int64_t kLineIntervalMs = 300;
    static constexpr int64_t kValueDelayMs = 300;
    // How long a revealed line takes to fade in.
    static constexpr int64_t kFadeInMs = 200;
    // The statistic lines in the order they appear; the final message follows them.
    static constexpr int kLineCount = 11;
    static const std::array<const char*, kLineCount> kLineNames;

    enum class FinalKind {
        None = -1,   // not shown yet
        Award = 0,   // a new award waits in the treasury
        Rank = 1,    // a won arcade level: the rank its rating gives
        Closing = 2, // well done, or game over
    };

    // Records the level's result in `state` (which must outlive the screen)
    // and loads the screen file.
    explicit LevelCompleteScreen(GameState& state);

    // What a lost level still wanted when its time ran out (objective units
    // as its panels count them).
    struct Shortfall {
        int32_t cells = 0, jewels = 0, blocks = 0;
        bool artifact = false; // the level hides one that was not found
    };
    void SetShortfall(const Shortfall& shortfall) { m_shortfall = shortfall; }
    // The language text key saying why a level was lost, with its number: the
    // first unmet objective of squares, jewels, blocks and the treasure.
    static std::pair<std::string, int32_t> LostReason(const Shortfall& shortfall);

    // Receives the decision once, when a close button is used; it is up to
    // the handler to take this screen away. Without one the screen just closes.
    void SetCloseHandler(CloseHandler handler) { m_onClose = std::move(handler); }

    void Run() override;

    // What a click on "form" does: the rest of the lines follow one per frame.
    void Skip() { m_skip = true; }
    // What any close button does; later calls do nothing.
    void CloseAsButton();

    bool IsFinalMessageShown() const { return m_finalKind != FinalKind::None; }
    FinalKind GetFinalKind() const { return m_finalKind; }
    // 0..11: lines revealed so far, 12 once the final message is shown.
    int GetRevealStep() const { return m_step; }
    const LevelOutcome& GetOutcome() const { return m_outcome; }
    int32_t GetTimeScore() const { return m_timeScore; }
    int32_t GetTotalScore() const { return m_totalScore; }
    bool IsFast() const { return m_outcome.fast; }

    // Minutes and seconds, "%02d:%02d".
    static std::string FormatTime(int64_t seconds);

private:
    struct PendingValue {
        int64_t due = 0;
        tsv::GUIComponent* line = nullptr;
        std::string text;
    };

    static int64_t Now();
    void RevealLine(int step, int64_t now);
    void ShowFinalMessage();
    std::string LineValue(int step) const;
    void SetRankPicture(const std::string& texture, float size);

    GameState& m_state;
    GameMode m_mode = GameMode::None;
    bool m_won = false;
    LevelOutcome m_outcome;
    std::array<int32_t, kStatCount> m_stats{};
    int64_t m_timePlayed = 0; // seconds
    int32_t m_timeScore = 0;
    int32_t m_totalScore = 0;
    int32_t m_rank = 2; // 2..6, for the rank message
    bool m_relaxed = false; // played without the clock: no rank, a word that says so

    std::array<tsv::GUIComponent*, kLineCount> m_lines{};
    tsv::GUIComponent* m_finalMsg = nullptr;
    tsv::GUIComponent* m_rankIcon = nullptr;
    tsv::SceneNodePtr m_rankPicture;

    int m_step = 0;
    int64_t m_lastReveal = 0;
    bool m_skip = false;
    std::vector<PendingValue> m_pending;
    FinalKind m_finalKind = FinalKind::None;
    bool m_closed = false;
    CloseHandler m_onClose;
    Shortfall m_shortfall;
};

} // namespace bsh
