// The tutorial texts' rules: which text a hint brings, how soon hints come
// while texts are due, and the rectangles the texts are placed beside.

#include "game/board/boardtest.h"
#include "game/screens/tutorialtexts.h"

#include <initializer_list>

namespace bsh::test {
namespace {

class TutorialTextsTest : public BoardTest {};

TEST_F(TutorialTextsTest, AHintBringsTheFirstOfItsMovesTextsStillDueElseAWordForTheLastPiece)
{
    using H = HintRecord::Flag;
    struct Case {
        const char* what;
        std::initializer_list<H> about; // what the move's runs are about
        size_t workLeft;
        std::initializer_list<H> due; // the texts with a showing left
        HintText text;
    };
    const Case cases[] = {
        {"a bomb's move, its text due", {H::Bomb}, 5, {H::Bomb}, {HintIndex(H::Bomb), true}},
        {"the first of two texts due, in the flags' order", {H::Bomb, H::SwapJewels}, 5, {H::SwapJewels, H::Bomb},
         {HintIndex(H::SwapJewels), true}},
        {"swap text spent: the move's next", {H::SwapJewels, H::Bomb}, 5, {H::Bomb}, {HintIndex(H::Bomb), true}},
        {"a text due that the move is not about", {H::SwapJewels}, 5, {H::Bomb}, {}},
        {"one piece left, swap text spent: the word at the top", {H::SwapJewels}, 1, {H::OnePieceLeft},
         {HintIndex(H::OnePieceLeft), false}},
        {"one left: its own text first", {H::Cannon}, 1, {H::Cannon, H::OnePieceLeft}, {HintIndex(H::Cannon), true}},
        {"one piece left while the swap text is due", {H::Bomb}, 1, {H::SwapJewels, H::OnePieceLeft}, {}},
        {"two pieces left", {H::SwapJewels}, 2, {H::OnePieceLeft}, {}},
        {"the word spent too", {H::SwapJewels}, 1, {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        HintRecord about;
        for (H flag : c.about) {
            about.Set(flag);
        }
        AwardBlock awards;
        for (int hint = 0; hint < kHintCount; ++hint) {
            awards.SetHintCounter(hint, 0);
        }
        for (H hint : c.due) {
            awards.SetHintCounter(HintIndex(hint), 1);
        }
        EXPECT_EQ(TextForHint(about, c.workLeft, awards), c.text);
    }
}

TEST_F(TutorialTextsTest, HintsComeSoonerWhileMoreThanTwoTextsAreDue)
{
    AwardBlock& awards = state->CurrentProfile()->Awards();
    for (int hint = 0; hint < kHintCount; ++hint) {
        awards.SetHintCounter(hint, 0);
    }
    EXPECT_EQ(HintDelayFor(*state), LevelSession::kHintDelayQuiet);
    awards.SetHintCounter(HintIndex(HintRecord::Flag::Bomb), 2);
    EXPECT_EQ(HintDelayFor(*state), LevelSession::kHintDelayQuiet);
    awards.SetHintCounter(HintIndex(HintRecord::Flag::KeyLock), 1);
    EXPECT_EQ(HintDelayFor(*state), LevelSession::kHintDelayTutorial);
}

TEST_F(TutorialTextsTest, TheSquaresRectangleSpansTheSquaresTheBoardHas)
{
    auto same = [](const ViewRect& a, const ViewRect& b) {
        return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
    };
    const ViewRect cell = CellsRect(1, 2, 1, 2);
    EXPECT_EQ(cell.Width(), static_cast<float>(kCellSize));
    EXPECT_EQ(cell.left + cell.Width() * 0.5f, PlayField::ColumnX(1)); // centred on the cell
    EXPECT_EQ(cell.top + cell.Height() * 0.5f, PlayField::RowY(2));
    EXPECT_TRUE(same(CellsRect(3, 2, 1, 0), CellsRect(1, 0, 3, 2))); // either way round

    // Squares only in the middle: the rows and columns around them do not count.
    ASSERT_TRUE(Load(Level({"......", "..12..", ".343..", "......"}, {},
                           {"......", "..00..", ".000..", "......"})));
    EXPECT_TRUE(same(SquaresRect(*board), CellsRect(1, 1, 3, 2)));
    EXPECT_TRUE(same(SquaresRect(*NewBoard()), ViewRect{})); // no squares at all
}

} // namespace
} // namespace bsh::test
