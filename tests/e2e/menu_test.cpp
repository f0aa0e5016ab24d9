// The game started without options, as a player starts it: a new player's
// name first, the main menu over its background, a quest level from there and
// back, the home page, and the way out.

#include "e2e/scriptedrun.h"
#include "support/bytes.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

namespace e2e {

TEST(MenuRunTest, FirstRunNamesAPlayerThenMainMenuLeadsIntoAQuestLevelBackAndOut)
{
    ScratchDir dir;
    const std::string p = dir.Path();
    const int status = RunPastIntro(dir, "at 1200 ui " + p + "first.txt\n"
                                    "at 1300 type Ann\n"
                                    "at 1400 press yesbutton\n"
                                    "at 3000 ui " + p + "menu.txt\n"
                                    "at 3000 press questbutton\n"
                                    "at 4300 ui " + p + "map.txt\n"
                                    "at 4400 press playbutton\n"
                                    "at 5700 ui " + p + "level.txt\n"
                                    "at 8000 press closebutton\n"
                                    "at 8300 press yesbutton\n"
                                    "at 10000 ui " + p + "back.txt\n"
                                    "at 10100 press questbutton\n"
                                    "at 10400 ui " + p + "offer.txt\n"
                                    "at 10500 press yesbutton\n"
                                    "at 11800 ui " + p + "resumed.txt\n"
                                    "at 11900 press closebutton\n"
                                    "at 12200 press yesbutton\n"
                                    "at 13900 press questbutton\n"
                                    "at 14200 press nobutton\n"
                                    "at 15600 ui " + p + "declined.txt\n"
                                    "at 15700 quit\n");
    ASSERT_EQ(status, 0) << ReadFile(p + "stderr.txt");

    // No profile yet: the profile screen asks for a name straight away.
    EXPECT_EQ(UiScreens(ReadFile(p + "first.txt")), "background ProfileScreen input");
    EXPECT_NE(ReadFile(Storage(dir) + "profiles.dat").find("Ann"), std::string::npos);

    const std::string menu = ReadFile(p + "menu.txt");
    EXPECT_EQ(UiScreens(menu), "background mainmenu");
    EXPECT_NE(Component(menu, "welcometext").find("Ann"), std::string::npos) << Component(menu, "welcometext");
    for (const char* ready : {"questbutton", "arcadebutton", "endlessbutton", "hiscorebutton", "profilebutton",
                              "optionsbutton", "morebutton"}) {
        EXPECT_EQ(Component(menu, ready).substr(0, 3), "1\t1") << ready;
    }
    // No award yet: no treasury, and the buttons below close up.
    EXPECT_EQ(Component(menu, "treasurybutton").substr(0, 1), "0");
    EXPECT_NE(Component(menu, "version").find("Version 1.91"), std::string::npos) << Component(menu, "version");

    // The quest opens the sea chart without a background; its play button
    // starts the first level; leaving the level keeps the run and returns to
    // a new menu.
    const std::string map = ReadFile(p + "map.txt");
    EXPECT_EQ(UiScreens(map), "map");
    EXPECT_EQ(Component(map, "normalbutton").substr(0, 3), "1\t0"); // the current difficulty
    EXPECT_EQ(Component(map, "easybutton").substr(0, 3), "1\t1");
    EXPECT_EQ(Component(map, "leftarrow").substr(0, 1), "0");     // page 1 has nothing to its left
    EXPECT_EQ(Component(map, "rightarrow").substr(0, 3), "1\t1");
    EXPECT_EQ(UiScreens(ReadFile(p + "level.txt")), "game hintbox"); // a new player's first tutorial text
    EXPECT_EQ(UiScreens(ReadFile(p + "back.txt")), "background mainmenu");

    // The quest button now offers the saved run, with its score in the question.
    const std::string offer = ReadFile(p + "offer.txt");
    EXPECT_EQ(UiScreens(offer), "background mainmenu confirm");
    EXPECT_NE(Component(offer, "messagetext").find("0 points"), std::string::npos) << Component(offer, "messagetext");
    // Accepted: the level comes back; the saved run is used up.
    EXPECT_NE(UiScreens(ReadFile(p + "resumed.txt")).find("game"), std::string::npos);
    const std::string log = ReadFile(Storage(dir) + "log.html");
    EXPECT_NE(log.find("Saved run resumed: /level/original/001.xml"), std::string::npos);
    // Left again and then declined: the saved run is gone and no question stays.
    EXPECT_FALSE(std::filesystem::exists(Storage(dir) + "quest-416E6E.dat"));
    EXPECT_EQ(UiScreens(ReadFile(p + "declined.txt")).find("confirm"), std::string::npos);
}

// A quest step as a player takes it, with the bot's hands on the board: the
// chart, the first level won, the chart again with the next level open, that
// level started, left, and the main menu.
TEST(MenuRunTest, AWonLevelReturnsToTheChartWithTheNextLevelOpen)
{
    ScratchDir dir;
    const std::string p = dir.Path();
    // Tables of one low entry each: the run's score makes the quest table when it ends.
    using bsh::test::Le32;
    using bsh::test::Str;
    std::filesystem::create_directories(Storage(dir));
    WriteFile(Storage(dir) + "highscore.dat",
              Le32(2) + Le32(0) + Str("Solo") + Le32(1) + Le32(1) + Str("Solo") + Le32(1));
    const int status = RunPastIntro(dir, kNameAnn +
                                    "at 3000 press questbutton\n"
                                    "at 4400 press playbutton\n"
                                    "at 30000 ui " + p + "chart.txt\n"
                                    "at 30100 press playbutton\n"
                                    "at 31500 ui " + p + "second.txt\n"
                                    "at 32000 press closebutton\n"
                                    "at 32300 press yesbutton\n"
                                    "at 34000 ui " + p + "menu.txt\n"
                                    "at 34100 press questbutton\n"
                                    "at 34400 press nobutton\n"
                                    "at 36000 ui " + p + "table.txt\n"
                                    "at 36100 press okbutton\n"
                                    "at 38000 ui " + p + "after-table.txt\n"
                                    "at 38100 quit\n",
                                    "--seed 1 --autoplay");
    ASSERT_EQ(status, 0) << ReadFile(p + "stderr.txt");
    // The bot reports the level it won, as for --level.
    EXPECT_NE(ReadFile(p + "stdout.txt").find("\"level\": \"/level/original/001.xml\", \"won\": true"),
              std::string::npos)
        << ReadFile(p + "stdout.txt");
    EXPECT_EQ(UiScreens(ReadFile(p + "chart.txt")), "map");
    EXPECT_NE(ReadFile(Storage(dir) + "profiles.dat").find("/level/original/002.xml"), std::string::npos);
    EXPECT_NE(UiScreens(ReadFile(p + "second.txt")).find("game"), std::string::npos);
    EXPECT_NE(ReadFile(Storage(dir) + "log.html").find("Level started: /level/original/002.xml"), std::string::npos);
    EXPECT_EQ(UiScreens(ReadFile(p + "menu.txt")), "background mainmenu");
    // The saved run declined: its score enters the quest table, and the
    // table's OK leads a quest player back to the chart.
    EXPECT_EQ(UiScreens(ReadFile(p + "table.txt")), "background highscores") << ReadFile(p + "table.txt");
    EXPECT_EQ(UiScreens(ReadFile(p + "after-table.txt")), "map") << ReadFile(p + "after-table.txt");
}

TEST(MenuRunTest, TheHomePageLinkReachesXdgOpenAsOneArgumentWithoutAShell)
{
    ScratchDir dir;
    const std::string p = dir.Path();
    std::filesystem::create_directories(Storage(dir));
    WriteFile(Storage(dir) + "config.xml",
              "<config><homelink>https://example.test/a b;touch " + p + "shell-ran</homelink></config>");
    // A stand-in that records how many arguments it got and the first.
    std::filesystem::create_directories(p + "bin");
    WriteFile(p + "bin/xdg-open", "#!/bin/sh\nprintf '%s\\n%s\\n' \"$#\" \"$1\" > " + p + "opened.txt\n");
    std::filesystem::permissions(p + "bin/xdg-open", std::filesystem::perms::owner_all);
    const std::string script = kNameAnn + "at 3000 press morebutton\nat 3500 quit\n";
    ASSERT_EQ(RunPastIntro(dir, script, "--seed 1", "PATH=" + p + "bin:$PATH"), 0)
        << ReadFile(p + "stderr.txt");
    for (int wait = 0; wait < 50 && !std::filesystem::exists(p + "opened.txt"); ++wait) {
        ::usleep(100 * 1000); // the stand-in runs beside the game
    }
    EXPECT_EQ(ReadFile(p + "opened.txt"), "1\nhttps://example.test/a b;touch " + p + "shell-ran\n");
    EXPECT_FALSE(std::filesystem::exists(p + "shell-ran"));
}

// The loader, both intro screens on their own time or skipped at once, and a
// first start ending in the profile screen's question; a returning player's
// start goes from the loader straight to the main menu.
TEST(MenuRunTest, AFirstStartGoesThroughTheLoaderAndTheIntroToTheNameQuestion)
{
    ScratchDir dir;
    const std::string p = dir.Path();
    ASSERT_EQ(RunScript(dir, "at 1990 ui " + p + "loader.txt\n"
                                "at 2700 ui " + p + "intro0.txt\n"
                                "at 3000 key KEY_SPACE\n" // the title card is half a second old: it goes
                                "at 4200 ui " + p + "intro1.txt\n"
                                "at 6800 ui " + p + "stilltale.txt\n" // three seconds, left alone
                                "at 6900 down left\n"
                                "at 6910 up left\n"
                                "at 8200 ui " + p + "profile.txt\n"
                                "at 8210 type Ann\n"
                                "at 8300 press yesbutton\n"
                                "at 9000 quit\n"),
              0)
        << ReadFile(p + "stderr.txt");

    EXPECT_EQ(UiScreens(ReadFile(p + "loader.txt")), "loader");
    EXPECT_NE(ReadFile(p + "intro0.txt").find("/gui/intro/titlecard.xml"), std::string::npos);
    EXPECT_EQ(UiScreens(ReadFile(p + "intro1.txt")), "intro");
    EXPECT_NE(ReadFile(p + "intro1.txt").find("/gui/intro/tale.xml"), std::string::npos);
    EXPECT_NE(ReadFile(p + "stilltale.txt").find("/gui/intro/tale.xml"), std::string::npos);
    EXPECT_EQ(UiScreens(ReadFile(p + "profile.txt")), "background ProfileScreen input");

    const std::string log = ReadFile(Storage(dir) + "log.html");
    size_t textures = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(BSH_SOURCE_DIR "/data/texture")) {
        const std::string name = entry.path().filename().string();
        textures += name.ends_with(".png") || name.ends_with(".dds");
    }
    EXPECT_NE(log.find("Textures loaded (total: " + std::to_string(textures) + ")"), std::string::npos);
    for (const char* line : {"Preload started", "Sound preloaded", "Preload succeeded.", "Intro screen N 0 created",
                             "Intro screen N 1 created", "IntroScreen destroyed."}) {
        EXPECT_NE(log.find(line), std::string::npos) << line;
    }

