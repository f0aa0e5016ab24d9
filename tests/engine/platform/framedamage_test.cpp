#include "engine/platform/framedamage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <vector>

namespace tsv::test {
namespace {

Quad Box(float x, float y, float w, float h, TextureHandle texture = 1, uint32_t colour = 0xFFFFFFFF)
{
    Quad q;
    q.v[0] = {x, y, 0, 0, colour};
    q.v[1] = {x + w, y, 1, 0, colour};
    q.v[2] = {x + w, y + h, 1, 1, colour};
    q.v[3] = {x, y + h, 0, 1, colour};
    q.texture = texture;
    return q;
}

// Draws `quads` as the next frame and returns what it must redraw.
std::vector<PixelRect> Frame(FrameDamage& damage, const std::vector<Quad>& quads, uint32_t clear = 0)
{
    damage.Begin();
    damage.Clear(clear);
    for (const Quad& q : quads) {
        damage.Add(q);
    }
    std::vector<PixelRect> rects = damage.Changes();
    damage.Keep();
    return rects;
}

bool Covers(const std::vector<PixelRect>& rects, const PixelRect& area)
{
    return std::any_of(rects.begin(), rects.end(), [&](const PixelRect& r) {
        return r.x0 <= area.x0 && r.y0 <= area.y0 && r.x1 >= area.x1 && r.y1 >= area.y1;
    });
}

int Area(const std::vector<PixelRect>& rects)
{
    return std::accumulate(rects.begin(), rects.end(), 0, [](int sum, const PixelRect& r) { return sum + r.Area(); });
}

constexpr int kView = 800 * 600;

TEST(FrameDamageTest, ASteadyFrameRedrawsNothingAndAChangeOnlyWhereItIs)
{
    FrameDamage damage;
    const Quad sky = Box(0, 0, 800, 600, 1), cloud = Box(100, 50, 60, 20, 2), plate = Box(300, 100, 200, 400, 3);
    EXPECT_EQ(Area(Frame(damage, {sky, cloud, plate})), kView) << "the first frame is drawn whole";
    EXPECT_TRUE(Frame(damage, {sky, cloud, plate}).empty());

    // The cloud drifts half a pixel: its old and new places, nothing else.
    const Quad drifted = Box(100.5f, 50, 60, 20, 2);
    std::vector<PixelRect> rects = Frame(damage, {sky, drifted, plate});
    EXPECT_TRUE(Covers(rects, BoundsOf(cloud)));
    EXPECT_TRUE(Covers(rects, BoundsOf(drifted)));
    EXPECT_LT(Area(rects), 70 * 30);

    // A spark comes between the cloud and the plate, then goes: its place only,
    // though every quad after it moved along in the list.
    const Quad spark = Box(600, 500, 8, 8, 4);
    rects = Frame(damage, {sky, drifted, spark, plate});
    EXPECT_TRUE(Covers(rects, BoundsOf(spark)));
    EXPECT_LE(Area(rects), BoundsOf(spark).Area());
    rects = Frame(damage, {sky, drifted, plate});
    EXPECT_TRUE(Covers(rects, BoundsOf(spark)));
    EXPECT_LE(Area(rects), BoundsOf(spark).Area());

    // Two quads that trade places in the order change where both lie.
    const Quad a = Box(400, 300, 50, 50, 5), b = Box(420, 320, 50, 50, 6);
    Frame(damage, {sky, a, b});
    rects = Frame(damage, {sky, b, a});
    EXPECT_TRUE(Covers(rects, BoundsOf(a)) || Covers(rects, BoundsOf(b)));
    EXPECT_GT(Area(rects), 0);

    // A new colour of the same quad, or another texture in it, is a change.
    EXPECT_FALSE(Frame(damage, {sky, Box(400, 300, 50, 50, 5, 0x80FFFFFF), b}).empty());
    EXPECT_FALSE(Frame(damage, {sky, Box(400, 300, 50, 50, 7, 0x80FFFFFF), b}).empty());
}

TEST(FrameDamageTest, WhatCannotBeComparedIsDrawnWhole)
{
    FrameDamage damage;
    const Quad sky = Box(0, 0, 800, 600);
    Frame(damage, {sky});
    EXPECT_EQ(Area(Frame(damage, {sky}, 0xFF102030)), kView) << "another clear colour";
    damage.Invalidate();
    EXPECT_EQ(Area(Frame(damage, {sky}, 0xFF102030)), kView) << "the view was drawn over";

    // A frame that draws over the last one without clearing it, and the one after.
    damage.Begin();
    damage.Add(Box(10, 10, 5, 5));
    EXPECT_EQ(Area(damage.Changes()), kView);
    damage.Keep();
    EXPECT_EQ(Area(Frame(damage, {sky}, 0xFF102030)), kView);

    // A quad that is not a number anywhere is a change everywhere; one outside the view is none.
    Frame(damage, {sky});
    EXPECT_EQ(Area(Frame(damage, {sky, Box(NAN, 0, 10, 10)})), kView);
    Frame(damage, {sky});
    EXPECT_TRUE(Frame(damage, {sky, Box(900, 700, 10, 10)}).empty());
}

TEST(FrameDamageTest, ManyScatteredChangesStayAFewRectanglesAndALotBecomesTheWholeView)
{
    FrameDamage damage;
    std::vector<Quad> dots;
    for (int i = 0; i < 40; ++i) {
        dots.push_back(Box(static_cast<float>(i % 8) * 100 + 10, static_cast<float>(i / 8) * 110 + 10, 6, 6, 2));
    }
    Frame(damage, {Box(0, 0, 800, 600)});
    std::vector<Quad> withDots = {Box(0, 0, 800, 600)};
    withDots.insert(withDots.end(), dots.begin(), dots.end());
    const std::vector<PixelRect> rects = Frame(damage, withDots);
    EXPECT_LE(rects.size(), 12u);
    for (const Quad& dot : dots) {
        EXPECT_TRUE(Covers(rects, BoundsOf(dot)));
    }
    EXPECT_LT(Area(rects), kView);

    // Changes over most of the view: drawn whole, as one rectangle.
    Frame(damage, {Box(0, 0, 800, 600)});
    const std::vector<PixelRect> most = Frame(damage, {Box(0, 0, 800, 600), Box(0, 0, 700, 500, 3)});
    EXPECT_EQ(most.size(), 1u);
    EXPECT_EQ(Area(most), kView);
}

} // namespace
} // namespace tsv::test
