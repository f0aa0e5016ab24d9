#include "engine/platform/padnavigator.h"

#include "engine/platform/keynames.h"

#include <cmath>

namespace tsv {

namespace {

constexpr KeyId kKeyOfButton[kPadButtonCount] = {KeyId::Return, KeyId::Escape, KeyId::Pause, KeyId::Tab,
                                                 KeyId::Up,     KeyId::Down,   KeyId::Left,  KeyId::Right};

bool IsDirection(int button) { return button >= static_cast<int>(PadButton::Up); }

// The stick's direction with hysteresis: the dominant axis decides.
int StickDirection(float x, float y, int before)
{
    const float ax = std::fabs(x), ay = std::fabs(y);
    const float reach = std::max(ax, ay);
    if (reach < (before >= 0 ? PadNavigator::kStickOff : PadNavigator::kStickOn)) {
        return -1;
    }
    if (ay >= ax) {
        return static_cast<int>(y < 0 ? PadButton::Up : PadButton::Down);
    }
    return static_cast<int>(x < 0 ? PadButton::Left : PadButton::Right);
}

} // namespace

int PlatformKeyOfPadButton(PadButton button)
{
    return PlatformKeyFromKeyCode(KeyCode(kKeyOfButton[static_cast<int>(button)]));
}

void PadNavigator::Reset()
{
    m_stickDirection = -1;
    m_was.fill(false);
    m_repeatDirection = -1;
    m_held.clear();
}

std::vector<int> PadNavigator::Update(const PadState& state, int64_t nowMs)
{
    m_stickDirection = StickDirection(state.stickX, state.stickY, m_stickDirection);
    std::array<bool, kPadButtonCount> now = state.buttons;
    if (m_stickDirection >= 0) {
        now[static_cast<size_t>(m_stickDirection)] = true;
    }
    std::vector<int> pressed;
    m_held.clear();
    int newest = -1;
    for (int b = 0; b < kPadButtonCount; ++b) {
        const auto i = static_cast<size_t>(b);
        if (now[i]) {
            m_held.push_back(PlatformKeyOfPadButton(static_cast<PadButton>(b)));
        }
        if (now[i] && !m_was[i]) {
            pressed.push_back(PlatformKeyOfPadButton(static_cast<PadButton>(b)));
            if (IsDirection(b)) {
                newest = b;
            }
        }
    }
    // One direction repeats: the one pressed last, while it is held.
    if (newest >= 0) {
        m_repeatDirection = newest;
        m_nextRepeat = nowMs + kRepeatDelayMs;
    } else if (m_repeatDirection >= 0 && !now[static_cast<size_t>(m_repeatDirection)]) {
        m_repeatDirection = -1;
    } else if (m_repeatDirection >= 0 && nowMs >= m_nextRepeat) {
        pressed.push_back(PlatformKeyOfPadButton(static_cast<PadButton>(m_repeatDirection)));
        m_nextRepeat = nowMs + kRepeatMs;
    }
    m_was = now;
    return pressed;
}

} // namespace tsv
