// One frame of the game screen during a big cascade: a full 18 x 14 board of
// bombs, dynamite and cannons set off at once, stepped with its HUD, effects
// and pictures on a headless scene (drawing not included). Each iteration is
// one 10 ms frame: the board's step, the view's sync, the HUD, then the
// scene's update of every node. Timed in thread CPU time, so a busy machine
// does not count against the frame.

#include "engine/core/storage.h"
#include "engine/gui/languagemanager.h"
#include "engine/platform/clock.h"
#include "engine/platform/runoptions.h"
#include "engine/runtime/application.h"
#include "engine/scene/frameloop.h"
#include "game/progress/gamestate.h"
#include "game/startup/gameparts.h"
#include "benchparts.h"
#include "game/screens/gamemedia.h"
#include "game/screens/gamescreen.h"

#include <benchmark/benchmark.h>

#include <ctime>
#include <filesystem>
#include <fstream>

namespace {

using namespace bsh;

// The CPU time of this thread: the engine's work in a frame, without the
// time other programs on the shared machine take from it.
double ThreadSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

void NextFrame()
{
    for (int i = 0; i < 10; ++i) {
        tsv::ClockAdvanceFrame();
    }
    tsv::Application::Instance().GetSystemTimer().Run();
    tsv::Application::Instance().GetTimer().Run();
}

std::string WriteCascadeLevel(const std::string& folder)
{
    // Rows of alternating specials: any blast reaches the next special.
    std::string rows, fill;
    const char kinds[] = {'B', 'D', 'L', 'v', '1', '2'};
    for (int y = 0; y < 14; ++y) {
        for (int x = 0; x < 18; ++x) {
            rows += kinds[(x + 2 * y) % 6];
            fill += '0';
        }
        rows += '\n';
        fill += '\n';
    }
    const std::string path = folder + "cascade.xml";
    std::ofstream(path) << "<level><time>600000</time><colors>123456</colors>"
                        << "<alias><char>B</char><type>bomb</type><color>1</color></alias>"
                        << "<alias><char>D</char><type>dynamite</type><color>2</color></alias>"
                        << "<alias><char>L</char><type>cannonleft</type><color>3</color></alias>"
                        << "<alias><char>v</char><type>cannonbottom</type><color>4</color></alias>"
                        << "<alias><char>1</char><color>5</color></alias><alias><char>2</char><color>6</color></alias>"
                        << "<playfield>\n" << rows << "</playfield><fill>\n" << fill << "</fill></level>";
    return path;
}

void BM_GameScreenFrameInABigCascade(benchmark::State& st)
{
    tsv::GetRunOptions().noRender = true;
    GameParts& parts = BenchParts("bsh-screen-bench");
    tsv::Scene& scene = parts.Engine().GetScene();
    const std::string level = WriteCascadeLevel(tsv::GetStoragePath());
    GameState& state = parts.State();
    state.PrepareLevel(level, GameMode::Arcade);
    state.ResetLevelStats();
    NextFrame();

    for (auto _ : st) {
        scene.DetachAll();
        tsv::IntrusivePtr<GameScreen> screen(
            new GameScreen(state, level, GameMode::Arcade, LevelSession::Player::Person, &GameMedia::Instance()));
        if (!screen->Start()) {
            st.SkipWithError("the cascade level did not load");
            break;
        }
        NextFrame();
        screen->Frame({{0, 0, false}});
        scene.UpdateNodes();
        scene.EndStep();
        screen->Board().ExplodeCell(0, 0, CellHit::Wear);
        // The slowest frame of the first two seconds of the chain reaction.
        double slowest = 0;
        size_t nodes = 0;
        for (int i = 0; i < 200; ++i) {
            NextFrame();
            const double begin = ThreadSeconds();
            screen->Frame({{0, 0, false}});
            scene.UpdateNodes();
            scene.EndStep();
            const double seconds = ThreadSeconds() - begin;
            if (seconds > slowest) {
                slowest = seconds;
                nodes = scene.GetDrawnNodeCount();
            }
        }
        st.SetIterationTime(slowest);
        st.counters["nodes"] = static_cast<double>(nodes);
        // How much of the board went off.
        st.counters["explosions"] = state.GetStat(GameMode::Arcade, StatCounter::Explosions);
        st.counters["cannons"] = state.GetStat(GameMode::Arcade, StatCounter::Cannons);
        state.ResetLevelStats();
        screen = nullptr;
    }
}
BENCHMARK(BM_GameScreenFrameInABigCascade)->Unit(benchmark::kMillisecond)->Iterations(5)->UseManualTime();

} // namespace

BENCHMARK_MAIN();
