// The board screen over a real board: the mouse becomes swaps, and the level
// ends as the player expects.

#include "game/board/boardtest.h"
#include "game/screens/gamescreen.h"

namespace bsh::test {
namespace {

class GameScreenTest : public BoardTest {
protected:
    tsv::IntrusivePtr<GameScreen> Open(const std::string& level)
    {
        storageHolder->Write("screen.xml", level);
        tsv::IntrusivePtr<GameScreen> screen(
            new GameScreen(*state, storageHolder->File("screen.xml"), GameModeArcade, LevelSession::Player::Person, nullptr));
        EXPECT_TRUE(screen->Start());
        screen->SetEndHandler([this](const BoardResult& r, GameScreen::Ending) {
            ended = true;
            result = r;
        });
        return screen;
    }
    // Frames of 10 ms with the mouse held still at (x, y) in screen pixels.
    void Frames(GameScreen& screen, int64_t ms, float x = 0, float y = 0, bool down = false)
    {
        for (int64_t t = 0; t < ms && !ended; t += 10) {
            Advance(10);
            Scene().UpdateNodes();
            screen.Frame(x, y, down);
        }
    }
    static float ScreenX(int column) { return PlayField::ColumnX(column) + 400; }
    static float ScreenY(int row) { return PlayField::RowY(row) + 300; }

    // Three 1s come together when (2, 0) and (3, 0) change places.
    const std::vector<std::string> rows = {"1121", "3434", "4343"};
    bool ended = false;
    BoardResult result;
};

TEST_F(GameScreenTest, DragSwapsWithTheNeighbourAndTheRunClears)
{
    auto screen = Open(Level(rows, {}, {}, "<jewelsrequired>500</jewelsrequired>"));
    Frames(*screen, 50);
    Frames(*screen, 10, ScreenX(2), ScreenY(0), true);
    Frames(*screen, 10, ScreenX(2) + 12, ScreenY(0) + 3, true);
    Frames(*screen, 10, ScreenX(2) + 12, ScreenY(0) + 3, false);
    Frames(*screen, 1500);
    EXPECT_EQ(screen->Result().moves, 1);
    EXPECT_GE(Stat(StatJewels), 3);
    EXPECT_GT(Score(), 0);
}

TEST_F(GameScreenTest, ClicksSelectMoveTheSelectionAndSwap)
{
    auto screen = Open(Level(rows, {}, {}, "<jewelsrequired>500</jewelsrequired>"));
    auto click = [&](int x, int y) {
        Frames(*screen, 10, ScreenX(x), ScreenY(y), true);
        Frames(*screen, 10, ScreenX(x) + 5, ScreenY(y) - 5, false); // 5 pixels is still a click
    };
    click(2, 0);
    EXPECT_EQ(screen->SelectedX(), 2);
    click(3, 1); // diagonal: the selection moves
    EXPECT_EQ(screen->SelectedX(), 3);
    EXPECT_EQ(screen->SelectedY(), 1);
    EXPECT_EQ(screen->Result().moves, 0);
    click(3, 1); // again: cleared
    EXPECT_EQ(screen->SelectedX(), -1);
    click(2, 0);
    click(3, 0); // a neighbour: swapped
    EXPECT_EQ(screen->SelectedX(), -1);
    EXPECT_EQ(screen->Result().moves, 1);
    Frames(*screen, 1500);
    EXPECT_GE(Stat(StatJewels), 3);
}

TEST_F(GameScreenTest, MetObjectivesEndTheLevelAtTheNextCheckAsAWin)
{
    auto screen = Open(Level(rows)); // nothing to do: done from the start
    Frames(*screen, LevelSession::kDoneCheckMs + LevelSession::kCompleteDelayMs - 100);
    EXPECT_FALSE(ended);
    EXPECT_FALSE(screen->IsInputAllowed());
    Frames(*screen, 200);
    ASSERT_TRUE(ended);
    EXPECT_TRUE(result.won);
    EXPECT_TRUE(state->IsWon());
    EXPECT_GT(result.timeLeftMs, 50000);
    EXPECT_EQ(state->GetStat64(GameModeArcade, StatTimeLeft), result.timeLeftMs / 1000);
}

TEST_F(GameScreenTest, TimeUpEndsTheLevelFourSecondsLaterAsALoss)
{
    auto screen = Open(Level(rows, {}, {}, "<jewelsrequired>500</jewelsrequired>"));
    Frames(*screen, 60000);
    EXPECT_FALSE(ended);
    EXPECT_FALSE(screen->IsInputAllowed());
    Frames(*screen, LevelSession::kGameOverDelayMs + 100);
    ASSERT_TRUE(ended);
    EXPECT_FALSE(result.won);
    EXPECT_EQ(result.timeLeftMs, 0);
    EXPECT_EQ(state->GetStat64(GameModeArcade, StatTimePlayed), result.timePlayedMs / 1000);
    EXPECT_GE(result.timePlayedMs, 60000 + LevelSession::kGameOverDelayMs);
}

} // namespace
} // namespace bsh::test
