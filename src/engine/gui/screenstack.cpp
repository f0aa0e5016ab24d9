#include "engine/gui/screenstack.h"

#include "engine/core/log.h"
#include "engine/runtime/application.h"

#include <algorithm>

namespace tsv {

void ScreenStack::Push(const ScreenPtr& screen, int64_t intervalMs)
{
    if (!screen) {
        return;
    }
    m_screens.push_back(screen);
    Application::Instance().GetTaskManager().AddTask(IntrusivePtr<Task>(screen.Get()), intervalMs);
}

bool ScreenStack::Remove(Screen* screen)
{
    if (m_screens.empty()) {
        return false;
    }
    auto it = screen ? std::find_if(m_screens.begin(), m_screens.end(),
                                    [screen](const ScreenPtr& s) { return s.Get() == screen; })
                     : m_screens.end() - 1;
    if (it == m_screens.end()) {
        return false;
    }
    ScreenPtr target = *it; // keeps it alive while it leaves both lists
    TaskManager& tasks = Application::Instance().GetTaskManager();
    if (tasks.Contains(target.Get())) {
        target->Kill();
    } else {
        GetLog() << Error << "Failed to remove screen" << EndL;
    }
    m_screens.erase(it);
    return true;
}

void ScreenStack::Clear()
{
    while (!m_screens.empty()) {
        ScreenPtr last = m_screens.back();
        m_screens.pop_back();
        last->OnRemove();
    }
}

bool ScreenStack::Contains(const Screen* screen) const
{
    return std::any_of(m_screens.begin(), m_screens.end(), [screen](const ScreenPtr& s) { return s.Get() == screen; });
}

Screen* ScreenStack::GetInputScreen() const
{
    if (m_covered) {
        return nullptr;
    }
    for (auto it = m_screens.rbegin(); it != m_screens.rend(); ++it) {
        if ((*it)->TakesInput()) {
            return it->Get();
        }
    }
    return nullptr;
}

} // namespace tsv
