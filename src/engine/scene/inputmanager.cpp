#include "engine/scene/inputmanager.h"

#include "engine/platform/keynames.h"
#include "engine/runtime/application.h"

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

InputManager::InputManager(Platform* platform) : m_platform(platform)
{
    Application::Instance().GetTaskManager().AddTask(IntrusivePtr<Task>(new InputPollTask(*this)), 0);
}

void InputManager::Poll()
{
    m_typedText.clear();
    m_pressedKeys.clear();
    m_events.clear();
    if (!m_platform || m_shut) {
        return;
    }
    for (const InputEvent& given : m_platform->InputGetEvents()) {
        InputEvent event = given;
        if (event.type == InputEvent::EType::KeyPress) {
            event.key = KeyCodeOfPlatformKey(given.key);
            if (event.key == 0) {
                continue;
            }
            m_pressedKeys.push_back(event.key);
        } else if (event.type == InputEvent::EType::Text) {
            m_typedText += event.text;
        }
        m_events.push_back(std::move(event));
    }
}

int InputManager::KeyCodeOfPlatformKey(int platformKey)
{
    for (int code = 1; code <= kKeyCodeCount; ++code) {
        if (PlatformKeyFromKeyCode(code) == platformKey) {
            return code;
        }
    }
    return 0;
}

bool InputManager::WasButtonPressed() const
{
    for (const InputEvent& event : m_events) {
        if (event.type == InputEvent::EType::ButtonDown) {
            return true;
        }
    }
    return false;
}

std::vector<InputManager::PointerState> InputManager::GetPointerStates() const
{
    std::vector<PointerState> states;
    for (const InputEvent& event : m_events) {
        if ((event.type == InputEvent::EType::ButtonDown || event.type == InputEvent::EType::ButtonUp) &&
            event.key == kMouseLeft) {
            states.push_back({event.x, event.y, event.type == InputEvent::EType::ButtonDown});
        }
    }
    states.push_back({GetMouseX(), GetMouseY(), IsLeftButtonDown()});
    return states;
}

bool InputManager::IsKeyDown(int keyCode) const
{
    int key = PlatformKeyFromKeyCode(keyCode);
    return m_platform && !m_shut && key && m_platform->InputGetKeyState(key);
}

bool InputManager::IsLeftButtonDown() const
{
    return m_platform && !m_shut && m_platform->InputGetKeyState(kMouseLeft);
}
bool InputManager::IsRightButtonDown() const
{
    return m_platform && !m_shut && m_platform->InputGetKeyState(kMouseRight);
}
bool InputManager::IsMiddleButtonDown() const
{
    return m_platform && !m_shut && m_platform->InputGetKeyState(kMouseMiddle);
}

// Where the pointer is when the input is shut: outside the view, over nothing.
constexpr float kShutPointer = -10000.0f;

float InputManager::GetMouseX() const
{
    float x = m_shut ? kShutPointer : 0, y = 0;
    if (m_platform && !m_shut) {
        m_platform->InputGetMousePos(x, y);
    }
    return x;
}

float InputManager::GetMouseY() const
{
    float x = 0, y = m_shut ? kShutPointer : 0;
    if (m_platform && !m_shut) {
        m_platform->InputGetMousePos(x, y);
    }
    return y;
}

bool InputManager::IsWindowed() const { return m_platform && m_platform->GetWindowed(); }
bool InputManager::IsSystemCursorShown() const { return m_platform && !m_platform->GetHideMouse(); }

} // namespace tsv
