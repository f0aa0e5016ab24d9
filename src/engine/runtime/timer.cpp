#include "engine/runtime/timer.h"

#include "engine/core/log.h"
#include "engine/platform/clock.h"

#include <cmath>

namespace tsv {

Timer::Timer()
{
    m_frequency = ClockFrequency();
    m_lastCounter = ClockCounter();
    if (m_frequency < 1.0) {
        GetLog() << Error << "Timer initialization error" << EndL;
    } else {
        SetRunning(true);
    }
}

void Timer::Run()
{
    uint64_t now = ClockCounter();
    if (!IsPaused() && now > m_lastCounter) {
        m_accumulated += now - m_lastCounter;
        if (m_frequency >= 1.0) {
            m_timeMs = static_cast<int64_t>(std::llround(static_cast<double>(m_accumulated) * 1000.0 / m_frequency));
        }
    }
    m_lastCounter = now;
}

void Timer::SetRunning(bool running)
{
    m_lastCounter = ClockCounter();
    SetPaused(!running);
}

} // namespace tsv
