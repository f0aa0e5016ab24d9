#include "game/screens/gamescreen.h"

#include <gtest/gtest.h>

namespace bsh {
namespace {

using Kind = ReleaseAction::Kind;

bool AllSelectable(int, int) { return true; }

struct ReleaseCase {
    const char* what;
    int pressX, pressY;
    float dx, dy;
    int releaseX, releaseY;
    int selX, selY;
    Kind kind;
    int x, y, tx, ty;
};

const ReleaseCase kReleases[] = {
    {"a click selects", 4, 4, 0, 0, 4, 4, -1, -1, Kind::Select, 4, 4, -1, -1},
    {"5 pixels each way is still a click", 4, 4, 5, -5, 4, 4, -1, -1, Kind::Select, 4, 4, -1, -1},
    {"clicking the selection again clears it", 4, 4, 1, 1, 4, 4, 4, 4, Kind::Deselect, -1, -1, -1, -1},
    {"clicking a neighbour of the selection swaps", 5, 4, 0, 0, 5, 4, 4, 4, Kind::Swap, 4, 4, 5, 4},
    {"a diagonal neighbour moves the selection", 5, 5, 0, 0, 5, 5, 4, 4, Kind::Select, 5, 5, -1, -1},
    {"a click off the board does nothing", 4, 4, 0, 0, -1, -1, 4, 4, Kind::None, -1, -1, -1, -1},
    {"6 pixels right drags right", 4, 4, 6, 0, 4, 4, -1, -1, Kind::Swap, 4, 4, 5, 4},
    {"6 pixels up drags up", 4, 4, 2, -6, 4, 4, -1, -1, Kind::Swap, 4, 4, 4, 3},
    {"a diagonal drag goes vertical", 4, 4, -20, 20, 3, 5, -1, -1, Kind::Swap, 4, 4, 4, 5},
    {"a drag left ignores the selection", 4, 4, -30, 3, 3, 4, 9, 9, Kind::Swap, 4, 4, 3, 4},
    {"a drag off the board's edge does nothing", 0, 0, -30, 0, -1, -1, -1, -1, Kind::None, -1, -1, -1, -1},
};

TEST(ReleaseTest, LeadsWhereThePlayerMeant)
{
    for (const ReleaseCase& c : kReleases) {
        SCOPED_TRACE(c.what);
        const ReleaseAction a =
            DecideRelease(c.pressX, c.pressY, c.dx, c.dy, c.releaseX, c.releaseY, c.selX, c.selY, AllSelectable);
        EXPECT_EQ(a.kind, c.kind);
        if (c.kind == Kind::Select || c.kind == Kind::Swap) {
            EXPECT_EQ(a.x, c.x);
            EXPECT_EQ(a.y, c.y);
        }
        if (c.kind == Kind::Swap) {
            EXPECT_EQ(a.tx, c.tx);
            EXPECT_EQ(a.ty, c.ty);
        }
    }
}

TEST(ReleaseTest, UnselectablePiecesNeitherSelectNorSwap)
{
    auto onlyLeftHalf = [](int x, int) { return x < 5; };
    EXPECT_EQ(DecideRelease(6, 2, 0, 0, 6, 2, -1, -1, onlyLeftHalf).kind, Kind::None);
    EXPECT_EQ(DecideRelease(4, 2, 10, 0, 5, 2, -1, -1, onlyLeftHalf).kind, Kind::None);
    // A neighbour that cannot be picked ends the selection without a swap.
    EXPECT_EQ(DecideRelease(5, 2, 0, 0, 5, 2, 4, 2, onlyLeftHalf).kind, Kind::Deselect);
}

TEST(ResultJsonTest, OneLineWithEveryField)
{
    const BoardResult result{.level = "data/level/sample/\"odd\".xml", .won = true, .score = 1234,
                             .timePlayedMs = 61000, .timeLeftMs = 59000, .moves = 42, .reshuffles = 1,
                             .points = 987, .stars = 3, .timeUsedPct = 50};
    EXPECT_EQ(FormatResultJson(result, 7),
              "{\"level\": \"data/level/sample/\\\"odd\\\".xml\", \"won\": true, \"score\": 1234, "
              "\"time_played_ms\": 61000, \"time_left_ms\": 59000, \"moves\": 42, \"reshuffles\": 1, "
              "\"stars\": 3, \"time_used_pct\": 50, \"points\": 987, \"seed\": 7}");
}

} // namespace
} // namespace bsh
