#include "engine/platform/sdl/sdlplatform.h"

#include "engine/platform/stopsignals.h"

#include "engine/core/log.h"
#include "engine/core/util/file/filestream.h"
#include "engine/platform/clock.h"
#include "engine/platform/dds.h"

#include <SDL.h>
#include <SDL_image.h>
#include <algorithm>
#include <cstdarg>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <cctype>
#include <cmath>
#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace tsv {

namespace {

// The largest texture side the game loads, whatever the renderer takes.
constexpr int kMaxTextureSide = 8192;

// The batch of quads drawn without blending; no Quad asks for it.
constexpr int kBlendNone = -2;

// A minimised or hidden window draws nothing and wakes ten times a second.
constexpr double kHiddenFrameMs = 100.0;

bool EndsWithNoCase(const std::string& s, const char* suffix)
{
    size_t n = std::strlen(suffix);
    if (s.size() < n) {
        return false;
    }
    for (size_t i = 0; i < n; ++i) {
        if (std::tolower(static_cast<unsigned char>(s[s.size() - n + i])) != suffix[i]) {
            return false;
        }
    }
    return true;
}

int PlatformKeyOfButton(Uint8 button)
{
    switch (button) {
    case SDL_BUTTON_LEFT: return kMouseLeft;
    case SDL_BUTTON_RIGHT: return kMouseRight;
    case SDL_BUTTON_MIDDLE: return kMouseMiddle;
    default: return 0;
    }
}

} // namespace

SdlPlatform::SdlPlatform(const RunOptions& options) : m_options(options) {}

SdlPlatform::~SdlPlatform() { SystemShutdown(); }

void SdlPlatform::WriteLog(const char* format, ...)
{
    if (m_logPath.empty()) {
        return;
    }
    FILE* f = std::fopen(m_logPath.c_str(), "a");
    if (!f) {
        return;
    }
    va_list args;
    va_start(args, format);
    std::vfprintf(f, format, args);
    va_end(args);
    std::fputc('\n', f);
    std::fclose(f);
}

bool SdlPlatform::SystemInitiate()
{
    if (!m_logPath.empty()) {
        if (FILE* f = std::fopen(m_logPath.c_str(), "w")) {
            std::fclose(f);
        }
    }
    WriteLog("Tessvan platform layer over SDL %d.%d.%d", SDL_MAJOR_VERSION, SDL_MINOR_VERSION, SDL_PATCHLEVEL);
    if (m_options.headless) {
        SDL_SetHint(SDL_HINT_VIDEODRIVER, "dummy");
        setenv("SDL_VIDEODRIVER", "dummy", 1);
    }
    // The stop signals are the game's own (they save a level in play and
    // end a stuck game); SDL only reports them through StopSignal().
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
        m_error = SDL_GetError();
        WriteLog("Error: SDL_Init failed: %s", m_error.c_str());
        return false;
    }
    if (!m_pads.Start()) {
        WriteLog("Gamepads unavailable: %s", SDL_GetError());
    }
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
            // In step with the display where the driver can; the frame loop
            // paces itself to the refresh rate where it cannot.
            m_renderer = SDL_CreateRenderer(m_window, -1,
                                            SDL_RENDERER_ACCELERATED | SDL_RENDERER_TARGETTEXTURE |
                                                SDL_RENDERER_PRESENTVSYNC);
            if (!m_renderer) {
                WriteLog("Accelerated renderer unavailable (%s); using the software renderer", SDL_GetError());
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
            WriteLog("Render targets unavailable (%s); the renderer scales the view", SDL_GetError());
            SDL_RenderSetLogicalSize(m_renderer, kViewWidth, kViewHeight);
        }
    }
    if (!m_renderer) {
        m_error = SDL_GetError();
        WriteLog("Error: can't create the renderer: %s", m_error.c_str());
        SystemShutdown();
        return false;
    }
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "linear");
    ReadRefreshRate();
    SDL_RendererInfo info{};
    SDL_GetRendererInfo(m_renderer, &info);
    WriteLog("Video driver: %s", SDL_GetCurrentVideoDriver() ? SDL_GetCurrentVideoDriver() : "none");
    WriteLog("Renderer: %s", info.name ? info.name : "unknown");
    WriteLog("Mode: %d x %d, %s, %d bits", m_windowWidth, m_windowHeight,
             m_options.headless ? "off-screen" : (m_windowed ? "windowed" : "full screen"), m_colourDepth);
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
        WriteLog("Platform shut down");
        SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
        m_initiated = false;
    }
}

