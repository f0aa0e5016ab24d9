#pragma once

#include <functional>

namespace bsh {

class GameParts;

// The program's entry: settles the storage folder, opens the log, builds the
// engine's and the game's parts, starts the platform and runs the frame loop.
// Returns the process exit code. `started`, when given, is called once the
// parts are up and before the first frame (a host that embeds the game, such
// as a test, adds its own tasks there).
int RunGame(int argc, char** argv, const std::function<void(GameParts&)>& started = {});

} // namespace bsh
