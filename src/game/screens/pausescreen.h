#pragma once
// The pause: a black overlay hides the board and says "gamePaused"; the game's
// clock stands still while it shows. From one second on, a mouse button or a
// key (Escape, Return, Space, P, Pause) fades it out over one second.

#include "engine/gui/screen.h"

#include <cstdint>

namespace bsh {

class PauseScreen : public tsv::Screen {
public:
    static constexpr int64_t kMinShowMs = 1000;
    static constexpr int64_t kFadeMs = 1000;
    static constexpr int32_t kLayer = 90;

    PauseScreen();
    // The game's clock runs again.
    ~PauseScreen() override;

    bool OnAdd() override;
    // The pause reads its own input; nothing under it sees any.
    bool TakesInput() const override { return true; }
    tsv::SceneNode* GetDrawnNode() const override { return m_overlay.Get(); }
    // Leaving the stack lets the game's clock run and takes the overlay away.
    void OnRemove() override;
    void Run() override;
    bool IsFading() const { return m_fadeStart != 0; }

private:
    int64_t SystemNow() const;

    int64_t m_openedAt = 0;
    int64_t m_fadeStart = 0;
    bool m_stoppedClock = false;
    tsv::SceneNodePtr m_overlay;
};

} // namespace bsh
