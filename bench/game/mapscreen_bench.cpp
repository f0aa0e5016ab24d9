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
#include "game/screens/mapscreen.h"

#include <benchmark/benchmark.h>

#include <filesystem>

namespace {

using namespace bsh;

void BM_OpenTheWholeQuestMap(benchmark::State& st)
{
    tsv::GetRunOptions().headless = true;
    tsv::ClockSetFixedStep(1);
    const std::string storage = (std::filesystem::temp_directory_path() / "bsh-map-bench/").string();
    std::filesystem::create_directories(storage);
    tsv::SetStoragePath(storage);
    // The benchmark's own parts, over the storage folder above, kept to the end.
    static GameParts s_parts;
    static const bool s_started = s_parts.StartScene() && s_parts.StartGui(tsv::GetRunOptions());
    s_parts.StartMedia();
    s_parts.StartState();
    (void)s_started;
    tsv::Scene& scene = s_parts.Engine().GetScene();
    tsv::LanguageManager::Instance().Start(tsv::kLanguageFolder, "English", 0);
    GameState& state = s_parts.State();
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
