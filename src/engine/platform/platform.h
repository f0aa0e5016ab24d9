#pragma once
// What the engine asks of the window, the renderer, the clock and the input
// devices. One implementation runs over SDL2 (platform/sdl/), with a headless,
// fixed-step, scriptable mode for tests.

#include "engine/core/log.h"
#include "engine/platform/padnavigator.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace tsv {

// Texture handle; 0 is "no texture".
using TextureHandle = uint32_t;

// Platform key codes: mouse buttons 1 (left), 2 (right), 4 (middle); keyboard
// keys are kKeyboardBase + SDL scancode.
inline constexpr int kMouseLeft = 1;
inline constexpr int kMouseRight = 2;
inline constexpr int kMouseMiddle = 4;
inline constexpr int kKeyboardBase = 256;

// Blend flags of a quad: kBlendAlpha set = alpha blending, clear = additive;
// kBlendColorAdd set = vertex colour added instead of multiplied.
inline constexpr int kBlendColorAdd = 1;
inline constexpr int kBlendAlpha = 2;
inline constexpr int kBlendDefault = kBlendAlpha;

struct Vertex {
    float x = 0, y = 0; // screen pixels in the 800 x 600 view
    float u = 0, v = 0; // texture coordinates 0..1
    uint32_t color = 0xFFFFFFFF; // ARGB
};

struct Quad {
    Vertex v[4]; // top left, top right, bottom right, bottom left
    TextureHandle texture = 0;
    int blend = kBlendDefault;
};

// One input event of a frame, in the order the devices reported it: a press
// and its release within one frame, or two keys and their text, stay two
// events in their order.
struct InputEvent {
    enum class EType { ButtonDown, ButtonUp, KeyPress, Text };
    EType type = EType::Text;
    int key = 0;        // platform key: a mouse button, or a keyboard key (its first press, not repeats)
    std::string text;   // UTF-8, for Text: what a key typed or an input method sent
    float x = 0, y = 0; // the mouse in the view when it happened
};

// Window changes a headless run can act out, as a desktop would report them.
enum class WindowEvent { Minimize, Restore, Blur, Focus };

class Platform {
public:
    using FrameFn = std::function<bool()>;
    using EventFn = std::function<bool()>;
    using ResizeFn = std::function<void(int width, int height)>;

    virtual ~Platform() = default;

    // System
    virtual bool SystemInitiate() = 0;
    virtual void SystemShutdown() = 0;
    virtual bool SystemStart() = 0;
    virtual std::string SystemGetErrorMessage() const = 0;

    // States, given before SystemInitiate; windowed and hide-mouse also after.
    virtual void SetWindowed(bool windowed) = 0;
    virtual bool GetWindowed() const = 0;
    virtual void SetHideMouse(bool hide) = 0;
    virtual bool GetHideMouse() const = 0;
    virtual void SetFrameFunc(FrameFn fn) = 0;
    virtual void SetExitFunc(EventFn fn) = 0;
    virtual void SetFocusLostFunc(EventFn fn) = 0;
    virtual void SetFocusGainFunc(EventFn fn) = 0;
    virtual void SetFrameRateLimit(int fps) = 0;
    virtual void SetScreenWidth(int width) = 0;
    virtual void SetScreenHeight(int height) = 0;
    virtual void SetColourDepth(int bits) = 0;
    virtual void SetTitle(const std::string& title) = 0;
    // Called when the player sizes the window (not when it is maximised or
    // full screen): the size to restore at the next start.
    virtual void SetResizeFunc(ResizeFn fn) = 0;
    // Called for F11 and Alt+Return, which never reach the game as keys.
    virtual void SetFullscreenToggleFunc(EventFn fn) = 0;

    // Clock: counts and counts per second (a virtual clock in fixed-step runs).
    virtual uint64_t GetPerformanceCounter() const = 0;
    virtual double GetPerformanceFrequency() const = 0;
    virtual int TimerGetFPS() const = 0;

    // Input, in the logical 800 x 600 view. In the bars around the view the
    // mouse lies outside 0..800 x 0..600.
    virtual void InputGetMousePos(float& x, float& y) const = 0;
    // The window pixel where a view position is shown.
    virtual void ViewToWindow(float vx, float vy, float& wx, float& wy) const = 0;
    virtual void InputSetMousePos(float x, float y) = 0;
    virtual bool InputGetKeyState(int platformKey) const = 0;
    // The presses, releases, keys and text since the previous frame, in order;
    // the system's key repeat is left out (the GUI repeats held keys on its
    // own clock).
    virtual const std::vector<InputEvent>& InputGetEvents() const = 0;

    // The system clipboard as UTF-8 plain text ("" when it holds none).
    // Headless runs keep a clipboard of their own.
    virtual std::string ClipboardGetText() const = 0;
    virtual void ClipboardSetText(const std::string& utf8) = 0;

    // Drawing
    virtual bool GfxBeginScene() = 0;
    virtual void GfxClear(uint32_t colour) = 0;
    virtual void GfxRenderQuad(const Quad& quad) = 0;
    virtual void GfxEndScene() = 0;
    // The view's pixels drawn since GfxBeginScene (800 x 600, ARGB, rows top
    // down), without presenting them; false when nothing is drawn.
    virtual bool GfxReadFrame(std::vector<uint32_t>& argb) = 0;

    // Textures (resolved file paths); 0 on failure.
    virtual TextureHandle TextureLoad(const std::string& path) = 0;
    virtual void TextureFree(TextureHandle texture) = 0;
    virtual int TextureGetWidth(TextureHandle texture) const = 0;
    virtual int TextureGetHeight(TextureHandle texture) const = 0;
    // Number of draw calls issued for the last frame (batches of quads).
    virtual int GetLastFrameBatchCount() const = 0;

    // Gamepads connected now.
    virtual int GetPadCount() const = 0;

    // Synthetic input for scripted runs; it mixes with the real devices. The
    // mouse moves to a window pixel, as a real pointer would.
    virtual void InjectMouseMove(float x, float y) = 0;
    virtual void InjectKeyState(int platformKey, bool down) = 0;
    virtual void InjectText(const std::string& text) = 0;
    // Saves the frame being drawn as an 800 x 600 PNG when it is presented.
    virtual void RequestScreenshot(const std::string& path) = 0;
    // A headless run acts as if its window were this size (full screen: the
    // size of its pretend desktop) and went through these changes.
    virtual void InjectWindowSize(int width, int height) = 0;
    virtual void InjectWindowEvent(WindowEvent event) = 0;
    // A pretend gamepad on the real gamepad path; false when it cannot be made.
    virtual bool PadAttachVirtual() = 0;
    virtual void PadDetachVirtual() = 0;
    virtual void PadSetVirtualButton(PadButton button, bool held) = 0;
    // Left stick, -1..1 each way.
    virtual void PadSetVirtualStick(float x, float y) = 0;
};

struct RunOptions;

// The platform logs through the engine's log under a section of its own, so a
// target can keep its lines apart (the start-up gives them a file of their own).
inline constexpr const char* kPlatformLogSection = "Platform";
// Puts the lines logged while it lives under the platform's section.
inline LogSectionScope PlatformLogSection() { return {GetLog(), kPlatformLogSection, "", false}; }

// The platform of this build (SDL2), set up from the run options.
std::unique_ptr<Platform> CreatePlatform(const RunOptions& options);

} // namespace tsv
