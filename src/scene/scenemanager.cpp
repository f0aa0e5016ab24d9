#include "scene/scenemanager.h"

#include "core/config.h"
#include "core/log.h"
#include "core/util/file/resourcepath.h"
#include "platform/clock.h"
#include "platform/messagebox.h"
#include "platform/runoptions.h"
#include "platform/sdl/sdlplatform.h"
#include "scene/application.h"

#include <cstdio>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace tsv {

namespace {

class SceneUpdateTask : public Task {
public:
    explicit SceneUpdateTask(SceneManager& scene) : m_scene(scene) {}
    void Run() override
    {
        Platform* platform = m_scene.GetPlatform();
        int64_t now = Application::Instance().GetSystemTimer().GetTime();
        int fps = platform ? platform->TimerGetFPS() : 0;
        m_scene.UpdateDetailLevel(now, fps);
        m_scene.UpdateOverlay(now, fps);
    }

private:
    SceneManager& m_scene;
};

// Opens a folder in the desktop's file manager without waiting for it.
void OpenFolder(const std::string& path)
{
    const char* argv[] = {"xdg-open", path.c_str(), nullptr};
    pid_t pid = 0;
    if (posix_spawnp(&pid, "xdg-open", nullptr, nullptr, const_cast<char**>(argv), environ) != 0) {
        GetLog() << Warning << "Failed to open folder \"" << path << "\"" << EndL;
    }
}

} // namespace

SceneManager& SceneManager::Instance()
{
    static SceneManager s_scene;
    return s_scene;
}

SceneManager::SceneManager()
{
    Application& app = Application::Instance();
    Config& config = GetConfig();
    const RunOptions& options = GetRunOptions();
    if (options.forceWindowed >= 0) {
        config.fullscreen = options.forceWindowed == 0;
    }

    m_platform = std::make_unique<SdlPlatform>(options);
    m_resources = std::make_unique<ResourceManager>(*m_platform);

    m_platform->SetLogFile(app.GetStoragePath() + "hgelog.txt");
    m_platform->SetFrameFunc([this] { return Frame(); });
    m_platform->SetExitFunc([this] { return OnExit(); });
    m_platform->SetFocusLostFunc([this] { return OnFocusLost(); });
    m_platform->SetFocusGainFunc([this] { return OnFocusGained(); });
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
        ReportFatalStartError();
    }
}

SceneManager::~SceneManager()
{
    m_script.reset();
    if (m_resources) {
        m_resources->Purge();
    }
    if (m_platform) {
        m_platform->SystemShutdown();
    }
}

void SceneManager::ReportFatalStartError()
{
    const std::string error = m_platform->SystemGetErrorMessage();
    const std::string storage = Application::Instance().GetStoragePath();
    GetLog() << Fatal << "Failed to initialize HGE: " << error << EndL;
    std::string text = "There was an error trying to start the game:\n" + error +
                       "\nIf you would like to help us fixing it please send us files\n\"hgelog.txt\" and "
                       "\"log.html\" from folder\n" +
                       storage + "\nto our e-mail address " + kSupportAddress +
                       "\n\nDo you want to do it now? (Click \"yes\" to open that folder)";
    if (ShowMessageBox("Error", text, MessageBoxYesNo)) {
        OpenFolder(storage.empty() ? std::string(".") : storage);
        ShowMessageBox("Thank you!",
                       std::string("Please send us files \"hgelog.txt\" and \"log.html\"\nto our e-mail address ") +
                           kSupportAddress + "\n\nThank you!",
                       MessageBoxInfo);
    }
    m_platform->SystemShutdown();
    Application::Instance().Exit(0);
}

void SceneManager::Run()
{
    if (m_initialised) {
        m_platform->SystemStart();
    }
}

void SceneManager::SetWindowed(bool windowed)
{
    GetConfig().fullscreen = !windowed;
    if (m_platform->GetWindowed() != windowed) {
        m_platform->SetWindowed(windowed);
    }
}

void SceneManager::SetSystemCursor(bool show)
{
    GetConfig().systemCursor = show;
    if (m_platform->GetHideMouse() == show) {
        m_platform->SetHideMouse(!show);
        float x = 0, y = 0;
        m_platform->InputGetMousePos(x, y);
        m_platform->InputSetMousePos(x, y);
    }
}

TextureHandle SceneManager::GetTexture(const std::string& path)
{
    return m_resources ? m_resources->GetTexture(ResolveResourcePath(path)) : 0;
}

void SceneManager::SetScript(std::vector<ScriptCommand> commands)
{
    m_script = std::make_unique<ScriptPlayer>(*m_platform, std::move(commands));
}

bool SceneManager::Frame()
{
    if (m_script) {
        double ms = static_cast<double>(ClockCounter() - m_startCounter) * 1000.0 / ClockFrequency();
        m_script->Apply(static_cast<int64_t>(ms + 0.5));
    }
    BeginFrame();
    DrawScene();
    EndFrame();
    bool more = Application::Instance().GetTaskManager().Execute();
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

void SceneManager::BeginFrame()
{
    m_platform->GfxBeginScene();
    m_platform->GfxClear(0);
}

void SceneManager::DrawScene() {}

void SceneManager::EndFrame() { m_platform->GfxEndScene(); }

bool SceneManager::OnExit()
{
    Application::Instance().Exit(0);
    return false;
}

bool SceneManager::OnFocusLost()
{
    if (m_focusHook) {
        m_focusHook(false);
    }
    Application& app = Application::Instance();
    m_systemTimerWasRunning = app.GetSystemTimer().IsRunning();
    m_gameTimerWasRunning = app.GetTimer().IsRunning();
    app.GetSystemTimer().SetRunning(false);
    app.GetTimer().SetRunning(false);
    return false;
}

bool SceneManager::OnFocusGained()
{
    if (m_focusHook) {
        m_focusHook(true);
    }
    Application& app = Application::Instance();
    app.GetSystemTimer().SetRunning(m_systemTimerWasRunning);
    app.GetTimer().SetRunning(m_gameTimerWasRunning);
    return false;
}

void SceneManager::UpdateDetailLevel(int64_t nowMs, int fps)
{
    if (nowMs - m_lastDetailCheck <= 20) {
        return;
    }
    m_lastDetailCheck = nowMs;
    if (fps < 20) {
        m_detailLevel = 0;
    } else if (fps < 100) {
        m_detailLevel = 10;
    } else if (m_detailLevel < 10) {
        ++m_detailLevel;
    }
}

std::string SceneManager::OverlayText(int fps) const
{
    char text[160];
    std::snprintf(text, sizeof text, "Detail: %d, FPS: %d, nodes: %d+%d/%d, screens: %d, tasks: %d", m_detailLevel,
                  fps, 0, 0, 0, m_screenCount ? m_screenCount() : 0,
                  static_cast<int>(Application::Instance().GetTaskManager().Count()));
    return text;
}

void SceneManager::UpdateOverlay(int64_t nowMs, int fps)
{
    if (nowMs - m_lastOverlay <= 300 || !GetConfig().debugInfo) {
        return;
    }
    m_lastOverlay = nowMs;
    // Until the language provides a font, the overlay goes to the log.
    GetLog() << Hint << OverlayText(fps) << EndL;
}

} // namespace tsv
