// The screens around the menus over a real game state and the game's own
// screen files: the loader, the intro list, the treasury and the highscores.

#include "engine/core/random.h"
#include "engine/scene/frameloop.h"
#include "game/screens/highscorescreen.h"
#include "game/screens/introscreen.h"
#include "game/screens/loaderscreen.h"
#include "game/screens/treasuryscreen.h"
#include "screentest.h"
#include "support/golden.h"

#include <filesystem>

namespace bsh::test {
namespace {

using tsv::GUIComponent;

class MenuScreensTest : public ScreenTest<tsv::Screen> {
protected:
    void SetUp() override
    {
        ScreenTest::SetUp();
        MakeState("<map><level><source>/level/original/099.xml</source></level></map>");
    }
    AwardBlock& Awards() { return state->CurrentProfile()->Awards(); }
    static GUIComponent* Treasure(tsv::Screen& shown, int award)
    {
        return shown.FindComponent(AwardKey(award))->Find(TreasuryScreen::kTreasureName);
    }
};

TEST_F(MenuScreensTest, TheLoaderStaysTwoSecondsHoweverFastThePreloadAndFillsItsBarOnTheWay)
{
    std::filesystem::create_directories(dir.Path() + "t/sub");
    for (const char* file : {"t/a.png", "t/sub/b.dds", "t/sub/c.png", "t/d.txt"}) {
        testsupport::WriteFile(dir.Path() + file, "");
    }
    static std::vector<std::string> loaded;
    loaded.clear();
    auto fast = [](const std::string& path) {
        loaded.push_back(path);
        return path.find("c.png") == std::string::npos; // one texture fails
    };
    int done = 0;
    LogCapture log;
    auto preloader = std::make_unique<Preloader>("/sound/none.xml", dir.Path() + "t", fast);
    LoaderScreen& loader = Push(new LoaderScreen([&done] { ++done; }, std::move(preloader)));
    float shown = 0;
    // The loader keeps the game's clock, which other tests may have moved
    // apart from the system's: its own times are read on it.
    while (LoaderScreen::Now() - loader.GetCreationTime() <= LoaderScreen::kMinimumMs) {
        EXPECT_EQ(done, 0);
        EXPECT_GE(loader.GetShownProgress(), shown); // the bar never goes back
        shown = loader.GetShownProgress();
        if (!loader.IsPreloadStarted() && LoaderScreen::FirstUpdateTime() != 0) {
            EXPECT_LE(LoaderScreen::Now() - LoaderScreen::FirstUpdateTime(), LoaderScreen::kPreloadDelayMs + 10);
        }
        Advance(10);
        App().GetTaskManager().Execute();
    }
    EXPECT_EQ(done, 1);
    EXPECT_FLOAT_EQ(loader.GetShownProgress(), 1.0f);
    // Every ".png" first, each folder walked where it is met, then the ".dds".
    ASSERT_EQ(loaded.size(), 3u);
    EXPECT_EQ(loaded[2], dir.Path() + "t/sub/b.dds");
    EXPECT_EQ(loader.GetPreloader().GetTextureCount(), 2);
    EXPECT_TRUE(log.Has(tsv::LogLevel::Error, "Can't load texture: " + dir.Path() + "t/sub/c.png"));
    EXPECT_TRUE(log.Has(tsv::LogLevel::Hint, "Textures loaded (total: 2)"));
    EXPECT_TRUE(log.Has(tsv::LogLevel::Hint, "Preload succeeded."));
    RunUntil(3000);
    EXPECT_EQ(done, 1);
}

TEST_F(MenuScreensTest, ThePreloaderReadsTheTextureFilesWithoutDecodingThemIntoTheScene)
{
    std::filesystem::create_directories(dir.Path() + "t/sub");
    // A real picture, which the scene would keep once decoded.
    std::filesystem::copy_file(std::string(BSH_SOURCE_DIR) + "/data/texture/effect/black.png", dir.Path() + "t/a.png");
    testsupport::WriteFile(dir.Path() + "t/sub/b.dds", "0123456789");
    tsv::ResourceManager* resources = tsv::FrameLoop::Instance().GetResources();
    ASSERT_NE(resources, nullptr);
    const size_t before = resources->Count();
    Preloader preloader("/sound/none.xml", dir.Path() + "t");
    while (!preloader.Step(1000)) {
    }
    EXPECT_EQ(preloader.GetTextureCount(), 2);
    EXPECT_EQ(preloader.GetBytesRead(),
              static_cast<int64_t>(std::filesystem::file_size(dir.Path() + "t/a.png")) + 10);
    // Screens decode what they show when they show it.
    EXPECT_EQ(resources->Count(), before);
}

TEST_F(MenuScreensTest, TheIntroListGivesItsScreensInOrderAndNothingWhenItIsWrong)
{
    testsupport::WriteFile(dir.Path() + "intro.xml",
                           "<intro><screen>/a.xml</screen><note>x</note><screen>/b.xml</screen></intro>");
    EXPECT_EQ(IntroScreen::IntroScreenPath(0, dir.Path() + "intro.xml"), "/a.xml");
    EXPECT_EQ(IntroScreen::IntroScreenPath(1, dir.Path() + "intro.xml"), "/b.xml");
    EXPECT_EQ(IntroScreen::IntroScreenPath(2, dir.Path() + "intro.xml"), "");
    testsupport::WriteFile(dir.Path() + "wrong.xml", "<outro><screen>/a.xml</screen></outro>");
    for (const std::string& list : {dir.Path() + "wrong.xml", dir.Path() + "missing.xml"}) {
        LogCapture log;
        EXPECT_EQ(IntroScreen::IntroScreenPath(0, list), "");
        EXPECT_TRUE(log.Has(tsv::LogLevel::Warning, "Intro screens not specified")) << list;
    }
    // The game's own list names screen files that load.
    for (int32_t i = 0; !IntroScreen::IntroScreenPath(i).empty(); ++i) {
        tsv::ScreenPtr intro = tsv::MakeIntrusive<tsv::Screen>();
        EXPECT_TRUE(intro->LoadScreenFile(IntroScreen::IntroScreenPath(i))) << i;
    }
    EXPECT_FALSE(IntroScreen::IntroScreenPath(1).empty());
}

TEST_F(MenuScreensTest, ATreasuryPresentsEachNewAwardOnceAfterASecond)
{
    Awards().SetEarned(AwardSlot(Award::QuestMap1));
    Awards().SetPending(AwardSlot(Award::ArcadeBest1) + 2);
    Awards().SetPending(AwardSlot(Award::QuestMap1)); // already earned: nothing to present
    state->SetMode(GameMode::Arcade);
    std::vector<TreasuryScreen::Next> closes;
    auto& first = Push(new TreasuryScreen(*state, [&closes](TreasuryScreen::Next next) { closes.push_back(next); }));
    EXPECT_EQ(first.GetPresented(), std::vector<int>{AwardSlot(Award::ArcadeBest1) + 2});
    EXPECT_TRUE(Awards().IsEarned(AwardSlot(Award::ArcadeBest1) + 2));
    for (int award = 0; award < kAwardCount; ++award) {
        EXPECT_FALSE(Awards().IsPending(award)) << award;
        EXPECT_EQ(first.FindComponent(AwardKey(award))->GetOwnEnabled(), Awards().IsEarned(award)) << award;
    }
    EXPECT_TRUE(Treasure(first, AwardSlot(Award::QuestMap1))->GetOwnVisible());
    EXPECT_FALSE(Treasure(first, AwardSlot(Award::ArcadeBest1) + 2)->GetOwnVisible()); // waits for its moment
    EXPECT_FALSE(Treasure(first, AwardSlot(Award::TotalComplete))->GetOwnVisible());
    RunUntil(TreasuryScreen::kAppearDelayMs - 20);
    EXPECT_FALSE(first.HasAppeared());
    RunUntil(TreasuryScreen::kAppearDelayMs + 20);
    EXPECT_TRUE(Treasure(first, AwardSlot(Award::ArcadeBest1) + 2)->GetOwnVisible());
    EXPECT_EQ(Count("/sound/bonus.wav"), 1);
    first.Leave();
    first.Leave();
    EXPECT_EQ(closes, std::vector<TreasuryScreen::Next>{TreasuryScreen::Next::MainMenu});

    // The second visit shows it as earned, without presenting it again.
    sounds.clear();
    auto& second = Push(new TreasuryScreen(*state, {}));
    EXPECT_TRUE(second.GetPresented().empty());
    EXPECT_TRUE(Treasure(second, AwardSlot(Award::ArcadeBest1) + 2)->GetOwnVisible());
    RunUntil(TreasuryScreen::kAppearDelayMs + 20);
    EXPECT_EQ(Count("/sound/bonus.wav"), 0);
}

TEST_F(MenuScreensTest, TheFinalAwardLeadsToTheVictoryInQuestModeOnly)
{
    struct Case {
        GameMode mode;
        bool finalPending;
        TreasuryScreen::Next next;
    };
    for (const Case& c : {Case{GameMode::Quest, true, TreasuryScreen::Next::Victory},
                          Case{GameMode::Quest, false, TreasuryScreen::Next::QuestMap},
                          Case{GameMode::Arcade, true, TreasuryScreen::Next::MainMenu}}) {
        Awards().Reset();
        Awards().SetPending(c.finalPending ? AwardSlot(Award::FinalQuest) : AwardSlot(Award::QuestMap1));
        state->SetMode(c.mode);
        TreasuryScreen treasury(*state, {});
        EXPECT_EQ(treasury.IsFinalAwardPresented(), c.finalPending);
        EXPECT_EQ(treasury.GetNext(), c.next) << ModeName(c.mode) << " " << c.finalPending;
    }
}

TEST_F(MenuScreensTest, TheRunsEntryIsHighlightedOnceInItsOwnModesTableAndAResetRegeneratesOnlyItsTable)
{
    HighscoreTable& tables = state->Highscores();
    tables.AddEntry(GameMode::Quest, tsv::MakeIntrusive<HighscoreEntry>("Ann", 55555));
    tables.AddEntry(GameMode::Arcade, tsv::MakeIntrusive<HighscoreEntry>("Ann", 55555));
    Profile& ann = *state->CurrentProfile();
    ann.Record().SetScore(GameMode::Quest, 55555);
    ann.Record().SetScore(GameMode::Arcade, 55555);
    state->SetMode(GameMode::Arcade);

    auto& first = Push(new HighscoreScreen(*state, GameMode::None, {}));
    EXPECT_EQ(first.GetHighlightedTable(), GameMode::Arcade);
    EXPECT_EQ(first.GetHighlightedRow(), 6); // 100000 .. 60000 above it
    GUIComponent* marker = first.FindComponent("highlight");
    GUIComponent* table = first.FindComponent("table2");
    EXPECT_TRUE(marker->GetOwnVisible());
    EXPECT_EQ(marker->GetY(), table->GetY() + table->Find("row6")->GetY());
    EXPECT_EQ(table->Find("row6")->Find("name")->GetCaption(), "Ann");
    EXPECT_EQ(table->Find("row6")->Find("score")->GetCaption(), "55555");
    EXPECT_EQ(Count(HighscoreScreen::kHighlightSound), 1);
    // The arcade run is used up; the quest run was not shown and stays.
    EXPECT_EQ(ann.Record().GetScore(GameMode::Arcade), 0);
    EXPECT_EQ(ann.Record().GetScore(GameMode::Quest), 55555);

    auto& second = Push(new HighscoreScreen(*state, GameMode::None, {}));
    EXPECT_EQ(second.GetHighlighted(), nullptr);
    EXPECT_FALSE(second.FindComponent("highlight")->GetOwnVisible());
    EXPECT_EQ(Count(HighscoreScreen::kHighlightSound), 1);

    // Closing from the arcade selection ends the arcade run.
    GameMode returned = GameMode::None;
    auto& scores = Push(new HighscoreScreen(*state, GameMode::Arcade, [&returned](GameMode mode) { returned = mode; }));
    scores.ResetTable(GameMode::Arcade);
    const auto arcade = state->Highscores().EntriesOf(GameMode::Arcade);
    ASSERT_EQ(arcade.size(), 10u);
    EXPECT_EQ(arcade.front()->GetScore(), 10000);
    EXPECT_EQ(arcade.back()->GetScore(), 1000);
    EXPECT_EQ(scores.FindComponent("table2")->Find("row10")->Find("score")->GetCaption(), "1000");
    EXPECT_EQ(scores.FindComponent("table1")->Find("row6")->Find("name")->GetCaption(), "Ann");

    state->CurrentProfile()->Record().SetScore(GameMode::Arcade, 700);
    scores.Leave();
    EXPECT_EQ(returned, GameMode::Arcade);
    EXPECT_EQ(state->CurrentProfile()->Record().GetScore(GameMode::Arcade), 0);
}

// Drawn headless and compared with tests/e2e/golden/; BSH_UPDATE_GOLDEN=1 rewrites them.
TEST_F(MenuScreensTest, TheTreasuryAndTheHighscoresLookAsTheyShould)
{
    for (int award : {0, 1, 2, 8, 12, 17}) {
        Awards().SetEarned(award);
    }
    Push(new TreasuryScreen(*state, {}));
    RunUntil(500);
    Draw(dir.Path() + "treasury.png");
    testsupport::ExpectGolden(dir.Path() + "treasury.png", BSH_SOURCE_DIR "/tests/e2e/golden/treasury.png");
    tsv::ScreenStack::Instance().Remove();

    tsv::SeedRandom(1); // the generated names and the sparkles
    HighscoreTable& tables = state->Highscores();
    tables.Fill(GameMode::Quest, 1000);
    tables.Fill(GameMode::Arcade, 2000);
    tables.AddEntry(GameMode::Quest, tsv::MakeIntrusive<HighscoreEntry>("Ann", 6500));
    state->CurrentProfile()->Record().SetScore(GameMode::Quest, 6500);
    state->SetMode(GameMode::Quest);
    Push(new HighscoreScreen(*state, GameMode::None, {}));
    RunUntil(500);
    Draw(dir.Path() + "highscores.png");
    testsupport::ExpectGolden(dir.Path() + "highscores.png", BSH_SOURCE_DIR "/tests/e2e/golden/highscores.png");
}

} // namespace
} // namespace bsh::test
