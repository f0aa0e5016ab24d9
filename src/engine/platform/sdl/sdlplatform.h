#pragma once
// The platform over SDL2: a window of any size (or an off-screen surface when
// headless) showing the 800 x 600 view letterboxed, batched textured quads,
// the clock, the mouse, the keyboard and gamepads.

#include "engine/platform/framedamage.h"
#include "engine/platform/platform.h"
#include "engine/platform/runoptions.h"
#include "engine/platform/sdl/sdlpads.h"
#include "engine/platform/viewfit.h"

#include <array>
#include <string>
#include <vector>

struct SDL_Window;
struct SDL_Renderer;
struct SDL_Surface;
struct SDL_Texture;
struct SDL_Vertex;

namespace tsv {

// One class for the four parts of the interface: they share the window, the
// renderer, the view's fit in the window and the frame's events (the event
// poll feeds both the window and the input; presenting and moving the pointer
// both need the fit). Each part's code lives in its own file.
class SdlPlatform : public Platform {
public:
    explicit SdlPlatform(const RunOptions& options);
    ~SdlPlatform() override;
    SdlPlatform(const SdlPlatform&) = delete;
    SdlPlatform& operator=(const SdlPlatform&) = delete;

    // The window (sdlwindow.cpp)
    bool SystemInitiate() override;
    void SystemShutdown() override;
    bool SystemStart() override;
    std::string SystemGetErrorMessage() const override { return m_error; }
    void SetWindowed(bool windowed) override;
    bool GetWindowed() const override { return m_windowed; }
    void SetFrameFunc(FrameFn fn) override { m_frameFn = std::move(fn); }
    void SetExitFunc(EventFn fn) override { m_exitFn = std::move(fn); }
    void SetFocusLostFunc(EventFn fn) override { m_focusLostFn = std::move(fn); }
    void SetFocusGainFunc(EventFn fn) override { m_focusGainFn = std::move(fn); }
    void SetFrameRateLimit(int fps) override { m_maxFps = fps; }
    void SetScreenWidth(int width) override { m_windowWidth = width; }
    void SetScreenHeight(int height) override { m_windowHeight = height; }
    void SetColourDepth(int bits) override { m_colourDepth = bits; }
    void SetTitle(const std::string& title) override;
    void SetResizeFunc(ResizeFn fn) override { m_resizeFn = std::move(fn); }
    void SetFullscreenToggleFunc(EventFn fn) override { m_toggleFn = std::move(fn); }
    uint64_t GetPerformanceCounter() const override;
    double GetPerformanceFrequency() const override;
    int TimerGetFPS() const override { return m_fps; }
    double TakeWorstFrameCpuMs() override;
    void ViewToWindow(float vx, float vy, float& wx, float& wy) const override;
    void InjectWindowSize(int width, int height) override;
    void InjectWindowEvent(WindowEvent event) override;

    // Input (sdlinput.cpp)
    void SetHideMouse(bool hide) override;
    bool GetHideMouse() const override { return m_hideMouse; }
    void InputGetMousePos(float& x, float& y) const override;
    void InputSetMousePos(float x, float y) override;
    bool InputGetKeyState(int platformKey) const override;
    const std::vector<InputEvent>& InputGetEvents() const override { return m_events; }
    int GetPadCount() const override { return m_pads.Count(); }
    void InjectMouseMove(float x, float y) override;
    void InjectKeyState(int platformKey, bool down) override;
    void InjectText(const std::string& text) override;
    bool PadAttachVirtual() override { return m_pads.AttachVirtual(); }
    void PadDetachVirtual() override { m_pads.DetachVirtual(); }
    void PadSetVirtualButton(PadButton button, bool held) override { m_pads.SetVirtualButton(button, held); }
    void PadSetVirtualStick(float x, float y) override { m_pads.SetVirtualStick(x, y); }

