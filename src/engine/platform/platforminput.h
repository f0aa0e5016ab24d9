#pragma once
// The platform's input part: the mouse, the keyboard and gamepads, read as
// states and as this frame's events, and synthetic input for scripted runs.

#include "engine/platform/padnavigator.h"

#include <string>
#include <vector>

namespace tsv {

// Platform key codes: mouse buttons 1 (left), 2 (right), 4 (middle); keyboard
// keys are kKeyboardBase + SDL scancode.
inline constexpr int kMouseLeft = 1;
inline constexpr int kMouseRight = 2;
inline constexpr int kMouseMiddle = 4;
inline constexpr int kKeyboardBase = 256;

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

class PlatformInput {
public:
    virtual ~PlatformInput() = default;

    // The system's pointer over the window; given before SystemInitiate or after.
    virtual void SetHideMouse(bool hide) = 0;
    virtual bool GetHideMouse() const = 0;

    // Input, in the logical 800 x 600 view. In the bars around the view the
    // mouse lies outside 0..800 x 0..600.
    virtual void InputGetMousePos(float& x, float& y) const = 0;
    virtual void InputSetMousePos(float x, float y) = 0;
    virtual bool InputGetKeyState(int platformKey) const = 0;
    // The presses, releases, keys and text since the previous frame, in order;
    // the system's key repeat is left out (the GUI repeats held keys on its
    // own clock).
    virtual const std::vector<InputEvent>& InputGetEvents() const = 0;

    // Gamepads connected now.
    virtual int GetPadCount() const = 0;

    // Synthetic input for scripted runs; it mixes with the real devices. The
    // mouse moves to a window pixel, as a real pointer would.
    virtual void InjectMouseMove(float x, float y) = 0;
    virtual void InjectKeyState(int platformKey, bool down) = 0;
    virtual void InjectText(const std::string& text) = 0;
    // A pretend gamepad on the real gamepad path; false when it cannot be made.
    virtual bool PadAttachVirtual() = 0;
    virtual void PadDetachVirtual() = 0;
    virtual void PadSetVirtualButton(PadButton button, bool held) = 0;
    // Left stick, -1..1 each way.
    virtual void PadSetVirtualStick(float x, float y) = 0;
};

} // namespace tsv