uint64_t SdlPlatform::GetPerformanceCounter() const { return ClockCounter(); }

double SdlPlatform::GetPerformanceFrequency() const { return ClockFrequency(); }

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
        bool stop = m_frameFn();
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

void SdlPlatform::PollEvents()
{
    m_events.clear();
    if (StopSignal() != 0 && !m_stopReported) {
        m_stopReported = true;
        WriteLog("Signal %d: the game closes as when its window is closed", StopSignal());
        if (m_exitFn) {
            m_exitFn();
        }
    }
    SDL_Event event;
    bool afterRepeat = false; // the text event that follows a repeated key belongs to it
    while (SDL_PollEvent(&event)) {
        const bool repeatedText = afterRepeat && event.type == SDL_TEXTINPUT;
        afterRepeat = false;
        if (m_pads.HandleEvent(event)) {
            continue;
        }
        switch (event.type) {
        case SDL_QUIT:
            if (m_exitFn) {
                m_exitFn();
            }
            break;
        case SDL_WINDOWEVENT:
            HandleWindowEvent(event.window.event, event.window.data1, event.window.data2);
            break;
        case SDL_MOUSEMOTION:
            MapMouse(static_cast<float>(event.motion.x), static_cast<float>(event.motion.y));
            break;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP:
            MapMouse(static_cast<float>(event.button.x), static_cast<float>(event.button.y));
            if (int key = PlatformKeyOfButton(event.button.button)) {
                const bool down = event.type == SDL_MOUSEBUTTONDOWN;
                m_keys[static_cast<size_t>(key)] = down;
                AddEvent(down ? InputEvent::EType::ButtonDown : InputEvent::EType::ButtonUp, key, {});
            }
            break;
        case SDL_KEYDOWN:
        case SDL_KEYUP: {
            int key = kKeyboardBase + static_cast<int>(event.key.keysym.scancode);
            if (key < static_cast<int>(m_keys.size())) {
                m_keys[static_cast<size_t>(key)] = event.type == SDL_KEYDOWN;
                if (event.type == SDL_KEYDOWN && event.key.repeat) {
                    afterRepeat = true;
                } else if (event.type == SDL_KEYDOWN && !TakeShortcut(key)) {
                    AddEvent(InputEvent::EType::KeyPress, key, {});
                }
            }
            break;
        }
        case SDL_TEXTINPUT:
            if (!repeatedText) {
                AddEvent(InputEvent::EType::Text, 0, event.text.text);
            }
            break;
        default:
            break;
        }
    }
    ReadPads();
}

void SdlPlatform::ReadPads()
{
    const double ms = static_cast<double>(GetPerformanceCounter()) * 1000.0 / GetPerformanceFrequency();
    for (int key : m_padNavigator.Update(m_pads.Read(), static_cast<int64_t>(ms))) {
        AddEvent(InputEvent::EType::KeyPress, key, {});
    }
}

void SdlPlatform::AddEvent(InputEvent::EType type, int key, std::string text)
{
    InputEvent& event = m_events.emplace_back();
    event.type = type;
    event.key = key;
    event.text = std::move(text);
    event.x = m_mouseX;
    event.y = m_mouseY;
}

