#include "game/progress/awardblock.h"

namespace bsh {

void AwardBlock::Reset()
{
    m_pending.fill(0);
    m_earned.fill(0);
    m_hints.fill(1);
}

bool AwardBlock::IsEarned(int index) const
{
    return IsAward(index) && m_earned[index] != 0;
}

void AwardBlock::SetEarned(int index, bool earned)
{
    if (IsAward(index)) {
        m_earned[index] = earned ? 1 : 0;
    }
}

bool AwardBlock::IsPending(int index) const
{
    return IsAward(index) && m_pending[index] != 0;
}

void AwardBlock::SetPending(int index, bool pending)
{
    if (IsAward(index)) {
        m_pending[index] = pending ? 1 : 0;
    }
}

bool AwardBlock::AnyEarned() const
{
    for (uint8_t earned : m_earned) {
        if (earned != 0) {
            return true;
        }
    }
    return false;
}

int32_t AwardBlock::GetHintCounter(int hint) const
{
    return hint >= 0 && hint < kHintCount ? m_hints[hint] : 0;
}

void AwardBlock::SetHintCounter(int hint, int32_t count)
{
    if (hint >= 0 && hint < kHintCount) {
        m_hints[hint] = count;
    }
}

bool AwardBlock::TakeHint(int hint)
{
    if (GetHintCounter(hint) == 0) {
        return false;
    }
    --m_hints[hint];
    return true;
}

void AwardBlock::Save(tsv::RecordWriter& out) const
{
    out.WriteBytes(m_pending.data(), m_pending.size());
    out.WriteBytes(m_earned.data(), m_earned.size());
    for (int32_t count : m_hints) {
        out.WriteInt32(count);
    }
}

void AwardBlock::Load(tsv::RecordReader& in)
{
    in.ReadBytes(m_pending.data(), m_pending.size());
    in.ReadBytes(m_earned.data(), m_earned.size());
    for (int32_t& count : m_hints) {
        count = in.ReadInt32();
    }
}

} // namespace bsh
