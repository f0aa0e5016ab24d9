// Opening the sea chart: the screen file, the twelve tiles, the ten names, and
// the quest's levels from data/level/map.xml with every level open, so that
// every sphere and every trail is built; then the scene's first update.

#include "engine/core/storage.h"
#include "engine/gui/languagemanager.h"
#include "engine/platform/clock.h"
#include "engine/platform/runoptions.h"
#include "engine/runtime/application.h"
#include "engine/scene/frameloop.h"
#include "game/progress/gamestate.h"
#include "game/startup/gameparts.h"
#include "benchparts.h"
#include "game/screens/mapscreen.h"

#include <benchmark/benchmark.h>

#include <filesystem>

namespace {

using namespace bsh;

void BM_OpenTheWholeQuestMap(benchmark::State& st)
{
    GameParts& parts = BenchParts("bsh-map-bench");
    tsv::Scene& scene = parts.Engine().GetScene();
    GameState& state = parts.State();
    state.SetReadOnly(true);
    if (!state.CurrentProfile()) {
        state.Profiles().Add(tsv::IntrusivePtr<Profile>(new Profile("Bench")));
    }
    QuestMap map;
    map.Load(state.GetPaths().questMap);
    QuestMap::OpenAll(map.Levels(), state.CurrentProfile()->Record());

    size_t trails = 0;
    for (auto _ : st) {
        scene.DetachAll();
        tsv::IntrusivePtr<MapScreen> screen(new MapScreen(state, {}));
        scene.UpdateNodes();
        scene.EndStep();
        trails = screen->GetTrailSphereCount();
        st.PauseTiming();
        screen = nullptr;
        scene.DetachAll();
        st.ResumeTiming();
    }
    st.counters["levels"] = static_cast<double>(map.Levels().size());
    st.counters["trail_spheres"] = static_cast<double>(trails);
}
BENCHMARK(BM_OpenTheWholeQuestMap)->Unit(benchmark::kMillisecond)->Iterations(20);

} // namespace

BENCHMARK_MAIN();
