#include "game/progress/questmap.h"

#include "engine/core/log.h"
#include "support/scratchstorage.h"

#include <gtest/gtest.h>

namespace bsh {
namespace {

const std::string kL1 = "/level/original/001.xml";
const std::string kL2 = "/level/original/002.xml";
const std::string kL3 = "/level/original/003.xml";
const std::string kBonus = "/level/original/002-bonus.xml";
const std::string kFar = "/level/original/009.xml";

std::string Level(const std::string& source, int x, int y, const std::string& extra = {})
{
    return "<level><source>" + source + "</source><x>" + std::to_string(x) + "</x><y>" + std::to_string(y) +
           "</y>" + extra + "</level>\n";
}

std::string Parent(const std::string& source) { return "<parent>" + source + "</parent>"; }

// A small chart: 001 -> 002 -> {003, 002-bonus}; 003 and 002-bonus both lead
// to 009, which lies on page 4.
class QuestMapTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        storage.Write("map.xml", "<map>\n" + Level(kL1, -40, 150) + Level(kL2, -140, 90, Parent(kL1)) +
                                     Level(kL3, 500, 100, Parent(kL2)) +
                                     Level(kBonus, -300, 120, Parent(kL2) + "<bonus/>") +
                                     Level(kFar, 900, -700, Parent(kL3) + Parent(kBonus)) + "</map>\n");
        ASSERT_TRUE(map.Load(storage.File("map.xml")));
        map.ApplyRecord(record);
    }

    size_t Index(const std::string& source) const { return static_cast<size_t>(map.Find(source)); }
    LevelState State(const std::string& source) const { return map.Levels()[Index(source)].state; }

    test::ScratchStorage storage;
    QuestMap map;
    ProgressRecord record;
};

TEST_F(QuestMapTest, AFreshRecordShowsTheFirstLevelAndWinsOpenItsSuccessors)
{
    ASSERT_EQ(map.Levels().size(), 5u);
    for (size_t i = 0; i < map.Levels().size(); ++i) {
        EXPECT_EQ(map.IsShown(i), i == 0) << map.Levels()[i].source;
        EXPECT_FALSE(map.ShowsBonusSign(i));
        EXPECT_TRUE(map.TrailsTo(i).empty());
    }
    EXPECT_TRUE(map.Pulses(0));
    EXPECT_FALSE(map.IsLastPageOpen());
    EXPECT_EQ(map.SuggestedLevel(nullptr), 0);

    // A slow win opens the successors but only signals the bonus.
    record.SetState(GameMode::Quest, kL1, LevelState::Completed);
    map.ApplyRecord(record);
    map.OnLevelCompleted(kL1, false, record);
    record.SetState(GameMode::Quest, kL2, LevelState::Completed);
    const QuestMapChanges changes = map.OnLevelCompleted(kL2, false, record); // 60 % of the time used

    EXPECT_EQ(changes.completed, static_cast<int>(Index(kL2)));
    EXPECT_EQ(State(kL2), LevelState::Completed);
    EXPECT_EQ(State(kL3), LevelState::Open);
    EXPECT_EQ(record.GetState(GameMode::Quest, kL3), LevelState::Open);
    EXPECT_EQ(State(kBonus), LevelState::Locked);
    EXPECT_EQ(record.GetState(GameMode::Quest, kBonus), LevelState::Locked);
    EXPECT_TRUE(map.ShowsBonusSign(Index(kBonus)));
    EXPECT_FALSE(map.IsShown(Index(kBonus)));
    // 003 lies on page 2: the chart scrolls there and remembers it.
    EXPECT_EQ(changes.scrollTo, 2);
    EXPECT_EQ(record.GetMapPage(), 2);
    EXPECT_EQ(map.TrailsTo(Index(kL3)), std::vector<size_t>{Index(kL2)});
    EXPECT_TRUE(map.Pulses(Index(kL3)));
    EXPECT_FALSE(map.Pulses(Index(kL2)));

    // Won again with 40 % used: the bonus opens, its sign goes, and it does not pulse.
    record.SetState(GameMode::Quest, kL2, LevelState::CompletedFast);
    map.ApplyRecord(record);
    const QuestMapChanges again = map.OnLevelCompleted(kL2, true, record);
    EXPECT_EQ(again.completed, -1); // already marked by the record
    EXPECT_EQ(again.opened, std::vector<size_t>{Index(kBonus)});
    EXPECT_EQ(record.GetState(GameMode::Quest, kBonus), LevelState::Open);
    EXPECT_FALSE(map.ShowsBonusSign(Index(kBonus)));
    EXPECT_FALSE(map.Pulses(Index(kBonus)));
}

TEST_F(QuestMapTest, LevelWithTwoCompletedLinksOpensOnceWithTwoTrailsOnTheLastPage)
{
    record.SetState(GameMode::Quest, kL1, LevelState::Completed);
    record.SetState(GameMode::Quest, kL2, LevelState::CompletedFast);
    record.SetState(GameMode::Quest, kL3, LevelState::Completed);
    record.SetState(GameMode::Quest, kBonus, LevelState::CompletedFast);
    map.ApplyRecord(record);
    EXPECT_FALSE(map.IsLastPageOpen());

    const QuestMapChanges changes = map.OnLevelCompleted(kBonus, true, record);
    EXPECT_EQ(changes.opened, std::vector<size_t>{Index(kFar)});
    const std::vector<std::pair<size_t, size_t>> trails = {{Index(kL3), Index(kFar)}, {Index(kBonus), Index(kFar)}};
    EXPECT_EQ(changes.trails, trails);
    EXPECT_EQ(map.TrailsTo(Index(kFar)).size(), 2u);
    EXPECT_TRUE(map.IsLastPageOpen());
    EXPECT_EQ(changes.scrollTo, 4);
    EXPECT_EQ(record.GetMapPage(), 4);

    // The page is remembered: a map built again from the record stays there and keeps page 4 open.
    QuestMap again;
    ASSERT_TRUE(again.Load(storage.File("map.xml")));
    again.ApplyRecord(record);
    EXPECT_TRUE(again.IsLastPageOpen());
    EXPECT_EQ(again.OnLevelCompleted(kL3, false, record).scrollTo, 0);
}

