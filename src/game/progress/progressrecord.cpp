#include "game/progress/progressrecord.h"

namespace bsh {

void ProgressRecord::Reset()
{
    m_score = {};
    m_seconds = {};
    m_mapPage = 1;
    m_reserved = 0;
    for (auto& levels : m_levels) {
        levels.clear();
        levels[kFirstLevel] = LevelEntry{LevelState::Open, 0};
    }
}

void ProgressRecord::SetScore(GameMode mode, int32_t score)
{
    if (IsValidMode(mode)) {
        m_score[ModeIndex(mode)] = score;
    }
}

void ProgressRecord::SetSeconds(GameMode mode, int32_t seconds)
{
    if (IsValidMode(mode)) {
        m_seconds[ModeIndex(mode)] = seconds;
    }
}

LevelState ProgressRecord::GetState(GameMode mode, const std::string& path) const
{
    const LevelEntry* entry = GetEntry(mode, path);
    return entry ? entry->state : LevelState::Locked;
}

LevelEntry* ProgressRecord::GetEntry(GameMode mode, const std::string& path)
{
    if (!IsValidMode(mode)) {
        return nullptr;
    }
    auto it = m_levels[ModeIndex(mode)].find(path);
    return it == m_levels[ModeIndex(mode)].end() ? nullptr : &it->second;
}

const LevelEntry* ProgressRecord::GetEntry(GameMode mode, const std::string& path) const
{
    return const_cast<ProgressRecord*>(this)->GetEntry(mode, path);
}

void ProgressRecord::SetState(GameMode mode, const std::string& path, LevelState state)
{
    if (IsValidMode(mode)) {
        m_levels[ModeIndex(mode)][path].state = state;
    }
}

void ProgressRecord::ClearMode(GameMode mode)
{
    if (IsValidMode(mode)) {
        m_score[ModeIndex(mode)] = 0;
        m_seconds[ModeIndex(mode)] = 0;
    }
}

void ProgressRecord::ClearLevels(GameMode mode)
{
    if (IsValidMode(mode)) {
        m_levels[ModeIndex(mode)].clear();
    }
}

void ProgressRecord::Save(tsv::RecordWriter& out) const
{
    out.WriteInt32(m_score[0]);
    out.WriteInt32(m_score[1]);
    out.WriteInt32(m_mapPage);
    out.WriteInt32(m_reserved);
    out.WriteInt32(m_seconds[0]);
    out.WriteInt32(m_seconds[1]);
    for (const auto& levels : m_levels) {
        out.WriteInt32(static_cast<int32_t>(levels.size()));
        for (const auto& [path, entry] : levels) {
            out.WriteString(path);
            out.WriteInt32(static_cast<int32_t>(entry.state));
            out.WriteInt32(entry.best);
        }
    }
}

void ProgressRecord::Load(tsv::RecordReader& in)
{
    m_score[0] = in.ReadInt32();
    m_score[1] = in.ReadInt32();
    m_mapPage = in.ReadInt32();
    m_reserved = in.ReadInt32();
    m_seconds[0] = in.ReadInt32();
    m_seconds[1] = in.ReadInt32();
    for (auto& levels : m_levels) {
        levels.clear();
        int32_t count = in.ReadInt32();
        // A count beyond the bytes left can only come from a damaged file; stop
        // at the end instead of inserting empty entries for it.
        for (int32_t i = 0; i < count && !in.AtEnd(); ++i) {
            std::string path;
            in.ReadString(path);
            LevelEntry entry;
            entry.state = static_cast<LevelState>(in.ReadInt32());
            entry.best = in.ReadInt32();
            levels[path] = entry;
        }
    }
}

} // namespace bsh
