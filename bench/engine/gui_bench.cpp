// A screen of 200 components (a panel holding buttons with pictures and
// captions, labels and edit boxes): the cost per frame of handing it the
// frame's input and of the scene update of its nodes, and the cost of reading
// screen files. Runs from the source folder, with the game's English texts.
// Also the switch to each language of the table, as the options make it.

#include "engine/core/util/file/resourcepath.h"
#include "engine/gui/engine.h"
#include "engine/gui/languagemanager.h"
#include "engine/gui/screen.h"
#include "engine/platform/clock.h"
#include "engine/platform/runoptions.h"
#include "engine/runtime/application.h"
#include "engine/scene/frameloop.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <unistd.h>

namespace {

using namespace tsv;

constexpr int kFrameMs = 16;
constexpr int kComponents = 200; // the root panel and its children
constexpr const char* kScreenPath = "/tmp/bsh-bench-screen200.xml";

void Prepare()
{
    static bool s_ready = [] {
        if (::chdir(BSH_SOURCE_DIR) != 0) {
            std::perror("chdir");
        }
        GetRunOptions().headless = true;
        ClockSetFixedStep(1);
        static Engine s_engine; // the benchmark's own, kept to the end
        s_engine.StartScene();
        // English for this run only: the settings file stays as it is.
        LanguageManager::Instance().Start(kLanguageFolder, "English", 0);

        // 20 rows of 10: buttons with pictures, labels and a few edit boxes.
        std::string xml = "<screen><name>bench</name><layer>10</layer><rootcomponent><name>root</name>"
                          "<type>panel</type><width>800</width><height>600</height>";
        for (int i = 1; i < kComponents; ++i) {
            const int x = (i % 10) * 80 - 360, y = (i / 10) * 30 - 285;
            const char* type = i % 3 == 0 ? "label" : i % 17 == 0 ? "editbox" : "button";
            xml += "<component><name>c" + std::to_string(i) + "</name><type>" + type + "</type><xcenter>" +
                   std::to_string(x) + "</xcenter><ycenter>" + std::to_string(y) +
                   "</ycenter><width>76</width><height>26</height><caption>Item " + std::to_string(i) +
                   "</caption><hint>$Dialog.yesHint</hint><captionshadowcolor>0x80000000</captionshadowcolor>"
                   "<event><name>create</name><node>/object/gui/dialogbutton.xml</node></event></component>";
        }
        xml += "</rootcomponent></screen>";
        if (FILE* f = std::fopen(kScreenPath, "wb")) {
            std::fwrite(xml.data(), 1, xml.size(), f);
            std::fclose(f);
        }
        return true;
    }();
    (void)s_ready;
}

void NextFrame()
{
    for (int i = 0; i < kFrameMs; ++i) {
        ClockAdvanceFrame();
    }
    Application::Instance().GetSystemTimer().Run();
    Application::Instance().GetTimer().Run();
}

// The mouse sweeps across the rows and clicks every 10th frame, so hover,
// press, release and click events happen as a player would cause them.
GuiInput SweepInput(int64_t frame)
{
    GuiInput input;
    input.now = Application::Instance().GetSystemTimer().GetTime();
    input.x = static_cast<float>(frame * 7 % 800 - 400);
    input.y = static_cast<float>(frame * 3 % 600 - 300);
    input.leftDown = frame % 10 < 2;
    return input;
}

void BM_ScreenInput(benchmark::State& state, bool withSceneUpdate)
{
    Prepare();
    Scene& scene = Scene::Instance();
    scene.DetachAll();
    ScreenPtr screen = MakeIntrusive<Screen>();
    screen->LoadScreenFile(kScreenPath);
    screen->OnAdd();
    screen->GetRoot()->GetNode()->SetVisible(true, Scope::Node);
    int64_t frame = 0;
    for (auto _ : state) {
        state.PauseTiming();
        NextFrame();
        const GuiInput input = SweepInput(frame++);
        state.ResumeTiming();
        screen->DeliverInput(input);
        if (withSceneUpdate) {
            scene.UpdateNodes();
            scene.EndStep();
        }
    }
    screen->OnRemove();
    state.counters["components"] = kComponents;
}

void BM_ScreenInputOnly(benchmark::State& state) { BM_ScreenInput(state, false); }
void BM_ScreenInputAndUpdate(benchmark::State& state) { BM_ScreenInput(state, true); }

void BM_LoadScreenFile(benchmark::State& state, const char* path)
{
    Prepare();
    for (auto _ : state) {
        ScreenPtr screen = MakeIntrusive<Screen>();
        benchmark::DoNotOptimize(screen->LoadScreenFile(path));
    }
}

// A language switch: the language file read and converted to its code page,
// its two fonts and its icon set. The scene keeps every texture it has
// loaded, so only the first switch to a language decodes its font textures;
// each iteration decodes and frees them again through the platform, which
// makes every iteration cost what that first switch costs.
void BM_SwitchLanguage(benchmark::State& state)
{
    Prepare();
    const LanguageId id = static_cast<LanguageId>(state.range(0));
    LanguageManager& languages = LanguageManager::Instance();
    Platform& platform = *FrameLoop::Instance().GetPlatform();
    for (auto _ : state) {
        languages.SwitchLanguage(id, LanguageManager::ESetting::Keep);
        for (int32_t slot = 0; slot < 2; ++slot) {
            if (const Font* font = languages.GetFont(slot)) {
                platform.TextureFree(platform.TextureLoad(ResolveResourcePath(font->GetTexturePath())));
            }
        }
    }
    state.SetLabel(LanguageName(id));
    languages.SwitchLanguage(kEnglish, LanguageManager::ESetting::Keep);
}

BENCHMARK(BM_ScreenInputOnly)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ScreenInputAndUpdate)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_LoadScreenFile, inputscreen, "/gui/inputscreen.xml")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_LoadScreenFile, screen200, kScreenPath)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SwitchLanguage)->DenseRange(0, kLanguageCount - 1)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
