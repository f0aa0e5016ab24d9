#pragma once
// The level's HUD as the board changes: the objectives' counters on the
// stat panel (each change pulses its icon, a reached one sparkles), the time
// bar in its tube with the heartbeat as the time runs out, and the score's
// digits on the rail below the board. The panels are the game screen's own
// components ("/gui/gamescreen.xml"); this keeps what they show in step.

#include "engine/gui/guicomponent.h"
#include "game/board/playfield.h"
#include "game/progress/progression.h"
#include "game/screens/digitcounter.h"

#include <array>
#include <cstdint>
#include <memory>

namespace bsh {

class GameMedia;
class GameState;

// A short swell of a node's scale: the HUD's way of saying "this changed".
void Pulse(tsv::SceneNode& node, int64_t now, tsv::Vec2 peak);

class LevelHud {
public:
    static constexpr int64_t kHeartbeatBaseMs = 500;
    static constexpr int64_t kHeartbeatSpreadMs = 4000;
    static constexpr double kHeartbeatBelow = 0.2;

    // `media` null: silent, no effects.
    LevelHud(GameState& state, GameMedia* media);
    ~LevelHud();
    LevelHud(const LevelHud&) = delete;
    LevelHud& operator=(const LevelHud&) = delete;

    // Over the game screen's components `root`: the score's digits (hidden in a
    // preview), following the run's score.
    void Build(tsv::GUIComponent* root, GameMode mode, bool preview);
    // The objectives' counters: those that changed (pulsing), or all of them
    // rewritten without pulsing.
    enum class Refresh { Changed, All };
    void RefreshPanels(const PlayField& board, Refresh refresh);
    // The time bar, and the heartbeat below a fifth of the time.
    void UpdateTime(const PlayField& board, int64_t now);

    const DigitCounter* Score() const { return m_score.get(); }
    int64_t LastHeartbeat() const { return m_lastBeat; }

private:
    GameState& m_state;
    GameMedia* m_media;
    tsv::GUIComponent* m_root = nullptr;
    std::unique_ptr<DigitCounter> m_score;
    std::array<int32_t, kObjectiveCount> m_shownObjective{-1, -1, -1};
    double m_timeFraction = -1.0;
    int64_t m_lastBeat = 0;
};

} // namespace bsh