    // The renderer (sdlrenderer.cpp)
    bool GfxBeginScene() override;
    void GfxClear(uint32_t colour) override;
    void GfxRenderQuad(const Quad& quad) override;
    void GfxEndScene() override;
    bool GfxReadFrame(std::vector<uint32_t>& argb) override;
    void RequestScreenshot(const std::string& path) override { m_screenshotPaths.push_back(path); }
    bool ScreenshotRequested() const override { return !m_screenshotPaths.empty(); }
    void GfxEndCapture() override;
    TextureHandle TextureLoad(const std::string& path) override;
    void TextureFree(TextureHandle texture) override;
    int TextureGetWidth(TextureHandle texture) const override;
    int TextureGetHeight(TextureHandle texture) const override;
    int GetLastFrameBatchCount() const override { return m_lastBatchCount; }
    int GetLastFrameRedrawnPixels() const override { return m_lastRedrawn; }

    // The clipboard (sdlclipboard.cpp)
    std::string ClipboardGetText() const override;
    void ClipboardSetText(const std::string& utf8) override;

    // Drawn frames after which a texture not drawn in them gives its pixels
    // back (about ten seconds at the display's pace).
    static constexpr uint64_t kTextureIdleFrames = 600;
    // A headless run's pretend desktop, the size its full screen takes.
    static constexpr int kHeadlessDesktopWidth = 1920;
    static constexpr int kHeadlessDesktopHeight = 1080;
    // The smallest window the player can size.
    static constexpr int kMinWindowWidth = 320;
    static constexpr int kMinWindowHeight = 240;

    // For measurements against plain SDL calls. A texture's SDL texture is
    // null while its pixels are released (see TextureEntry).
    SDL_Renderer* GetRenderer() const { return m_renderer; }
    SDL_Texture* GetSdlTexture(TextureHandle texture) const
    {
        return texture > 0 && texture <= m_textures.size() ? m_textures[texture - 1].texture : nullptr;
    }

private:
    // The window
    void HandleWindowEvent(int event, int data1, int data2);
    void SetFocused(bool focused);
    // The window's size changed (or the headless run pretends it did).
    void UpdateFit();
    // The display's refresh rate under the window (60 when it reports none).
    void ReadRefreshRate();
    // How long a frame should last: the display's refresh (or maxfps, when
    // lower) for a window, maxfps alone headless; a hidden window wakes ten
    // times a second. Milliseconds, 0 for no pacing.
    double FrameBudgetMs() const;

    // Input
    void PollEvents();
    // A mouse position in window points, into the view.
    void MapMouse(float x, float y);
    // Appends to this frame's events, at the mouse's place now.
    void AddEvent(InputEvent::EType type, int key, std::string text);
    // F11 and Alt+Return toggle full screen; true when the key was one of them.
    bool TakeShortcut(int platformKey);
    void ReadPads();

    // The renderer
    // A texture from a file. Its pixels live in the renderer only while it is
    // drawn: one not drawn for kTextureIdleFrames is released and decoded again
    // from its file when next drawn; its size and opacity stay known.
    struct TextureEntry {
        SDL_Texture* texture = nullptr; // null while released
        int width = 0;
        int height = 0;
        bool opaque = false; // every pixel fully covers: drawn without blending when its quad is too
        bool unreadable = false; // the file failed to load again: its quads are left out
        std::string path; // empty for a free slot
        uint64_t lastDrawn = 0; // m_drawnFrames when it was last drawn (or loaded)
    };
    // Whether every pixel of the surface has full alpha (a surface without alpha has).
    static bool IsOpaque(SDL_Surface* surface);
    // A PNG file's size from its header; false for anything else.
    static bool ReadPngSize(const std::string& path, int& width, int& height);
    int MaxTextureSide() const;
    // The file's pixels, decoded; null (and a log line) when it cannot be.
    SDL_Surface* DecodeTexture(const std::string& path);
    // Gives the texture its pixels in the renderer again after a release;
    // false when its file no longer loads.
    bool MakeResident(TextureEntry& entry);
    // Releases the pixels of the textures not drawn for kTextureIdleFrames.
    void ReleaseIdleTextures();
    void Flush();
    void SaveScreenshots();
    // Shows the finished frame in the window: enlarged, letterboxed.
    void Present();
    // Draws the frame's quads over the rectangles that changed (see
    // FrameDamage), each clipped to its rectangle.
    void DrawFrame(const std::vector<PixelRect>& rects);
    // Draws what changed since the last frame (all of it without partial
    // redrawing); returns the pixels drawn.
    int DrawChanges();
    void Batch(const Quad& quad);
    bool IsScaledRectangle(const Quad& quad) const;
    static bool HasGraphicsDevice();
    // Nothing is drawn without rendering, nor into a minimised or hidden window.
    bool Drawing() const { return !(m_options.headless && m_options.noRender) && !m_hidden; }

