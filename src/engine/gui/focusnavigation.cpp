#include "engine/gui/focusnavigation.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace tsv {

namespace {

// Less than this apart along a direction counts as level with it.
constexpr float kLevelPixels = 4.0f;
constexpr float kSidewaysWeight = 2.0f;
// A spot further sideways than this many times its distance along the arrow
// does not lie that way (Right from a row's end goes on in reading order, not
// to a button far below).
constexpr float kConeRatio = 2.0f;

} // namespace

std::vector<size_t> ReadingOrder(const std::vector<FocusSpot>& spots)
{
    std::vector<size_t> byTop(spots.size());
    for (size_t i = 0; i < spots.size(); ++i) {
        byTop[i] = i;
    }
    std::stable_sort(byTop.begin(), byTop.end(), [&](size_t a, size_t b) { return spots[a].y < spots[b].y; });
    std::vector<size_t> order;
    for (size_t start = 0; start < byTop.size();) {
        const FocusSpot& first = spots[byTop[start]];
        size_t end = start + 1;
        while (end < byTop.size() &&
               spots[byTop[end]].y - first.y <= std::max(first.height, spots[byTop[end]].height) * 0.5f) {
            ++end;
        }
        std::vector<size_t> row(byTop.begin() + static_cast<std::ptrdiff_t>(start),
                                byTop.begin() + static_cast<std::ptrdiff_t>(end));
        std::stable_sort(row.begin(), row.end(), [&](size_t a, size_t b) { return spots[a].x < spots[b].x; });
        order.insert(order.end(), row.begin(), row.end());
        start = end;
    }
    return order;
}

int MoveFocus(const std::vector<FocusSpot>& spots, int current, FocusMove move)
{
    if (spots.empty()) {
        return -1;
    }
    const std::vector<size_t> order = ReadingOrder(spots);
    if (current < 0 || static_cast<size_t>(current) >= spots.size()) {
        return static_cast<int>(order.front());
    }
    const FocusSpot& from = spots[static_cast<size_t>(current)];
    if (move != FocusMove::Next && move != FocusMove::Previous) {
        int best = -1;
        float bestScore = std::numeric_limits<float>::max();
        for (size_t i = 0; i < spots.size(); ++i) {
            const float dx = spots[i].x - from.x, dy = spots[i].y - from.y;
            float along = 0, sideways = 0;
            switch (move) {
            case FocusMove::Up: along = -dy, sideways = dx; break;
            case FocusMove::Down: along = dy, sideways = dx; break;
            case FocusMove::Left: along = -dx, sideways = dy; break;
            default: along = dx, sideways = dy; break;
            }
            if (static_cast<int>(i) == current || along < kLevelPixels || std::fabs(sideways) > kConeRatio * along) {
                continue;
            }
            const float score = along + kSidewaysWeight * std::fabs(sideways);
            if (score < bestScore) {
                bestScore = score;
                best = static_cast<int>(i);
            }
        }
        if (best >= 0) {
            return best;
        }
    }
    const bool forward = move == FocusMove::Next || move == FocusMove::Right || move == FocusMove::Down;
    const auto at = std::find(order.begin(), order.end(), static_cast<size_t>(current)) - order.begin();
    const auto count = static_cast<std::ptrdiff_t>(order.size());
    return static_cast<int>(order[static_cast<size_t>((at + (forward ? 1 : count - 1)) % count)]);
}

} // namespace tsv
