// One scene of 270 textured 40 x 40 board-sized nodes plus N moving particles:
// the scene update step and the building and submitting of the frame's vertex
// batches, per frame, beside a baseline that hands the same quads to
// SDL_RenderGeometry from prepared arrays.

#include "engine/platform/clock.h"
#include "engine/platform/runoptions.h"
#include "engine/platform/sdl/sdlplatform.h"
#include "engine/runtime/application.h"
#include "engine/gui/engine.h"
#include "engine/scene/frameloop.h"
#include "engine/scene/scenenode.h"

#include <SDL.h>
#include <SDL_image.h>
#include <benchmark/benchmark.h>

#include <chrono>
#include <string>
#include <vector>

namespace {

using namespace tsv;
using Clock = std::chrono::steady_clock;

constexpr int kFrameMs = 16;
constexpr int kColumns = 18, kRows = 15; // 270 cells of 40 pixels

std::string MakeTexture(const char* name, int size, uint32_t colour)
{
    const std::string path = std::string("/tmp/bsh-bench-") + name + ".png";
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormat(0, size, size, 32, SDL_PIXELFORMAT_ARGB8888);
    SDL_FillRect(surface, nullptr, colour);
    IMG_SavePNG(surface, path.c_str());
    SDL_FreeSurface(surface);
    return path;
}

void NextFrame()
{
    for (int i = 0; i < kFrameMs; ++i) {
        ClockAdvanceFrame();
    }
    Application::Instance().GetSystemTimer().Run();
    Application::Instance().GetTimer().Run();
}

FrameLoop& HeadlessScene()
{
    GetRunOptions().headless = true;
    if (ClockFixedStep() != 1) {
        ClockSetFixedStep(1);
    }
    // The benchmark's own engine, built on its first use and kept to the end.
    static Engine s_engine;
    static const bool s_started = s_engine.StartScene();
    (void)s_started;
    return s_engine.GetFrameLoop();
}

void BuildScene(Scene& scene, int particles)
{
    scene.DetachAll();
    // One texture for all: the frame is a single batch, so the time of walking
    // the set and building vertices can be told apart from the submission.
    static const std::string cell = MakeTexture("cell", 40, 0xC03070C0);
    for (int r = 0; r < kRows; ++r) {
        for (int c = 0; c < kColumns; ++c) {
            SceneNodePtr node = MakeIntrusive<SceneNode>();
            node->SetTexture(cell);
            node->SetMesh(Mesh(40, 40));
            node->SetPosition({40.0f * c - 350, 40.0f * r - 260, 0});
            scene.AddNode(node, Scope::Subtree, Attach::Now);
        }
    }
    for (int i = 0; i < particles; ++i) {
        SceneNodePtr node = MakeIntrusive<SceneNode>();
        node->SetTexture(cell);
        node->SetMesh(Mesh(8, 8));
        node->SetLayer(10, Scope::Node);
        node->SetPosition({static_cast<float>(i * 37 % 760 - 380), static_cast<float>(i * 53 % 560 - 280), 0});
        node->SetVelocity({50, 0, 0});
        node->SetTurning(Turning::Circling, 3.14159f); // circles of about 16 pixels: particles stay on screen
        node->SetRotateToDirection(true);
        scene.AddNode(node, Scope::Subtree, Attach::Now);
    }
}

// The quads the scene draws, as ready vertex arrays.
struct Baseline {
    SDL_Texture* texture = nullptr;
    std::vector<SDL_Vertex> vertices;
    std::vector<int> indices;
};

Baseline PrepareBaseline(FrameLoop& loop)
{
    auto* platform = static_cast<SdlPlatform*>(loop.GetPlatform());
    Baseline b;
    loop.GetScene().ForEachDrawn([&](const HierarchyNode& base) {
        const auto& node = static_cast<const SceneNode&>(base);
        float c[8];
        if (!node.ComputeCorners(c)) {
            return;
        }
        b.texture = platform->GetSdlTexture(node.GetSprite()->GetTexture());
        const float u = node.GetMesh().width / 40.0f, v = node.GetMesh().height / 40.0f;
        const float uv[8] = {0, 0, u, 0, u, v, 0, v};
        const int first = static_cast<int>(b.vertices.size());
        for (int i = 0; i < 4; ++i) {
            const uint32_t colour = node.GetSprite()->GetColor(i);
            SDL_Vertex vertex;
            vertex.position = {c[2 * i], c[2 * i + 1]};
            vertex.color = {static_cast<Uint8>(colour >> 16), static_cast<Uint8>(colour >> 8), static_cast<Uint8>(colour),
                       static_cast<Uint8>(colour >> 24)};
            vertex.tex_coord = {uv[2 * i], uv[2 * i + 1]};
            b.vertices.push_back(vertex);
        }
        for (int k : {0, 1, 2, 0, 2, 3}) {
            b.indices.push_back(first + k);
        }
    });
    return b;
}

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

void BM_SceneFrame(benchmark::State& state)
{
    FrameLoop& loop = HeadlessScene();
    Scene& scene = loop.GetScene();
    Platform& platform = *loop.GetPlatform();
    auto* sdl = static_cast<SdlPlatform*>(&platform);
    BuildScene(scene, static_cast<int>(state.range(0)));
    NextFrame();
    scene.UpdateNodes();
    Baseline baseline = PrepareBaseline(loop);

    double update = 0, build = 0, submit = 0, base = 0;
    int batches = 0;
    SDL_Renderer* renderer = sdl->GetRenderer();
    SDL_SetTextureBlendMode(baseline.texture, SDL_BLENDMODE_BLEND);
    for (auto _ : state) {
        NextFrame();
        const auto t0 = Clock::now();
        scene.UpdateNodes();
        scene.EndStep();
        const auto t1 = Clock::now();
        platform.GfxBeginScene();
        loop.DrawScene(); // walks the set and builds the batch
        const auto t2 = Clock::now();
        platform.GfxEndScene(); // submits it
        const auto t3 = Clock::now();
        SDL_RenderGeometry(renderer, baseline.texture, baseline.vertices.data(),
                           static_cast<int>(baseline.vertices.size()), baseline.indices.data(),
                           static_cast<int>(baseline.indices.size()));
        const auto t4 = Clock::now();
        update += Ms(t1 - t0);
        build += Ms(t2 - t1);
        submit += Ms(t3 - t2);
        base += Ms(t4 - t3);
        batches = platform.GetLastFrameBatchCount();
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["update_ms"] = update / n;
    state.counters["build_ms"] = build / n;
    state.counters["submit_ms"] = submit / n;
    state.counters["baseline_ms"] = base / n;
    // The engine's own work: the update and the building of the batch.
    state.counters["own_ms"] = (update + build) / n;
    state.counters["ratio"] = (update + build + submit) / base;
    state.counters["batches"] = batches;
    state.counters["nodes"] = static_cast<double>(scene.GetDrawnNodeCount());
    scene.DetachAll();
}

} // namespace

BENCHMARK(BM_SceneFrame)->Arg(1000)->Arg(5000)->Arg(20000)->Unit(benchmark::kMillisecond)->MinTime(1.0);

BENCHMARK_MAIN();
