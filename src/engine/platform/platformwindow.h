#pragma once
// The platform's window part: starting and stopping the system, the window
// and its display mode, the frame loop with its callbacks, and the clock.

#include <cstdint>
#include <functional>
#include <string>

namespace tsv {

// Window changes a headless run can act out, as a desktop would report them.
enum class WindowEvent { Minimize, Restore, Blur, Focus };

class PlatformWindow {
public:
    using FrameFn = std::function<bool()>;
    using EventFn = std::function<bool()>;
    using ResizeFn = std::function<void(int width, int height)>;

    virtual ~PlatformWindow() = default;

    // System
    virtual bool SystemInitiate() = 0;
    virtual void SystemShutdown() = 0;
    virtual bool SystemStart() = 0;
    virtual std::string SystemGetErrorMessage() const = 0;

    // States, given before SystemInitiate; windowed also after.
    virtual void SetWindowed(bool windowed) = 0;
    virtual bool GetWindowed() const = 0;
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
    // The most CPU time (all threads, milliseconds) one frame took since the
    // last call, which starts the count again.
    virtual double TakeWorstFrameCpuMs() = 0;

    // The window pixel where a view position is shown.
    virtual void ViewToWindow(float vx, float vy, float& wx, float& wy) const = 0;

    // A headless run acts as if its window were this size (full screen: the
    // size of its pretend desktop) and went through these changes.
    virtual void InjectWindowSize(int width, int height) = 0;
    virtual void InjectWindowEvent(WindowEvent event) = 0;
};

} // namespace tsv
