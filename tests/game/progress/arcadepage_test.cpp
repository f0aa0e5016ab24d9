#include "game/progress/arcadepage.h"

#include <gtest/gtest.h>

namespace bsh {
namespace {

TEST(ArcadePage, LocksCrownsAndOpenLevelsFollowTheNormalRecord)
{
    ProgressRecord normal; // a fresh record: only 001 open
    for (int best = 2; best <= 6; ++best) {
        const std::string level = "/level/original/01" + std::to_string(best) + ".xml";
        normal.SetState(GameMode::Arcade, level, LevelState::Completed);
        normal.GetEntry(GameMode::Arcade, level)->best = best;
    }
    normal.SetState(GameMode::Arcade, "/level/original/020.xml", LevelState::Locked);
    const std::vector<std::string> entries = {"/original/001", "/original/002", "/original/012", "/original/013",
                                              "/original/014", "/original/015", "/original/016", "/original/020"};
    const auto slots = ArcadePageSlots(entries, normal);

    EXPECT_EQ(slots[0].levelPath, "/level/original/001.xml");
    EXPECT_EQ(slots[0].icon, "/texture/level/icon/original/001.jpg");
    EXPECT_FALSE(slots[0].locked);
    EXPECT_EQ(slots[0].status, ""); // open, never won
    EXPECT_TRUE(slots[1].locked);   // no entry at all
    EXPECT_EQ(slots[1].status, "/texture/gui/frame/lock.png");
    for (int best = 2; best <= 6; ++best) {
        EXPECT_EQ(slots[static_cast<size_t>(best)].status,
                  "/texture/gui/frame/crown" + std::to_string(best - 1) + ".png");
    }
    EXPECT_TRUE(slots[7].locked); // an entry in state 0 locks too
    for (size_t i = entries.size(); i < slots.size(); ++i) {
        EXPECT_FALSE(slots[i].shown) << i;
    }

    // Only the first fifteen entries get slots.
    std::vector<std::string> many;
    for (int i = 1; i <= 17; ++i) {
        many.push_back("/original/" + std::to_string(100 + i));
    }
    const auto full = ArcadePageSlots(many, ProgressRecord());
    EXPECT_TRUE(full.back().shown);
    EXPECT_EQ(full.back().levelPath, "/level/original/115.xml");
}

} // namespace
} // namespace bsh
