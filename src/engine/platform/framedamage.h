#pragma once
// What changed on screen between two frames. A frame is the list of quads it
// draws, in order; a pixel looks different only where the quads covering it
// differ. So the quads the two lists do not share (found by walking both in
// order) mark the view's rectangles to redraw, and a frame drawn only there,
// over the last frame's pixels, looks exactly as if drawn whole. An idle
// menu with a few drifting clouds then costs a few clouds, not the view.

#include "engine/platform/platformrenderer.h"

#include <vector>

namespace tsv {

// Pixels [x0, x1) x [y0, y1) of the 800 x 600 view.
struct PixelRect {
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    int Area() const { return (x1 - x0) * (y1 - y0); }
    bool Overlaps(const PixelRect& other) const
    {
        return x0 < other.x1 && other.x0 < x1 && y0 < other.y1 && other.y0 < y1;
    }
};

// The pixels a quad can touch (with a pixel's margin for filtering), clipped
// to the view; empty (Area() <= 0) when it lies outside.
PixelRect BoundsOf(const Quad& quad);

class FrameDamage {
public:
    // Starts a frame's list.
    void Begin();
    // The frame starts from `colour` over the whole view; a frame never
    // cleared draws over whatever was there, so it is drawn whole.
    void Clear(uint32_t colour);
    bool Cleared() const { return m_cleared; }
    uint32_t ClearColour() const { return m_clear; }
    // Adds a quad as it is drawn (its blending already decided). A quad drawn
    // `wholeOnly` looks different when clipped (a renderer may sample it
    // from where the clip starts): a redrawn piece that cuts it grows to
    // take all of it in.
    void Add(const Quad& quad, bool wholeOnly = false);
    // The view holds something other than the last frame (nothing yet, a
    // drawing only read back, textures that changed): the next frame is
    // drawn whole.
    void Invalidate() { m_valid = false; }
    // Compares the frame with the last one: the rectangles to redraw, none
    // when nothing changed.
    const std::vector<PixelRect>& Changes();
    // The frame is drawn (over the changes, or whole): it becomes the last one.
    void Keep();

    const std::vector<Quad>& Quads() const { return m_quads; }
    const std::vector<PixelRect>& QuadBounds() const { return m_bounds; }

private:
    void Damage(const PixelRect& rect);
    void Merge();
    // Grows the pieces over the whole-only quads they cut; true if any grew.
    bool TakeInWholeOnly();

    std::vector<Quad> m_quads, m_lastQuads;
    std::vector<PixelRect> m_bounds, m_lastBounds;
    std::vector<size_t> m_wholeOnly; // this frame's quads that are drawn whole or not at all
    uint32_t m_clear = 0, m_lastClear = 0;
    bool m_cleared = false;
    bool m_valid = false;
    std::vector<PixelRect> m_rects;
};

} // namespace tsv
