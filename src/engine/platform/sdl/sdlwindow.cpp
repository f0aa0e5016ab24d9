// SdlPlatform, the window part: the system's start and end, the window, its
// display mode and size, the frame loop and the clock.

#include "engine/platform/sdl/sdlplatform.h"

#include "engine/core/log.h"
#include "engine/platform/clock.h"

#include <SDL.h>
#include <algorithm>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <cstdlib>

namespace tsv {

namespace {

// A minimised or hidden window draws nothing and wakes ten times a second.
constexpr double kHiddenFrameMs = 100.0;

} // namespace

bool SdlPlatform::SystemInitiate()
{
    const LogSectionScope section = PlatformLogSection();
    GetLog() << Hint << "Tessvan platform layer over SDL " << SDL_MAJOR_VERSION << "." << SDL_MINOR_VERSION << "."
             << SDL_PATCHLEVEL << EndL;
    if (m_options.headless) {
        SDL_SetHint(SDL_HINT_VIDEODRIVER, "dummy");
        setenv("SDL_VIDEODRIVER", "dummy", 1);
    }
    // The stop signals are the game's own (they save a level in play and
    // end a stuck game); SDL only reports them through StopSignal().
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
        m_error = SDL_GetError();
        GetLog() << Error << "SDL_Init failed: " << m_error << EndL;
        return false;
    }
    m_pads.Start(); // says itself why there are no gamepads
    // A size from another screen, or written by hand, still gives a window
    // that fits between the smallest one and the desktop.
    if (m_windowWidth < kMinWindowWidth || m_windowHeight < kMinWindowHeight || m_windowWidth > 16384 ||
        m_windowHeight > 16384) {
        m_windowWidth = kViewWidth;
        m_windowHeight = kViewHeight;
    }
    if (m_options.headless) {
        m_target = SDL_CreateRGBSurfaceWithFormat(0, kViewWidth, kViewHeight, 32, SDL_PIXELFORMAT_ARGB8888);
        m_renderer = m_target ? SDL_CreateSoftwareRenderer(m_target) : nullptr;
        if (m_renderer) {
            SDL_RenderSetLogicalSize(m_renderer, kViewWidth, kViewHeight);
        }
    } else {
        SDL_Rect usable{};
        if (SDL_GetDisplayUsableBounds(0, &usable) == 0 && usable.w >= kMinWindowWidth && usable.h >= kMinWindowHeight) {
            m_windowWidth = std::min(m_windowWidth, usable.w);
            m_windowHeight = std::min(m_windowHeight, usable.h);
        }
        Uint32 flags = SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI;
        if (!m_windowed) {
            flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
        }
        m_window = SDL_CreateWindow(m_title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, m_windowWidth,
                                    m_windowHeight, flags);
        if (m_window) {
            SDL_SetWindowMinimumSize(m_window, kMinWindowWidth, kMinWindowHeight);
            // Without a graphics device OpenGL would only be emulated on the
            // CPU, at several times the cost in time and memory of SDL's own
            // software renderer (SDL_RENDER_DRIVER still decides when set).
            const char* driver = SDL_getenv("SDL_RENDER_DRIVER");
            const bool emulated = driver && *driver ? std::strcmp(driver, "software") == 0 : !HasGraphicsDevice();
            // In step with the display where the driver can; the frame loop
            // paces itself to the refresh rate where it cannot.
            if (!emulated) {
                m_renderer = SDL_CreateRenderer(m_window, -1,
                                                SDL_RENDERER_ACCELERATED | SDL_RENDERER_TARGETTEXTURE |
                                                    SDL_RENDERER_PRESENTVSYNC);
            }
            if (emulated) {
                GetLog() << Hint << "No graphics device or the software renderer asked for: using it" << EndL;
                // Its window surface shown as it is, not through an OpenGL texture.
                SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
                m_renderer = SDL_CreateRenderer(m_window, -1, SDL_RENDERER_SOFTWARE);
            } else if (!m_renderer) {
                GetLog() << Warning << "Accelerated renderer unavailable (" << SDL_GetError()
                         << "); using the software renderer" << EndL;
                m_renderer = SDL_CreateRenderer(m_window, -1, SDL_RENDERER_SOFTWARE);
            }
        }
        if (m_renderer && SDL_RenderTargetSupported(m_renderer)) {
            m_frame = SDL_CreateTexture(m_renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_TARGET, kViewWidth,
                                        kViewHeight);
        }
        if (m_frame) {
            // The frame's alpha is not part of the picture.
            SDL_SetTextureBlendMode(m_frame, SDL_BLENDMODE_NONE);
        } else if (m_renderer) {
            GetLog() << Warning << "Render targets unavailable (" << SDL_GetError() << "); the renderer scales the view"
                     << EndL;
            SDL_RenderSetLogicalSize(m_renderer, kViewWidth, kViewHeight);
        }
    }
    if (!m_renderer) {
        m_error = SDL_GetError();
        GetLog() << Error << "can't create the renderer: " << m_error << EndL;
        SystemShutdown();
        return false;
    }
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "linear");
    ReadRefreshRate();
    SDL_RendererInfo info{};
    SDL_GetRendererInfo(m_renderer, &info);
    GetLog() << Hint << "Video driver: " << (SDL_GetCurrentVideoDriver() ? SDL_GetCurrentVideoDriver() : "none")
             << EndL;
    GetLog() << Hint << "Renderer: " << (info.name ? info.name : "unknown") << EndL;
    // TESSVAN_WHOLE_FRAMES=1 draws every frame whole, to compare or to rule the partial redraw out.
    const char* whole = SDL_getenv("TESSVAN_WHOLE_FRAMES");
    m_softwareRenderer = (info.flags & SDL_RENDERER_SOFTWARE) != 0;
    m_partialRedraw = (m_frame || m_target) && !(whole && *whole && std::strcmp(whole, "0"));
    GetLog() << Hint << "Frames: " << (m_partialRedraw ? "only what changed is drawn again" : "drawn whole") << EndL;
    GetLog() << Hint << "Mode: " << m_windowWidth << " x " << m_windowHeight << ", "
             << (m_options.headless ? "off-screen" : (m_windowed ? "windowed" : "full screen")) << ", "
             << m_colourDepth << " bits" << EndL;
    SDL_ShowCursor(m_hideMouse ? SDL_DISABLE : SDL_ENABLE);
    if (!m_options.headless) {
        SDL_StartTextInput();
    }
    m_batchVertices.reserve(4096);
    m_batchIndices.reserve(6144);
    m_initiated = true;
    UpdateFit();
    return true;
}

