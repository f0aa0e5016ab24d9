#pragma once
// One player: name, difficulty, hints option, progress at each difficulty, and
// the award block.

#include "engine/core/intrusiveptr.h"
#include "game/progress/awardblock.h"
#include "game/progress/progressrecord.h"
#include "engine/core/util/file/recordio.h"

#include <array>
#include <cstdint>
#include <string>

namespace bsh {

// Starts every profile record in the file; the last three digits are the format version.
inline constexpr char kProfileSignature[] = "[Tarvel][Brinestoneharbour][009]";
inline constexpr size_t kProfileSignatureSize = sizeof(kProfileSignature) - 1;

class Profile : public tsv::RefCounted {
public:
    explicit Profile(std::string name = {});
    Profile(const Profile&) = delete;
    Profile& operator=(const Profile&) = delete;

    const std::string& GetName() const { return m_name; }
    bool GetHints() const { return m_hints; }
    void SetHints(bool hints) { m_hints = hints; }
    // As stored: a damaged file may hold a number outside the three.
    Difficulty GetDifficulty() const { return m_difficulty; }
    void SetDifficulty(Difficulty difficulty) { m_difficulty = difficulty; }

    // The record of the profile's current difficulty.
    ProgressRecord& Record() { return Record(m_difficulty); }
    const ProgressRecord& Record() const { return Record(m_difficulty); }
    // The record of a difficulty; one outside the three falls back to Normal
    // so callers always get a record.
    ProgressRecord& Record(Difficulty difficulty);
    const ProgressRecord& Record(Difficulty difficulty) const;
    AwardBlock& Awards() { return m_awards; }
    const AwardBlock& Awards() const { return m_awards; }

    virtual void Save(tsv::RecordWriter& out) const;
    // False (with a warning) only when the signature does not match; short reads
    // further on go unnoticed until the next profile's signature.
    virtual bool Load(tsv::RecordReader& in);

private:
    std::string m_name;
    bool m_hints = true;
    Difficulty m_difficulty = Difficulty::Normal;
    std::array<ProgressRecord, kDifficultyCount> m_records;
    AwardBlock m_awards;
};

} // namespace bsh
