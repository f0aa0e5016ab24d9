#pragma once
// The input queries screens and components use; polls the devices once per frame.

#include "engine/core/accesspoint.h"
#include "engine/platform/platform.h"

#include <string>
#include <vector>

namespace tsv {

class InputManager : public AccessPoint<InputManager> {
public:
    static constexpr const char* kPartName = "the input manager";
    // Reads `platform`'s devices (none when null); adds the input poll task
    // to the application's list.
    explicit InputManager(Platform* platform);

    bool IsKeyDown(int keyCode) const;
    bool IsKeyUp(int keyCode) const { return !IsKeyDown(keyCode); }
    bool IsLeftButtonDown() const;
    bool IsRightButtonDown() const;
    bool IsMiddleButtonDown() const;
    float GetMouseX() const;
    float GetMouseY() const;
    bool IsWindowed() const;
    bool IsSystemCursorShown() const;
    // Text typed and engine key codes pressed since the last frame.
    const std::string& GetTypedText() const { return m_typedText; }
    const std::vector<int>& GetPressedKeys() const { return m_pressedKeys; }
    // This frame's events in order; a KeyPress carries an engine key code.
    const std::vector<InputEvent>& GetEvents() const { return m_events; }
    // A mouse button went down this frame, however quickly it came up again.
    bool WasButtonPressed() const;

    // Where the pointer was and whether the left button was down, once for
    // each press and release of the left button this frame, in order, and
    // last as it is now: a reader that looks for the button's edges sees a
    // press and release within one frame as a click.
    struct PointerState {
        float x = 0, y = 0; // the view's pixels
        bool leftDown = false;
    };
    std::vector<PointerState> GetPointerStates() const;

    // Reads the devices; called by the poll task every frame.
    void Poll();
    // While shut, the game sees no input at all: no events, no key or button
    // down, and the pointer far outside the view (a recording plays back;
    // whoever watches it reads the platform's events themselves).
    void SetShut(bool shut) { m_shut = shut; }

    InputManager(const InputManager&) = delete;
    InputManager& operator=(const InputManager&) = delete;

private:
    static int KeyCodeOfPlatformKey(int platformKey);
    Platform* m_platform = nullptr;
    bool m_shut = false;
    std::string m_typedText;
    std::vector<int> m_pressedKeys;
    std::vector<InputEvent> m_events;
};

} // namespace tsv
