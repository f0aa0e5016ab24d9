// The sea chart and the arcade selection as a new player meets them: the
// pictures they show, and where their buttons lead.

#include "e2e/scriptedrun.h"
#include "support/golden.h"

#include <gtest/gtest.h>

namespace e2e {
namespace {

class QuestMapRunTest : public ::testing::Test {
protected:
    int Run(const std::string& script)
    {
        return RunDrawnPastIntro(dir, script, "--seed 1", "-u LC_ALL -u LC_MESSAGES LANG=C");
    }
    std::string Log() const { return ReadFile(dir.Path() + "stderr.txt"); }
    std::string Screens(const std::string& file) const { return testsupport::UiScreens(ReadFile(dir.Path() + file)); }
    void ExpectGolden(const std::string& shot, const std::string& name)
    {
        testsupport::ExpectGolden(dir.Path() + shot, BSH_SOURCE_DIR "/tests/e2e/golden/" + name + ".png");
    }

    ScratchDir dir;
};

// A new player's chart: page 1 with only the first level, and the pointer parked at sea.
TEST_F(QuestMapRunTest, NewPlayerSeesTheFirstPageOfTheChart)
{
    const std::string p = dir.Path();
    ASSERT_EQ(Run("at 1200 type Ann\nat 1300 press yesbutton\nat 3000 press questbutton\n"
                  "at 4200 move 560 120\nat 4400 screenshot " + p + "map.png\nat 4410 ui " + p + "map.txt\n"
                  "at 4500 press rightarrow\nat 5700 ui " + p + "page2.txt\n"
                  "at 5800 press closebutton\nat 7200 ui " + p + "menu.txt\nat 7300 quit\n"),
              0)
        << Log();
    EXPECT_EQ(Screens("map.txt"), "map");
    ExpectGolden("map.png", "quest-map");
    EXPECT_EQ(Screens("menu.txt"), "background mainmenu");
    // The page the player left the chart on is kept with the profile.
    EXPECT_NE(ReadFile(p + "page2.txt").find("\tleftarrow\tbutton\t1\t1"), std::string::npos);
}

// Set 1 with its pictures: the first level open, the rest locked; a locked
// level says so, the open one starts in arcade mode.
TEST_F(QuestMapRunTest, ArcadeSelectionLocksWhatTheQuestHasNotWon)
{
    const std::string p = dir.Path();
    ASSERT_EQ(Run("at 1200 type Ann\nat 1300 press yesbutton\nat 3000 press arcadebutton\n"
                  "at 4200 move 700 560\nat 4400 screenshot " + p + "arcade.png\n"
                  "at 4500 press button2\nat 4800 ui " + p + "locked.txt\nat 4900 press yesbutton\n"
                  "at 5300 press button1\nat 6600 ui " + p + "level.txt\nat 6700 quit\n"),
              0)
        << Log();
    ExpectGolden("arcade.png", "arcade-selection");
    EXPECT_EQ(Screens("locked.txt"), "background arcademap info");
    EXPECT_NE(Screens("level.txt").find("game"), std::string::npos) << Screens("level.txt");
    EXPECT_NE(ReadFile(p + "xdg/Tarvel/Brinestoneharbour/log.html").find("Level started: /level/original/001.xml"),
              std::string::npos);
}

} // namespace
} // namespace e2e
