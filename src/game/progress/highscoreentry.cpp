#include "game/progress/highscoreentry.h"

namespace bsh {

void HighscoreEntry::Save(tsv::RecordWriter& out) const
{
    out.WriteString(m_name);
    out.WriteInt32(m_score);
}

bool HighscoreEntry::Load(tsv::RecordReader& in)
{
    if (!in.ReadString(m_name)) {
        return false;
    }
    m_score = in.ReadInt32();
    // No play scores below zero: a negative score is a damaged entry.
    return m_score >= 0;
}

} // namespace bsh