TEST_F(QuestMapTest, SuggestionPrefersOpenLevelsThenBonusChancesThenChance)
{
    record.SetState(GameMode::Quest, kL1, LevelState::Completed);
    record.SetState(GameMode::Quest, kL2, LevelState::Completed);
    record.SetState(GameMode::Quest, kL3, LevelState::Open);
    map.ApplyRecord(record);
    EXPECT_EQ(map.SuggestedLevel(nullptr), static_cast<int>(Index(kL3)));

    // Nothing open but a locked bonus behind a slowly completed level: replay that level.
    record.SetState(GameMode::Quest, kL3, LevelState::Completed);
    record.SetState(GameMode::Quest, kFar, LevelState::Completed);
    map.ApplyRecord(record);
    EXPECT_EQ(map.SuggestedLevel(nullptr), static_cast<int>(Index(kL2)));

    // An open bonus level comes before a later bonus chance.
    record.SetState(GameMode::Quest, kBonus, LevelState::Open);
    map.ApplyRecord(record);
    EXPECT_EQ(map.SuggestedLevel(nullptr), static_cast<int>(Index(kBonus)));

    // Everything completed: the draw decides.
    record.SetState(GameMode::Quest, kBonus, LevelState::CompletedFast);
    map.ApplyRecord(record);
    EXPECT_EQ(map.SuggestedLevel([](int count) { return count - 1; }), static_cast<int>(Index(kFar)));
}

TEST_F(QuestMapTest, ParentsMustNameEarlierLevelsAndTheRootMustBeMap)
{
    storage.Write("links.xml", "<map>" + Level(kL1, 0, 0, Parent(kL2) + Parent("/level/original/none.xml")) +
                                   Level(kL2, 10, 0, Parent(kL1) + Parent(kL2)) + "<note/></map>");
    QuestMap links;
    ASSERT_TRUE(links.Load(storage.File("links.xml")));
    ASSERT_EQ(links.Levels().size(), 2u);
    EXPECT_TRUE(links.Levels()[0].links.empty());
    EXPECT_EQ(links.Levels()[1].links, std::vector<size_t>{0});

    test::LogCapture log;
    storage.Write("wrong.xml", "<chart>" + Level(kL1, 0, 0) + "</chart>");
    EXPECT_FALSE(links.Load(storage.File("wrong.xml")));
    EXPECT_TRUE(links.Levels().empty());
    EXPECT_TRUE(log.Has(tsv::LogLevel::Error, "Error loading level map: first tag must be <map>"));
    EXPECT_EQ(links.SuggestedLevel([](int) { return 0; }), -1);
}

TEST(QuestMapPages, PositionsPagesOffsetsAndNeighbours)
{
    EXPECT_EQ(QuestMap::PageOf(-40, 150), 1);
    EXPECT_EQ(QuestMap::PageOf(600, 0), 2);
    EXPECT_EQ(QuestMap::PageOf(0, -500), 3);
    EXPECT_EQ(QuestMap::PageOf(900, -700), 4);
    EXPECT_EQ(QuestMap::PageOf(400, 0), 0);
    EXPECT_EQ(QuestMap::PageOf(0, -300), 0);
    EXPECT_EQ(QuestMap::PageOffset(2), (std::pair<float, float>{-800, 0}));
    EXPECT_EQ(QuestMap::PageOffset(3), (std::pair<float, float>{0, 600}));
    EXPECT_EQ(QuestMap::PageOffset(4), (std::pair<float, float>{-800, 600}));
    EXPECT_EQ(QuestMap::PageToward(1, 1, 0), 2);
    EXPECT_EQ(QuestMap::PageToward(1, 0, -1), 3);
    EXPECT_EQ(QuestMap::PageToward(4, -1, 0), 3);
    EXPECT_EQ(QuestMap::PageToward(4, 0, 1), 2);
    EXPECT_EQ(QuestMap::PageToward(1, -1, 0), 0);
    EXPECT_EQ(QuestMap::PageToward(3, 0, -1), 0);
}

TEST_F(QuestMapTest, OpeningTheWholeMapKeepsArcadeProgress)
{
    record.SetState(GameMode::Arcade, kL2, LevelState::CompletedFast);
    QuestMap::OpenAll(map.Levels(), record);
    EXPECT_EQ(record.GetState(GameMode::Quest, kL3), LevelState::Completed);
    EXPECT_EQ(record.GetState(GameMode::Quest, kBonus), LevelState::Open);
    EXPECT_EQ(record.GetState(GameMode::Arcade, kL2), LevelState::CompletedFast);
    EXPECT_EQ(record.GetState(GameMode::Arcade, kFar), LevelState::Open);
}

} // namespace
} // namespace bsh
