// The level-complete summary over a real game state and the game's own screen
// file and English texts: when its lines appear, the skip, the final message
// of each kind, the close, and how the finished summary looks.

#include "engine/gui/nodewalk.h"
#include "engine/platform/keynames.h"
#include "game/screens/levelcompletescreen.h"
#include "screentest.h"
#include "support/golden.h"

namespace bsh::test {
namespace {

using tsv::GUIComponent;

constexpr const char* kQuestLevel = "/level/original/001.xml"; // open in arcade mode from the start

class LevelCompleteTest : public ScreenTest<LevelCompleteScreen> {
protected:
    void SetUp() override
    {
        ScreenTest::SetUp();
        // A quest and arcade sets still to finish: no award unless a test asks for one.
        MakeState("<map><level><source>/level/original/099.xml</source></level></map>",
                  "<set><level>/original/099</level></set>");
    }

    // A level just ended: its mode, outcome, share of time used and statistics.
    void EndLevel(GameMode mode, bool won, int32_t timeUsed, const std::string& level = kQuestLevel)
    {
        state->PrepareLevel(level, mode);
        state->ResetLevelStats();
        state->SetWon(won);
        state->SetTimeUsed(timeUsed);
        state->CurrentProfile()->Record().SetScore(mode, 5000);
        const int32_t stats[] = {87, 3, 41, 6, 2, 1, 5};
        for (size_t i = 0; i < 7; ++i) {
            state->SetStat(mode, StatAt(i), stats[i]);
        }
        state->SetStat64(mode, StatCounter::TimePlayed, 125);
        state->SetStat64(mode, StatCounter::TimeLeft, won ? 40 : 0);
    }
    // EndLevel, the summary opened and run until its final message.
    void Summary(GameMode mode, bool won, int32_t timeUsed, const std::string& level = kQuestLevel)
    {
        EndLevel(mode, won, timeUsed, level);
        Open();
        RunUntil(3700);
    }
    void Open()
    {
        screen = &Push(new LevelCompleteScreen(*state));
        screen->SetCloseHandler([this](const NextScreenDecision& decision) { decisions.push_back(decision); });
    }
    GUIComponent& Find(const std::string& name)
    {
        GUIComponent* found = screen->GetRoot()->Find(name);
        EXPECT_NE(found, nullptr) << name;
        return found ? *found : *screen->GetRoot();
    }
    std::string Value(const std::string& line) { return Find(line).Find("value")->GetCaption(); }
    // The texture of the crown or artifact the rank icon shows, "none" without one.
    std::string RankPicture()
    {
        std::string picture = "none";
        tsv::ForEachNode(*Find("rankicon").GetNode(), [&picture](tsv::SceneNode& node) {
            const std::string& texture = node.GetTexturePath();
            if (texture.find("crown") != std::string::npos || texture.find("artifact") != std::string::npos) {
                picture = texture;
            }
        });
        return picture;
    }

