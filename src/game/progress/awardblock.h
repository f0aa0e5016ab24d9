#pragma once
// A profile's awards (granted and presented) and the remaining showings of each
// tutorial hint.

#include "game/progress/progression.h"
#include "engine/core/util/file/recordio.h"

#include <array>
#include <cstdint>

namespace bsh {

class AwardBlock {
public:
    AwardBlock() { Reset(); }

    // No award pending or earned; every hint shown once.
    void Reset();

    // Index -1 (no award) is never earned or pending, and setting it does nothing.
    bool IsEarned(int index) const;
    void SetEarned(int index, bool earned = true);
    bool IsPending(int index) const;
    void SetPending(int index, bool pending = true);
    bool AnyEarned() const;

    int32_t GetHintCounter(int hint) const;
    void SetHintCounter(int hint, int32_t count);
    // True while the hint still has showings left; consumes one of them.
    bool TakeHint(int hint);

    void Save(tsv::RecordWriter& out) const;
    void Load(tsv::RecordReader& in);

private:
    static bool IsAward(int index) { return index >= 0 && index < kAwardCount; }

    std::array<uint8_t, kAwardCount> m_pending{};
    std::array<uint8_t, kAwardCount> m_earned{};
    std::array<int32_t, kHintCount> m_hints{};
};

} // namespace bsh
