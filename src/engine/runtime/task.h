#pragma once
// A unit of periodic work run by the TaskManager. Screens, timers and playlists are tasks.

#include "engine/core/intrusiveptr.h"

#include <cstdint>

namespace tsv {

class Task : public RefCounted {
public:
    // A new task is paused and alive until a list takes it.
    Task() = default;

    // False keeps the task out of the list.
    virtual bool OnAdd() { return true; }
    virtual void OnSuspend() {}
    virtual void Run() = 0;
    virtual void OnResume() {}
    // Called once when the scheduler drops the task.
    virtual void OnRemove() {}

    bool IsPaused() const { return m_paused; }
    void SetPaused(bool paused) { m_paused = paused; }
    bool IsAlive() const { return m_alive; }
    void Kill() { m_alive = false; }

private:
    friend class TaskManager;
    bool m_paused = true;
    bool m_alive = true;
    int64_t m_lastRun = 0;
    int64_t m_interval = 0;
};

} // namespace tsv
