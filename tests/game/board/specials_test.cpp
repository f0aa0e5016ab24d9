// Special pieces: blasts and their chains, cannons, the rainbow, keys and
// locks, and the artifact.

#include "game/board/boardtest.h"

namespace bsh::test {
namespace {

using SpecialsTest = BoardTest;

TEST_F(SpecialsTest, BombAndDynamiteBlastTheirPatternsAfter150Ms)
{
    struct Case {
        char piece;
        std::set<std::pair<int, int>> cleared;
    };
    const Case cases[] = {
        {'B', {{4, 4}, {4, 5}, {4, 6}, {5, 4}, {5, 5}, {5, 6}, {6, 4}, {6, 5}, {6, 6}}},
        {'D', {{3, 5}, {4, 5}, {5, 5}, {6, 5}, {7, 5}, {5, 3}, {5, 4}, {5, 6}, {5, 7}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.piece);
        board = NewBoard();
        std::vector<std::string> rows = Diagonals(11, 11);
        std::vector<std::string> fill(11, std::string(11, '0'));
        rows[5][5] = c.piece;
        fill[5][5] = '2'; // iron under the centre
        ASSERT_TRUE(Load(Level(rows, Alias('B', "bomb", 1) + Alias('D', "dynamite", 1), fill)));
        const int32_t jewels = Stat(StatCounter::Jewels);
        const int32_t explosions = Stat(StatCounter::Explosions);
        board->ExplodeCell(5, 5, CellHit::Spare);
        Run(140, false);
        EXPECT_EQ(Cleared(11, 11).size(), 1u); // only the centre
        Run(10, false);
        EXPECT_EQ(Cleared(11, 11), c.cleared);
        EXPECT_EQ(Token(5, 5)[0], '2'); // the centre is hit although its piece has gone
        EXPECT_EQ(Stat(StatCounter::Jewels) - jewels, 8);
        EXPECT_EQ(Stat(StatCounter::Explosions) - explosions, 1);
    }
}

TEST_F(SpecialsTest, BombCaughtInABlastDetonates150MsLater)
{
    std::vector<std::string> rows = Diagonals(11, 11);
    rows[5][5] = 'B';
    rows[5][6] = 'B';
    ASSERT_TRUE(Load(Level(rows, Alias('B', "bomb", 1))));
    board->ExplodeCell(5, 5, CellHit::Spare);
    Run(150, false);
    EXPECT_EQ(Letter(7, 5), 'J');
    EXPECT_EQ(Letter(4, 5), '.');
    Run(150, false);
    EXPECT_EQ(Letter(7, 5), '.');
    EXPECT_EQ(Stat(StatCounter::Explosions), 2);
}

TEST_F(SpecialsTest, CannonsFireAcrossTheBoardSparingLocks)
{
    struct Case {
        const char* type;
        char cannon;
        int cx, cy;      // the cannon
        bool horizontal; // its row (else its column) holds the targets
    };
    const Case cases[] = {
        {"cannonright", '>', 0, 5, true},
        {"cannonleft", 'C', 17, 5, true},
        {"cannonbottom", 'v', 5, 0, false},
        {"cannontop", '^', 5, 14, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        board = NewBoard();
        // Only the line of the cannon exists; fixed blocks never move out of the fireball's way.
        std::vector<std::string> rows = Diagonals(kBoardColumns, kBoardRows);
        std::vector<std::string> fill(kBoardRows, std::string(kBoardColumns, '-'));
        int targets = 0;
        for (int i = 0; i < (c.horizontal ? kBoardColumns : kBoardRows); ++i) {
            const int x = c.horizontal ? i : c.cx;
            const int y = c.horizontal ? c.cy : i;
            fill[y][x] = '0';
            rows[y][x] = (x == c.cx && y == c.cy) ? c.cannon : i == 9 ? 'L' : (i % 2 ? 'F' : 'G');
            targets += rows[y][x] == 'F' || rows[y][x] == 'G';
        }
        ASSERT_TRUE(Load(Level(rows,
                               Alias(c.cannon, c.type, 1) + Alias('F', "fixedblock", 1) + Alias('G', "fixedblock", 2) +
                                   Alias('L', "lock", 3),
                               fill)));
        ASSERT_EQ(board->GetBlocksLeft(), targets);
        board->ExplodeCell(c.cx, c.cy, CellHit::Spare);
        EXPECT_EQ(board->GetFlyingCount(), 1u);
        for (int t = 0; t < 5000 && board->GetFlyingCount() > 0; t += 10) {
            Run(10);
        }
        EXPECT_EQ(board->GetFlyingCount(), 0u);
        EXPECT_EQ(board->GetBlocksLeft(), 0);
        EXPECT_EQ(Letter(c.horizontal ? 9 : c.cx, c.horizontal ? c.cy : 9), 'O');
    }
}

TEST_F(SpecialsTest, RainbowPullsItsColourWithinThreeCellsWithoutPoints)
{
    std::vector<std::string> rows(15);
    for (int y = 0; y < 15; ++y) {
        for (int x = 0; x < 15; ++x) {
            rows[y] += (x + y) % 2 ? '1' : '3';
        }
    }
    rows[7][7] = 'R';
    for (auto [x, y] : {std::pair{8, 7}, {4, 4}, {10, 10}, {11, 7}, {7, 3}}) {
        rows[y][x] = '2';
    }
    ASSERT_TRUE(Load(Level(rows, Alias('R', "rainbow", 5))));
    Piece* partner = board->PieceAt(8, 7);
    state->SetScoreMultiplier(4);
    EXPECT_TRUE(board->Swap(7, 7, 8, 7));
    EXPECT_EQ(board->PieceAt(8, 7), partner); // no exchange
    EXPECT_EQ(state->GetScoreMultiplier(), 0);
    Run(600, false);
    EXPECT_EQ(board->PieceAt(8, 7), nullptr);
    EXPECT_EQ(board->PieceAt(4, 4), nullptr);
    EXPECT_EQ(board->PieceAt(10, 10), nullptr);
    EXPECT_EQ(Token(11, 7), "1J2");
    EXPECT_EQ(Token(7, 3), "1J2");
    EXPECT_EQ(Letter(7, 7), '.');
    EXPECT_EQ(Score(), 0);
    EXPECT_EQ(Letter(6, 7), 'J'); // other colours stay
}

TEST_F(SpecialsTest, ABlastTakesARainbowAloneAndCannotTakeALock)
{
    LogCapture log;
    ASSERT_TRUE(Load(Level({"2R2L", "1212"}, Alias('R', "rainbow", 0) + Alias('L', "lock", 2))));
    board->ExplodeCell(1, 0, CellHit::Wear);
    board->ExplodeCell(3, 0, CellHit::Wear);
    Run(600, false);
    EXPECT_EQ(Letter(1, 0), '.');
    EXPECT_EQ(Letter(0, 0), 'J');
    EXPECT_EQ(Letter(2, 0), 'J');
    EXPECT_EQ(Letter(3, 0), 'O');
    EXPECT_TRUE(log.Has(tsv::LogLevel::Error, "ExplodeCell: piece type unknown"));
}

TEST_F(SpecialsTest, KeyOpensOnlyTheLocksOfItsColour)
{
    ASSERT_TRUE(Load(Level({"K....", ".....", ".L...", "...L.", "M...."},
                           Alias('K', "key", 4) + Alias('L', "lock", 4) + Alias('M', "lock", 3))));
    board->ExplodeCell(0, 0, CellHit::Spare);
    EXPECT_EQ(Letter(0, 0), '.');
    Run(490, false);
    EXPECT_EQ(Token(1, 2), "1O4");
    Run(20, false);
    EXPECT_EQ(Token(1, 2), "1J4");
    EXPECT_EQ(Token(3, 3), "1J4");
    EXPECT_EQ(Token(0, 4), "1O3");
    EXPECT_EQ(Stat(StatCounter::Locks), 2);
    EXPECT_EQ(Score(), 10);
}

TEST_F(SpecialsTest, LocksCannotBeExploded)
{
    LogCapture log;
    ASSERT_TRUE(Load(Level({"L"}, Alias('L', "lock", 2))));
    board->ExplodeCell(0, 0, CellHit::Wear);
    EXPECT_EQ(Letter(0, 0), 'O');
    EXPECT_TRUE(log.Has(tsv::LogLevel::Error, "ExplodeCell: piece type unknown"));
}

TEST_F(SpecialsTest, ArtifactObjectiveAndCounters)
{
    LogCapture log;
    ASSERT_TRUE(Load(Level({"12A", "21X", "A.."}, Alias('A', "artifact", 3) + Alias('X', "block", 2))));
    EXPECT_TRUE(log.Has(tsv::LogLevel::Error, "This level has artifact already."));
    EXPECT_EQ(Letter(0, 2), 'A'); // the second one still stands
    EXPECT_EQ(board->GetJewelsLeft(), 0);
    EXPECT_FALSE(board->IsLevelDone());
    EXPECT_NE(board->DumpText().find("objectives 1 0 0 1\n"), std::string::npos);

    board->ExplodeCell(0, 0, CellHit::Spare); // a jewel with nothing left to collect
    EXPECT_EQ(board->GetJewelsLeft(), 0);
    board->ExplodeCell(2, 1, CellHit::Spare); // the last block
    EXPECT_EQ(board->GetBlocksLeft(), 0);
    EXPECT_FALSE(board->IsLevelDone());
    board->ExplodeCell(2, 0, CellHit::Spare);
    EXPECT_TRUE(board->IsArtifactCollected());
    EXPECT_TRUE(board->IsLevelDone());
    EXPECT_NE(board->DumpText().find("objectives 0 0 0 2\n"), std::string::npos);
}

} // namespace
} // namespace bsh::test
