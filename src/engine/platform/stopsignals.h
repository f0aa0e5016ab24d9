#pragma once

namespace tsv {

// The signals that ask a program to end (SIGTERM, SIGINT, SIGHUP). The first
// one asks the frame loop to stop as closing the window does, so the game
// saves what it holds; if the game has not ended kGraceSeconds later (stuck in
// a long load, say) the process ends anyway, and a second signal (two seconds on) ends it at
// once. Player files are written through a temporary file and a rename, so
// ending at any moment never damages them.
inline constexpr unsigned kStopGraceSeconds = 5;

void InstallStopSignals();
// The signal that asked the game to stop, 0 for none.
int StopSignal();
// Forgets a request (a test that raised a signal itself).
void ClearStopSignal();

} // namespace tsv
