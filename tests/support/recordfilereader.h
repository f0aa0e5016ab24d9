#pragma once
// An independent reader of the game's record files, written from the file
// layouts alone: it parses the bytes itself and refuses anything that does not
// follow the layout exactly (wrong signature, unsorted level entries, a flag
// other than 0 or 1, bytes missing or left over).

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace bsh::test {

struct RawLevel {
    std::string path;
    int32_t state = 0;
    int32_t best = 0;
};

struct RawRecord {
    std::array<int32_t, 2> score{};
    int32_t mapPage = 0;
    int32_t reserved = 0;
    std::array<int32_t, 2> seconds{};
    std::array<std::vector<RawLevel>, 2> levels;
};

struct RawProfile {
    std::string name;
    int32_t difficulty = 0;
    uint8_t hints = 0;
    std::array<RawRecord, 3> records;
    std::array<uint8_t, 19> pending{};
    std::array<uint8_t, 19> earned{};
    std::array<int32_t, 13> hintCounters{};
};

struct RawHighscore {
    int32_t table = 0;
    std::string name;
    int32_t score = 0;
};

struct RawSavedGame {
    std::string levelPath;
    std::string awardKey;
    std::array<std::array<int32_t, 12>, 2> stats{};
    std::string board; // everything after the statistics
};

// Each returns nothing and sets `why` when the bytes break the layout.
std::optional<std::vector<RawProfile>> ParseProfiles(const std::string& bytes, std::string* why = nullptr);
std::optional<std::vector<RawHighscore>> ParseHighscores(const std::string& bytes, std::string* why = nullptr);
std::optional<RawSavedGame> ParseSavedGame(const std::string& bytes, std::string* why = nullptr);

} // namespace bsh::test
