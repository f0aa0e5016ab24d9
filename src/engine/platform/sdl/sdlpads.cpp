#include "engine/platform/sdl/sdlpads.h"

#include "engine/core/log.h"

#include <SDL.h>
#include <algorithm>
#include <cmath>

namespace tsv {

namespace {

constexpr float kAxisRange = 32767.0f;

SDL_GameControllerButton SdlButton(PadButton button)
{
    switch (button) {
    case PadButton::A: return SDL_CONTROLLER_BUTTON_A;
    case PadButton::B: return SDL_CONTROLLER_BUTTON_B;
    case PadButton::Start: return SDL_CONTROLLER_BUTTON_START;
    case PadButton::Back: return SDL_CONTROLLER_BUTTON_BACK;
    case PadButton::Up: return SDL_CONTROLLER_BUTTON_DPAD_UP;
    case PadButton::Down: return SDL_CONTROLLER_BUTTON_DPAD_DOWN;
    case PadButton::Left: return SDL_CONTROLLER_BUTTON_DPAD_LEFT;
    case PadButton::Right: return SDL_CONTROLLER_BUTTON_DPAD_RIGHT;
    }
    return SDL_CONTROLLER_BUTTON_INVALID;
}

float Axis(SDL_GameController* controller, SDL_GameControllerAxis axis)
{
    return std::clamp(static_cast<float>(SDL_GameControllerGetAxis(controller, axis)) / kAxisRange, -1.0f, 1.0f);
}

} // namespace

SdlPads::~SdlPads() { Stop(); }

bool SdlPads::Start()
{
    if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0) {
        GetLog() << Warning << "Gamepads are not available: " << SDL_GetError() << EndL;
        return false;
    }
    m_started = true;
    return true;
}

void SdlPads::Stop()
{
    if (!m_started) {
        return;
    }
    DetachVirtual();
    for (Pad& pad : m_pads) {
        SDL_GameControllerClose(pad.controller);
    }
    m_pads.clear();
    SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
    m_started = false;
}

bool SdlPads::HandleEvent(const SDL_Event& event)
{
    if (event.type == SDL_CONTROLLERDEVICEADDED) {
        SDL_GameController* controller = SDL_GameControllerOpen(event.cdevice.which);
        if (!controller) {
            GetLog() << Warning << "A gamepad was connected but cannot be opened: " << SDL_GetError() << EndL;
            return true;
        }
        const int instance = SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(controller));
        if (std::any_of(m_pads.begin(), m_pads.end(), [instance](const Pad& p) { return p.instance == instance; })) {
            SDL_GameControllerClose(controller); // opened twice: SDL counts the references
            return true;
        }
        const char* name = SDL_GameControllerName(controller);
        m_pads.push_back({instance, controller, name ? name : "unnamed"});
        GetLog() << Hint << "Gamepad connected: " << m_pads.back().name << EndL;
        return true;
    }
    if (event.type == SDL_CONTROLLERDEVICEREMOVED) {
        auto it = std::find_if(m_pads.begin(), m_pads.end(),
                               [&event](const Pad& p) { return p.instance == event.cdevice.which; });
        if (it != m_pads.end()) {
            GetLog() << Hint << "Gamepad disconnected: " << it->name << EndL;
            SDL_GameControllerClose(it->controller);
            m_pads.erase(it);
        }
        return true;
    }
    return false;
}

PadState SdlPads::Read() const
{
    PadState state;
    for (const Pad& pad : m_pads) {
        for (int b = 0; b < kPadButtonCount; ++b) {
            const auto button = static_cast<PadButton>(b);
            if (SDL_GameControllerGetButton(pad.controller, SdlButton(button))) {
                state.Set(button, true);
            }
        }
        // The pad pushed furthest leads.
        const float x = Axis(pad.controller, SDL_CONTROLLER_AXIS_LEFTX);
        const float y = Axis(pad.controller, SDL_CONTROLLER_AXIS_LEFTY);
        if (std::max(std::fabs(x), std::fabs(y)) > std::max(std::fabs(state.stickX), std::fabs(state.stickY))) {
            state.stickX = x;
            state.stickY = y;
        }
    }
    return state;
}

bool SdlPads::AttachVirtual()
{
    if (!m_started || m_virtual) {
        return m_virtual != nullptr;
    }
    SDL_VirtualJoystickDesc desc;
    SDL_zero(desc);
    desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
    desc.naxes = SDL_CONTROLLER_AXIS_MAX;
    desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
    desc.button_mask = (1u << SDL_CONTROLLER_BUTTON_MAX) - 1;
    desc.axis_mask = (1u << SDL_CONTROLLER_AXIS_MAX) - 1;
    desc.name = "Virtual gamepad";
    const int index = SDL_JoystickAttachVirtualEx(&desc);
    if (index < 0 || !(m_virtual = SDL_JoystickOpen(index))) {
        GetLog() << Warning << "Cannot make a virtual gamepad: " << SDL_GetError() << EndL;
        return false;
    }
    return true;
}

void SdlPads::DetachVirtual()
{
    if (!m_virtual) {
        return;
    }
    const SDL_JoystickID id = SDL_JoystickInstanceID(m_virtual);
    SDL_JoystickClose(m_virtual);
    m_virtual = nullptr;
    for (int i = 0; i < SDL_NumJoysticks(); ++i) {
        if (SDL_JoystickGetDeviceInstanceID(i) == id) {
            SDL_JoystickDetachVirtual(i);
            break;
        }
    }
}

void SdlPads::SetVirtualButton(PadButton button, bool held)
{
    if (m_virtual) {
        SDL_JoystickSetVirtualButton(m_virtual, SdlButton(button), held ? 1 : 0);
    }
}

void SdlPads::SetVirtualStick(float x, float y)
{
    if (m_virtual) {
        SDL_JoystickSetVirtualAxis(m_virtual, SDL_CONTROLLER_AXIS_LEFTX,
                                   static_cast<Sint16>(std::lround(std::clamp(x, -1.0f, 1.0f) * kAxisRange)));
        SDL_JoystickSetVirtualAxis(m_virtual, SDL_CONTROLLER_AXIS_LEFTY,
                                   static_cast<Sint16>(std::lround(std::clamp(y, -1.0f, 1.0f) * kAxisRange)));
    }
}

} // namespace tsv
