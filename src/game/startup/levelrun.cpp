#include "game/startup/levelrun.h"

#include "engine/core/log.h"
#include "engine/gui/screenstack.h"
#include "engine/runtime/application.h"
#include "engine/scene/inputmanager.h"
#include "engine/scene/scriptplayer.h"
#include "engine/sound/soundmanager.h"
#include "game/board/levelsession.h"
#include "game/board/playfield.h"
#include "game/progress/boardscoring.h"
#include "game/progress/gamestate.h"
#include "game/progress/levelplay.h"
#include "game/screens/gamescreen.h"
#include "game/screens/gamemedia.h"
#include "game/screens/levelcompletescreen.h"

#include <cstdio>

namespace bsh {

namespace {

constexpr int kDefaultSimulationStepMs = 10;
// A level lasts minutes; a simulation past this many frames has gone wrong.
constexpr int64_t kSimulationFrameLimit = 100'000'000;

// The state part of starting the level: mode, difficulty, clean statistics.
int32_t PrepareState(GameState& state, const GameOptions& game)
{
    const int32_t mode = game.mode == "quest" ? GameModeQuest : GameModeArcade;
    const int32_t difficulty = game.difficulty == "easy"   ? DifficultyEasy
                               : game.difficulty == "hard" ? DifficultyHard
                                                           : DifficultyNormal;
    tsv::IntrusivePtr<Profile> profile = state.CurrentProfile();
    if (profile && mode == GameModeQuest) {
        profile->SetDifficulty(difficulty);
    }
    state.SetFallbackDifficulty(difficulty);
    state.PrepareLevel(game.levelPath, mode);
    state.ResetLevelStats();
    return mode;
}

void PrintResult(const BoardResult& result, uint32_t seed)
{
    std::printf("%s\n", FormatResultJson(result, seed).c_str());
    std::fflush(stdout);
}

// The bot's session on the rules alone reports only its end.
class SimulationCues : public SessionCues {
public:
    void OnFinished(BoardResult&) override { finished = true; }
    bool finished = false;
};

// The bot's eyes on the level summary: it closes it once the final message shows.
class SummaryReader : public tsv::Task {
public:
    explicit SummaryReader(tsv::IntrusivePtr<LevelCompleteScreen> summary) : m_summary(std::move(summary)) {}
    void Run() override
    {
        if (m_summary && m_summary->IsFinalMessageShown()) {
            tsv::IntrusivePtr<LevelCompleteScreen> summary = std::move(m_summary);
            Kill();
            summary->CloseAsButton();
        }
    }

private:
    tsv::IntrusivePtr<LevelCompleteScreen> m_summary;
};

} // namespace

bool StartLevelRun(const GameOptions& game, const tsv::RunOptions& options)
{
    // Standing in for the loader screen: the preloaded sounds come first.
    tsv::SoundManager::Instance().Preload("/sound/preload.xml");
    GameState& state = GameState::Instance();
    const int32_t mode = PrepareState(state, game);
    GameMedia::Instance().PlayMusic(Music::Game);

    tsv::InputManager::Instance(); // polls the mouse before the board reads it
    const LevelSession::Player player = game.autoplay ? LevelSession::Player::Bot : LevelSession::Player::Person;
    tsv::IntrusivePtr<GameScreen> board(new GameScreen(state, game.levelPath, mode, player, &GameMedia::Instance()));
    board->SetSeed(options.seed);
    if (!board->Start()) {
        return false;
    }
    const bool autoplay = game.autoplay;
    const uint32_t seed = options.seed;
    board->SetEndHandler([autoplay, seed](const BoardResult& result, GameScreen::Ending ending) {
        if (ending == GameScreen::Ending::Left) {
            tsv::Application::Instance().Exit(0);
            return;
        }
        // A played level ends on its summary; until the menus lead on from
        // there, closing it ends the run. The bot reads the summary to its
        // final message, as a player would, then closes it.
        tsv::IntrusivePtr<LevelCompleteScreen> summary(new LevelCompleteScreen(GameState::Instance()));
        summary->SetCloseHandler([autoplay, seed, result](const NextScreenDecision&) {
            if (autoplay) {
                PrintResult(result, seed);
            }
            tsv::Application::Instance().Exit(0);
        });
        tsv::ScreenStack::Instance().Push(tsv::ScreenPtr(summary.Get()));
        if (autoplay) {
            tsv::Application::Instance().GetTaskManager().AddTask(
                tsv::MakeIntrusive<SummaryReader>(summary), 0);
        }
    });
    tsv::ScriptPlayer::SetDumpProvider([board] { return board->Dump(); });
    tsv::ScreenStack::Instance().Push(tsv::ScreenPtr(board.Get()));
    return true;
}

int RunSimulation(const GameOptions& game, const tsv::RunOptions& options)
{
    GameState& state = GameState::Instance();
    state.SetReadOnly(true);
    const int32_t mode = PrepareState(state, game);
    const int64_t step = options.fixedStepMs > 0 ? options.fixedStepMs : kDefaultSimulationStepMs;
    int64_t now = 0;
    BoardScoring scoring(state);
    PlayFieldPtr board = tsv::MakeIntrusive<PlayField>(scoring, [&now] { return now; });
    board->Seed(options.seed);
    if (!LoadLevelForPlay(state, game.levelPath, *board)) {
        std::fprintf(stderr, "brinestoneharbour: cannot play the level %s (the log in %s says why)\n",
                     game.levelPath.c_str(), tsv::GetStoragePath().c_str());
        return 1;
    }
    SimulationCues cues;
    LevelSession session(*board, cues, LevelSession::Player::Bot, HintDelayFor(state));
    session.Start(game.levelPath);
    for (int64_t frame = 0; !cues.finished; ++frame) {
        if (frame >= kSimulationFrameLimit || (options.frames >= 0 && frame >= options.frames)) {
            tsv::GetLog() << tsv::Error << game.levelPath << ": the simulation ended before the level did" << tsv::EndL;
            return 1;
        }
        now += step;
        session.Frame();
    }
    BoardResult result = session.Result();
    RecordLevelEnd(state, mode, session.TimeUsedPercent(), scoring.Points(), result);
    PrintResult(result, options.seed);
    return 0;
}

} // namespace bsh
