#include "platform/clock.h"

#include <SDL.h>

namespace tsv {

namespace {
constexpr double kVirtualFrequency = 1000000.0; // counts per second
int g_stepMs = 0;
uint64_t g_virtual = 0;
} // namespace

uint64_t ClockCounter() { return g_stepMs > 0 ? g_virtual : SDL_GetPerformanceCounter(); }

double ClockFrequency()
{
    return g_stepMs > 0 ? kVirtualFrequency : static_cast<double>(SDL_GetPerformanceFrequency());
}

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
