#include "engine/scene/frameloop.h"

#include "engine/core/config.h"
#include "engine/core/log.h"
#include "engine/core/util/file/resourcepath.h"
#include "engine/platform/clock.h"
#include "engine/platform/runoptions.h"
#include "engine/platform/viewfit.h"
#include "engine/runtime/application.h"
#include "engine/scene/scenenode.h"

#include <algorithm>
#include <cstdio>

namespace tsv {

namespace {

// The scene's update step, then the frame rate's detail level and the overlay.
class SceneUpdateTask : public Task {
public:
    explicit SceneUpdateTask(FrameLoop& loop) : m_loop(loop) {}
    void Run() override
    {
        Platform* platform = m_loop.GetPlatform();
        int64_t now = Application::Instance().GetSystemTimer().GetTime();
        m_loop.GetScene().UpdateNodes();
        int fps = platform ? platform->TimerGetFPS() : 0;
        m_loop.UpdateDetailLevel(now, fps);
        m_loop.UpdateOverlay(now, fps);
    }

private:
    FrameLoop& m_loop;
};

} // namespace

FrameLoop::FrameLoop(Scene& scene) : m_scene(scene) {}

bool FrameLoop::Start()
{
    if (m_platform) {
        return m_initialised;
    }
    Application& app = Application::Instance();
    Config& config = GetConfig();
    const RunOptions& options = GetRunOptions();
    if (options.forceWindowed >= 0) {
        config.fullscreen = options.forceWindowed == 0;
    }

    m_platform = CreatePlatform(options);
    m_resources = std::make_unique<ResourceManager>(*m_platform);

    m_platform->SetFrameFunc([this] { return Frame(); });
    m_platform->SetExitFunc([this] { return OnExit(); });
    m_platform->SetFocusLostFunc([this] { return OnFocusLost(); });
    m_platform->SetFocusGainFunc([this] { return OnFocusGained(); });
    m_platform->SetFullscreenToggleFunc([this] {
        ToggleFullscreen();
        return false;
    });
    // The window's last size is kept for the next start (written with the settings).
    m_platform->SetResizeFunc([](int width, int height) {
        GetConfig().windowWidth = width;
        GetConfig().windowHeight = height;
    });
    m_platform->SetTitle(app.GetWindowTitle());
    m_platform->SetFrameRateLimit(config.maxFps);
    m_platform->SetScreenWidth(config.windowWidth);
    m_platform->SetScreenHeight(config.windowHeight);
    m_platform->SetColourDepth(32);
    m_platform->SetWindowed(!config.fullscreen);
    SetSystemCursor(config.systemCursor);

    m_initialised = m_platform->SystemInitiate();
    if (m_initialised) {
        m_startCounter = ClockCounter();
        app.GetTaskManager().AddTask(IntrusivePtr<Task>(new SceneUpdateTask(*this)), 0);
    } else {
        m_startError = m_platform->SystemGetErrorMessage();
        GetLog() << Fatal << "Failed to initialize HGE: " << m_startError << EndL;
        m_platform->SystemShutdown();
    }
    return m_initialised;
}

FrameLoop::~FrameLoop()
{
    // Nodes go before the platform whose sprites they hold.
    m_scene.DetachAll();
    m_script.reset();
    m_texturesByPath.clear();
    if (m_resources) {
        m_resources->Purge();
    }
    if (m_platform && m_initialised) {
        m_platform->SystemShutdown();
    }
}

void FrameLoop::Run()
{
    if (m_initialised) {
        m_platform->SystemStart();
    }
}

void FrameLoop::SetWindowed(bool windowed)
{
    GetConfig().fullscreen = !windowed;
    if (m_platform->GetWindowed() != windowed) {
        m_platform->SetWindowed(windowed);
    }
}

void FrameLoop::ToggleFullscreen()
{
    const bool windowed = !m_platform->GetWindowed();
    SetWindowed(windowed);
    ConfigHolder::Instance().Save();
    GetLog() << Hint << (windowed ? "Windowed mode" : "Full screen mode") << EndL;
}

void FrameLoop::SetSystemCursor(bool show)
{
    GetConfig().systemCursor = show;
    if (m_platform->GetHideMouse() == show) {
        m_platform->SetHideMouse(!show);
        float x = 0, y = 0;
        m_platform->InputGetMousePos(x, y);
        m_platform->InputSetMousePos(x, y);
    }
}

TextureHandle FrameLoop::GetTexture(const std::string& path)
{
    if (!m_resources) {
        return 0;
    }
    // Resolving a path asks the file system; every glyph of a text asks for its
    // font's texture, so known paths are answered from memory.
    auto known = m_texturesByPath.find(path);
    if (known != m_texturesByPath.end()) {
        return known->second;
    }
    const TextureHandle texture = m_resources->GetTexture(ResolveResourcePath(path));
    if (texture) {
        m_texturesByPath.emplace(path, texture);
    }
    return texture;
}

void FrameLoop::SetScript(std::vector<ScriptCommand> commands)
{
    m_script = std::make_unique<ScriptPlayer>(*m_platform, std::move(commands));
}

bool FrameLoop::Frame()
{
    if (m_script) {
        double ms = static_cast<double>(ClockCounter() - m_startCounter) * 1000.0 / ClockFrequency();
        m_script->Apply(static_cast<int64_t>(ms + 0.5));
    }
    if (m_platform->ScreenshotRequested()) {
        // A screenshot shows the screen as it stands when it is asked for:
        // the last frame, before this one's update moves anything on.
        CaptureScene();
    }
    // The update: every task (the scene's own among them), then what they
    // attached or removed takes effect, so the frame shows this moment.
    const bool more = Application::Instance().GetTaskManager().Execute();
    m_scene.EndStep();
    if (more) {
        BeginFrame();
        DrawScene();
        EndFrame();
    }
    if (m_frameEndHook) {
        m_frameEndHook();
    }
    ++m_frameCount;
    const RunOptions& options = GetRunOptions();
    if (options.frames >= 0 && m_frameCount == options.frames) {
        Application::Instance().Exit(0);
    }
    return !more;
}

void FrameLoop::BeginFrame()
{
    // A run without drawing (--no-render) still updates the scene, but
    // computes no corners.
    m_drawing = m_platform->GfxBeginScene();
    m_platform->GfxClear(0);
}

void FrameLoop::DrawScene() { m_scene.Draw(m_drawing ? m_platform.get() : nullptr); }

void FrameLoop::CaptureScene()
{
    if (m_platform->GfxBeginScene()) {
        m_platform->GfxClear(0);
        m_scene.DrawNodes(*m_platform);
    }
    m_platform->GfxEndCapture();
}

bool FrameLoop::DrawOffscreen(std::vector<uint32_t>& argb)
{
    if (!m_platform || !m_platform->GfxBeginScene()) {
        return false;
    }
    m_platform->GfxClear(0);
    m_scene.DrawNodes(*m_platform);
    return m_platform->GfxReadFrame(argb);
}

void FrameLoop::EndFrame() { m_platform->GfxEndScene(); }

bool FrameLoop::OnExit()
{
    Application::Instance().Exit(0);
    return false;
}

bool FrameLoop::OnFocusLost()
{
    for (const FocusHook& hook : m_focusHooks) {
        hook(false);
    }
    Application& app = Application::Instance();
    m_systemTimerWasRunning = app.GetSystemTimer().IsRunning();
    m_gameTimerWasRunning = app.GetTimer().IsRunning();
    app.GetSystemTimer().SetRunning(false);
    app.GetTimer().SetRunning(false);
    return false;
}

bool FrameLoop::OnFocusGained()
{
    for (const FocusHook& hook : m_focusHooks) {
        hook(true);
    }
    Application& app = Application::Instance();
    app.GetSystemTimer().SetRunning(m_systemTimerWasRunning);
    app.GetTimer().SetRunning(m_gameTimerWasRunning);
    return false;
}

void FrameLoop::UpdateDetailLevel(int64_t nowMs, int fps) { m_detail.Update(nowMs, fps); }

std::string FrameLoop::OverlayText(int fps) const
{
    char text[160];
    std::snprintf(text, sizeof text, "Detail: %d, FPS: %d, nodes: %d+%d/%d, screens: %d, tasks: %d", m_detail.Get(),
                  fps, static_cast<int>(m_scene.GetDrawnNodeCount()), static_cast<int>(m_scene.GetPendingNodeCount()),
                  SceneNode::GetInstanceCount(), m_screenCount ? m_screenCount() : 0,
                  static_cast<int>(Application::Instance().GetTaskManager().Count()));
    return text;
}

void FrameLoop::UpdateOverlay(int64_t nowMs, int fps)
{
    if (nowMs - m_lastOverlay <= 300 || !GetConfig().debugInfo) {
        return;
    }
    m_lastOverlay = nowMs;
    // Until the language provides a font, the overlay goes to the log, with
    // what the frames cost: the slowest one's CPU time and the share of the
    // view the last one drew again.
    char cost[96] = "";
    if (m_platform) {
        std::snprintf(cost, sizeof cost, ", worst frame: %.1f ms CPU, redrawn: %d%%",
                      m_platform->TakeWorstFrameCpuMs(), m_platform->GetLastFrameRedrawnPixels() * 100 / (kViewWidth * kViewHeight));
    }
    GetLog() << Hint << OverlayText(fps) << cost << EndL;
}

} // namespace tsv
