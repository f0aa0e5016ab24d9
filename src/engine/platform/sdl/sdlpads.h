#pragma once
// The gamepads over SDL's game controller API: opened and closed as they are
// plugged in and out (one log line each), read together once per frame, and a
// virtual pad that scripted runs drive through the same path.

#include "engine/platform/padnavigator.h"

#include <string>
#include <vector>

union SDL_Event;
struct _SDL_GameController;
struct _SDL_Joystick;

namespace tsv {

class SdlPads {
public:
    SdlPads() = default;
    ~SdlPads();
    SdlPads(const SdlPads&) = delete;
    SdlPads& operator=(const SdlPads&) = delete;

    // Starts SDL's game controller subsystem; false (the game runs on without pads) when it cannot.
    bool Start();
    void Stop();
    // Takes the device events (added, removed); true when the event was one.
    bool HandleEvent(const SDL_Event& event);
    // Every connected pad read together.
    PadState Read() const;
    int Count() const { return static_cast<int>(m_pads.size()); }

    bool AttachVirtual();
    void DetachVirtual();
    void SetVirtualButton(PadButton button, bool held);
    void SetVirtualStick(float x, float y);

private:
    struct Pad {
        int instance = -1;
        _SDL_GameController* controller = nullptr;
        std::string name;
    };

    bool m_started = false;
    std::vector<Pad> m_pads;
    _SDL_Joystick* m_virtual = nullptr;
};

} // namespace tsv
