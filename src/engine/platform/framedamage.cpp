#include "engine/platform/framedamage.h"

#include "engine/platform/viewfit.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace tsv {

namespace {

constexpr PixelRect kWholeView{0, 0, kViewWidth, kViewHeight};
// How far ahead the walk looks for a quad that moved in the list because
// others came or went before it.
constexpr size_t kLookAhead = 32;
// Rectangles closer than this are redrawn as one.
constexpr int kMergeGap = 8;
constexpr size_t kMaxRects = 12;
// Past this share of the view, one whole redraw is cheaper than the pieces.
constexpr double kWholeShare = 0.6;

bool Same(const Quad& a, const Quad& b)
{
    return a.texture == b.texture && a.blend == b.blend && std::memcmp(a.v, b.v, sizeof a.v) == 0;
}

PixelRect Union(const PixelRect& a, const PixelRect& b)
{
    return {std::min(a.x0, b.x0), std::min(a.y0, b.y0), std::max(a.x1, b.x1), std::max(a.y1, b.y1)};
}

PixelRect Grown(const PixelRect& r, int by) { return {r.x0 - by, r.y0 - by, r.x1 + by, r.y1 + by}; }

} // namespace

PixelRect BoundsOf(const Quad& quad)
{
    float x0 = quad.v[0].x, x1 = x0, y0 = quad.v[0].y, y1 = y0;
    for (const Vertex& v : quad.v) {
        x0 = std::min(x0, v.x);
        x1 = std::max(x1, v.x);
        y0 = std::min(y0, v.y);
        y1 = std::max(y1, v.y);
    }
    // NaN or far away: treated as the whole view, never as nothing.
    if (!(x0 > -1e6f && x1 < 1e6f && y0 > -1e6f && y1 < 1e6f)) {
        return kWholeView;
    }
    PixelRect r{static_cast<int>(std::floor(x0)) - 1, static_cast<int>(std::floor(y0)) - 1,
               static_cast<int>(std::ceil(x1)) + 1, static_cast<int>(std::ceil(y1)) + 1};
    r.x0 = std::max(r.x0, 0);
    r.y0 = std::max(r.y0, 0);
    r.x1 = std::min(r.x1, kViewWidth);
    r.y1 = std::min(r.y1, kViewHeight);
    if (r.x1 <= r.x0 || r.y1 <= r.y0) {
        return {};
    }
    return r;
}

void FrameDamage::Begin()
{
    m_cleared = false;
    m_quads.clear();
    m_bounds.clear();
    m_wholeOnly.clear();
}

void FrameDamage::Clear(uint32_t colour)
{
    m_cleared = true;
    m_clear = colour;
    m_quads.clear();
    m_bounds.clear();
    m_wholeOnly.clear();
}

void FrameDamage::Add(const Quad& quad, bool wholeOnly)
{
    if (wholeOnly) {
        m_wholeOnly.push_back(m_quads.size());
    }
    m_quads.push_back(quad);
    m_bounds.push_back(BoundsOf(quad));
}

const std::vector<PixelRect>& FrameDamage::Changes()
{
    m_rects.clear();
    if (!m_valid || !m_cleared || m_clear != m_lastClear) {
        m_rects.push_back(kWholeView);
    } else {
        // The quads both frames draw in the same order leave their pixels
        // alone unless another quad under or over them changed.
        const std::vector<Quad>& last = m_lastQuads;
        size_t i = 0, j = 0;
        while (i < last.size() && j < m_quads.size()) {
            if (Same(last[i], m_quads[j])) {
                ++i;
                ++j;
                continue;
            }
            size_t gone = 0, added = 0;
            for (size_t k = 1; k <= kLookAhead && !gone && i + k < last.size(); ++k) {
                gone = Same(last[i + k], m_quads[j]) ? k : 0;
            }
            for (size_t k = 1; k <= kLookAhead && !added && j + k < m_quads.size(); ++k) {
                added = Same(last[i], m_quads[j + k]) ? k : 0;
            }
            if (gone && (!added || gone <= added)) {
                for (size_t end = i + gone; i < end; ++i) {
                    Damage(m_lastBounds[i]);
                }
            } else if (added) {
                for (size_t end = j + added; j < end; ++j) {
                    Damage(m_bounds[j]);
                }
            } else {
                Damage(m_lastBounds[i++]);
                Damage(m_bounds[j++]);
            }
        }
        for (; i < last.size(); ++i) {
            Damage(m_lastBounds[i]);
        }
        for (; j < m_quads.size(); ++j) {
            Damage(m_bounds[j]);
        }
        do {
            Merge();
        } while (TakeInWholeOnly());
    }
    return m_rects;
}

void FrameDamage::Keep()
{
    m_lastQuads.swap(m_quads);
    m_lastBounds.swap(m_bounds);
    m_quads.clear();
    m_bounds.clear();
    m_wholeOnly.clear();
    m_lastClear = m_clear;
    m_valid = m_cleared; // an uncleared frame's pixels are more than its quads
}

bool FrameDamage::TakeInWholeOnly()
{
    bool grew = false;
    for (PixelRect& rect : m_rects) {
        for (size_t i : m_wholeOnly) {
            const PixelRect& quad = m_bounds[i];
            const bool inside = quad.x0 >= rect.x0 && quad.y0 >= rect.y0 && quad.x1 <= rect.x1 && quad.y1 <= rect.y1;
            if (quad.Area() > 0 && rect.Overlaps(quad) && !inside) {
                rect = Union(rect, quad);
                grew = true;
            }
        }
    }
    return grew;
}

void FrameDamage::Damage(const PixelRect& rect)
{
    if (rect.Area() > 0) {
        m_rects.push_back(rect);
    }
}

void FrameDamage::Merge()
{
    const auto whole = [this] {
        m_rects.assign(1, kWholeView);
    };
    const auto total = [this] {
        long long area = 0;
        for (const PixelRect& r : m_rects) {
            area += r.Area();
        }
        return area;
    };
    if (total() > kWholeShare * kWholeView.Area() * 4) {
        whole(); // far too much to sort out piece by piece
        return;
    }
    // Neighbours become one rectangle, until none are near each other.
    for (bool merged = true; merged;) {
        merged = false;
        for (size_t a = 0; a < m_rects.size(); ++a) {
            for (size_t b = a + 1; b < m_rects.size();) {
                if (Grown(m_rects[a], kMergeGap).Overlaps(m_rects[b])) {
                    m_rects[a] = Union(m_rects[a], m_rects[b]);
                    m_rects.erase(m_rects.begin() + static_cast<std::ptrdiff_t>(b));
                    merged = true;
                } else {
                    ++b;
                }
            }
        }
    }
    // Too many pieces: the two whose union wastes least become one.
    while (m_rects.size() > kMaxRects) {
        size_t bestA = 0, bestB = 1;
        long long bestWaste = -1;
        for (size_t a = 0; a < m_rects.size(); ++a) {
            for (size_t b = a + 1; b < m_rects.size(); ++b) {
                const long long waste = static_cast<long long>(Union(m_rects[a], m_rects[b]).Area()) -
                                        m_rects[a].Area() - m_rects[b].Area();
                if (bestWaste < 0 || waste < bestWaste) {
                    bestWaste = waste;
                    bestA = a;
                    bestB = b;
                }
            }
        }
        m_rects[bestA] = Union(m_rects[bestA], m_rects[bestB]);
        m_rects.erase(m_rects.begin() + static_cast<std::ptrdiff_t>(bestB));
    }
    if (total() > kWholeShare * kWholeView.Area()) {
        whole();
    }
}

} // namespace tsv
