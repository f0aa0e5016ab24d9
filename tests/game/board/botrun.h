#pragma once
// A level played to its end by the bot on the rules alone: a fresh player in
// a scratch folder, the board on a clock of 10 ms frames, no scene.

#include "game/board/levelsession.h"
#include "game/board/playfield.h"
#include "game/progress/boardscoring.h"
#include "game/progress/gamestate.h"
#include "game/progress/levelplay.h"
#include "support/scratchstorage.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace bsh::test {

struct BotRun {
    std::vector<std::string> moves; // "x1,y1-x2,y2" in the order played
    BoardResult result;
    std::string finalBoard;
    int32_t score = 0; // the run's, in the level's mode
    int32_t timeUsedPercent = 0;
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

// Fails the calling test when the level never loads or never ends.
inline BotRun PlayWithBot(const std::string& level, GameMode mode, uint32_t seed)
{
    ScratchStorage storage;
    GameState state(GameStatePaths{storage.File("nomap.xml"), storage.Path() + "noset%d.xml"});
    state.Profiles().Add(tsv::IntrusivePtr<Profile>(new Profile("Bo")));
    state.PrepareLevel(level, mode);
    state.ResetLevelStats();

    int64_t now = 0;
    BoardScoring scoring(state);
    PlayFieldPtr board = tsv::MakeIntrusive<PlayField>(scoring, [&now] { return now; });
    board->Seed(seed);
    EXPECT_TRUE(LoadLevelForPlay(state, level, *board)) << level;
    RecordingCues cues;
    LevelSession session(*board, cues, LevelSession::Player::Bot, LevelSession::kHintDelayQuiet);
    session.Start(level);
    for (int frame = 0; frame < 200000 && !cues.finished; ++frame) {
        now += 10;
        session.Frame();
    }
    EXPECT_TRUE(cues.finished) << level << " never ended";
    return {cues.moves, session.Result(), board->DumpText(), state.CurrentProfile()->Record().GetScore(mode),
            session.TimeUsedPercent()};
}

} // namespace bsh::test
