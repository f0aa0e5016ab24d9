#pragma once
// Owns the platform: initialises it from the configuration, runs the frame loop
// (draw the scene, then run the tasks) and keeps the adaptive detail level.

#include "platform/platform.h"
#include "platform/resourcemanager.h"
#include "scene/scriptplayer.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace tsv {

class SceneManager {
public:
    static SceneManager& Instance();
    virtual ~SceneManager();

    bool IsInitialised() const { return m_initialised; }
    // Runs the platform's main loop until the task list has drained.
    void Run();
    void SetWindowed(bool windowed);
    void SetSystemCursor(bool show);

    Platform* GetPlatform() const { return m_platform.get(); }
    ResourceManager* GetResources() const { return m_resources.get(); }
    // Texture by resource path, loaded once; 0 when it cannot be loaded.
    TextureHandle GetTexture(const std::string& path);

    // 0..10: how much optional visual work the frame rate allows.
    int GetDetailLevel() const { return m_detailLevel; }
    int64_t GetFrameCount() const { return m_frameCount; }

    // Plays scripted input from the next frame on.
    void SetScript(std::vector<ScriptCommand> commands);

    // The frame function and the platform's event callbacks.
    virtual bool Frame();
    bool OnExit();
    bool OnFocusLost();
    bool OnFocusGained();

    // Work of the scene update task: detail level and the debug overlay.
    void UpdateDetailLevel(int64_t nowMs, int fps);
    void UpdateOverlay(int64_t nowMs, int fps);
    // The overlay text for the current counts.
    std::string OverlayText(int fps) const;

    // Focus changes also silence and restore the sound groups; the sound layer plugs in here.
    using FocusHook = std::function<void(bool focused)>;
    void SetFocusHook(FocusHook hook) { m_focusHook = std::move(hook); }
    // Called at the end of every frame, after the tasks (the sound layer renders there).
    using FrameEndHook = std::function<void()>;
    void SetFrameEndHook(FrameEndHook hook) { m_frameEndHook = std::move(hook); }
    // Counts shown by the overlay that belong to other layers.
    using CountFn = std::function<int()>;
    void SetScreenCountFn(CountFn fn) { m_screenCount = std::move(fn); }

    virtual void BeginFrame();
    virtual void DrawScene();
    virtual void EndFrame();

    SceneManager(const SceneManager&) = delete;
    SceneManager& operator=(const SceneManager&) = delete;

protected:
    SceneManager();

private:
    void ReportFatalStartError();

    std::unique_ptr<Platform> m_platform;
    std::unique_ptr<ResourceManager> m_resources;
    std::unique_ptr<ScriptPlayer> m_script;
    bool m_initialised = false;
    int m_detailLevel = 10;
    int64_t m_lastDetailCheck = 0;
    int64_t m_lastOverlay = 0;
    int64_t m_frameCount = 0;
    uint64_t m_startCounter = 0;
    bool m_systemTimerWasRunning = true;
    bool m_gameTimerWasRunning = true;
    FocusHook m_focusHook;
    FrameEndHook m_frameEndHook;
    CountFn m_screenCount;
};

// The maker's address for bug reports, shown by the fatal start-up dialog.
inline constexpr const char* kSupportAddress = "support@tarvel-games.example";

} // namespace tsv
