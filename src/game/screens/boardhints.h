#pragma once
// What a hint shows on the board itself: arrows over the two pieces of the
// move, fading so the pieces show again, and a glitter over the last few
// cells that still need work.

#include "engine/scene/scenenode.h"

#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

namespace bsh {

class BoardHints {
public:
    static constexpr int64_t kArrowsMs = 2500;
    // Fewer cells than this still needing work glitter at a hint.
    static constexpr int kGlitterBelow = 10;

    BoardHints() = default;
    ~BoardHints();
    BoardHints(const BoardHints&) = delete;
    BoardHints& operator=(const BoardHints&) = delete;

    // The arrows' picture, hidden until a hint.
    void CreateArrows();
    // The cells still needing work: each glitters (`glitter`) when there are
    // fewer than kGlitterBelow of them.
    void Glitter(const std::vector<std::pair<int, int>>& work, const std::function<void(int, int)>& glitter);
    // The arrows over the move of cells (x1, y1) and (x2, y2), from `now` on
    // the game clock.
    void ShowArrows(int x1, int y1, int x2, int y2, int64_t now);
    void HideArrows();
    // Each frame: the arrows go when their time is up or a piece is selected.
    void Update(int64_t now, bool selected);

    int LastGlitterCount() const { return m_lastGlitter; }

private:
    tsv::SceneNodePtr m_arrows;
    int64_t m_arrowsUntil = 0;
    int m_lastGlitter = 0;
};

} // namespace bsh
