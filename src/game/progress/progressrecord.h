#pragma once
// A profile's progress at one difficulty: the run score of each mode, the quest
// map page and the state of every level in quest and arcade mode.

#include "game/progress/progression.h"
#include "engine/core/util/file/recordio.h"

#include <array>
#include <cstdint>
#include <map>
#include <string>

namespace bsh {

struct LevelEntry {
    LevelState state = LevelState::Locked;
    int32_t best = 0; // best arcade rating 2..6, 0 before the first win
};

class ProgressRecord {
public:
    // Keyed by level path; std::string orders by unsigned bytes, as the file wants.
    using LevelMap = std::map<std::string, LevelEntry>;

    inline static const char* const kFirstLevel = "/level/original/001.xml";

    ProgressRecord() { Reset(); }

    // All numbers 0 except map page 1; the first quest level open in both modes.
    void Reset();

    int32_t GetScore(GameMode mode) const { return IsValidMode(mode) ? m_score[ModeIndex(mode)] : 0; }
    void SetScore(GameMode mode, int32_t score);
    int32_t GetSeconds(GameMode mode) const { return IsValidMode(mode) ? m_seconds[ModeIndex(mode)] : 0; }
    void SetSeconds(GameMode mode, int32_t seconds);
    int32_t GetMapPage() const { return m_mapPage; }
    void SetMapPage(int32_t page) { m_mapPage = page; }
    int32_t GetReserved() const { return m_reserved; }

    // 0 (locked) when the path has no entry.
    LevelState GetState(GameMode mode, const std::string& path) const;
    // The entry, or null.
    LevelEntry* GetEntry(GameMode mode, const std::string& path);
    const LevelEntry* GetEntry(GameMode mode, const std::string& path) const;
    // Creates a missing entry with best 0; an existing entry keeps its best.
    void SetState(GameMode mode, const std::string& path, LevelState state);
    // Ends the run of a mode: its score and second counter go to 0.
    void ClearMode(GameMode mode);
    void ClearLevels(GameMode mode);
    const LevelMap& Levels(GameMode mode) const { return m_levels[ModeIndex(IsValidMode(mode) ? mode : GameMode::Quest)]; }

    // File order: scores, map page, reserved, second counters, then both maps.
    void Save(tsv::RecordWriter& out) const;
    void Load(tsv::RecordReader& in);

private:
    std::array<int32_t, kModeCount> m_score{};
    // Stored and cleared with the run score; nothing adds to it yet.
    std::array<int32_t, kModeCount> m_seconds{};
    int32_t m_mapPage = 1;
    int32_t m_reserved = 0;
    std::array<LevelMap, kModeCount> m_levels;
};

} // namespace bsh