    RunOptions m_options;

    // The window
    std::string m_error;
    std::string m_title = "Tessvan Application";
    bool m_windowed = true;
    int m_maxFps = 0;
    int m_refreshRate = 60;
    bool m_hidden = false; // the window is minimised or hidden: no drawing, few frames
    int m_windowWidth = 800;
    int m_windowHeight = 600;
    int m_colourDepth = 32;
    bool m_initiated = false;

    FrameFn m_frameFn;
    EventFn m_exitFn, m_focusLostFn, m_focusGainFn, m_toggleFn;
    bool m_stopReported = false;
    ResizeFn m_resizeFn;
    bool m_focused = true;

    SDL_Window* m_window = nullptr;
    ViewFit m_fit;
    int m_simWidth = 800, m_simHeight = 600; // headless: the pretend window now
    int m_simWindowedWidth = 800, m_simWindowedHeight = 600; // and its size when not full screen

    uint64_t m_fpsWindowStart = 0;
    int m_framesInWindow = 0;
    int m_fps = 0;
    double m_worstFrameCpuMs = 0;

    // Input
    bool m_hideMouse = false;
    float m_mouseX = 400, m_mouseY = 300;
    std::array<bool, 1024> m_keys{};
    std::array<bool, 1024> m_injectedKeys{};
    std::vector<InputEvent> m_events; // this frame's, in order
    SdlPads m_pads;
    PadNavigator m_padNavigator;

    // The renderer
    SDL_Renderer* m_renderer = nullptr;
    SDL_Surface* m_target = nullptr; // headless frame buffer
    // A window draws the view into m_frame (800 x 600), then shows it
    // enlarged through m_prescaled. Without render targets the renderer maps
    // the view itself (and the mouse with it).
    SDL_Texture* m_frame = nullptr;
    SDL_Texture* m_prescaled = nullptr;
    int m_prescaledFactor = 0;
    // The frame's quads, and what changed since the last frame: the view
    // (m_frame or m_target) keeps its pixels, so only that is drawn again.
    FrameDamage m_damage;
    // Only what changed is drawn again: the frame keeps its pixels (m_frame,
    // m_target). The software renderer's scaled copies sample differently
    // when clipped, so a piece that cuts one takes all of it in.
    bool m_partialRedraw = false;
    bool m_softwareRenderer = false;
    bool m_showAgain = true; // the window asked to be drawn (exposed, resized)
    bool m_inScene = false;  // between GfxBeginScene and its end: the quads are not drawn yet
    std::vector<TextureEntry> m_textures; // handle = index + 1
    uint64_t m_drawnFrames = 0;
    std::vector<SDL_Vertex> m_batchVertices;
    std::vector<int> m_batchIndices;
    TextureHandle m_batchTexture = 0;
    int m_batchBlend = -1;
    int m_batchCount = 0;
    int m_lastBatchCount = 0;
    int m_lastRedrawn = 0;
    std::vector<std::string> m_screenshotPaths;

    // The clipboard
    std::string m_clipboard; // headless runs never touch the desktop's clipboard
};

} // namespace tsv
