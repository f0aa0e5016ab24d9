#pragma once
// A pausable millisecond clock on the performance counter. Time spent paused is never counted.

#include "engine/runtime/task.h"

#include <cstdint>

namespace tsv {

class Timer : public Task {
public:
    Timer();

    // Advances the clock by the counts elapsed since the last update, unless paused.
    void Run() override;
    // Current time in milliseconds, rounded. Read by every node every frame,
    // so it is worked out once per update.
    int64_t GetTime() const { return m_timeMs; }
    void SetRunning(bool running);
    // Puts the clock at `ms` (a recording played back sets the time it was).
    void Set(int64_t ms);
    bool IsRunning() const { return !IsPaused(); }

private:
    double m_elapsedMs = 0; // while running
    uint64_t m_lastCounter = 0;
    int64_t m_timeMs = 0;
};

} // namespace tsv