void SdlPlatform::SystemShutdown()
{
    for (TextureEntry& entry : m_textures) {
        if (entry.texture) {
            SDL_DestroyTexture(entry.texture);
        }
    }
    m_textures.clear();
    for (SDL_Texture** texture : {&m_frame, &m_prescaled}) {
        if (*texture) {
            SDL_DestroyTexture(*texture);
            *texture = nullptr;
        }
    }
    m_prescaledFactor = 0;
    if (m_renderer) {
        SDL_DestroyRenderer(m_renderer);
        m_renderer = nullptr;
    }
    if (m_target) {
        SDL_FreeSurface(m_target);
        m_target = nullptr;
    }
    if (m_window) {
        SDL_DestroyWindow(m_window);
        m_window = nullptr;
    }
    m_pads.Stop();
    if (m_initiated) {
        const LogSectionScope section = PlatformLogSection();
        GetLog() << Hint << "Platform shut down" << EndL;
        SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
        m_initiated = false;
    }
}

uint64_t SdlPlatform::GetPerformanceCounter() const { return ClockCounter(); }

double SdlPlatform::GetPerformanceFrequency() const { return ClockFrequency(); }

bool SdlPlatform::HasGraphicsDevice()
{
    // A render node or card of the kernel's graphics drivers, or the
    // proprietary driver's own device.
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/dev/dri", error)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("renderD", 0) == 0 || name.rfind("card", 0) == 0) {
            return true;
        }
    }
    return std::filesystem::exists("/dev/nvidia0", error);
}

double SdlPlatform::TakeWorstFrameCpuMs()
{
    const double worst = m_worstFrameCpuMs;
    m_worstFrameCpuMs = 0;
    return worst;
}

bool SdlPlatform::SystemStart()
{
    if (!m_initiated || !m_frameFn) {
        m_error = "System_Start: the platform is not initiated";
        return false;
    }
    const double frequency = GetPerformanceFrequency();
    m_fpsWindowStart = GetPerformanceCounter();
    for (;;) {
        uint64_t frameStart = SDL_GetPerformanceCounter();
        ClockAdvanceFrame();
        PollEvents();
        m_hidden = m_window && (SDL_GetWindowFlags(m_window) & (SDL_WINDOW_MINIMIZED | SDL_WINDOW_HIDDEN)) != 0;
        const std::clock_t cpuStart = std::clock();
        bool stop = m_frameFn();
        m_worstFrameCpuMs =
            std::max(m_worstFrameCpuMs, static_cast<double>(std::clock() - cpuStart) * 1000.0 / CLOCKS_PER_SEC);
        ++m_framesInWindow;
        uint64_t now = GetPerformanceCounter();
        if (static_cast<double>(now - m_fpsWindowStart) >= frequency) {
            m_fps = m_framesInWindow;
            m_framesInWindow = 0;
            m_fpsWindowStart = now;
        }
        if (stop) {
            break;
        }
        const double budget = FrameBudgetMs();
        if (budget > 0) {
            const double spent = static_cast<double>(SDL_GetPerformanceCounter() - frameStart) * 1000.0 /
                                 static_cast<double>(SDL_GetPerformanceFrequency());
            if (spent < budget) {
                SDL_Delay(static_cast<Uint32>(budget - spent));
            }
        }
    }
    return true;
}

void SdlPlatform::ReadRefreshRate()
{
    m_refreshRate = 60;
    SDL_DisplayMode mode{};
    const int display = m_window ? SDL_GetWindowDisplayIndex(m_window) : -1;
    if (display >= 0 && SDL_GetCurrentDisplayMode(display, &mode) == 0 && mode.refresh_rate > 0) {
        m_refreshRate = mode.refresh_rate;
    }
}

