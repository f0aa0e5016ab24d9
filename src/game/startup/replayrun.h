#pragma once
// --replay FILE: a level's recording played back, in a window at its own
// speed (the keys 1, 2 and 4 for that many times as fast, Escape to stop) or
// headless as fast as the machine goes. It ends by printing the level's
// result line; a line other than the one recorded means the game no longer
// plays the recording as it was played: it says so and the run exits 3.

#include "engine/platform/runoptions.h"
#include "game/progress/replay.h"

#include <string>

namespace bsh {

// Exit statuses of a replay beyond 0.
inline constexpr int kReplayRefused = 2;
inline constexpr int kReplayDiffers = 3;

// Reads and checks the recording at `path` before anything starts: its
// format, its version, the key names it uses and the level file it names,
// which must be the very file it was recorded on. False with the reason, for
// the player, in `why`.
bool ReadReplayFile(const std::string& path, Replay& replay, std::string& why);

// Puts the recording's level on the screen stack with the task that plays
// it back; false (logged) when its board cannot be set up.
bool StartReplay(const Replay& replay, const tsv::RunOptions& options);

} // namespace bsh
