#include "engine/scene/inputmanager.h"

#include "engine/platform/keynames.h"
#include "engine/runtime/application.h"
#include "engine/scene/scenemanager.h"

namespace tsv {

namespace {

class InputPollTask : public Task {
public:
    explicit InputPollTask(InputManager& input) : m_input(input) {}
    void Run() override { m_input.Poll(); }

private:
    InputManager& m_input;
};

} // namespace

InputManager::InputManager() : m_platform(SceneManager::Instance().GetPlatform())
{
    Application::Instance().GetTaskManager().AddTask(IntrusivePtr<Task>(new InputPollTask(*this)), 0);
}

InputManager& InputManager::Instance()
{
    static InputManager s_input;
    return s_input;
}

void InputManager::Poll()
{
    m_typedText.clear();
    m_pressedKeys.clear();
    if (!m_platform) {
        return;
    }
    m_typedText = m_platform->InputGetTypedText();
    for (int platformKey : m_platform->InputGetPressedKeys()) {
        for (int code = 1; code <= kKeyCodeCount; ++code) {
            if (PlatformKeyFromKeyCode(code) == platformKey) {
                m_pressedKeys.push_back(code);
                break;
            }
        }
    }
}

bool InputManager::IsKeyDown(int keyCode) const
{
    int key = PlatformKeyFromKeyCode(keyCode);
    return m_platform && key && m_platform->InputGetKeyState(key);
}

bool InputManager::IsLeftButtonDown() const { return m_platform && m_platform->InputGetKeyState(kMouseLeft); }
bool InputManager::IsRightButtonDown() const { return m_platform && m_platform->InputGetKeyState(kMouseRight); }
bool InputManager::IsMiddleButtonDown() const { return m_platform && m_platform->InputGetKeyState(kMouseMiddle); }

float InputManager::GetMouseX() const
{
    float x = 0, y = 0;
    if (m_platform) {
        m_platform->InputGetMousePos(x, y);
    }
    return x;
}

float InputManager::GetMouseY() const
{
    float x = 0, y = 0;
    if (m_platform) {
        m_platform->InputGetMousePos(x, y);
    }
    return y;
}

bool InputManager::IsWindowed() const { return m_platform && m_platform->GetWindowed(); }
bool InputManager::IsSystemCursorShown() const { return m_platform && !m_platform->GetHideMouse(); }

} // namespace tsv
