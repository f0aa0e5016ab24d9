#pragma once
// One level played straight away (--level, or the endless board with --mode
// endless): by the player or the bot through the board screen, or by the bot
// on the rules alone (--simulate).

#include "engine/platform/runoptions.h"
#include "game/progress/gamestate.h"
#include "game/startup/gameoptions.h"

#include <cstdint>
#include <functional>
#include <string>

namespace bsh {

// Puts the board screen of the level on the task list; false when the level
// cannot be read. With autoplay the bot's report goes to standard output.
bool StartLevelRun(const GameOptions& game, const tsv::RunOptions& options);

// The endless board's figures as a JSON line on standard output, when the run
// played it for a bot (--autoplay) or for a number of frames (--frames); for
// the end of the run.
void ReportEndlessRun(const GameOptions& game, const tsv::RunOptions& options);

// Where a level started from the menus went: the summary's decision, or null
// when the player left the level with the run saved.
using MenuLevelDone = std::function<void(const NextScreenDecision*)>;

// A level started from the menus, played by the person at the profile's own
// difficulty: `onDone` runs once, when its summary closes or the player leaves
// it; the caller takes the level's screens away. An empty path resumes the
// saved run of the mode. False when the level cannot be read.
// Each start has a random stream of its own (see LevelSeed).
bool StartMenuLevel(const std::string& levelPath, GameMode mode, MenuLevelDone onDone);

// The seed of the `start`-th level (0 first) started from the menus in a run
// seeded with `runSeed`: the first plays the run's seed itself, as --level
// does, so its board can be had again with --level and --seed; later ones
// (a retry, the next level) get streams of their own, the same in every run
// with that seed.
uint32_t LevelSeed(uint32_t runSeed, uint32_t start);

// Plays the level with the bot on a virtual clock of --fixed-step (10 ms by
// default) and prints the same report; returns the exit code.
int RunSimulation(const GameOptions& game, const tsv::RunOptions& options, GameState& state);

} // namespace bsh
