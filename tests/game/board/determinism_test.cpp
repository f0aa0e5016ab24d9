// The same level and seed give the same game: twice in one process on the
// rules alone, and through the screen (--autoplay) as on the rules alone
// (--simulate).

#include "e2e/scriptedrun.h"
#include "game/board/botrun.h"
#include "support/testsupport.h"

namespace bsh::test {
namespace {

TEST(DeterminismTest, TheSameSeedPlaysTheSameGameTwice)
{
    const BotRun first = PlayWithBot("/level/sample/04.xml", GameMode::Arcade, 7);
    const BotRun second = PlayWithBot("/level/sample/04.xml", GameMode::Arcade, 7);
    ASSERT_FALSE(first.moves.empty());
    EXPECT_EQ(first.moves, second.moves);
    EXPECT_EQ(first.score, second.score);
    EXPECT_GT(first.score, 0);
    EXPECT_EQ(first.finalBoard, second.finalBoard);
    EXPECT_EQ(first.result.timePlayedMs, second.result.timePlayedMs);

    // Another seed is another game.
    const BotRun other = PlayWithBot("/level/sample/04.xml", GameMode::Arcade, 8);
    EXPECT_NE(first.moves, other.moves);
}

// What the game writes to standard output for ARGS.
std::string RunLine(const std::string& args)
{
    testsupport::ScratchDir dir;
    e2e::RunProgram(dir, args);
    return testsupport::ReadFile(dir.Path() + "stdout.txt");
}

TEST(DeterminismTest, SimulateReportsWhatAutoplayPlays)
{
    for (const char* seed : {"3", "11"}) {
        const std::string common = std::string("--fixed-step 10 --level data/level/sample/04.xml --seed ") + seed;
        const std::string screen = RunLine("--headless --no-render " + common + " --autoplay");
        const std::string rules = RunLine(common + " --simulate");
        ASSERT_NE(screen.find("\"won\": "), std::string::npos) << screen;
        EXPECT_EQ(screen, rules) << "seed " << seed;
    }
}

} // namespace
} // namespace bsh::test
