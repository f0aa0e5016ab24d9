// Which quest level the main menu's quest button starts, and which links its
// home-page button opens.

#include "game/startup/homepage.h"
#include "game/startup/menuflow.h"

#include "support/scratchstorage.h"

#include <gtest/gtest.h>

#include <memory>

using namespace bsh;
using tsv::IntrusivePtr;

namespace {

class NextQuestLevelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        storage.Write("map.xml", "<map>\n"
                                 "  <text>not a level</text>\n"
                                 "  <level><source>/level/original/001.xml</source></level>\n"
                                 "  <level><source>/level/original/002.xml</source></level>\n"
                                 "  <level><source>/level/original/003.xml</source></level>\n"
                                 "</map>\n");
        state = std::make_unique<GameState>(GameStatePaths{storage.File("map.xml"), storage.Path() + "set%d.xml"});
    }

    test::ScratchStorage storage;
    std::unique_ptr<GameState> state;
};

TEST_F(NextQuestLevelTest, FirstOpenUncompletedLevelOfTheCurrentDifficulty)
{
    // Without a profile, and for a fresh one, the quest begins at the start.
    EXPECT_EQ(NextQuestLevel(*state), "/level/original/001.xml");
    state->Profiles().Add(IntrusivePtr<Profile>(new Profile("Ann")));
    EXPECT_EQ(NextQuestLevel(*state), "/level/original/001.xml");

    // A completed level is passed over, in map order, not record order.
    Profile& ann = *state->CurrentProfile();
    ann.Record().SetState(GameMode::Quest, "/level/original/001.xml", LevelState::CompletedFast);
    ann.Record().SetState(GameMode::Quest, "/level/original/003.xml", LevelState::Open);
    ann.Record().SetState(GameMode::Quest, "/level/original/002.xml", LevelState::Open);
    EXPECT_EQ(NextQuestLevel(*state), "/level/original/002.xml");

    // Another difficulty keeps its own record.
    ann.SetDifficulty(Difficulty::Hard);
    EXPECT_EQ(NextQuestLevel(*state), "/level/original/001.xml");

    // Nothing left open: back to the first level rather than nowhere.
    ann.SetDifficulty(Difficulty::Normal);
    for (const char* level : {"/level/original/002.xml", "/level/original/003.xml"}) {
        ann.Record().SetState(GameMode::Quest, level, LevelState::Completed);
    }
    EXPECT_EQ(NextQuestLevel(*state), "/level/original/001.xml");

    // A map without levels gives nothing.
    storage.Write("map.xml", "<map><text>no levels</text></map>");
    EXPECT_EQ(NextQuestLevel(*state), "");
}

TEST(HomePageTest, OnlyWebLinksAreOpened)
{
    // Refused before anything is started, so no stand-in is needed.
    for (const char* link : {"", "file:///etc/passwd", "javascript:alert(1)", " https://x.example", "HTTPS://x"}) {
        EXPECT_FALSE(OpenHomePage(link)) << link;
    }
}

} // namespace