    std::vector<NextScreenDecision> decisions;
};

TEST_F(LevelCompleteTest, LinesAppearEveryThreeHundredMillisecondsWithTheirValuesAfterThem)
{
    EndLevel(GameMode::Quest, true, 40);
    Open();
    for (int i = 0; i < LevelCompleteScreen::kLineCount; ++i) {
        GUIComponent& line = Find(LevelCompleteScreen::kLineNames[static_cast<size_t>(i)]);
        const int64_t at = LevelCompleteScreen::kFirstLineMs + i * LevelCompleteScreen::kLineIntervalMs;
        RunUntil(at - 10);
        EXPECT_FALSE(line.IsVisible()) << line.GetName() << " at " << at - 10;
        RunUntil(at);
        EXPECT_TRUE(line.IsVisible()) << line.GetName() << " at " << at;
        EXPECT_EQ(line.Find("value")->GetCaption(), "") << line.GetName();
    }
    RunUntil(3690);
    EXPECT_FALSE(screen->IsFinalMessageShown());
    EXPECT_FALSE(Find("finalmsg").IsVisible());
    EXPECT_EQ(Value("totalscore"), "");
    RunUntil(3700);
    EXPECT_TRUE(screen->IsFinalMessageShown());
    EXPECT_TRUE(Find("finalmsg").IsVisible());
    EXPECT_EQ(Value("totalscore"), "6000");
    EXPECT_EQ(Value("timescore"), "1000"); // 40 s left x 50 / 2 at Normal

    // Cells come second in the summary but are the third counter.
    EXPECT_EQ(Value("jewels"), "87");
    EXPECT_EQ(Value("cells"), "41");
    EXPECT_EQ(Value("blocks"), "3");
    EXPECT_EQ(Value("maximumMatch"), "5");
    EXPECT_EQ(Value("timespent"), "02:05");
    EXPECT_EQ(Value("score"), "5000");
    EXPECT_EQ(screen->GetTotalScore(), 6000);
    EXPECT_TRUE(screen->IsFast());

    // A won quest level without a new award closes with a plain word.
    EXPECT_EQ(screen->GetFinalKind(), LevelCompleteScreen::FinalKind::Closing);
    EXPECT_EQ(Find("finalmsg").GetCaption(), "Well done!");
    EXPECT_EQ(Find("title").GetCaption(), "Level Complete");
    EXPECT_EQ(Count(LevelCompleteScreen::kAwardSound), 0);
}

TEST_F(LevelCompleteTest, AClickOnTheFormShowsTheRestOnePerFrame)
{
    EndLevel(GameMode::Quest, true, 40);
    Open();
    RunUntil(500); // the first line is out
    ASSERT_EQ(screen->GetRevealStep(), 1);
    // Press and release on the form, away from its buttons.
    screen->SimulateInput(250, 300, true);
    RunUntil(510);
    screen->SimulateInput(250, 300, false);
    RunUntil(520);
    const int afterClick = screen->GetRevealStep();
    EXPECT_GE(afterClick, 2);
    RunUntil(530);
    EXPECT_EQ(screen->GetRevealStep(), afterClick + 1);
    RunUntil(520 + 10 * (LevelCompleteScreen::kLineCount + 1 - afterClick));
    EXPECT_TRUE(screen->IsFinalMessageShown());
    // Values still follow their lines.
    RunUntil(1000);
    EXPECT_EQ(Value("totalscore"), "6000");
    EXPECT_TRUE(decisions.empty());
}

// The finished summary is drawn headless and compared with
// tests/e2e/golden/levelcomplete-summary.png; BSH_UPDATE_GOLDEN=1 rewrites it.
TEST_F(LevelCompleteTest, AnArcadeWinRatedSixEarnsTheFifthCrownAndItsRankAndLooksAsItShould)
{
    Summary(GameMode::Arcade, true, 20);
    ASSERT_EQ(screen->GetFinalKind(), LevelCompleteScreen::FinalKind::Rank);
    EXPECT_EQ(state->CurrentProfile()->Record(Difficulty::Normal).GetEntry(GameMode::Arcade, kQuestLevel)->best, 6);
    EXPECT_EQ(RankPicture(), "/texture/gui/frame/crown5.png");
    EXPECT_TRUE(Find("rankicon").IsVisible());
    EXPECT_EQ(Find("finalmsg").GetCaption(), "Your new rank: Harbour Master");
    EXPECT_EQ(Count(LevelCompleteScreen::kAwardSound), 1);
    RunUntil(5000); // the last sparkles have gone
    Draw(dir.Path() + "shot.png");
    testsupport::ExpectGolden(dir.Path() + "shot.png", BSH_SOURCE_DIR "/tests/e2e/golden/levelcomplete-summary.png");

    // A slower win of the same level later still shows the best rank.
    tsv::ScreenStack::Instance().Clear();
    Summary(GameMode::Arcade, true, 60);
    EXPECT_EQ(RankPicture(), "/texture/gui/frame/crown5.png");
    EXPECT_EQ(Find("finalmsg").GetCaption(), "Your new rank: Harbour Master");

    // A level the arcade lists do not hold ranks by this play: rating 3.
    tsv::ScreenStack::Instance().Clear();
    Summary(GameMode::Arcade, true, 60, "/level/sample/01.xml");
    EXPECT_EQ(RankPicture(), "/texture/gui/frame/crown2.png");
    EXPECT_EQ(Find("finalmsg").GetCaption(), "Your new rank: Boatswain");
}

TEST(LostReasonTest, TheFirstObjectiveStillOpenSaysWhy)
{
    using Shortfall = LevelCompleteScreen::Shortfall;
    const auto reason = [](const Shortfall& s) { return LevelCompleteScreen::LostReason(s); };
    EXPECT_EQ(reason({5, 12, 3, true}), std::make_pair(std::string("Screen.LevelComplete.lostCells"), 5));
    EXPECT_EQ(reason({0, 12, 3, true}), std::make_pair(std::string("Screen.LevelComplete.lostJewels"), 12));
    EXPECT_EQ(reason({0, 0, 3, true}), std::make_pair(std::string("Screen.LevelComplete.lostBlocks"), 3));
    EXPECT_EQ(reason({0, 0, 0, true}), std::make_pair(std::string("Screen.LevelComplete.lostArtifact"), 0));
    EXPECT_EQ(reason({}), std::make_pair(std::string("Screen.LevelComplete.lostTime"), 0));
}

TEST_F(LevelCompleteTest, ALostLevelSaysGameOverAndWhyAndEndsTheRunOnClose)
{
    EndLevel(GameMode::Quest, false, 100);
    Open();
    screen->SetShortfall({0, 12, 3, true});
    EXPECT_EQ(Find("title").GetCaption(), "Game Over");
    RunUntil(4000);
    EXPECT_EQ(screen->GetFinalKind(), LevelCompleteScreen::FinalKind::Closing);
    // The first objective still open, not the title again.
    EXPECT_EQ(Find("finalmsg").GetCaption(), "Time ran out with 12 jewels still to collect.");
    EXPECT_FALSE(Find("rankicon").IsVisible());
    EXPECT_EQ(Value("timescore"), "0");
    EXPECT_EQ(Value("totalscore"), "5000"); // nothing added for a loss
    EXPECT_EQ(Count(LevelCompleteScreen::kAwardSound), 0);

    // Escape is one of the close buttons; a second close does nothing.
    tsv::GuiInput escape = At(Now(), 0, 0, false);
    escape.pressedKey = tsv::KeyCode(tsv::KeyId::Escape);
    screen->DeliverInput(escape);
    screen->CloseAsButton();
    ASSERT_EQ(decisions.size(), 1u);
    EXPECT_EQ(decisions[0].screen, NextScreen::MainMenu); // 5000 misses the generated table; the run ends all the same
    EXPECT_EQ(state->CurrentProfile()->Record().GetScore(GameMode::Quest), 0);
}

TEST_F(LevelCompleteTest, ANewAwardShowsTheArtifactAndLeadsToTheTreasury)
{
    EndLevel(GameMode::Quest, true, 80);
    state->SetAwardKey("quest_map1");
    Open();
    EXPECT_FALSE(screen->IsFast());
    RunUntil(3700);
    ASSERT_EQ(screen->GetFinalKind(), LevelCompleteScreen::FinalKind::Award);
    EXPECT_EQ(RankPicture(), "/texture/piece/artifact.png");
    EXPECT_EQ(Find("finalmsg").GetCaption(), "You found a treasure! It waits for you in the treasury.");
    EXPECT_EQ(Count(LevelCompleteScreen::kAwardSound), 1);

    // A click on the continue button.
    const tsv::Vec3 button = Find("closebutton1").GetWorldPosition();
    screen->SimulateInput(button.x + 400, button.y + 300, true);
    RunUntil(3710);
    screen->SimulateInput(button.x + 400, button.y + 300, false);
    RunUntil(3720);
    ASSERT_EQ(decisions.size(), 1u);
    EXPECT_EQ(decisions[0].screen, NextScreen::Treasury);
}

} // namespace
} // namespace bsh::test
