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
#include "game/progress/endlessrun.h"
#include "game/progress/gamestate.h"
#include "game/progress/levelplay.h"
#include "game/screens/gamescreen.h"
#include "game/screens/gamemedia.h"
#include "game/screens/levelcompletescreen.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <unistd.h>
#include <vector>

namespace bsh {

namespace {

constexpr int kDefaultSimulationStepMs = 10;
// A level lasts minutes; a simulation past this many frames has gone wrong.
constexpr int64_t kSimulationFrameLimit = 100'000'000;

// The endless board's share of a soak, in game time.
constexpr int64_t kSoakEndlessMs = 120'000;

void PrintLine(const std::string& line)
{
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

// The state part of starting the level: mode, difficulty, clean statistics.
// --clock overrides the player's setting for the run.
void ApplyClockOption(GameState& state, const GameOptions& game)
{
    if (!game.clock.empty()) {
        state.SetClockOverride(game.clock == "relaxed" ? GameState::ClockOverride::Relaxed
                                                       : GameState::ClockOverride::Timed);
    }
}

GameMode PrepareState(GameState& state, const GameOptions& game)
{
    ApplyClockOption(state, game);
    const GameMode mode = ModeNamed(game.mode);
    const Difficulty difficulty = DifficultyNamed(game.difficulty);
    tsv::IntrusivePtr<Profile> profile = state.CurrentProfile();
    if (profile && mode == GameMode::Quest) {
        profile->SetDifficulty(difficulty);
    }
    state.SetFallbackDifficulty(difficulty);
    state.PrepareLevel(game.levelPath, mode);
    state.ResetLevelStats();
    return mode;
}

void PrintResult(const BoardResult& result, uint32_t seed) { PrintLine(FormatResultJson(result, seed)); }

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

namespace {

// Levels played one after another through the game and summary screens: one
// level for --level or the endless board, the quest's levels and a while of
// the endless board round and round for --soak.
// The chain lives on the task list, so it goes with the other tasks when the
// program ends; the screens' callbacks reach it by plain pointer.
class LevelChain : public tsv::Task {
public:
    void Run() override
    {
        // Soaking, the endless board is left after its share of game time.
        if (m_game.soakMinutes > 0 && m_screen && m_screen->IsEndless() && !m_screen->HasEnded() &&
            m_screen->Board().GetTimePlayed() >= kSoakEndlessMs) {
            m_screen->Leave();
        }
    }

    LevelChain(const GameOptions& game, uint32_t seed, MenuLevelDone onDone = {})
        : m_game(game), m_seed(seed), m_onDone(std::move(onDone))
    {
        if (game.soakMinutes > 0) {
            for (const auto& entry : std::filesystem::directory_iterator("data/level/original")) {
                if (entry.path().extension() == ".xml") {
                    m_levels.push_back(entry.path().string());
                }
            }
            std::sort(m_levels.begin(), m_levels.end());
            // The endless board early, so that short soaks play it too.
            m_levels.insert(m_levels.begin() + std::min<size_t>(1, m_levels.size()), kEndlessLevel);
        } else if (game.IsEndless()) {
            m_levels.push_back(kEndlessLevel);
        } else {
            m_levels.push_back(game.levelPath);
        }
    }

    bool StartNext()
    {
        if (m_levels.empty()) {
            return false;
        }
        GameState& state = GameState::Instance();
        GameOptions level = m_game;
        level.levelPath = m_levels[m_next++ % m_levels.size()];
        const bool endless = level.levelPath == kEndlessLevel;
        if (endless) {
            level.mode = "endless";
        }
        GameMode mode = GameMode::Quest;
        if (m_onDone) {
            // From the menus the profile keeps its own difficulty.
            mode = ModeNamed(level.mode);
            ApplyClockOption(state, m_game);
            state.PrepareLevel(level.levelPath, mode);
            state.ResetLevelStats();
        } else {
            mode = PrepareState(state, level);
        }
        const bool bot = m_game.autoplay || m_game.soakMinutes > 0;
        m_screen = new GameScreen(state, level.levelPath, mode,
                                  bot ? LevelSession::Player::Bot : LevelSession::Player::Person, &GameMedia::Instance(),
                                  endless ? GameScreen::Showing::Endless : GameScreen::Showing::Play);
        m_screen->SetSeed(m_seed + static_cast<uint32_t>(m_next - 1));
        // From the menus the endless board is the player's, whoever plays it;
        // the bot's runs of its own start afresh, so a seed replays them.
        m_screen->SetKeepsEndless(static_cast<bool>(m_onDone) || !bot);
        if (!m_screen->Start()) {
            m_screen = nullptr;
            return false;
        }
        m_screen->SetEndHandler([this](const BoardResult& result, GameScreen::Ending ending) {
            OnLevelEnd(result, ending);
        });
        GameScreen* screen = m_screen.Get();
        tsv::ScriptPlayer::SetDumpProvider([screen] { return screen->Dump(); });
        tsv::ScreenStack::Instance().Push(tsv::ScreenPtr(m_screen.Get()));
        return true;
    }

private:
    void OnLevelEnd(const BoardResult& result, GameScreen::Ending ending)
    {
        if (ending == GameScreen::Ending::Left) {
            if (m_onDone) {
                Finish(nullptr);
                return;
            }
            if (m_game.soakMinutes > 0 && m_screen && m_screen->IsEndless()) {
                PrintLine(FormatEndlessJson(m_screen->Tally()));
                tsv::ScreenStack::Instance().Remove(m_screen.Get());
                SoakOn(result.timePlayedMs);
                return;
            }
            tsv::Application::Instance().Exit(0);
            return;
        }
        // A played level ends on its summary. Closing it leads on through the
        // menus for a level they started; for --level it ends the run (or,
        // soaking, starts the next). The bot reads the summary to its final
        // message, as a player would.
        tsv::IntrusivePtr<LevelCompleteScreen> summary(new LevelCompleteScreen(GameState::Instance()));
        if (!result.won && m_screen) {
            const PlayField& board = m_screen->Board();
            summary->SetShortfall({board.GetCellHitsLeft(), board.GetJewelsLeft(), board.GetBlocksLeft(),
                                   board.HasArtifact() && !board.IsArtifactCollected()});
        }
        summary->SetCloseHandler([this, result, summary = summary.Get()](const NextScreenDecision& decision) {
            OnSummaryClosed(result, summary, decision);
        });
        tsv::ScreenStack::Instance().Push(tsv::ScreenPtr(summary.Get()));
        if (m_game.autoplay || m_game.soakMinutes > 0) {
            tsv::Application::Instance().GetTaskManager().AddTask(tsv::MakeIntrusive<SummaryReader>(summary), 0);
        }
    }

    void OnSummaryClosed(const BoardResult& result, LevelCompleteScreen* summary, const NextScreenDecision& decision)
    {
        if (m_game.autoplay || m_game.soakMinutes > 0) {
            PrintResult(result, m_seed);
        }
        if (m_onDone) {
            Finish(&decision);
            return;
        }
        if (m_game.soakMinutes <= 0) {
            tsv::Application::Instance().Exit(0);
            return;
        }
        tsv::ScreenStack::Instance().Remove(summary);
        tsv::ScreenStack::Instance().Remove(m_screen.Get());
        SoakOn(result.timePlayedMs);
    }

    // Soaking: the next level, or the report once the game time is up.
    void SoakOn(int64_t playedMs)
    {
        m_gameMs += playedMs;
        if (m_next == 1) {
            m_warmRssKb = ResidentKb(); // after the first level everything is loaded once
        }
        tsv::ScriptPlayer::SetDumpProvider({});
        m_screen = nullptr;
        if (m_gameMs >= m_game.soakMinutes * 60000LL || !StartNext()) {
            const long end = ResidentKb();
            std::printf("{\"soak_levels\": %zu, \"game_minutes\": %.1f, \"rss_after_first_level_kb\": %ld, "
                        "\"rss_end_kb\": %ld, \"growth_kb\": %ld}\n",
                        m_next, static_cast<double>(m_gameMs) / 60000.0, m_warmRssKb, end, end - m_warmRssKb);
            std::fflush(stdout);
            tsv::Application::Instance().Exit(0);
        }
    }

    // Back to whoever started the level; the chain's work is done.
    void Finish(const NextScreenDecision* decision)
    {
        tsv::ScriptPlayer::SetDumpProvider({});
        MenuLevelDone done = std::move(m_onDone);
        m_onDone = nullptr;
        m_screen = nullptr;
        Kill();
        done(decision);
    }

    static long ResidentKb()
    {
        long pages = 0, resident = 0;
        if (FILE* f = std::fopen("/proc/self/statm", "r")) {
            if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) {
                resident = 0;
            }
            std::fclose(f);
        }
        return resident * (::sysconf(_SC_PAGESIZE) / 1024);
    }

    GameOptions m_game;
    uint32_t m_seed;
    MenuLevelDone m_onDone;
    std::vector<std::string> m_levels;
    size_t m_next = 0;
    tsv::IntrusivePtr<GameScreen> m_screen;
    int64_t m_gameMs = 0;
    long m_warmRssKb = 0;
};

} // namespace

bool StartLevelRun(const GameOptions& game, const tsv::RunOptions& options)
{
    // Standing in for the loader screen: the preloaded sounds come first.
    tsv::SoundManager::Instance().Preload("/sound/preload.xml");
    GameMedia::Instance().PlayMusic(Music::Game);
    tsv::IntrusivePtr<LevelChain> chain(new LevelChain(game, options.seed));
    if (!chain->StartNext()) {
        return false;
    }
    tsv::Application::Instance().GetTaskManager().AddTask(tsv::IntrusivePtr<tsv::Task>(chain.Get()), 0);
    return true;
}

void ReportEndlessRun(const GameOptions& game, const tsv::RunOptions& options)
{
    if (!game.IsEndless() || (!game.autoplay && options.frames < 0)) {
        return;
    }
    for (const tsv::ScreenPtr& screen : tsv::ScreenStack::Instance().GetScreens()) {
        if (auto* board = dynamic_cast<GameScreen*>(screen.Get()); board && board->IsEndless()) {
            PrintLine(FormatEndlessJson(board->Tally()));
        }
    }
}

uint32_t LevelSeed(uint32_t runSeed, uint32_t start)
{
    if (start == 0) {
        return runSeed;
    }
    // splitmix64 of the pair: neighbouring starts get unrelated streams.
    uint64_t z = (static_cast<uint64_t>(runSeed) << 32 | start) + 0x9E3779B97F4A7C15ULL;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return static_cast<uint32_t>(z ^ (z >> 31));
}

bool StartMenuLevel(const std::string& levelPath, GameMode mode, MenuLevelDone onDone)
{
    static uint32_t s_starts = 0; // levels started from the menus in this run
    GameOptions game;
    game.levelPath = levelPath;
    game.mode = ModeName(mode);
    game.autoplay = GetGameOptions().autoplay; // the bot plays for the player and the menus go on
    GameMedia::Instance().PlayMusic(Music::Game);
    const uint32_t seed = LevelSeed(tsv::GetRunOptions().seed, s_starts++);
    tsv::IntrusivePtr<LevelChain> chain(new LevelChain(game, seed, std::move(onDone)));
    if (!chain->StartNext()) {
        return false;
    }
    tsv::Application::Instance().GetTaskManager().AddTask(tsv::IntrusivePtr<tsv::Task>(chain.Get()), 0);
    return true;
}

int RunSimulation(const GameOptions& game, const tsv::RunOptions& options, GameState& state)
{
    state.SetReadOnly(true);
    const GameMode mode = PrepareState(state, game);
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
