#pragma once
// A level's clock and objectives: the time limit, the time left and played,
// and the blocks, cell hits and jewels the level asks for and has left, with
// which of them changed in the last step (the HUD flashes those).

#include "engine/core/util/file/recordio.h"

#include <array>
#include <cstdint>

namespace bsh {

// The objectives whose counters the board keeps.
enum class Objective : int { Blocks = 0, CellHits = 1, Jewels = 2 };
inline constexpr int kObjectiveCount = 3;

// Whether the level's clock runs in a step: it stops once the level is done.
enum class LevelClock { Stopped, Running };

class LevelCounters {
public:
    // --- Clock (ms) ----------------------------------------------------------
    void SetTimeLimit(int64_t ms);
    // A relaxed clock never runs out: the time left stays at the limit while
    // the time played counts on.
    void SetRelaxed(bool relaxed);
    bool IsRelaxed() const { return m_relaxed; }
    // One step of `elapsedMs`. The time left stays within 0 .. the limit
    // whether or not the clock runs.
    void RunClock(int64_t elapsedMs, LevelClock clock);
    int64_t GetTimeLimit() const { return m_timeLimit; }
    int64_t GetTimeLeft() const { return m_timeLeft; }
    int64_t GetTimePlayed() const { return m_timePlayed; }

    // --- Objectives ------------------------------------------------------------
    void SetJewelsRequired(int32_t jewels);
    // What the board starts with; the counters left start there too.
    void SetInitial(int32_t blocks, int32_t cellHits);
    // One cleared or worn; a counter at 0 stays there.
    void BlockCleared();
    void CellWorn();
    void JewelCleared();
    // Blocks, cell hits and jewels all done (the artifact is the board's).
    bool AllCleared() const { return m_blocksLeft == 0 && m_cellHitsLeft == 0 && m_jewelsLeft == 0; }
    int32_t GetInitialBlocks() const { return m_initialBlocks; }
    int32_t GetInitialCellHits() const { return m_initialCellHits; }
    int32_t GetJewelsRequired() const { return m_jewelsRequired; }
    int32_t GetBlocksLeft() const { return m_blocksLeft; }
    int32_t GetCellHitsLeft() const { return m_cellHitsLeft; }
    int32_t GetJewelsLeft() const { return m_jewelsLeft; }

    // Once per step, after the rules: notes which counters moved since the
    // last call. An objective the level does not ask for never changes.
    void DetectChanges();
    bool Changed(Objective objective) const { return m_changed[static_cast<size_t>(objective)]; }
    bool AnyChanged() const { return m_anyChanged; }

    // Part of the board's saved state: the clock, then the counters.
    void Save(tsv::RecordWriter& out) const;
    void Load(tsv::RecordReader& in);

private:
    int64_t m_timeLimit = 0;
    int64_t m_timeLeft = 0;
    int64_t m_timePlayed = 0;
    bool m_relaxed = false;
    int32_t m_initialBlocks = 0, m_initialCellHits = 0, m_jewelsRequired = 0;
    int32_t m_blocksLeft = 0, m_cellHitsLeft = 0, m_jewelsLeft = 0;
    std::array<int32_t, kObjectiveCount> m_lastSeen{};
    std::array<bool, kObjectiveCount> m_changed{};
    bool m_anyChanged = false;
};

} // namespace bsh
