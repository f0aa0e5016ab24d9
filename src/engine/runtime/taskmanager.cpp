#include "engine/runtime/taskmanager.h"

#include <algorithm>

namespace tsv {

TaskManager::TaskManager() : m_timer(new Timer) {}

bool TaskManager::AddTask(const IntrusivePtr<Task>& task, int64_t interval)
{
    if (!task) {
        return false;
    }
    if (!task->OnAdd()) {
        return false;
    }
    task->m_paused = false;
    task->m_alive = true;
    task->m_interval = interval;
    task->m_lastRun = m_timer->GetTime();
    m_tasks.push_back(task);
    return true;
}

bool TaskManager::Execute()
{
    m_timer->Run();
    // Tasks added during the pass wait for the next one; indices stay valid
    // because removal only empties slots until the pass ends.
    size_t count = m_tasks.size();
    for (size_t i = 0; i < count; ++i) {
        IntrusivePtr<Task> task = m_tasks[i];
        if (!task) {
            continue;
        }
        if (!task->m_alive) {
            task->OnRemove();
            m_tasks[i].Reset();
            continue;
        }
        if (m_timer->GetTime() - task->m_lastRun >= task->m_interval) {
            if (!task->m_paused) {
                task->Run();
            }
            m_timer->Run();
            task->m_lastRun = m_timer->GetTime();
        }
    }
    m_tasks.erase(std::remove(m_tasks.begin(), m_tasks.end(), IntrusivePtr<Task>()), m_tasks.end());
    return !m_tasks.empty();
}

void TaskManager::KillAll()
{
    for (auto& task : m_tasks) {
        if (task) {
            task->m_alive = false;
        }
    }
}

bool TaskManager::Contains(const Task* task) const
{
    return std::any_of(m_tasks.begin(), m_tasks.end(), [&](const IntrusivePtr<Task>& t) { return t.Get() == task; });
}

} // namespace tsv