void SdlPlatform::HandleWindowEvent(int event, int data1, int data2)
{
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

void SdlPlatform::MapMouse(float x, float y) { PointToView(m_fit, x, y, m_mouseX, m_mouseY); }

bool SdlPlatform::TakeShortcut(int platformKey)
{
    const bool alt = InputGetKeyState(kKeyboardBase + SDL_SCANCODE_LALT) ||
                     InputGetKeyState(kKeyboardBase + SDL_SCANCODE_RALT);
    const bool enter =
        platformKey == kKeyboardBase + SDL_SCANCODE_RETURN || platformKey == kKeyboardBase + SDL_SCANCODE_KP_ENTER;
    if (platformKey != kKeyboardBase + SDL_SCANCODE_F11 && !(enter && alt)) {
        return false;
    }
    if (m_toggleFn) {
        m_toggleFn();
    }
    return true;
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

void SdlPlatform::SetHideMouse(bool hide)
{
    m_hideMouse = hide;
    if (m_initiated) {
        SDL_ShowCursor(hide ? SDL_DISABLE : SDL_ENABLE);
    }
}

void SdlPlatform::SetTitle(const std::string& title)
{
    m_title = title;
    if (m_window) {
        SDL_SetWindowTitle(m_window, title.c_str());
    }
}

void SdlPlatform::InputGetMousePos(float& x, float& y) const
{
    x = m_mouseX;
    y = m_mouseY;
}

void SdlPlatform::InputSetMousePos(float x, float y)
{
    m_mouseX = x;
    m_mouseY = y;
    if (m_window && m_renderer) {
        int wx = 0, wy = 0;
        if (m_frame) {
            float px = 0, py = 0;
            ViewToPoint(m_fit, x, y, px, py);
            wx = static_cast<int>(std::lround(px));
            wy = static_cast<int>(std::lround(py));
        } else {
            SDL_RenderLogicalToWindow(m_renderer, x, y, &wx, &wy);
        }
        SDL_WarpMouseInWindow(m_window, wx, wy);
    }
}

void SdlPlatform::ViewToWindow(float vx, float vy, float& wx, float& wy) const { tsv::ViewToWindow(m_fit, vx, vy, wx, wy); }

bool SdlPlatform::InputGetKeyState(int platformKey) const
{
    if (platformKey <= 0 || platformKey >= static_cast<int>(m_keys.size())) {
        return false;
    }
    const std::vector<int>& pad = m_padNavigator.Held();
    return m_keys[static_cast<size_t>(platformKey)] || m_injectedKeys[static_cast<size_t>(platformKey)] ||
           std::find(pad.begin(), pad.end(), platformKey) != pad.end();
}

std::string SdlPlatform::ClipboardGetText() const
{
    if (m_options.headless) {
        return m_clipboard;
    }
    std::string text;
    if (char* clip = SDL_GetClipboardText()) {
        text = clip;
        SDL_free(clip);
    }
    return text;
}

void SdlPlatform::ClipboardSetText(const std::string& utf8)
{
    if (m_options.headless) {
        m_clipboard = utf8;
    } else {
        SDL_SetClipboardText(utf8.c_str());
    }
}

void SdlPlatform::InjectMouseMove(float x, float y) { WindowToView(m_fit, x, y, m_mouseX, m_mouseY); }

void SdlPlatform::InjectKeyState(int platformKey, bool down)
{
    if (platformKey <= 0 || platformKey >= static_cast<int>(m_injectedKeys.size())) {
        return;
    }
    const bool changed = down != m_injectedKeys[static_cast<size_t>(platformKey)];
    m_injectedKeys[static_cast<size_t>(platformKey)] = down;
    if (!changed) {
        return;
    }
    if (platformKey < kKeyboardBase) {
        AddEvent(down ? InputEvent::EType::ButtonDown : InputEvent::EType::ButtonUp, platformKey, {});
    } else if (down && !TakeShortcut(platformKey)) {
        AddEvent(InputEvent::EType::KeyPress, platformKey, {});
    }
}

void SdlPlatform::InjectText(const std::string& text)
{
    if (!text.empty()) {
        AddEvent(InputEvent::EType::Text, 0, text);
    }
}

bool SdlPlatform::GfxBeginScene()
{
    if (m_frame && Drawing()) {
        // At the view's own size the copy from m_frame would be a whole
        // extra pass over the frame's pixels for nothing.
        UpdateFit();
        m_direct = m_fit.width == kViewWidth && m_fit.height == kViewHeight;
        if (m_direct) {
            BeginDirectFrame();
        } else {
            SDL_SetRenderTarget(m_renderer, m_frame);
        }
    }
    m_batchCount = 0;
    m_batchVertices.clear();
    m_batchIndices.clear();
    m_batchTexture = 0;
    m_batchBlend = -1;
    return m_renderer != nullptr && Drawing();
}

void SdlPlatform::GfxClear(uint32_t colour)
{
    if (!Drawing()) {
        return;
    }
    SDL_SetRenderDrawColor(m_renderer, static_cast<Uint8>(colour >> 16), static_cast<Uint8>(colour >> 8),
                           static_cast<Uint8>(colour), 255);
    if (m_direct) {
        // Only the view: a clear would paint the bars too.
        SDL_SetRenderDrawBlendMode(m_renderer, SDL_BLENDMODE_NONE);
        SDL_RenderFillRect(m_renderer, nullptr);
        return;
    }
    SDL_RenderClear(m_renderer);
}

void SdlPlatform::BeginDirectFrame()
{
    SDL_SetRenderTarget(m_renderer, nullptr);
    SDL_RenderSetViewport(m_renderer, nullptr);
    int outW = 0, outH = 0;
    SDL_GetRendererOutputSize(m_renderer, &outW, &outH);
    if (m_fit.x > 0 || m_fit.y > 0 || outW > kViewWidth || outH > kViewHeight) {
        SDL_SetRenderDrawColor(m_renderer, 0, 0, 0, 255);
        SDL_RenderClear(m_renderer);
    }
    const SDL_Rect view{m_fit.x, m_fit.y, kViewWidth, kViewHeight};
    SDL_RenderSetViewport(m_renderer, &view);
}

void SdlPlatform::Flush()
{
    if (m_batchIndices.empty()) {
        return;
    }
    SDL_Texture* texture = nullptr;
    if (m_batchTexture > 0 && m_batchTexture <= m_textures.size()) {
        texture = m_textures[m_batchTexture - 1].texture;
    }
    SDL_BlendMode mode = m_batchBlend == kBlendNone        ? SDL_BLENDMODE_NONE
                         : (m_batchBlend & kBlendAlpha) ? SDL_BLENDMODE_BLEND
                                                        : SDL_BLENDMODE_ADD;
    if (texture) {
        SDL_SetTextureBlendMode(texture, mode);
    } else {
        SDL_SetRenderDrawBlendMode(m_renderer, mode);
    }
    SDL_RenderGeometry(m_renderer, texture, m_batchVertices.data(), static_cast<int>(m_batchVertices.size()),
                       m_batchIndices.data(), static_cast<int>(m_batchIndices.size()));
    ++m_batchCount;
    m_batchVertices.clear();
    m_batchIndices.clear();
}

void SdlPlatform::GfxRenderQuad(const Quad& quad)
{
    if (!Drawing()) {
        return;
    }
    // A quad with no alpha at any corner adds nothing in either blending.
    if ((quad.v[0].color >> 24) == 0 && (quad.v[1].color >> 24) == 0 && (quad.v[2].color >> 24) == 0 &&
        (quad.v[3].color >> 24) == 0) {
        return;
    }
    // A released texture is decoded again from its file when it is drawn.
    if (quad.texture != m_batchTexture && quad.texture > 0 && quad.texture <= m_textures.size() &&
        !m_textures[quad.texture - 1].path.empty() && !MakeResident(m_textures[quad.texture - 1])) {
        return;
    }
    // An opaque texture under opaque colours covers what lies below whatever
    // the blending: it is drawn without (a backdrop costs a copy, not a blend).
    int blend = quad.blend;
    if (blend == kBlendAlpha && quad.texture > 0 && quad.texture <= m_textures.size() &&
        m_textures[quad.texture - 1].opaque && (quad.v[0].color >> 24) == 0xFF && (quad.v[1].color >> 24) == 0xFF &&
        (quad.v[2].color >> 24) == 0xFF && (quad.v[3].color >> 24) == 0xFF) {
        blend = kBlendNone;
    }
    if (quad.texture != m_batchTexture || blend != m_batchBlend) {
        Flush();
        m_batchTexture = quad.texture;
        m_batchBlend = blend;
    }
    int base = static_cast<int>(m_batchVertices.size());
    for (const Vertex& v : quad.v) {
        SDL_Vertex out;
        out.position = {v.x, v.y};
        out.color = {static_cast<Uint8>(v.color >> 16), static_cast<Uint8>(v.color >> 8), static_cast<Uint8>(v.color),
                     static_cast<Uint8>(v.color >> 24)};
        // A mesh larger than its texture stretches the texture's edge, as a
        // clamped texture does on every renderer (the software one refuses
        // coordinates outside 0..1, and with them the whole batch).
        out.tex_coord = {std::clamp(v.u, 0.0f, 1.0f), std::clamp(v.v, 0.0f, 1.0f)};
        m_batchVertices.push_back(out);
    }
    const int order[6] = {0, 1, 2, 0, 2, 3};
    for (int i : order) {
        m_batchIndices.push_back(base + i);
    }
}

void SdlPlatform::SaveScreenshots()
{
    if (m_screenshotPaths.empty()) {
        return;
    }
    SDL_Surface* shot = SDL_CreateRGBSurfaceWithFormat(0, kViewWidth, kViewHeight, 32, SDL_PIXELFORMAT_ARGB8888);
    if (shot && m_renderer && Drawing()) {
        if (m_target) {
            SDL_BlitSurface(m_target, nullptr, shot, nullptr);
        } else if (m_frame) {
            SDL_RenderReadPixels(m_renderer, nullptr, SDL_PIXELFORMAT_ARGB8888, shot->pixels, shot->pitch);
        } else {
            int ow = 0, oh = 0;
            SDL_GetRendererOutputSize(m_renderer, &ow, &oh);
            SDL_Surface* full = SDL_CreateRGBSurfaceWithFormat(0, ow, oh, 32, SDL_PIXELFORMAT_ARGB8888);
            SDL_RenderSetLogicalSize(m_renderer, 0, 0);
            if (full && SDL_RenderReadPixels(m_renderer, nullptr, SDL_PIXELFORMAT_ARGB8888, full->pixels, full->pitch) == 0) {
                SDL_BlitScaled(full, nullptr, shot, nullptr);
            }
            SDL_RenderSetLogicalSize(m_renderer, kViewWidth, kViewHeight);
            SDL_FreeSurface(full);
        }
    }
    // Frames are opaque: the clear colour's alpha is not part of the picture.
    if (shot) {
        SDL_SetSurfaceBlendMode(shot, SDL_BLENDMODE_NONE);
        auto* pixels = static_cast<Uint32*>(shot->pixels);
        for (int i = 0; i < kViewWidth * kViewHeight; ++i) {
            pixels[i] |= 0xFF000000u;
        }
        // The frame is encoded once; more shots of it are copies of that file
        // (a script asking for thousands in one frame must not stall the game).
        std::string encoded;
        for (const std::string& path : m_screenshotPaths) {
            bool saved = false;
            if (!encoded.empty()) {
                if (FILE* out = std::fopen(path.c_str(), "wb")) {
                    saved = std::fwrite(encoded.data(), 1, encoded.size(), out) == encoded.size();
                    saved = std::fclose(out) == 0 && saved;
                }
            } else if (IMG_SavePNG(shot, path.c_str()) == 0) {
                saved = true;
                if (FILE* in = std::fopen(path.c_str(), "rb")) {
                    char buffer[65536];
                    for (size_t got; (got = std::fread(buffer, 1, sizeof buffer, in)) > 0;) {
                        encoded.append(buffer, got);
                    }
                    std::fclose(in);
                }
            }
            if (!saved) {
                WriteLog("Error: can't save screenshot %s: %s", path.c_str(), SDL_GetError());
                GetLog() << Error << path << ": cannot save the screenshot: " << SDL_GetError() << EndL;
            }
        }
        SDL_FreeSurface(shot);
    }
    m_screenshotPaths.clear();
}

void SdlPlatform::GfxEndScene()
{
    if (Drawing()) {
        Flush();
        ++m_drawnFrames;
        ReleaseIdleTextures();
    }
    m_lastBatchCount = m_batchCount;
    SaveScreenshots();
    if (Drawing() && m_window) {
        Present();
    }
}

bool SdlPlatform::GfxReadFrame(std::vector<uint32_t>& argb)
{
    if (!m_renderer || !Drawing()) {
        return false;
    }
    Flush();
    SDL_RenderFlush(m_renderer);
    argb.assign(static_cast<size_t>(kViewWidth) * kViewHeight, 0);
    const int pitch = kViewWidth * 4;
    if (m_target) {
        return SDL_ConvertPixels(kViewWidth, kViewHeight, m_target->format->format, m_target->pixels, m_target->pitch,
                                 SDL_PIXELFORMAT_ARGB8888, argb.data(), pitch) == 0;
    }
    return m_frame && SDL_RenderReadPixels(m_renderer, nullptr, SDL_PIXELFORMAT_ARGB8888, argb.data(), pitch) == 0;
}

void SdlPlatform::Present()
{
    if (!m_frame || m_direct) {
        SDL_RenderPresent(m_renderer);
        return;
    }
    SDL_SetRenderTarget(m_renderer, nullptr);
    SDL_RenderSetViewport(m_renderer, nullptr); // a direct frame's may be left on the window
    UpdateFit();
    SDL_SetRenderDrawColor(m_renderer, 0, 0, 0, 255);
    SDL_RenderClear(m_renderer);
    // A whole scale copies every view pixel as an exact block; any other is
    // enlarged to the whole factor above first, then filtered down to size.
    const bool whole = m_fit.scale == static_cast<float>(m_fit.prescale);
    SDL_Texture* source = m_frame;
    if (!whole && m_fit.prescale > 1) {
        if (m_prescaledFactor != m_fit.prescale) {
            if (m_prescaled) {
                SDL_DestroyTexture(m_prescaled);
            }
            m_prescaled = SDL_CreateTexture(m_renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_TARGET,
                                            kViewWidth * m_fit.prescale, kViewHeight * m_fit.prescale);
            if (m_prescaled) {
                SDL_SetTextureBlendMode(m_prescaled, SDL_BLENDMODE_NONE);
                SDL_SetTextureScaleMode(m_prescaled, SDL_ScaleModeLinear);
            }
            m_prescaledFactor = m_fit.prescale;
        }
        if (m_prescaled) {
            SDL_SetTextureScaleMode(m_frame, SDL_ScaleModeNearest);
            SDL_SetRenderTarget(m_renderer, m_prescaled);
            SDL_RenderCopy(m_renderer, m_frame, nullptr, nullptr);
            SDL_SetRenderTarget(m_renderer, nullptr);
            source = m_prescaled;
        }
    }
    if (source == m_frame) {
        SDL_SetTextureScaleMode(m_frame, whole ? SDL_ScaleModeNearest : SDL_ScaleModeLinear);
    }
    const SDL_Rect dest{m_fit.x, m_fit.y, m_fit.width, m_fit.height};
    SDL_RenderCopy(m_renderer, source, nullptr, &dest);
    SDL_RenderPresent(m_renderer);
}

TextureHandle SdlPlatform::TextureLoad(const std::string& path)
{
    if (!m_renderer) {
        return 0;
    }
    SDL_Surface* surface = DecodeTexture(path);
    if (!surface) {
        return 0;
    }
    TextureEntry entry;
    entry.width = surface->w;
    entry.height = surface->h;
    entry.opaque = IsOpaque(surface);
    entry.path = path;
    entry.lastDrawn = m_drawnFrames;
    // A texture is loaded to be shown: it goes to the renderer now, unless
    // nothing is drawn (then its first draw sends it).
    if (Drawing()) {
        entry.texture = SDL_CreateTextureFromSurface(m_renderer, surface);
        if (!entry.texture) {
            WriteLog("Error: can't create texture %s: %s", path.c_str(), SDL_GetError());
            SDL_FreeSurface(surface);
            return 0;
        }
    }
    SDL_FreeSurface(surface);
    for (size_t i = 0; i < m_textures.size(); ++i) {
        if (m_textures[i].path.empty()) {
            m_textures[i] = std::move(entry);
            return static_cast<TextureHandle>(i + 1);
        }
    }
    m_textures.push_back(std::move(entry));
    return static_cast<TextureHandle>(m_textures.size());
}

SDL_Surface* SdlPlatform::DecodeTexture(const std::string& path)
{
    SDL_Surface* surface = nullptr;
    if (EndsWithNoCase(path, ".dds")) {
        std::string bytes;
        DecodedImage image;
        std::string error;
        if (!ReadFileBytes(path, bytes)) {
            WriteLog("Error: can't open texture %s", path.c_str());
            return nullptr;
        }
        if (!DecodeDds(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), image, error)) {
            WriteLog("Error: can't decode texture %s: %s", path.c_str(), error.c_str());
            return nullptr;
        }
        surface = SDL_CreateRGBSurfaceWithFormat(0, image.width, image.height, 32, SDL_PIXELFORMAT_ARGB8888);
        if (surface) {
            for (int y = 0; y < image.height; ++y) {
                std::memcpy(static_cast<Uint8*>(surface->pixels) + y * surface->pitch,
                            image.pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(image.width),
                            static_cast<size_t>(image.width) * 4);
            }
        }
    } else {
        // The size from the header first: a picture too large for the
        // renderer is refused before gigabytes are decoded for it.
        int width = 0, height = 0;
        if (ReadPngSize(path, width, height) && (width > MaxTextureSide() || height > MaxTextureSide())) {
            WriteLog("Error: can't load texture %s: %d x %d pixels, more than the %d a side the renderer takes",
                     path.c_str(), width, height, MaxTextureSide());
            return nullptr;
        }
        surface = IMG_Load(path.c_str());
    }
    if (!surface) {
        WriteLog("Error: can't load texture %s: %s", path.c_str(), SDL_GetError());
    }
    return surface;
}

bool SdlPlatform::MakeResident(TextureEntry& entry)
{
    entry.lastDrawn = m_drawnFrames;
    if (entry.texture || entry.unreadable) {
        return entry.texture != nullptr;
    }
    if (SDL_Surface* surface = DecodeTexture(entry.path)) {
        entry.texture = SDL_CreateTextureFromSurface(m_renderer, surface);
        SDL_FreeSurface(surface);
    }
    if (!entry.texture) {
        // Once: the file went away or changed under the running game.
        entry.unreadable = true;
        GetLog() << Error << entry.path << ": cannot load the texture again" << EndL;
    }
    return entry.texture != nullptr;
}

void SdlPlatform::ReleaseIdleTextures()
{
    bool released = false;
    for (TextureEntry& entry : m_textures) {
        if (entry.texture && m_drawnFrames - entry.lastDrawn > kTextureIdleFrames) {
            SDL_DestroyTexture(entry.texture);
            entry.texture = nullptr;
            released = true;
        }
    }
#ifdef __GLIBC__
    // The pixels lay in the middle of the heap (and of the GL driver's
    // threads' heaps): freed, they would stay resident without this.
    if (released) {
        malloc_trim(0);
    }
#endif
}

bool SdlPlatform::ReadPngSize(const std::string& path, int& width, int& height)
{
    // The signature, then the IHDR chunk: length, type, width, height (big-endian).
    unsigned char head[24];
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        return false;
    }
    const size_t got = std::fread(head, 1, sizeof head, file);
    std::fclose(file);
    static const unsigned char kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (got != sizeof head || std::memcmp(head, kSignature, 8) != 0 || std::memcmp(head + 12, "IHDR", 4) != 0) {
        return false;
    }
    const auto be32 = [&](int at) {
        return (uint32_t{head[at]} << 24) | (uint32_t{head[at + 1]} << 16) | (uint32_t{head[at + 2]} << 8) |
               uint32_t{head[at + 3]};
    };
    width = static_cast<int>(std::min<uint32_t>(be32(16), 0x7FFFFFFF));
    height = static_cast<int>(std::min<uint32_t>(be32(20), 0x7FFFFFFF));
    return true;
}

