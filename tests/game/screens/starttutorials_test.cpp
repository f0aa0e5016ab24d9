// The start-of-level tutorial texts: which is due when, and about which piece.

#include "game/board/boardtest.h"
#include "game/screens/starttutorials.h"

#include <vector>

namespace bsh::test {
namespace {

class StartTutorialsTest : public BoardTest {};

using H = HintRecord::Flag;
constexpr int kBomb = HintIndex(H::Bomb);
constexpr int kBonusLevel = HintIndex(H::BonusLevel);

TEST_F(StartTutorialsTest, TheArtifactsTextComesBetweenThreeAndFourSecondsThenTheFirstSpecialPiece)
{
    struct Case {
        const char* what;
        std::vector<std::string> rows;
        int64_t since;
        bool textShowing;
        std::vector<TutorialCue> due;
    };
    const std::string specials = Alias('A', "artifact", 2) + Alias('K', "key", 3) + Alias('B', "bomb", 1) +
                                 Alias('>', "cannonright", 4) + Alias('D', "dynamite", 2);
    const Case cases[] = {
        {"nothing special", {"1212", "3434"}, 3500, false, {}},
        {"a key before two seconds", {"12K2", "3434"}, 1990, false, {}},
        {"a key", {"12K2", "3434"}, 2000, false, {{HintIndex(H::KeyLock), 2, 0}}},
        {"the first column, from the top", {"1B12", "D434"}, 2500, false, {{HintIndex(H::Dynamite), 0, 1}}},
        {"a cannon", {"1212", "34>4"}, 2500, false, {{HintIndex(H::Cannon), 2, 1}}},
        {"while another text shows", {"12B2", "3434"}, 2500, true, {}},
        {"an artifact before three seconds: the piece's text", {"A2B2", "3434"}, 2990, false, {{kBomb, 2, 0}}},
        {"an artifact in its second", {"A2B2", "3434"}, 3000, false, {{kBonusLevel, 0, 0}}},
        {"two artifacts", {"A21A", "3434"}, 3500, false, {{kBonusLevel, 0, 0}, {kBonusLevel, 3, 0}}},
        {"an artifact too late", {"A212", "3434"}, 4010, false, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        board = NewBoard();
        ASSERT_TRUE(Load(Level(c.rows, specials)));
        StartTutorials done;
        EXPECT_EQ(DueStartTutorials(*board, c.since, c.textShowing, done), c.due);
    }
}

TEST_F(StartTutorialsTest, EachTextIsHandedOutOnce)
{
    ASSERT_TRUE(Load(Level({"A2B2", "3434"}, Alias('A', "artifact", 2) + Alias('B', "bomb", 1))));
    StartTutorials done;
    EXPECT_EQ(DueStartTutorials(*board, 3000, false, done).size(), 1u); // the artifact's
    EXPECT_TRUE(done.bonusDone);
    EXPECT_EQ(DueStartTutorials(*board, 3010, false, done), (std::vector<TutorialCue>{{kBomb, 2, 0}}));
    EXPECT_TRUE(DueStartTutorials(*board, 3500, false, done).empty());
    // A board without a special piece is done with it at once.
    board = NewBoard();
    ASSERT_TRUE(Load(Level({"1212", "3434"})));
    StartTutorials plain;
    EXPECT_TRUE(DueStartTutorials(*board, 2000, false, plain).empty());
    EXPECT_TRUE(plain.pieceDone);
}

} // namespace
} // namespace bsh::test
