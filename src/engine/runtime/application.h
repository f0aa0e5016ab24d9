#pragma once
// The process-wide application: exit code, window title, storage path, the task
// list and the application timer (the "game" clock).

#include "engine/core/accesspoint.h"
#include "engine/core/storage.h"
#include "engine/runtime/taskmanager.h"
#include "engine/runtime/timer.h"

#include <string>

namespace tsv {

class Application : public AccessPoint<Application> {
public:
    static constexpr const char* kPartName = "the application";
    Application();

    // Stores the exit code and marks every task dead; the program ends on the
    // frame after the last task has been dropped.
    void Exit(int code);

    int GetExitCode() const { return m_exitCode; }
    const std::string& GetWindowTitle() const { return m_title; }
    void SetWindowTitle(const std::string& title) { m_title = title; }
    const std::string& GetStoragePath() const { return tsv::GetStoragePath(); }
    void SetStoragePath(const std::string& path) { tsv::SetStoragePath(path); }
    TaskManager& GetTaskManager() { return m_tasks; }
    // The "game" clock; the scheduler's own clock is the "system" one.
    Timer& GetTimer() { return *m_timer; }
    Timer& GetSystemTimer() { return m_tasks.GetTimer(); }

    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

private:

    int m_exitCode = 0;
    std::string m_title = "Tessvan Application";
    TaskManager m_tasks;
    IntrusivePtr<Timer> m_timer;
};

} // namespace tsv
