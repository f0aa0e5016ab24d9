#pragma once
// The shared vocabulary of progress: modes, difficulties, level states and the
// award table. The numeric values are stored in the profile file.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace bsh {

enum GameMode : int32_t {
    GameModeNone = -3, // no mode chosen yet
    GameModeQuest = 0,
    GameModeArcade = 1,
    GameModeEndless = 2, // the endless board: no profile record, statistics or saved run of the two above
};
inline constexpr int kModeCount = 2; // the modes the profiles and highscores keep
// The kept modes in the order of their arrays and of the files.
inline constexpr std::array<GameMode, kModeCount> kKeptModes = {GameModeQuest, GameModeArcade};

enum Difficulty : int32_t {
    DifficultyEasy = 0,
    DifficultyNormal = 1,
    DifficultyHard = 2,
};
inline constexpr int kDifficultyCount = 3;
inline constexpr std::array<Difficulty, kDifficultyCount> kDifficulties = {DifficultyEasy, DifficultyNormal,
                                                                          DifficultyHard};

enum LevelState : int32_t {
    LevelLocked = 0, // also the state of a level without an entry
    LevelOpen = 2,
    LevelCompleted = 3,
    LevelCompletedFast = 4, // won with at most half of the time limit used
};

// The awards of the treasury, by their index in the profile's award block.
enum Award : int32_t {
    AwardQuestMap1 = 0,       // .. 7: "quest_map1" .. "quest_map8"
    AwardArcadeComplete1 = 8, // .. 11, one per arcade set
    AwardArcadeBest1 = 12,    // .. 15, one per arcade set
    AwardFinalQuest = 16,
    AwardArcadeCompleteAll = 17,
    AwardTotalComplete = 18,
};
inline constexpr int kAwardCount = 19;

inline constexpr int kHintCount = 13;

// The key of award `index` (0..18), empty for any other index.
std::string AwardKey(int index);
// The index of an award key, -1 for any other text (exact comparison).
int AwardIndex(const std::string& key);
// The language key of hint `index` (0..12), empty for any other index.
const char* HintKey(int index);

// The names the command line and the recordings give modes ("quest",
// "arcade", "endless") and difficulties ("easy", "normal", "hard"); any other
// name means arcade, or normal.
const char* ModeName(GameMode mode);
GameMode ModeNamed(const std::string& name);
const char* DifficultyName(Difficulty difficulty);
Difficulty DifficultyNamed(const std::string& name);

// The word that names a mode in file names: "quest", "survival", or empty.
const char* ModeWord(GameMode mode);

// Whether the profiles, statistics and highscores keep a record of the mode.
inline constexpr bool IsValidMode(GameMode mode) { return mode == GameModeQuest || mode == GameModeArcade; }
inline constexpr bool IsValidDifficulty(Difficulty difficulty)
{
    return difficulty >= DifficultyEasy && difficulty <= DifficultyHard;
}

// The one place a mode or a difficulty becomes an array index; the caller has
// checked IsValidMode / IsValidDifficulty.
inline constexpr size_t ModeIndex(GameMode mode) { return static_cast<size_t>(mode); }
inline constexpr size_t DifficultyIndex(Difficulty difficulty) { return static_cast<size_t>(difficulty); }

} // namespace bsh
