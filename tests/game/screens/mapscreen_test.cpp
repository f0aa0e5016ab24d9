// The sea chart over a small hand-written map in a scratch storage folder:
// what a player sees and can press, a won level opening the next one on
// another page, the difficulty buttons, the hints and the saved profile.

#include "game/screens/mapscreen.h"
#include "screentest.h"

namespace bsh::test {
namespace {

using tsv::ScreenStack;

const std::string kL1 = "/level/original/001.xml";
const std::string kL2 = "/level/original/002.xml";
const std::string kL3 = "/level/original/003.xml";
const std::string kL4 = "/level/original/004.xml";
const std::string kBonus = "/level/original/003-bonus.xml";

class MapScreenTest : public ScreenTest<MapScreen> {
protected:
    void SetUp() override
    {
        ScreenTest::SetUp();
        // 001 and 002 on page 1, 003 on page 2 with its bonus level, 004 on page 4.
        MakeState("<map>"
                  "<level><source>" + kL1 + "</source><x>-40</x><y>150</y></level>"
                  "<level><source>" + kL2 + "</source><x>-140</x><y>90</y>"
                  "<parent>" + kL1 + "</parent></level>"
                  "<level><source>" + kL3 + "</source><x>600</x><y>100</y>"
                  "<parent>" + kL2 + "</parent></level>"
                  "<level><source>" + kBonus + "</source><x>700</x><y>200</y>"
                  "<parent>" + kL3 + "</parent><bonus/></level>"
                  "<level><source>" + kL4 + "</source><x>900</x><y>-700</y>"
                  "<parent>" + kL3 + "</parent></level>"
                  "</map>");
    }
    void Open()
    {
        MapScreen::Actions actions;
        actions.play = [this](const std::string& level) { played.push_back(level); };
        actions.close = [this] { ++closed; };
        screen = &Push(new MapScreen(*state, std::move(actions)));
        ASSERT_TRUE(screen->IsRootLoaded());
    }
    ProgressRecord& Record() { return state->CurrentProfile()->Record(); }
    const MapScreen::LevelNodes& Nodes(const std::string& source)
    {
        return screen->Nodes()[static_cast<size_t>(screen->Map().Find(source))];
    }
    tsv::GUIComponent& Component(const std::string& name) { return *screen->FindComponent(name); }
    // The view point of a level's sphere, as the pointer sees it.
    void PointAt(const std::string& source, bool down)
    {
        const QuestMapLevel& level = screen->Map().Levels()[static_cast<size_t>(screen->Map().Find(source))];
        screen->Pointer(level.x + screen->GetOffsetX(), level.y + screen->GetOffsetY() + 10, down);
    }
    void RunFor(int64_t ms)
    {
        for (int64_t t = 0; t < ms; t += 50) {
            Advance(50);
            screen->Run();
        }
    }

