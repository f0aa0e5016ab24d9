#pragma once
// The arcade level selection: one page per level set, fifteen slots each with
// the level's picture and its lock or best crown. A level won in the quest is
// open here; the others say so when pressed.

#include "engine/gui/screen.h"
#include "game/progress/arcadepage.h"
#include "game/progress/gamestate.h"

#include <array>
#include <functional>
#include <string>
#include <vector>

namespace bsh {

class ArcadeScreen : public tsv::Screen {
public:
    static constexpr const char* kScreenFile = "/gui/arcademapscreen.xml";
    static constexpr int kPageCount = kArcadeSetCount;

    struct Actions {
        std::function<void(const std::string& level)> play;
        std::function<void()> cancel;
    };

    ArcadeScreen(GameState& state, Actions actions);

    void ShowPage(int page);
    // A slot of the page on view was pressed (1..15).
    void PressSlot(int slot);

    int GetPage() const { return m_page; }
    const std::array<ArcadeSlot, kArcadeSlotCount>& Slots() const { return m_slots; }
    bool IsAskingLocked() const { return m_asking; }

private:
    GameState& m_state;
    Actions m_actions;
    std::array<std::vector<std::string>, kPageCount> m_entries;
    std::array<ArcadeSlot, kArcadeSlotCount> m_slots;
    int m_page = 1;
    bool m_asking = false;
    bool m_left = false;
};

} // namespace bsh
