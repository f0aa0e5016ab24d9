#include "game/board/levelcounters.h"

#include <gtest/gtest.h>

namespace bsh {
namespace {

TEST(LevelCountersTest, ARelaxedClockCountsPlayedTimeButNeverRunsOut)
{
    LevelCounters counters;
    counters.SetTimeLimit(1000);
    counters.RunClock(300, LevelClock::Running);
    counters.SetRelaxed(true);
    EXPECT_EQ(counters.GetTimeLeft(), 1000) << "relaxing gives the time back";
    counters.RunClock(5000, LevelClock::Running);
    EXPECT_EQ(counters.GetTimeLeft(), 1000);
    EXPECT_EQ(counters.GetTimePlayed(), 5300);

    counters.SetRelaxed(false);
    counters.RunClock(400, LevelClock::Running);
    counters.RunClock(10000, LevelClock::Stopped);
    EXPECT_EQ(counters.GetTimeLeft(), 600) << "a stopped clock keeps what was left";
    EXPECT_EQ(counters.GetTimePlayed(), 5700);
    counters.RunClock(900, LevelClock::Running);
    EXPECT_EQ(counters.GetTimeLeft(), 0) << "never below 0";
}

TEST(LevelCountersTest, OnlyTheObjectivesALevelAsksForFlashAndASavedBoardDoesNotFlashAgain)
{
    LevelCounters counters;
    counters.SetInitial(2, 0);
    counters.SetJewelsRequired(1);
    counters.DetectChanges();
    EXPECT_TRUE(counters.Changed(Objective::Blocks)) << "the first step shows the starting counts";
    counters.DetectChanges();
    EXPECT_FALSE(counters.AnyChanged());

    counters.BlockCleared();
    counters.CellWorn(); // a level without wooden cells: the counter stays at 0
    counters.DetectChanges();
    EXPECT_TRUE(counters.Changed(Objective::Blocks));
    EXPECT_FALSE(counters.Changed(Objective::CellHits));
    EXPECT_FALSE(counters.Changed(Objective::Jewels));
    EXPECT_EQ(counters.GetCellHitsLeft(), 0);

    counters.JewelCleared();
    counters.JewelCleared();
    EXPECT_EQ(counters.GetJewelsLeft(), 0);
    EXPECT_FALSE(counters.AllCleared());
    counters.BlockCleared();
    EXPECT_TRUE(counters.AllCleared());

    // What the HUD last showed is saved: the loaded board flashes only what moves after.
    tsv::RecordWriter out;
    counters.DetectChanges();
    counters.Save(out);
    LevelCounters loaded;
    tsv::RecordReader in(out.Bytes());
    loaded.Load(in);
    EXPECT_TRUE(in.AtEnd());
    loaded.DetectChanges();
    EXPECT_FALSE(loaded.AnyChanged());
    EXPECT_EQ(loaded.GetInitialBlocks(), 2);
    EXPECT_EQ(loaded.GetJewelsRequired(), 1);
}

} // namespace
} // namespace bsh
