#pragma once
// The current profile's nineteen awards as treasures in their niches. Awards
// granted in play since the last visit are presented here, once each: their
// treasure appears a second after the screen opened, with a burst of light.

#include "engine/gui/screen.h"
#include "game/progress/gamestate.h"

#include <cstdint>
#include <functional>
#include <vector>

namespace bsh {

class TreasuryScreen : public tsv::Screen {
public:
    static constexpr const char* kScreenFile = "/gui/treasuryscreen.xml";
    // The child of each award's niche that holds its picture.
    static constexpr const char* kTreasureName = "treasure";
    // Newly presented treasures appear this long after the screen was built.
    static constexpr int64_t kAppearDelayMs = 1000;
    static constexpr int64_t kAppearFadeMs = 400;

    enum class Next { Victory, QuestMap, MainMenu };

    // Presents the pending awards of the current profile; `onClose` receives
    // where to go once, when the close button is used.
    TreasuryScreen(GameState& state, std::function<void(Next)> onClose);

    void Run() override;
    void Leave();

    // The awards this visit presents, in index order.
    const std::vector<int>& GetPresented() const { return m_presented; }
    bool IsFinalAwardPresented() const { return m_finalAward; }
    bool HasAppeared() const { return m_appeared; }
    // Where the close button leads, by the current mode and the final award.
    Next GetNext() const;

private:
    void Appear();

    GameState& m_state;
    std::function<void(Next)> m_onClose;
    int64_t m_created = 0;
    std::vector<int> m_presented;
    bool m_finalAward = false;
    bool m_appeared = false;
    bool m_leaving = false;
};

} // namespace bsh
