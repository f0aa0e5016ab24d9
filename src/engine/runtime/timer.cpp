#include "engine/runtime/timer.h"

#include "engine/core/log.h"
#include "engine/platform/clock.h"

#include <cmath>

namespace tsv {

Timer::Timer()
{
    m_lastCounter = ClockCounter();
    if (ClockFrequency() < 1.0) {
        GetLog() << Error << "Timer initialization error" << EndL;
    } else {
        SetRunning(true);
    }
}

void Timer::Run()
{
    // The counter's frequency is read each time: a run (or a test) may switch
    // between real time and the fixed step after the timer was made.
    const uint64_t now = ClockCounter();
    const double frequency = ClockFrequency();
    if (!IsPaused() && now > m_lastCounter && frequency >= 1.0) {
        m_elapsedMs += static_cast<double>(now - m_lastCounter) * 1000.0 / frequency;
        m_timeMs = static_cast<int64_t>(std::llround(m_elapsedMs));
    }
    m_lastCounter = now;
}

void Timer::SetRunning(bool running)
{
    m_lastCounter = ClockCounter();
    SetPaused(!running);
}

} // namespace tsv

namespace tsv {

void Timer::Set(int64_t ms)
{
    m_elapsedMs = static_cast<double>(ms);
    m_timeMs = ms;
    m_lastCounter = ClockCounter();
}

} // namespace tsv
