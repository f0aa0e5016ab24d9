#include "game/screens/introscreen.h"

#include "engine/core/log.h"
#include "engine/core/util/xml/xmlloader.h"
#include "engine/platform/keynames.h"
#include "engine/runtime/application.h"
#include "engine/scene/inputmanager.h"

#include <algorithm>

namespace bsh {

namespace {

int64_t Now() { return tsv::Application::Instance().GetTimer().GetTime(); }

} // namespace

std::string IntroScreen::IntroScreenPath(int32_t index, const std::string& list)
{
    tsv::IntrusivePtr<tsv::XMLElement> root = tsv::LoadXMLFile(list);
    tsv::IntrusivePtr<tsv::XMLElement> top = root && !root->Children().empty() ? root->Children().front().second
                                                                                : nullptr;
    if (!top || top->GetName() != "intro") {
        tsv::GetLog() << tsv::Warning << "Intro screens not specified" << tsv::EndL;
        return {};
    }
    int32_t seen = 0;
    for (const tsv::XMLElement::Child& child : top->Children()) {
        if (child.first == "screen" && seen++ == index) {
            return child.second->GetText();
        }
    }
    return {};
}

IntroScreen::IntroScreen(int32_t index, std::function<void(int32_t next)> onNext)
    : m_index(index), m_created(Now()), m_onNext(std::move(onNext))
{
    tsv::GetLog() << tsv::Hint << "Intro screen N " << index << " created" << tsv::EndL;
    LoadScreenFile(IntroScreenPath(index));
}

IntroScreen::~IntroScreen() { tsv::GetLog() << tsv::Hint << "IntroScreen destroyed." << tsv::EndL; }

bool IntroScreen::SkipRequested() const
{
    // Presses only: a key or button still held from the screen before does
    // not skip this one too.
    const tsv::InputManager& input = tsv::InputManager::Instance();
    if (input.WasButtonPressed()) {
        return true;
    }
    const std::vector<int>& pressed = input.GetPressedKeys();
    for (const char* key : {"KEY_RETURN", "KEY_ESCAPE", "KEY_SPACE"}) {
        if (std::find(pressed.begin(), pressed.end(), tsv::KeyCodeFromName(key)) != pressed.end()) {
            return true;
        }
    }
    return false;
}

void IntroScreen::Run()
{
    Screen::Run();
    if (m_finished) {
        return;
    }
    const int64_t age = Now() - m_created;
    if (age > kShowMs || SkipRequested()) {
        m_finished = true;
        if (m_onNext) {
            m_onNext(m_index + 1);
        }
    }
}

} // namespace bsh
