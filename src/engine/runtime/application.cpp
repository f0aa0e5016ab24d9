#include "engine/runtime/application.h"

#include "engine/core/log.h"

namespace tsv {

Application::Application() : m_timer(new Timer)
{
    GetLog(); // the log outlives the application
    m_tasks.AddTask(m_timer, 0);
}

void Application::Exit(int code)
{
    m_exitCode = code;
    m_tasks.KillAll();
}

} // namespace tsv
