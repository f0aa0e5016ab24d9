#include "game/board/levelcounters.h"

#include <algorithm>

namespace bsh {

namespace {

void WriteInt64(tsv::RecordWriter& out, int64_t value)
{
    const auto bits = static_cast<uint64_t>(value);
    out.WriteInt32(static_cast<int32_t>(static_cast<uint32_t>(bits)));
    out.WriteInt32(static_cast<int32_t>(static_cast<uint32_t>(bits >> 32)));
}

int64_t ReadInt64(tsv::RecordReader& in)
{
    const auto low = static_cast<uint32_t>(in.ReadInt32());
    const auto high = static_cast<uint32_t>(in.ReadInt32());
    return static_cast<int64_t>((static_cast<uint64_t>(high) << 32) | low);
}

} // namespace

void LevelCounters::SetTimeLimit(int64_t ms)
{
    m_timeLimit = ms;
    m_timeLeft = ms;
}

void LevelCounters::SetRelaxed(bool relaxed)
{
    m_relaxed = relaxed;
    if (relaxed) {
        m_timeLeft = m_timeLimit;
    }
}

void LevelCounters::RunClock(int64_t elapsedMs, LevelClock clock)
{
    if (clock == LevelClock::Running) {
        m_timePlayed += elapsedMs;
        m_timeLeft -= m_relaxed ? 0 : elapsedMs;
    }
    m_timeLeft = std::max<int64_t>(std::min(m_timeLeft, m_timeLimit), 0);
}

void LevelCounters::SetJewelsRequired(int32_t jewels)
{
    m_jewelsRequired = jewels;
    m_jewelsLeft = jewels;
}

void LevelCounters::SetInitial(int32_t blocks, int32_t cellHits)
{
    m_initialBlocks = blocks;
    m_initialCellHits = cellHits;
    m_blocksLeft = blocks;
    m_cellHitsLeft = cellHits;
}

void LevelCounters::BlockCleared() { m_blocksLeft = std::max(0, m_blocksLeft - 1); }
void LevelCounters::CellWorn() { m_cellHitsLeft = std::max(0, m_cellHitsLeft - 1); }
void LevelCounters::JewelCleared()
{
    if (m_jewelsLeft > 0) {
        --m_jewelsLeft;
    }
}

void LevelCounters::DetectChanges()
{
    const std::array<int32_t, kObjectiveCount> initial{m_initialBlocks, m_initialCellHits, m_jewelsRequired};
    const std::array<int32_t, kObjectiveCount> current{m_blocksLeft, m_cellHitsLeft, m_jewelsLeft};
    m_anyChanged = false;
    for (size_t i = 0; i < kObjectiveCount; ++i) {
        m_changed[i] = false;
        if (initial[i] == 0) {
            continue;
        }
        m_changed[i] = current[i] != m_lastSeen[i];
        m_anyChanged = m_anyChanged || m_changed[i];
        m_lastSeen[i] = current[i];
    }
}

void LevelCounters::Save(tsv::RecordWriter& out) const
{
    WriteInt64(out, m_timeLimit);
    WriteInt64(out, m_timeLeft);
    WriteInt64(out, m_timePlayed);
    for (int32_t v : m_lastSeen) {
        out.WriteInt32(v);
    }
    for (int32_t v : {m_initialBlocks, m_initialCellHits, m_jewelsRequired, m_blocksLeft, m_cellHitsLeft, m_jewelsLeft}) {
        out.WriteInt32(v);
    }
}

void LevelCounters::Load(tsv::RecordReader& in)
{
    m_timeLimit = ReadInt64(in);
    m_timeLeft = ReadInt64(in);
    m_timePlayed = ReadInt64(in);
    for (int32_t& v : m_lastSeen) {
        v = in.ReadInt32();
    }
    for (int32_t* v : {&m_initialBlocks, &m_initialCellHits, &m_jewelsRequired, &m_blocksLeft, &m_cellHitsLeft,
                       &m_jewelsLeft}) {
        *v = in.ReadInt32();
    }
}

} // namespace bsh
