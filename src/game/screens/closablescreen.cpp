#include "game/screens/closablescreen.h"

namespace bsh {

ClosableScreen::ClosableScreen(const std::string& file, std::initializer_list<const char*> buttons,
                               std::function<void()> onClose)
    : m_onClose(std::move(onClose))
{
    if (!LoadScreenFile(file)) {
        return;
    }
    for (const char* button : buttons) {
        SetHandler(button, tsv::GuiEvent::Click, [this](tsv::GUIComponent&) { Leave(); });
    }
}

void ClosableScreen::Leave()
{
    if (m_leaving) {
        return;
    }
    m_leaving = true;
    if (m_onClose) {
        m_onClose();
    }
}

} // namespace bsh
