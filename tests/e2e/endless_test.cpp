// Playing without the clock, as a player finds it through the menus: the
// endless board, kept for its player with their bests, and a quest level on
// the relaxed clock; the bot's endless run of its own; a damaged endless file.

#include "e2e/scriptedrun.h"
#include "support/golden.h"

#include <gtest/gtest.h>

#include <regex>

namespace e2e {
namespace {

// A first start drawn, the player named Ann at once.
int RunDrawn(const ScratchDir& dir, const std::string& script, const std::string& args)
{
    return RunDrawnPastIntro(dir, kNameAnn + script, "--seed 1 " + args);
}

void ExpectGolden(const ScratchDir& dir, const std::string& shot, const std::string& name)
{
    testsupport::ExpectGolden(dir.Path() + shot, BSH_SOURCE_DIR "/tests/e2e/golden/" + name + ".png", {.half = true});
}

// The figures of an endless JSON line: score, moves, longest cascade, pieces cleared.
std::vector<long> Figures(const std::string& text)
{
    static const std::regex line(R"(\{"mode": "endless", "score": (\d+), "moves": (\d+), )"
                                 R"("longest_cascade": (\d+), "pieces_cleared": (\d+)\})");
    std::smatch found;
    if (!std::regex_search(text, found, line)) {
        return {};
    }
    return {std::stol(found[1]), std::stol(found[2]), std::stol(found[3]), std::stol(found[4])};
}

const char* const kAnnsBoard = "endless-416E6E.dat";

// From the main menu: the bot plays for Ann, she leaves, the highscores show
// her bests, and the board she left is the one she finds next time, its
// figures and her bests on the plate beside it.
TEST(EndlessRunTest, TheBoardFromTheMenuIsKeptWithThePlayersBests)
{
    ScratchDir dir;
    const std::string p = dir.Path();
    ASSERT_EQ(RunDrawn(dir,
                       "at 4000 press endlessbutton\n"
                       "at 20200 press closebutton\n"
                       "at 20500 press yesbutton\n"
                       "at 22500 press hiscorebutton\n"
                       "at 24000 ui " + p + "highscores.txt\n"
                       "at 24100 quit\n",
                       "--autoplay"),
              0)
        << ReadFile(p + "stderr.txt");
    ASSERT_TRUE(testsupport::FileExists(Storage(dir) + kAnnsBoard));
    const std::string bests = Caption(ReadFile(p + "highscores.txt"), "endlessbests");
    std::smatch shown;
    ASSERT_TRUE(std::regex_search(bests, shown, std::regex(R"((\d+) points, cascade (\d+), (\d+) pieces)"))) << bests;

    // Ann comes back and plays on herself: the board she left, its figures her bests.
    ASSERT_EQ(RunScriptWith(dir, "--headless --fixed-step 10 --seed 1",
                            testsupport::PastTheLoader("at 1000 press endlessbutton\n"
                                                       "at 3000 dump " + p + "again.txt\n"
                                                       "at 3000 move 700 580\n"
                                                       "at 3100 screenshot " + p + "endless.png\n"
                                                       "at 3200 quit\n")),
              0)
        << ReadFile(p + "stderr.txt");
    ExpectGolden(dir, "endless.png", "endless");
    const std::vector<long> again = Figures(ReadFile(p + "again.txt"));
    ASSERT_EQ(again.size(), 4u) << ReadFile(p + "again.txt");
    EXPECT_GT(again[1], 5); // the bot's moves
    EXPECT_EQ(again[0], std::stol(shown[1]));
    EXPECT_EQ(again[2], std::stol(shown[2]));
    EXPECT_EQ(again[3], std::stol(shown[3]));
    EXPECT_NE(ReadFile(p + "stderr.txt").find("Endless board found again"), std::string::npos);
}

TEST(EndlessRunTest, TheBoardsPlateInJapanese)
{
    ScratchDir dir;
    ASSERT_EQ(RunDrawn(dir,
                       "at 4000 press endlessbutton\n"
                       "at 9000 move 700 580\n"
                       "at 9100 screenshot " + dir.Path() + "endless.png\n"
                       "at 9200 quit\n",
                       "--language Japan"),
              0)
        << ReadFile(dir.Path() + "stderr.txt");
    ExpectGolden(dir, "endless.png", "endless-japanese");
}

// The Options' Clock line set to Relaxed, then the quest's first level: a
// full, calm time bar whose time left stays at the limit.
TEST(EndlessRunTest, ARelaxedQuestLevelFromTheOptions)
{
    ScratchDir dir;
    const std::string p = dir.Path();
    ASSERT_EQ(RunDrawn(dir,
                       "at 4000 press optionsbutton\n"
                       "at 6000 click 630 418\n"
                       "at 6200 press okbutton\n"
                       "at 8000 press questbutton\n"
                       "at 9500 press playbutton\n"
                       "at 14000 click 700 580\n" // the tutorial texts read
                       "at 17000 click 700 580\n"
                       "at 20000 click 700 580\n"
                       "at 25000 move 700 580\n"
                       "at 25100 screenshot " + p + "relaxed.png\n"
                       "at 25200 dump " + p + "relaxed.txt\n"
                       "at 25300 quit\n",
                       ""),
              0)
        << ReadFile(p + "stderr.txt");
    ExpectGolden(dir, "relaxed.png", "relaxed-hud");
    std::smatch time;
    const std::string dump = ReadFile(p + "relaxed.txt");
    ASSERT_TRUE(std::regex_search(dump, time, std::regex(R"(time (\d+) (\d+) (\d+))"))) << dump;
    EXPECT_EQ(time[1], time[2]);            // nothing taken off the limit
    EXPECT_GT(std::stol(time[3]), 5000);    // while the time played counts
}

// --mode endless with the bot: a fresh board each run, the same figures for
// the same seed, and nothing of the player's touched.
TEST(EndlessRunTest, TheBotsOwnRunPrintsItsFiguresAndKeepsNothing)
{
    ScratchDir dir;
    const std::string p = dir.Path();
    std::string first;
    for (int run = 0; run < 2; ++run) {
        ASSERT_EQ(RunProgram(dir, "--headless --no-render --fixed-step 10 --seed 5 --mode endless --autoplay "
                                  "--frames 3000"),
                  0)
            << ReadFile(p + "stderr.txt");
        const std::string line = ReadFile(p + "stdout.txt");
        const std::vector<long> figures = Figures(line);
        ASSERT_EQ(figures.size(), 4u) << line;
        EXPECT_GT(figures[0], 0);
        EXPECT_GT(figures[1], 5);
        EXPECT_GE(figures[2], 1);
        EXPECT_GT(figures[3], 3 * figures[1] - 1); // each move clears a run of three at least
        EXPECT_EQ(std::count(line.begin(), line.end(), '\n'), 1);
        if (run == 0) {
            first = line;
        } else {
            EXPECT_EQ(line, first);
        }
    }
    EXPECT_FALSE(testsupport::FileExists(Storage(dir) + "extras.dat"));
    EXPECT_NE(RunProgram(dir, "--headless --no-render --mode endless --level data/level/original/001.xml"), 0);
    EXPECT_NE(ReadFile(p + "stderr.txt").find("--mode endless plays its own board"), std::string::npos);
}

// A damaged endless file is moved aside and a new board starts; the profiles
// and the extras are as they were.
TEST(EndlessRunTest, ADamagedBoardStartsAfreshAndLosesNothingElse)
{
    ScratchDir dir;
    const std::string p = dir.Path();
    const std::string storage = Storage(dir);
    ASSERT_EQ(RunPastIntro(dir, kNameAnn + "at 4000 press endlessbutton\nat 6000 quit\n"),
              0)
        << ReadFile(p + "stderr.txt");
    std::string board = ReadFile(storage + kAnnsBoard);
    ASSERT_GT(board.size(), 100u);
    board.resize(board.size() / 2); // cut off in the middle of the board
    WriteFile(storage + kAnnsBoard, board);
    const std::string profiles = ReadFile(storage + "profiles.dat");

    ASSERT_EQ(RunReturning(dir, "at 1000 press endlessbutton\nat 3000 dump " + p + "fresh.txt\nat 3100 quit\n"),
              0)
        << ReadFile(p + "stderr.txt");
    EXPECT_TRUE(testsupport::HasDamagedCopy(storage, kAnnsBoard));
    EXPECT_NE(ReadFile(p + "stderr.txt").find("the endless board is damaged; a new one starts"), std::string::npos);
    EXPECT_EQ(Figures(ReadFile(p + "fresh.txt")), (std::vector<long>{0, 0, 0, 0}));
    EXPECT_EQ(ReadFile(storage + "profiles.dat"), profiles);
    EXPECT_GT(ReadFile(storage + kAnnsBoard).size(), 100u); // the new board kept in its place
}

} // namespace
} // namespace e2e
