#pragma once
// The process-wide application: exit code, window title, storage path, the task
// list and the application timer (the "game" clock).

#include "scene/taskmanager.h"
#include "scene/timer.h"

#include <string>

namespace tsv {

class Application {
public:
    static Application& Instance();

    // Stores the exit code and marks every task dead; the program ends on the
    // frame after the last task has been dropped.
    void Exit(int code);

    int GetExitCode() const { return m_exitCode; }
    const std::string& GetWindowTitle() const { return m_title; }
    void SetWindowTitle(const std::string& title) { m_title = title; }
    const std::string& GetStoragePath() const { return m_storagePath; }
    void SetStoragePath(const std::string& path) { m_storagePath = path; }
    TaskManager& GetTaskManager() { return m_tasks; }
    // The "game" clock; the scheduler's own clock is the "system" one.
    Timer& GetTimer() { return *m_timer; }
    Timer& GetSystemTimer() { return m_tasks.GetTimer(); }

    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

private:
    Application();

    int m_exitCode = 0;
    std::string m_title = "Tessvan Application";
    std::string m_storagePath;
    TaskManager m_tasks;
    IntrusivePtr<Timer> m_timer;
};

} // namespace tsv
