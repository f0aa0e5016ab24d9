#include "game/progress/profile.h"

#include "engine/core/log.h"

#include <cstring>

namespace bsh {

using tsv::EndL;
using tsv::GetLog;

Profile::Profile(std::string name) : m_name(std::move(name)) {}

ProgressRecord& Profile::Record(Difficulty difficulty)
{
    return m_records[DifficultyIndex(IsValidDifficulty(difficulty) ? difficulty : Difficulty::Normal)];
}

const ProgressRecord& Profile::Record(Difficulty difficulty) const
{
    return const_cast<Profile*>(this)->Record(difficulty);
}

void Profile::Save(tsv::RecordWriter& out) const
{
    out.WriteBytes(kProfileSignature, kProfileSignatureSize);
    out.WriteString(m_name);
    out.WriteInt32(static_cast<int32_t>(m_difficulty));
    out.WriteByte(m_hints ? 1 : 0);
    for (const ProgressRecord& record : m_records) {
        record.Save(out);
    }
    m_awards.Save(out);
}

bool Profile::Load(tsv::RecordReader& in)
{
    char signature[kProfileSignatureSize];
    size_t got = in.ReadBytes(signature, sizeof signature);
    if (got != sizeof signature || std::memcmp(signature, kProfileSignature, sizeof signature) != 0) {
        GetLog() << tsv::Warning << "Invalid signature of game profile \""
                 << std::string(signature, got) << "\"" << EndL;
        return false;
    }
    in.ReadString(m_name);
    m_difficulty = static_cast<Difficulty>(in.ReadInt32());
    m_hints = in.ReadByte() != 0;
    for (ProgressRecord& record : m_records) {
        record.Load(in);
    }
    m_awards.Load(in);
    return true;
}

} // namespace bsh
