#pragma once
// The shared vocabulary of progress: modes, difficulties, level states and the
// award table. The numeric values are stored in the profile file.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace bsh {

enum class GameMode : int32_t {
    None = -3, // no mode chosen yet
    Quest = 0,
    Arcade = 1,
    Endless = 2, // the endless board: no profile record, statistics or saved run of the two above
};
inline constexpr int kModeCount = 2; // the modes the profiles and highscores keep
// The kept modes in the order of their arrays and of the files.
inline constexpr std::array<GameMode, kModeCount> kKeptModes = {GameMode::Quest, GameMode::Arcade};

enum class Difficulty : int32_t {
    Easy = 0,
    Normal = 1,
    Hard = 2,
};
inline constexpr int kDifficultyCount = 3;
inline constexpr std::array<Difficulty, kDifficultyCount> kDifficulties = {Difficulty::Easy, Difficulty::Normal,
                                                                          Difficulty::Hard};

enum class LevelState : int32_t {
    Locked = 0, // also the state of a level without an entry
    Open = 2,
    Completed = 3,
    CompletedFast = 4, // won with at most half of the time limit used
};

// The awards of the treasury, by their index in the profile's award block.
enum class Award : int32_t {
    QuestMap1 = 0,       // .. 7: "quest_map1" .. "quest_map8"
    ArcadeComplete1 = 8, // .. 11, one per arcade set
    ArcadeBest1 = 12,    // .. 15, one per arcade set
    FinalQuest = 16,
    ArcadeCompleteAll = 17,
    TotalComplete = 18,
};
inline constexpr int kAwardCount = 19;
// The one place an award becomes its index in the award block.
inline constexpr int AwardSlot(Award award) { return static_cast<int>(award); }

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
inline constexpr bool IsValidMode(GameMode mode) { return mode == GameMode::Quest || mode == GameMode::Arcade; }
inline constexpr bool IsValidDifficulty(Difficulty difficulty)
{
    return difficulty >= Difficulty::Easy && difficulty <= Difficulty::Hard;
}

// The one place a mode or a difficulty becomes an array index; the caller has
// checked IsValidMode / IsValidDifficulty.
inline constexpr size_t ModeIndex(GameMode mode) { return static_cast<size_t>(mode); }
inline constexpr size_t DifficultyIndex(Difficulty difficulty) { return static_cast<size_t>(difficulty); }

} // namespace bsh
