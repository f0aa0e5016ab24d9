// Matching, scoring, cascades, gravity, refill, slides and wear.

#include "game/board/boardtest.h"

namespace bsh::test {
namespace {

using MatchRulesTest = BoardTest;

// One resolution pass over a shape: what it makes where, what it scores, which
// cells it clears.
TEST_F(MatchRulesTest, ShapesMakeTheirSpecialsAndScoreOnce)
{
    struct Case {
        const char* name;
        std::vector<std::string> rows;
        std::string head; // disable elements
        int x, y;         // where to look for the piece made
        const char* token;
        int points;
        int cleared; // cells whose piece left play
    };
    const Case cases[] = {
        {"three in a row", {"333"}, "", 1, 0, "1..", 5, 3},
        {"row of four", {"12121", "21212", "33332"}, "", 1, 2, "1B3", 10, 3},
        {"row of five", {"121212", "333332"}, "", 2, 1, "1R0", 20, 3},
        {"column of four", {"31", "32", "31", "32"}, "", 0, 1, "1B3", 10, 3},
        {"column of five", {"42", "41", "42", "41", "42", "13"}, "", 0, 2, "1R0", 20, 3},
        {"corner, stem up at the left end", {"4..", "4..", "444"}, "", 0, 2, "1>4", 25, 4},
        {"corner, stem up at the right end", {"..4", "..4", "444"}, "", 2, 2, "1^4", 25, 4},
        {"corner, stem down at the left end", {"444", "4..", "4.."}, "", 0, 0, "1v4", 25, 4},
        {"corner, stem down at the right end", {"444", "..4", "..4"}, "", 2, 0, "1<4", 25, 4},
        {"T, stem up", {".4.", ".4.", "444"}, "", 1, 2, "1D4", 30, 4},
        {"T, stem down", {"444", ".4.", ".4."}, "", 1, 0, "1D4", 30, 4},
        // The bar across a column is a row of three of its own as well.
        {"T, stem to the left of a column", {"..4", "444", "..4"}, "", 2, 1, "1D4", 35, 4},
        {"T, stem to the right of a column", {"4..", "444", "4.."}, "", 0, 1, "1D4", 35, 4},
        {"corner with its cannon disabled", {"4..", "4..", "444"}, "<disablecannonright/>", 0, 2, "1..", 25, 5},
        {"four with the bomb disabled", {"33332"}, "<disablebomb/>", 1, 0, "1..", 10, 4},
        // Without the rainbow the middle stays a jewel, so the next anchor sees
        // a four of its own: a second bomb and its 10.
        {"five with the rainbow disabled", {"333332"}, "<disablerainbow/>", 2, 0, "1B3", 30, 3},
        {"no run", {"335", "553"}, "", 0, 0, "1J3", 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        board = NewBoard();
        ASSERT_TRUE(Load(Level(c.rows, {}, {}, c.head)));
        const int32_t before = Score();
        state->SetScoreMultiplier(0);
        board->ResolveMatches();
        EXPECT_EQ(Score() - before, c.points);
        EXPECT_EQ(Token(c.x, c.y), c.token);
        int cleared = 0;
        for (int y = 0; y < static_cast<int>(c.rows.size()); ++y) {
            for (int x = 0; x < static_cast<int>(c.rows[static_cast<size_t>(y)].size()); ++x) {
                cleared += c.rows[static_cast<size_t>(y)][static_cast<size_t>(x)] != '.' && Letter(x, y) == '.';
            }
        }
        EXPECT_EQ(cleared, c.cleared);
    }
}

TEST_F(MatchRulesTest, ColoursAndFixedPiecesOfFourRuns)
{
    // The bomb takes the run's colour; a key in the bomb's cell stays a key.
    ASSERT_TRUE(Load(Level({"3333", "3K33"}, Alias('K', "key", 3))));
    state->SetScoreMultiplier(0);
    board->ResolveMatches();
    EXPECT_EQ(Token(1, 0), "1B3");
    EXPECT_EQ(Letter(1, 1), '.');    // row 1: the key opened, the jewels went
    EXPECT_EQ(Score(), 10 + 10 + 10); // both fours, and the key's 10
    EXPECT_EQ(Stat(StatCounter::MaximumMatch), 8);
}

TEST_F(MatchRulesTest, CascadePassesScoreOneOneTwoThreeAndWrapAfterTen)
{
    ASSERT_TRUE(Load(Level({"111"})));
    state->SetScoreMultiplier(0);
    std::vector<int32_t> gains;
    for (int pass = 0; pass < 13; ++pass) {
        for (int x = 0; x < 3; ++x) {
            board->CreatePieceAt(x, 0, 1, PieceType::Jewel);
        }
        const int32_t before = Score();
        ASSERT_TRUE(board->ResolveMatches());
        gains.push_back(Score() - before);
    }
    EXPECT_EQ(gains, (std::vector<int32_t>{5, 5, 10, 15, 20, 25, 30, 35, 40, 45, 50, 5, 5}));
}

// A swap that makes no run bounces back and changes nothing; one that does
// resets the multiplier, moves both pieces and clears afterwards.
TEST_F(MatchRulesTest, SwapsBounceBackUnlessTheyMakeARun)
{
    ASSERT_TRUE(Load(Level({"1213", "2121"})));
    state->SetScoreMultiplier(7);
    const std::string before = board->DumpText();
    EXPECT_FALSE(board->Swap(0, 0, 1, 0));
    Run(150, false);
    EXPECT_NE(board->PieceAt(0, 0)->GetPosition().x, PlayField::ColumnX(0)); // on its way back
    Run(200, false);
    EXPECT_EQ(board->DumpText(), before);
    EXPECT_EQ(board->PieceAt(0, 0)->GetPosition().x, PlayField::ColumnX(0));
    EXPECT_TRUE(board->IsSettled());
    EXPECT_EQ(state->GetScoreMultiplier(), 7);

    board = NewBoard();
    ASSERT_TRUE(Load(Level({"1124", "2312"})));
    Piece* moving = board->PieceAt(2, 0);
    EXPECT_TRUE(board->Swap(2, 0, 2, 1));
    EXPECT_EQ(state->GetScoreMultiplier(), 0);
    EXPECT_EQ(board->PieceAt(2, 1), moving);
    EXPECT_EQ(moving->GetState(), PieceState::Moving);
    Run(200);
    EXPECT_EQ(Score(), 5);
    EXPECT_EQ(Stat(StatCounter::Jewels), 3);
}

TEST_F(MatchRulesTest, GravityRefillAndSlides)
{
    // Column 0 has a hole under a jewel; column 1 a None square under its jewel;
    // column 2 is capped by a fixed block over a hole, beside which the jewel of
    // column 1 slides.
    ASSERT_TRUE(Load(Level({"12F", ".2.", "1.."}, Alias('F', "fixedblock", 5), {"000", "0-0", "000"})));
    board->Step();
    // The jewel of column 0 fell into the hole and a new one starts at -410.
    EXPECT_EQ(board->PieceAt(0, 1)->GetState(), PieceState::Falling);
    EXPECT_EQ(board->PieceAt(0, 0)->GetPosition().y, -410.0f);
    // Over None nothing falls, but the piece slides down-right past it.
    EXPECT_EQ(board->PieceAt(1, 0), nullptr);
    ASSERT_NE(board->PieceAt(2, 1), nullptr);
    EXPECT_EQ(board->PieceAt(2, 1)->GetState(), PieceState::Moving);
    ASSERT_TRUE(Settle());
    EXPECT_EQ(Letter(1, 1), '.');
    EXPECT_EQ(Letter(2, 0), 'F');
    EXPECT_NE(Letter(2, 2), '.'); // the hole under the fixed block filled from the side

    // New jewels stack forty apart above -410.
    board = NewBoard();
    ASSERT_TRUE(Load(Level({"..", "..", "..", "12"})));
    board->Step();
    EXPECT_EQ(board->PieceAt(0, 2)->GetPosition().y, -410.0f);
    EXPECT_EQ(board->PieceAt(0, 1)->GetPosition().y, -450.0f);
    EXPECT_EQ(board->PieceAt(0, 0)->GetPosition().y, -490.0f);

    // A block over None does not slide beside it.
    board = NewBoard();
    ASSERT_TRUE(Load(Level({"XF", ".."}, Alias('X', "block", 3) + Alias('F', "fixedblock", 5), {"00", "-0"})));
    board->Step();
    EXPECT_EQ(Letter(0, 0), 'X');
    EXPECT_EQ(board->PieceAt(1, 1), nullptr);
}

// A run wears the wood and iron under it, and removes the blocks of its
// colour beside it.
TEST_F(MatchRulesTest, RunsWearCellsAndRemoveBlocksOfTheirColour)
{
    ASSERT_TRUE(Load(Level({"111", "232"}, {}, {"120", "000"})));
    EXPECT_EQ(board->GetCellHitsLeft(), 3);
    state->SetScoreMultiplier(0);
    board->ResolveMatches();
    EXPECT_EQ(Token(0, 0)[0], '1');
    EXPECT_EQ(Token(1, 0)[0], '2');
    EXPECT_EQ(board->GetCellHitsLeft(), 1);
    EXPECT_EQ(Stat(StatCounter::Cells), 2);
    EXPECT_EQ(Score(), 5 + 1 + 2);

    board = NewBoard();
    ASSERT_TRUE(Load(Level({"111Z", "X2Y3"}, Alias('X', "block", 1) + Alias('Y', "fixedblock", 1) +
                                                 Alias('Z', "block", 2))));
    EXPECT_EQ(board->GetBlocksLeft(), 3);
    const int32_t before = Score();
    state->SetScoreMultiplier(0);
    board->ResolveMatches();
    EXPECT_EQ(Letter(0, 1), '.');
    EXPECT_EQ(Letter(2, 1), '.');
    EXPECT_EQ(Letter(3, 0), 'X'); // a block of another colour stays
    EXPECT_EQ(board->GetBlocksLeft(), 1);
    EXPECT_EQ(Stat(StatCounter::Blocks), 2);
    EXPECT_EQ(Score() - before, 5 + 1 + 1);
}

using EdgeRulesTest = BoardTest;

TEST_F(EdgeRulesTest, PiecesFallIntoTheBottomRowAndItRefills)
{
    // Fifteen rows, the last one empty: the jewels above must drop into row 14.
    std::vector<std::string> rows;
    for (int y = 0; y < 14; ++y) {
        rows.push_back(y % 2 == 0 ? "1" : "2");
    }
    rows.push_back(".");
    ASSERT_TRUE(Load(Level(rows, {}, std::vector<std::string>(15, "0"), "<colors>3</colors>")));
    ASSERT_TRUE(Settle());
    for (int y = 0; y < kBoardRows; ++y) {
        EXPECT_NE(Letter(0, y), '.') << "row " << y;
    }
    EXPECT_EQ(Token(0, 14)[2], '2'); // the jewel of row 13 fell in
    EXPECT_EQ(Token(0, 0)[2], '3');  // and the top refilled
}

TEST_F(EdgeRulesTest, ColourlessPiecesNeverMakeARun)
{
    // A level without a usable colour, and a row of rainbows: nothing matches,
    // so nothing clears and refills for ever; the level's author is told once.
    for (const char* colours : {"", "0", "9abc"}) {
        SCOPED_TRACE(colours);
        LogCapture log;
        board = NewBoard();
        ASSERT_TRUE(Load(std::string("<level><time>60000</time><colors>") + colours +
                         "</colors><alias><char>x</char><type>jewel</type></alias>" + Alias('R', "rainbow", 1) +
                         "<playfield>\nxxxx\nRRRR\n</playfield><fill>\n0000\n0000\n</fill></level>"));
        EXPECT_FALSE(board->HasMatch());
        int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
        EXPECT_FALSE(board->FindMove(x1, y1, x2, y2));
        EXPECT_FALSE(board->ResolveMatches());
        ASSERT_TRUE(Settle(2000));
        EXPECT_EQ(Stat(StatCounter::Jewels), 0);
        EXPECT_EQ(log.Count(tsv::LogLevel::Error, "no valid colors specified"), 1);
    }
}

} // namespace
} // namespace bsh::test
