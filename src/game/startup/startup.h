#pragma once

namespace bsh {

// The program's entry: settles the storage folder, opens the log, starts the
// platform and runs the frame loop. Returns the process exit code.
int RunGame(int argc, char** argv);

} // namespace bsh
