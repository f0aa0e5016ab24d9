#pragma once
// Runs the tasks once per frame in insertion order, each when its interval is due.

#include "engine/core/intrusiveptr.h"
#include "engine/runtime/task.h"
#include "engine/runtime/timer.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tsv {

class TaskManager {
public:
    TaskManager();
    TaskManager(const TaskManager&) = delete;
    TaskManager& operator=(const TaskManager&) = delete;

    // Calls OnAdd; on true the task is unpaused, alive and appended.
    bool AddTask(const IntrusivePtr<Task>& task, int64_t interval);
    // One pass: drops dead tasks through OnRemove, runs the due ones. True while tasks remain.
    bool Execute();
    // Marks every task dead; they leave on the next pass.
    void KillAll();

    size_t Count() const { return m_tasks.size(); }
    bool Contains(const Task* task) const;
    Timer& GetTimer() { return *m_timer; }

private:
    std::vector<IntrusivePtr<Task>> m_tasks;
    IntrusivePtr<Timer> m_timer;
};

} // namespace tsv
