// SdlPlatform, the input part: the frame's events from the devices, the mouse
// in the view, key states, gamepads and synthetic input.

#include "engine/platform/sdl/sdlplatform.h"

#include "engine/core/log.h"
#include "engine/platform/stopsignals.h"

#include <SDL.h>
#include <algorithm>
#include <cmath>

namespace tsv {

namespace {

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

void SdlPlatform::PollEvents()
{
    m_events.clear();
    if (StopSignal() != 0 && !m_stopReported) {
        m_stopReported = true;
        const LogSectionScope section = PlatformLogSection();
        GetLog() << Hint << "Signal " << StopSignal() << ": the game closes as when its window is closed" << EndL;
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

void SdlPlatform::SetHideMouse(bool hide)
{
    m_hideMouse = hide;
    if (m_initiated) {
        SDL_ShowCursor(hide ? SDL_DISABLE : SDL_ENABLE);
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

bool SdlPlatform::InputGetKeyState(int platformKey) const
{
    if (platformKey <= 0 || platformKey >= static_cast<int>(m_keys.size())) {
        return false;
    }
    const std::vector<int>& pad = m_padNavigator.Held();
    return m_keys[static_cast<size_t>(platformKey)] || m_injectedKeys[static_cast<size_t>(platformKey)] ||
           std::find(pad.begin(), pad.end(), platformKey) != pad.end();
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

} // namespace tsv
