#pragma once
// The input queries screens and components use; polls the devices once per frame.

#include "engine/platform/platform.h"

#include <string>
#include <vector>

namespace tsv {

class InputManager {
public:
    // Created on first use; adds the input poll task to the application's list.
    static InputManager& Instance();

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

    // Reads the devices; called by the poll task every frame.
    void Poll();

    InputManager(const InputManager&) = delete;
    InputManager& operator=(const InputManager&) = delete;

private:
    InputManager();
    Platform* m_platform = nullptr;
    std::string m_typedText;
    std::vector<int> m_pressedKeys;
};

} // namespace tsv
