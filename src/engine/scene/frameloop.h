#pragma once
// The frame loop: owns the platform, initialises it from the configuration,
// runs the frames (draw the scene, then run the tasks), passes on focus
// changes, plays a script, and keeps the adaptive detail level and the debug
// overlay.

#include "engine/core/accesspoint.h"
#include "engine/platform/platform.h"
#include "engine/platform/resourcemanager.h"
#include "engine/scene/detaillevel.h"
#include "engine/scene/scene.h"
#include "engine/scene/scriptplayer.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace tsv {

class FrameLoop : public AccessPoint<FrameLoop> {
public:
    static constexpr const char* kPartName = "the frame loop";
    // Draws `scene` and runs its update step.
    explicit FrameLoop(Scene& scene);
    ~FrameLoop();

    // Opens the window and the renderer as the configuration and the run's
    // options ask; false when the platform cannot start (GetStartError says
    // why, and the log has it).
    bool Start();
    bool IsInitialised() const { return m_initialised; }
    const std::string& GetStartError() const { return m_startError; }
    // Runs the platform's main loop until the task list has drained.
    void Run();
    void SetWindowed(bool windowed);
    // F11 and Alt+Return: the other display mode, written to the settings at once.
    void ToggleFullscreen();
    void SetSystemCursor(bool show);

    Platform* GetPlatform() const { return m_platform.get(); }
    ResourceManager* GetResources() const { return m_resources.get(); }
    // Texture by resource path, loaded once; 0 when it cannot be loaded.
    TextureHandle GetTexture(const std::string& path);

    // 0..10: how much optional visual work the frame rate allows.
    int GetDetailLevel() const { return m_detail.Get(); }
    int64_t GetFrameCount() const { return m_frameCount; }

    // Plays scripted input from the next frame on.
    void SetScript(std::vector<ScriptCommand> commands);

    // The frame function and the platform's event callbacks.
    bool Frame();
    bool OnExit();
    bool OnFocusLost();
    bool OnFocusGained();

    // Work of the scene update task: detail level and the debug overlay.
    void UpdateDetailLevel(int64_t nowMs, int fps);
    void UpdateOverlay(int64_t nowMs, int fps);
    // The overlay text for the current counts.
    std::string OverlayText(int fps) const;

    // Focus changes also silence and restore the sound groups and pause a
    // level in play; the layers above plug in here, called in the order added.
    using FocusHook = std::function<void(bool focused)>;
    void AddFocusHook(FocusHook hook) { m_focusHooks.push_back(std::move(hook)); }
    // Called at the end of every frame, after the tasks (the sound layer renders there).
    using FrameEndHook = std::function<void()>;
    void SetFrameEndHook(FrameEndHook hook) { m_frameEndHook = std::move(hook); }
    // Counts shown by the overlay that belong to other layers.
    using CountFn = std::function<int()>;
    void SetScreenCountFn(CountFn fn) { m_screenCount = std::move(fn); }

    // A frame: the script's input, the update (tasks, then Scene::EndStep),
    // then the drawing, which changes nothing in the scene.
    void BeginFrame();
    void DrawScene();
    void EndFrame();
    // Draws the scene as it stands into `argb` (see Platform::GfxReadFrame),
    // without presenting it and without changing the scene: a check can
    // compare the frame with and without some nodes. False when nothing draws.
    bool DrawOffscreen(std::vector<uint32_t>& argb);
    Scene& GetScene() const { return m_scene; }

    FrameLoop(const FrameLoop&) = delete;
    FrameLoop& operator=(const FrameLoop&) = delete;

private:
    // Draws the scene as it stands only for the requested screenshots.
    void CaptureScene();

    Scene& m_scene;
    std::unique_ptr<Platform> m_platform;
    std::unique_ptr<ResourceManager> m_resources;
    std::unordered_map<std::string, TextureHandle> m_texturesByPath; // by resource path, as asked for
    std::unique_ptr<ScriptPlayer> m_script;
    bool m_initialised = false;
    std::string m_startError;
    DetailLevel m_detail;
    bool m_drawing = true; // false while the platform draws nothing
    int64_t m_lastOverlay = 0;
    int64_t m_frameCount = 0;
    uint64_t m_startCounter = 0;
    bool m_systemTimerWasRunning = true;
    bool m_gameTimerWasRunning = true;
    std::vector<FocusHook> m_focusHooks;
    FrameEndHook m_frameEndHook;
    CountFn m_screenCount;
};

} // namespace tsv
