#include "engine/platform/clock.h"

#include <chrono>

namespace tsv {

namespace {
constexpr double kVirtualFrequency = 1000000.0; // counts per second
int g_stepMs = 0;
uint64_t g_virtual = 0;
} // namespace

uint64_t ClockCounter()
{
    if (g_stepMs > 0) {
        return g_virtual;
    }
    const auto since = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::nanoseconds>(since).count());
}

double ClockFrequency() { return g_stepMs > 0 ? kVirtualFrequency : 1e9; }

void ClockSetFixedStep(int stepMs)
{
    g_stepMs = stepMs > 0 ? stepMs : 0;
    g_virtual = 0;
}

int ClockFixedStep() { return g_stepMs; }

void ClockAdvanceFrame()
{
    if (g_stepMs > 0) {
        g_virtual += static_cast<uint64_t>(g_stepMs) * 1000u;
    }
}

} // namespace tsv
