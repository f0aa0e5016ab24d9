// Where a tutorial text goes: beside what it talks of, never over it, inside
// the view, and over as little of the board as the room allows.

#include "game/screens/hintbox.h"

#include <gtest/gtest.h>

namespace bsh::test {
namespace {

// Cell (c, r) of the board, as the board screen centres it.
ViewRect Cell(int c, int r)
{
    const float x = 40.0f * static_cast<float>(c) - 350, y = 40.0f * static_cast<float>(r) - 260;
    return {x - 20, y - 20, x + 20, y + 20};
}

ViewRect Span(const ViewRect& a, const ViewRect& b) { return {a.left, a.top, b.right, b.bottom}; }

bool InsideView(const ViewRect& box)
{
    return box.left >= -400 && box.right <= 400 && box.top >= -300 && box.bottom <= 300;
}

TEST(PlaceBesideTest, TheTextStaysOffWhatItTalksOfAndInsideTheView)
{
    struct Case {
        const char* what;
        ViewRect about, board;
        float width, height;
        bool offBoard; // the room allows a place clear of the whole board
    };
    const ViewRect small = Span(Cell(5, 4), Cell(12, 9));  // level 1's 8 x 6
    const ViewRect large = Span(Cell(0, 0), Cell(17, 13)); // the whole grid
    const Case cases[] = {
        {"the objective text of a small board goes beside it", small, small, 264, 110, true},
        {"a piece in the middle of a small board", Cell(8, 6), small, 264, 110, true},
        {"a piece on the bottom row of the grid", Cell(8, 13), large, 264, 110, false},
        {"a piece at the right edge of the grid", Cell(17, 5), large, 264, 110, false},
        {"a piece in the top left corner", Cell(0, 0), large, 264, 150, false},
        {"a swap of two cells", Span(Cell(6, 7), Cell(7, 7)), large, 264, 110, false},
        {"a text five lines tall over the whole grid", large, large, 264, 160, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const ViewRect box = PlaceBeside(c.width, c.height, c.about, c.board);
        EXPECT_FLOAT_EQ(box.Width(), c.width);
        EXPECT_FLOAT_EQ(box.Height(), c.height);
        EXPECT_TRUE(InsideView(box)) << box.left << " " << box.top << " " << box.right << " " << box.bottom;
        if (c.about.Width() < 700) { // the whole grid leaves no room beside it
            EXPECT_EQ(box.Overlap(c.about), 0.0f);
        }
        if (c.offBoard) {
            EXPECT_EQ(box.Overlap(c.board), 0.0f);
        }
    }
}

} // namespace
} // namespace bsh::test