    std::vector<std::string> played;
    int closed = 0;
};

TEST_F(MapScreenTest, FreshPlayerSeesOnlyTheFirstLevelPulsingAndCanPlayIt)
{
    Open();
    EXPECT_TRUE(Nodes(kL1).sphere->IsVisible());
    EXPECT_TRUE(Nodes(kL1).pulse->IsVisible());
    EXPECT_FALSE(Nodes(kL1).mark->IsVisible());
    for (const std::string& hidden : {kL2, kL3, kL4}) {
        EXPECT_FALSE(Nodes(hidden).sphere->IsVisible()) << hidden;
    }
    EXPECT_FALSE(Nodes(kBonus).bonusSign->IsVisible());
    EXPECT_EQ(screen->GetTrailSphereCount(), 0u);
    // Page 1: right and up lead somewhere; nothing lies left or below.
    EXPECT_TRUE(Component("rightarrow").GetOwnVisible());
    EXPECT_TRUE(Component("uparrow").GetOwnEnabled());
    EXPECT_FALSE(Component("leftarrow").GetOwnVisible());
    EXPECT_FALSE(Component("downarrow").GetOwnVisible());
    EXPECT_FALSE(Component("normalbutton").GetOwnEnabled());
    EXPECT_TRUE(Component("hardbutton").GetOwnEnabled());

    // Hover: the highlight and one sound; a hidden level takes no pointer.
    PointAt(kL2, false);
    EXPECT_EQ(screen->GetHovered(), -1);
    sounds.clear();
    PointAt(kL1, false);
    PointAt(kL1, false);
    EXPECT_EQ(screen->GetHovered(), 0);
    EXPECT_TRUE(Nodes(kL1).highlight->IsVisible());
    EXPECT_EQ(sounds, std::vector<std::string>{"/sound/mouseover.wav"});
    PointAt(kL1, true);
    EXPECT_EQ(played, std::vector<std::string>{kL1});
    EXPECT_EQ(sounds.back(), "/sound/mouseclick.wav");
}

TEST_F(MapScreenTest, PlayButtonStartsTheSuggestedLevel)
{
    Open();
    screen->PlaySuggested();
    EXPECT_EQ(played, std::vector<std::string>{kL1});
}

TEST_F(MapScreenTest, WinOnPage1OpensTheNextLevelOnPage2AndScrollsThere)
{
    Record().SetState(GameMode::Quest, kL1, LevelState::Completed);
    Record().SetState(GameMode::Quest, kL2, LevelState::Completed); // as the level summary leaves it
    Open();
    screen->OnLevelCompleted(kL2, false);
    EXPECT_TRUE(Nodes(kL3).sphere->IsVisible());
    EXPECT_TRUE(Nodes(kL2).mark->IsVisible());
    EXPECT_EQ(Nodes(kL3).trails.size(), 1u);
    EXPECT_GT(screen->GetTrailSphereCount(), 20u); // 001-002 and the long way to 003
    EXPECT_TRUE(Nodes(kBonus).bonusSign->IsVisible());
    EXPECT_EQ(Record().GetState(GameMode::Quest, kL3), LevelState::Open);
    EXPECT_EQ(Record().GetMapPage(), 2);

    // The arrows hide while the chart moves; it eases there over a second.
    EXPECT_TRUE(screen->IsScrolling());
    EXPECT_FALSE(Component("rightarrow").GetOwnVisible());
    RunFor(500);
    EXPECT_GT(screen->GetOffsetX(), -800.0f);
    EXPECT_LT(screen->GetOffsetX(), 0.0f);
    RunFor(600);
    EXPECT_FALSE(screen->IsScrolling());
    EXPECT_EQ(screen->GetPage(), 2);
    EXPECT_EQ(screen->GetOffsetX(), -800.0f);
    // Page 2: back left, and up to page 4 is shut until a level opens there.
    EXPECT_TRUE(Component("leftarrow").GetOwnEnabled());
    EXPECT_TRUE(Component("uparrow").GetOwnVisible());
    EXPECT_FALSE(Component("uparrow").GetOwnEnabled());
    screen->ScrollBy(0, -1);
    EXPECT_FALSE(screen->IsScrolling());
}

TEST_F(MapScreenTest, DifficultyButtonsShowThatDifficultysRecord)
{
    state->CurrentProfile()->Record(Difficulty::Hard).SetState(GameMode::Quest, kL1, LevelState::CompletedFast);
    state->CurrentProfile()->Record(Difficulty::Hard).SetState(GameMode::Quest, kL2, LevelState::Open);
    Open();
    Component("hardbutton").FireEvent(tsv::GuiEvent::Click, 0, 0);
    EXPECT_EQ(state->CurrentProfile()->GetDifficulty(), Difficulty::Hard);
    EXPECT_FALSE(Component("hardbutton").GetOwnEnabled());
    EXPECT_TRUE(Component("normalbutton").GetOwnEnabled());
    EXPECT_TRUE(Nodes(kL2).sphere->IsVisible());
    EXPECT_TRUE(Nodes(kL1).mark->IsVisible());
    EXPECT_EQ(Nodes(kL2).trails.size(), 1u);
}

TEST_F(MapScreenTest, OpeningTheWholeMapShowsEveryLevelAndOpensPage4)
{
    Open();
    screen->OpenWholeMap();
    for (size_t i = 0; i < screen->Map().Levels().size(); ++i) {
        EXPECT_TRUE(screen->Nodes()[i].sphere->IsVisible()) << i;
    }
    EXPECT_EQ(Record().GetState(GameMode::Quest, kBonus), LevelState::Open);
    EXPECT_TRUE(screen->Map().IsLastPageOpen());
    screen->ScrollBy(1, 0);
    RunFor(1100);
    EXPECT_TRUE(Component("uparrow").GetOwnEnabled());
}

TEST_F(MapScreenTest, BonusHintShowsOnceTwoSecondsInAndTheProfileIsSavedOnLeaving)
{
    Record().SetState(GameMode::Quest, kL3, LevelState::Open);
    Open();
    RunFor(1500);
    EXPECT_EQ(screen->GetShownHint(), "");
    RunFor(700);
    EXPECT_EQ(screen->GetShownHint(), "Hints.bonusAura");
    EXPECT_EQ(state->CurrentProfile()->Awards().GetHintCounter(11), 0);
    screen = nullptr;
    while (ScreenStack::Instance().Remove()) {
    }
    App().GetTaskManager().Execute();
    EXPECT_TRUE(storage->Exists("profiles.dat"));
}

} // namespace
} // namespace bsh::test