int SdlPlatform::MaxTextureSide() const
{
    // What the renderer says it takes, and never more than the game could
    // want (its largest picture is 2048 wide): a 8192 x 8192 picture is
    // already 256 MB in memory.
    SDL_RendererInfo info{};
    int side = kMaxTextureSide;
    if (m_renderer && SDL_GetRendererInfo(m_renderer, &info) == 0) {
        for (int limit : {info.max_texture_width, info.max_texture_height}) {
            if (limit > 0) {
                side = std::min(side, limit);
            }
        }
    }
    return side;
}

bool SdlPlatform::IsOpaque(SDL_Surface* surface)
{
    if (!surface->format->Amask) {
        return true;
    }
    SDL_Surface* argb = SDL_ConvertSurfaceFormat(surface, SDL_PIXELFORMAT_ARGB8888, 0);
    if (!argb) {
        return false;
    }
    bool opaque = true;
    for (int y = 0; y < argb->h && opaque; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(argb->pixels) + y * argb->pitch);
        for (int x = 0; x < argb->w; ++x) {
            if ((row[x] >> 24) != 0xFF) {
                opaque = false;
                break;
            }
        }
    }
    SDL_FreeSurface(argb);
    return opaque;
}

void SdlPlatform::TextureFree(TextureHandle texture)
{
    if (texture > 0 && texture <= m_textures.size() && !m_textures[texture - 1].path.empty()) {
        if (m_textures[texture - 1].texture) {
            SDL_DestroyTexture(m_textures[texture - 1].texture);
        }
        m_textures[texture - 1] = TextureEntry{};
    }
}

int SdlPlatform::TextureGetWidth(TextureHandle texture) const
{
    return texture > 0 && texture <= m_textures.size() ? m_textures[texture - 1].width : 0;
}

int SdlPlatform::TextureGetHeight(TextureHandle texture) const
{
    return texture > 0 && texture <= m_textures.size() ? m_textures[texture - 1].height : 0;
}

std::unique_ptr<Platform> CreatePlatform(const RunOptions& options) { return std::make_unique<SdlPlatform>(options); }

} // namespace tsv