double SdlPlatform::FrameBudgetMs() const
{
    if (m_options.fixedStepMs != 0) {
        return 0; // a virtual clock: as fast as the machine allows
    }
    if (!m_window) {
        return m_maxFps > 0 ? 1000.0 / m_maxFps : 0;
    }
    if (m_hidden) {
        return kHiddenFrameMs;
    }
    const int rate = m_maxFps > 0 ? std::min(m_maxFps, m_refreshRate) : m_refreshRate;
    return 1000.0 / std::max(rate, 1);
}

void SdlPlatform::HandleWindowEvent(int event, int data1, int data2)
{
    m_showAgain = true; // a frame like the last one is shown anyway
    switch (event) {
    case SDL_WINDOWEVENT_FOCUS_LOST:
    case SDL_WINDOWEVENT_MINIMIZED:
        SetFocused(false);
        break;
    case SDL_WINDOWEVENT_FOCUS_GAINED:
        SetFocused(true);
        break;
    case SDL_WINDOWEVENT_RESTORED:
        if (m_window && (SDL_GetWindowFlags(m_window) & SDL_WINDOW_INPUT_FOCUS)) {
            SetFocused(true);
        }
        break;
    case SDL_WINDOWEVENT_MOVED:
        ReadRefreshRate(); // perhaps onto another display
        break;
    case SDL_WINDOWEVENT_SIZE_CHANGED: {
        UpdateFit();
        ReadRefreshRate();
        const Uint32 flags = m_window ? SDL_GetWindowFlags(m_window) : 0;
        const Uint32 notPlayerSized = SDL_WINDOW_MAXIMIZED | SDL_WINDOW_FULLSCREEN | SDL_WINDOW_FULLSCREEN_DESKTOP;
        if (m_windowed && !(flags & notPlayerSized) && data1 >= kMinWindowWidth && data2 >= kMinWindowHeight) {
            m_windowWidth = data1;
            m_windowHeight = data2;
            if (m_resizeFn) {
                m_resizeFn(data1, data2);
            }
        }
        break;
    }
    default:
        break;
    }
}

void SdlPlatform::SetFocused(bool focused)
{
    // Losing the focus and being minimised come together; the game hears of it once.
    if (focused == m_focused) {
        return;
    }
    m_focused = focused;
    const EventFn& fn = focused ? m_focusGainFn : m_focusLostFn;
    if (fn) {
        fn();
    }
}

void SdlPlatform::UpdateFit()
{
    if (m_options.headless) {
        m_fit = FitView(m_simWidth, m_simHeight);
        return;
    }
    if (!m_frame || !m_window) {
        m_fit = ViewFit{}; // the renderer maps the view (and the mouse) itself
        return;
    }
    int outW = 0, outH = 0, winW = 0, winH = 0;
    SDL_GetRendererOutputSize(m_renderer, &outW, &outH);
    SDL_GetWindowSize(m_window, &winW, &winH);
    m_fit = FitWindow(outW, outH, winW, winH);
}

void SdlPlatform::InjectWindowSize(int width, int height)
{
    width = std::max(width, kMinWindowWidth);
    height = std::max(height, kMinWindowHeight);
    if (m_window) {
        SDL_SetWindowSize(m_window, width, height); // the size event follows
        return;
    }
    if (m_windowed) {
        m_windowWidth = width;
        m_windowHeight = height;
        m_simWidth = m_simWindowedWidth = width;
        m_simHeight = m_simWindowedHeight = height;
        if (m_resizeFn) {
            m_resizeFn(width, height);
        }
    }
    UpdateFit();
}

void SdlPlatform::InjectWindowEvent(WindowEvent event)
{
    if (m_window) {
        switch (event) {
        case WindowEvent::Minimize: SDL_MinimizeWindow(m_window); return;
        case WindowEvent::Restore: SDL_RestoreWindow(m_window); return;
        default: break;
        }
    }
    SetFocused(event == WindowEvent::Restore || event == WindowEvent::Focus);
}

void SdlPlatform::SetWindowed(bool windowed)
{
    const bool changed = windowed != m_windowed;
    m_windowed = windowed;
    if (m_window) {
        SDL_SetWindowFullscreen(m_window, windowed ? 0 : SDL_WINDOW_FULLSCREEN_DESKTOP);
    } else if (m_initiated && changed) {
        // A headless run starts in an 800 x 600 window whatever the settings
        // say, so scripts click where they always did; a switch shows the
        // pretend desktop, and back.
        m_simWidth = windowed ? m_simWindowedWidth : kHeadlessDesktopWidth;
        m_simHeight = windowed ? m_simWindowedHeight : kHeadlessDesktopHeight;
        UpdateFit();
    }
}

void SdlPlatform::SetTitle(const std::string& title)
{
    m_title = title;
    if (m_window) {
        SDL_SetWindowTitle(m_window, title.c_str());
    }
}

void SdlPlatform::ViewToWindow(float vx, float vy, float& wx, float& wy) const { tsv::ViewToWindow(m_fit, vx, vy, wx, wy); }

} // namespace tsv
