// What a player's hands do reaches the game as they did it: a button pressed
// and let go within one frame is a click (a touchpad's tap), ten characters
// typed within one frame keep their order, and two starts of a level in one
// run deal two boards, the same again in a run with the same seed.

#include "e2e/scriptedrun.h"

#include <gtest/gtest.h>

#include <sstream>

namespace e2e {
namespace {

// The cells of a dump, without the score, time and objective lines.
std::string Board(const std::string& dump)
{
    std::istringstream in(dump);
    std::string board;
    for (std::string line; std::getline(in, line);) {
        if (line.find("J") != std::string::npos && line.find("..") != std::string::npos) {
            board += line + "\n";
        }
    }
    return board;
}

} // namespace

TEST(PlayerInputTest, APressAndReleaseWithinOneFrameIsAClick)
{
    ScratchDir dir;
    const std::string p = dir.Path();
    // The main menu's quest button, clicked by a down and an up in one frame.
    const int status = RunPastIntro(dir, kNameAnn +
                                         "at 3000 ui " + p + "menu.txt\n"
                                         "at 3000 move 400 132\n"
                                         "at 3100 down left\n"
                                         "at 3100 up left\n"
                                         "at 4500 ui " + p + "map.txt\n"
                                         "at 4600 quit\n");
    ASSERT_EQ(status, 0) << ReadFile(p + "stderr.txt");
    const std::string menu = ReadFile(p + "menu.txt");
    ASSERT_NE(menu.find("\tquestbutton\tbutton\t1\t1\t400\t132\t"), std::string::npos) << menu;
    EXPECT_EQ(UiScreens(ReadFile(p + "map.txt")), "map");
}

TEST(PlayerInputTest, TenCharactersTypedWithinOneFrameKeepTheirOrder)
{
    ScratchDir dir;
    const std::string p = dir.Path();
    const int status = RunPastIntro(dir, "at 1300 text abcdefghij\n"
                                         "at 1400 ui " + p + "typed.txt\n"
                                         "at 1500 text aab ba\n"
                                         "at 1600 ui " + p + "more.txt\n"
                                         "at 1700 quit\n");
    ASSERT_EQ(status, 0) << ReadFile(p + "stderr.txt");
    EXPECT_EQ(Caption(ReadFile(p + "typed.txt"), "editbox"), "abcdefghij");
    // A key typed twice in a row, and a blank, within one frame.
    EXPECT_EQ(Caption(ReadFile(p + "more.txt"), "editbox"), "abcdefghijaab ba");
}

TEST(PlayerInputTest, EachLevelStartDealsItsOwnBoardAndTheSameSeedDealsThemAgain)
{
    // The first level from the chart, left, and started afresh (the saved
    // run declined): the same level twice in one run.
    const auto play = [](const ScratchDir& dir, const std::string& seed) {
        const std::string p = dir.Path();
        const int status = RunPastIntro(dir, kNameAnn +
                                             "at 3000 press questbutton\n"
                                             "at 4400 press playbutton\n"
                                             "at 6000 dump " + p + "first.txt\n"
                                             "at 6100 press closebutton\n"
                                             "at 6400 press yesbutton\n"
                                             "at 8200 press questbutton\n"
                                             "at 8500 press nobutton\n"
                                             "at 9900 press playbutton\n"
                                             "at 11500 dump " + p + "second.txt\n"
                                             "at 11600 quit\n",
                                        "--seed " + seed);
        EXPECT_EQ(status, 0) << ReadFile(p + "stderr.txt");
        return std::make_pair(Board(ReadFile(p + "first.txt")), Board(ReadFile(p + "second.txt")));
    };
    ScratchDir one, two;
    const auto [first, second] = play(one, "5");
    ASSERT_FALSE(first.empty());
    ASSERT_FALSE(second.empty());
    EXPECT_NE(first, second);
    const auto [firstAgain, secondAgain] = play(two, "5");
    EXPECT_EQ(first, firstAgain);
    EXPECT_EQ(second, secondAgain);
}

TEST(PlayerInputTest, TheKeysAloneChooseALevelOnTheChart)
{
    ScratchDir dir;
    const std::string p = dir.Path();
    // Name, Return on the menu's first button, then Down from the chart's
    // default focus onto the open sphere, and Return on it.
    const int status = RunPastIntro(dir, "at 1300 text Ann\n"
                                         "at 1400 key KEY_RETURN\n"
                                         "at 3000 key KEY_RETURN\n"
                                         "at 4600 key KEY_DOWN\n"
                                         "at 4700 ui " + p + "focused.txt\n"
                                         "at 4800 key KEY_RETURN\n"
                                         "at 6800 ui " + p + "level.txt\n"
                                         "at 6900 quit\n");
    ASSERT_EQ(status, 0) << ReadFile(p + "stderr.txt");
    const std::string focused = ReadFile(p + "focused.txt");
    EXPECT_EQ(UiFocus(focused), "sphere") << focused;
    EXPECT_EQ(UiScreens(ReadFile(p + "level.txt")).rfind("game", 0), 0u) << ReadFile(p + "level.txt");
}

} // namespace e2e
