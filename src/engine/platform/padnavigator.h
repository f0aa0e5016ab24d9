#pragma once
// Turns a gamepad into the keys the game already understands: the d-pad and
// the left stick into arrow keys (with a dead zone and key repeat), A into
// Return, B into Escape, Start into Pause and Back into Tab. Every screen that
// can be worked with the keyboard is then worked with the pad as well.

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace tsv {

enum class PadButton : int {
    A,
    B,
    Start,
    Back,
    Up,
    Down,
    Left,
    Right,
};
inline constexpr int kPadButtonCount = 8;

// One frame of every connected pad together.
struct PadState {
    std::array<bool, kPadButtonCount> buttons{};
    float stickX = 0, stickY = 0; // left stick, -1..1 (y grows downwards)

    bool Held(PadButton button) const { return buttons[static_cast<size_t>(button)]; }
    void Set(PadButton button, bool held) { buttons[static_cast<size_t>(button)] = held; }
};

class PadNavigator {
public:
    // The stick counts as a direction beyond kStickOn and lets go below kStickOff,
    // so a stick resting near the edge does not flicker.
    static constexpr float kStickOn = 0.5f;
    static constexpr float kStickOff = 0.35f;
    // A held direction repeats after kRepeatDelayMs, then every kRepeatMs.
    static constexpr int64_t kRepeatDelayMs = 400;
    static constexpr int64_t kRepeatMs = 120;

    // The platform keys (kKeyboardBase + scancode) pressed by the pad this frame.
    std::vector<int> Update(const PadState& state, int64_t nowMs);
    // The platform keys the pad holds down now.
    const std::vector<int>& Held() const { return m_held; }
    // Forgets everything held (the last pad went away).
    void Reset();

private:
    int m_stickDirection = -1; // a PadButton direction, -1 for none
    std::array<bool, kPadButtonCount> m_was{};
    int m_repeatDirection = -1;
    int64_t m_nextRepeat = 0;
    std::vector<int> m_held;
};

// The platform key a pad button stands for.
int PlatformKeyOfPadButton(PadButton button);

} // namespace tsv
