// The board model, the level reader, snapshots and the move search.

#include "game/board/boardtest.h"

namespace bsh::test {
namespace {

using PlayFieldTest = BoardTest;

TEST(PlayFieldCoordinates, CellsAreFortyPixelSquaresAroundTheCentre)
{
    EXPECT_EQ(PlayField::ColumnX(0), -350.0f);
    EXPECT_EQ(PlayField::RowY(14), 300.0f);
    const std::pair<float, int> columns[] = {{349, 17}, {350, -1}, {-370, 0}, {-371, -1}, {-331, 0}, {-330, 1}};
    for (auto [x, column] : columns) {
        EXPECT_EQ(PlayField::ColumnAt(x), column) << x;
    }
    const std::pair<float, int> rows[] = {{319, 14}, {320, -1}, {-280, 0}, {-281, -1}};
    for (auto [y, row] : rows) {
        EXPECT_EQ(PlayField::RowAt(y), row) << y;
    }
}

TEST_F(PlayFieldTest, RandomPiecesDifferFromTheirNeighbours)
{
    for (int i = 0; i < 20; ++i) {
        board = NewBoard();
        // Only pieces placed before it count: those to the left and above.
        ASSERT_TRUE(Load(Level({".1.", "2r3", "..."}, "<alias><char>r</char><color>random</color></alias>", {},
                               "<colors>123</colors>")));
        EXPECT_EQ(Token(1, 1), "1J3");
    }
    // One colour next to a neighbour of that colour cannot be avoided: it still ends.
    board = NewBoard();
    ASSERT_TRUE(Load(Level({"1r"}, "<alias><char>r</char><color>random</color></alias>", {}, "<colors>1</colors>")));
    EXPECT_EQ(Token(1, 0), "1J1");
}

TEST_F(PlayFieldTest, LevelReaderTakesOddTextAsTheGameDoes)
{
    const std::string aliases = "<alias><char>1</char><color>1</color></alias><alias><char>2</char><color>2</color>"
                                "</alias><alias><char>Q</char><type>gem</type><color>3</color></alias>";
    struct Case {
        const char* name;
        std::string body;
        std::vector<std::pair<std::pair<int, int>, std::string>> tokens;
    };
    const Case cases[] = {
        {"no line break after the tag: both lines land on row 0",
         "<playfield>11\n22\n</playfield><fill>\n000\n000\n</fill>",
         {{{0, 0}, "1J2"}, {{1, 0}, "1J2"}, {{0, 1}, "1.."}}},
        {"fill before playfield is wiped", "<fill>\n000\n</fill><playfield>\n12\n</playfield>",
         {{{0, 0}, "0J1"}, {{1, 0}, "0J2"}}},
        {"carriage returns are skipped", "<playfield>\r\n12\r\n21\r\n</playfield><fill>\r\n01\r\n2x\r\n</fill>",
         {{{1, 0}, "2J2"}, {{0, 1}, "3J2"}, {{1, 1}, "0J1"}}},
        // 8 is a colour; "random", 0 and 9 draw from the level's list.
        {"alias colours beyond 1 to 8 are drawn",
         "<colors>5</colors><alias><char>e</char><color>8</color></alias><alias><char>r</char><color>random</color>"
         "</alias><alias><char>z</char><color>0</color></alias><alias><char>n</char><color>9</color></alias>"
         "<playfield>\ne\nr\nz\nn\n</playfield><fill>\n0\n0\n0\n0\n</fill>",
         {{{0, 0}, "1J8"}, {{0, 1}, "1J5"}, {{0, 2}, "1J5"}, {{0, 3}, "1J5"}}},
        // Last: the blast below needs it.
        {"an unknown type gives a piece of type -1", "<playfield>\nQ\n</playfield><fill>\n0\n</fill>",
         {{{0, 0}, "1?3"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        board = NewBoard();
        ASSERT_TRUE(Load("<level><time>1000</time><colors>12</colors>" + aliases + c.body + "</level>"));
        for (const auto& [cell, token] : c.tokens) {
            EXPECT_EQ(Token(cell.first, cell.second), token) << cell.first << "," << cell.second;
        }
    }
    LogCapture log;
    board->ExplodeCell(0, 0, CellHit::Spare);
    EXPECT_TRUE(log.Has(tsv::LogLevel::Error, "ExplodeCell: piece type unknown"));
    board = NewBoard();
    EXPECT_FALSE(Load("<board><time>1000</time></board>"));
    EXPECT_TRUE(log.Has(tsv::LogLevel::Error, "Error generating level objects: first tag must be <level>"));
}

TEST_F(PlayFieldTest, ObjectivesAndTimeFromTheLevel)
{
    const std::string text = Level({"1X2", "Y12"}, Alias('X', "block", 1) + Alias('Y', "fixedblock", 2), {"012", "210"},
                                   "<jewelsrequired>25</jewelsrequired><artuncover>amulet</artuncover><name>Lvl.x</name>");
    struct Case {
        GameMode mode;
        Difficulty difficulty;
        int64_t limit;
    };
    const Case cases[] = {{GameMode::Quest, Difficulty::Easy, 120000},
                          {GameMode::Quest, Difficulty::Normal, 60000},
                          {GameMode::Quest, Difficulty::Hard, 30000},
                          {GameMode::Arcade, Difficulty::Normal, 60000}};
    for (const Case& c : cases) {
        board = NewBoard();
        state->PrepareLevel("", c.mode);
        state->CurrentProfile()->SetDifficulty(c.difficulty);
        ASSERT_TRUE(Load(text));
        EXPECT_EQ(board->GetTimeLimit(), c.limit);
        EXPECT_EQ(board->GetTimeLeft(), c.limit);
    }
    EXPECT_EQ(board->GetBlocksLeft(), 2);
    EXPECT_EQ(board->GetCellHitsLeft(), 1 + 2 + 2 + 1);
    EXPECT_EQ(board->GetJewelsLeft(), 25);
    EXPECT_EQ(state->GetAwardKey(), "amulet");
    EXPECT_EQ(info.name, "Lvl.x");
    EXPECT_EQ(info.time, 60000);
}

TEST_F(PlayFieldTest, ClockRunsUntilTheLevelIsDone)
{
    ASSERT_TRUE(Load(Level({"12", "21"}, {}, {"01", "00"}, "<time>1000</time>")));
    Run(400);
    EXPECT_EQ(board->GetTimeLeft(), 600);
    EXPECT_EQ(board->GetTimePlayed(), 400);
    board->HitCell(1, 0);
    ASSERT_TRUE(board->IsLevelDone());
    Run(300);
    EXPECT_EQ(board->GetTimeLeft(), 600);
}

TEST_F(PlayFieldTest, SnapshotRoundTrip)
{
    ASSERT_TRUE(Load(Level({"1B2A", "XK3L", "CR^v"},
                           Alias('B', "bomb", 4) + Alias('A', "artifact", 2) +
                               "<alias><char>X</char><color>1</color><type>block</type>"
                               "<texture>/texture/block/stone.png</texture></alias>" +
                               Alias('K', "key", 5) + Alias('L', "lock", 5) + Alias('C', "cannonleft", 6) +
                               Alias('R', "rainbow", 0) + Alias('^', "cannontop", 7) + Alias('v', "cannonbottom", 8),
                           {"0120", "1-00", "0002"}, "<disabledynamite/><jewelsrequired>9</jewelsrequired>")));
    Run(250, false);
    board->Step();
    tsv::RecordWriter out;
    board->SaveState(out);
    const std::string expected = board->DumpText();
    board = NewBoard();
    tsv::RecordReader in(out.Bytes());
    ASSERT_TRUE(board->LoadState(in));
    EXPECT_TRUE(in.AtEnd());
    EXPECT_EQ(board->DumpText(), expected);
    EXPECT_TRUE(board->IsSpecialDisabled(PieceType::Dynamite));
    EXPECT_EQ(board->GetColours(), "12345678");
    EXPECT_EQ(board->PieceAt(0, 2)->Shape().mesh.flipHorizontal, true);
    EXPECT_EQ(board->PieceAt(0, 1)->GetTexture(), "/texture/block/stone.png") << "a block keeps the level's picture";

    tsv::RecordReader cut(out.Bytes().substr(0, out.Bytes().size() / 2));
    EXPECT_FALSE(NewBoard()->LoadState(cut));
}

TEST_F(PlayFieldTest, FindMoveOnBoardsWithAndWithoutMoves)
{
    std::vector<std::string> rows = Diagonals(kBoardColumns, kBoardRows);
    ASSERT_TRUE(Load(Level(rows)));
    int x1 = -1, y1 = -1, x2 = -1, y2 = -1;
    EXPECT_FALSE(board->HasMatch());
    EXPECT_FALSE(board->FindMove(x1, y1, x2, y2));

    // One jewel changed makes exactly one move: (9, 7) with its right neighbour.
    rows[7][9] = rows[7][11];
    rows[7][10] = rows[7][11] == '1' ? '2' : '1';
    rows[6][10] = rows[7][11];
    board = NewBoard();
    ASSERT_TRUE(Load(Level(rows)));
    ASSERT_FALSE(board->HasMatch());
    for (int i = 0; i < 10; ++i) {
        ASSERT_TRUE(board->FindMove(x1, y1, x2, y2));
        EXPECT_TRUE(board->Swap(x1, y1, x2, y2));
        Run(300, false);
        board = NewBoard();
        ASSERT_TRUE(Load(Level(rows)));
    }

    // A move through a special fills the hint record and is taken at once.
    board = NewBoard();
    ASSERT_TRUE(Load(Level({"1B21", "3434"}, Alias('B', "bomb", 1))));
    HintRecord hint;
    ASSERT_TRUE(board->FindMove(x1, y1, x2, y2, &hint));
    EXPECT_EQ(std::vector<int>({x1, y1, x2, y2}), std::vector<int>({2, 0, 3, 0}));
    EXPECT_TRUE(hint.flags[HintIndex(HintRecord::Flag::Bomb)]);
    EXPECT_TRUE(hint.flags[HintIndex(HintRecord::Flag::SwapJewels)]); // the profile has not seen that hint yet
    EXPECT_TRUE(hint.any);
}

TEST_F(PlayFieldTest, ReshuffleReplacesEverySwappablePiece)
{
    std::vector<std::string> rows = Diagonals(6, 6);
    rows[0][0] = 'L';
    ASSERT_TRUE(Load(Level(rows, Alias('L', "lock", 1), {}, "<colors>123456</colors>")));
    PiecePtr lock(board->PieceAt(0, 0));
    PiecePtr jewel(board->PieceAt(3, 3));
    board->ShakeSwappables();
    EXPECT_TRUE(jewel->IsShaking());
    EXPECT_FALSE(lock->IsShaking());
    board->Reshuffle();
    EXPECT_EQ(board->PieceAt(0, 0), lock.Get());
    EXPECT_NE(board->PieceAt(3, 3), jewel.Get());
    EXPECT_EQ(board->PieceAt(3, 3)->GetState(), PieceState::Moving);
    for (int x = 0; x < 6; ++x) {
        for (int y = 0; y < 6; ++y) {
            if (x + 1 < 6 && board->TypeAt(x, y) == PieceType::Jewel && board->TypeAt(x + 1, y) == PieceType::Jewel) {
                EXPECT_NE(board->ColourAt(x, y), board->ColourAt(x + 1, y));
            }
        }
    }
    Run(1000, false);
    EXPECT_FALSE(jewel->IsAlive());
    EXPECT_TRUE(board->IsSettled());
}

TEST_F(PlayFieldTest, SampleLevelsLoadWithObjectivesAndMoves)
{
    LogCapture log;
    for (int i = 1; i <= 5; ++i) {
        const std::string path = "/level/sample/0" + std::to_string(i) + ".xml";
        SCOPED_TRACE(path);
        board = NewBoard();
        ASSERT_TRUE(LoadLevel(path, *board, &info));
        EXPECT_GT(board->GetTimeLimit(), 0);
        EXPECT_FALSE(board->IsLevelDone());
        EXPECT_FALSE(board->HasMatch());
        int x1, y1, x2, y2;
        EXPECT_TRUE(board->FindMove(x1, y1, x2, y2));
    }
    EXPECT_TRUE(log.Texts().empty()) << log.Texts().front();
}

} // namespace
} // namespace bsh::test