    // Ann comes back: no intro, the main menu once the loader's two seconds are up.
    ASSERT_EQ(RunScript(dir, "at 2900 ui " + p + "back.txt\nat 3000 quit\n"), 0) << ReadFile(p + "stderr.txt");
    EXPECT_EQ(UiScreens(ReadFile(p + "back.txt")), "background mainmenu") << ReadFile(p + "back.txt");
}

// The profile screen and the highscores through their buttons and dialogs, as
// a player works them: a second player made, the first chosen again with OK,
// the second deleted through the question, and a table reset through its own.
TEST(MenuRunTest, PlayersAreSwitchedAndDeletedAndATableResetThroughTheirDialogs)
{
    ScratchDir dir;
    const std::string p = dir.Path();
    ASSERT_EQ(RunPastIntro(dir, kNameAnn +
                           "at 3000 press profilebutton\n"
                           "at 4600 press newbutton\n"
                           "at 5300 type Bo\n"
                           "at 5400 press yesbutton\n" // Bo plays from now: back to the menu
                           "at 7400 press profilebutton\n"
                           "at 9000 press item2\n" // Ann, below the current player
                           "at 9100 press okbutton\n"
                           "at 10800 ui " + p + "switched.txt\n"
                           "at 10900 press profilebutton\n"
                           "at 12400 press item2\n" // Bo
                           "at 12500 press deletebutton\n"
                           "at 13000 ui " + p + "asked.txt\n"
                           "at 13100 press yesbutton\n"
                           "at 13800 ui " + p + "deleted.txt\n"
                           "at 13900 press okbutton\n"
                           "at 15500 press hiscorebutton\n"
                           "at 17000 ui " + p + "tables.txt\n"
                           "at 17100 press table1clear\n"
                           "at 17500 ui " + p + "reset-asked.txt\n"
                           "at 17600 press yesbutton\n"
                           "at 18300 ui " + p + "reset.txt\n"
                           "at 18400 quit\n"),
              0)
        << ReadFile(p + "stderr.txt");
    const std::string switched = ReadFile(p + "switched.txt");
    EXPECT_EQ(UiScreens(switched), "background mainmenu");
    EXPECT_NE(Component(switched, "welcometext").find("Ann"), std::string::npos) << switched;

    const std::string asked = ReadFile(p + "asked.txt");
    EXPECT_EQ(UiScreens(asked), "background ProfileScreen confirm");
    const std::string deleted = ReadFile(p + "deleted.txt");
    EXPECT_EQ(UiScreens(deleted), "background ProfileScreen");
    EXPECT_EQ(Caption(deleted, "item1"), "Ann");
    EXPECT_EQ(Component(deleted, "item2").substr(0, 1), "0"); // no one else
    EXPECT_EQ(ReadFile(Storage(dir) + "profiles.dat").find("Bo"), std::string::npos);

    // The quest table's reset asks first, then deals the lower table.
    EXPECT_EQ(UiScreens(ReadFile(p + "tables.txt")), "background highscores");
    EXPECT_EQ(UiScreens(ReadFile(p + "reset-asked.txt")), "background highscores confirm");
    const std::string reset = ReadFile(p + "reset.txt");
    EXPECT_EQ(UiScreens(reset), "background highscores");
    // The first "score" component listed is the first table's first row.
    EXPECT_EQ(Caption(ReadFile(p + "tables.txt"), "score"), "100000");
    EXPECT_EQ(Caption(reset, "score"), "10000");
}

} // namespace e2e
