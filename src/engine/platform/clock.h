#pragma once
// The performance counter every Timer reads. In fixed-step runs it is a virtual
// counter that advances a set number of milliseconds per frame, so that every
// timer, lifetime and interval replays identically.

#include <cstdint>

namespace tsv {

uint64_t ClockCounter();
double ClockFrequency();
// stepMs > 0 switches to the virtual counter (which starts at 0); 0 back to real time.
void ClockSetFixedStep(int stepMs);
int ClockFixedStep();
// Moves the virtual counter on by one step; nothing in real time.
void ClockAdvanceFrame();

} // namespace tsv
