// The same level and seed give the same game: twice in one process on the
// rules alone, and through the screen (--autoplay) as on the rules alone
// (--simulate).

#include "e2e/scriptedrun.h"
#include "game/board/levelsession.h"
#include "game/board/playfield.h"
#include "game/progress/boardscoring.h"
#include "game/progress/gamestate.h"
#include "game/progress/levelplay.h"
#include "support/scratchstorage.h"
#include "support/testsupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace bsh::test {
namespace {

struct Played {
    std::vector<std::string> moves;
    BoardResult result;
    std::string finalBoard;
    int32_t score = 0;
};

class RecordingCues : public SessionCues {
public:
    void OnMove(int x1, int y1, int x2, int y2) override
    {
        moves.push_back(std::to_string(x1) + "," + std::to_string(y1) + "-" + std::to_string(x2) + "," +
                        std::to_string(y2));
    }
    void OnFinished(BoardResult&) override { finished = true; }
    std::vector<std::string> moves;
    bool finished = false;
};

Played PlayWithBot(const std::string& level, uint32_t seed)
{
    ScratchStorage storage;
    GameState state(GameStatePaths{storage.File("nomap.xml"), storage.Path() + "noset%d.xml"});
    state.Profiles().Add(tsv::IntrusivePtr<Profile>(new Profile("Bo")));
    state.PrepareLevel(level, GameMode::Arcade);
    state.ResetLevelStats();

    int64_t now = 0;
    BoardScoring scoring(state);
    PlayFieldPtr board = tsv::MakeIntrusive<PlayField>(scoring, [&now] { return now; });
    board->Seed(seed);
    EXPECT_TRUE(LoadLevelForPlay(state, level, *board));
    RecordingCues cues;
    LevelSession session(*board, cues, LevelSession::Player::Bot, LevelSession::kHintDelayQuiet);
    session.Start(level);
    for (int frame = 0; frame < 100000 && !cues.finished; ++frame) {
        now += 10;
        session.Frame();
    }
    EXPECT_TRUE(cues.finished) << level << " never ended";
    return {cues.moves, session.Result(), board->DumpText(), state.CurrentProfile()->Record().GetScore(GameMode::Arcade)};
}

TEST(DeterminismTest, TheSameSeedPlaysTheSameGameTwice)
{
    const Played first = PlayWithBot("/level/sample/04.xml", 7);
    const Played second = PlayWithBot("/level/sample/04.xml", 7);
    ASSERT_FALSE(first.moves.empty());
    EXPECT_EQ(first.moves, second.moves);
    EXPECT_EQ(first.score, second.score);
    EXPECT_GT(first.score, 0);
    EXPECT_EQ(first.finalBoard, second.finalBoard);
    EXPECT_EQ(first.result.timePlayedMs, second.result.timePlayedMs);

    // Another seed is another game.
    const Played other = PlayWithBot("/level/sample/04.xml", 8);
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
