#pragma once
// One line of a highscore table: a player's name (raw bytes in the language's
// code page, may be empty) and the score of the run.

#include "engine/core/intrusiveptr.h"
#include "engine/core/util/file/recordio.h"

#include <cstdint>
#include <string>

namespace bsh {

class HighscoreEntry : public tsv::RefCounted {
public:
    HighscoreEntry() = default;
    HighscoreEntry(std::string name, int32_t score) : m_name(std::move(name)), m_score(score) {}
    HighscoreEntry(const HighscoreEntry&) = delete;
    HighscoreEntry& operator=(const HighscoreEntry&) = delete;

    const std::string& GetName() const { return m_name; }
    int32_t GetScore() const { return m_score; }

    virtual void Save(tsv::RecordWriter& out) const;
    // False when the name is cut short.
    virtual bool Load(tsv::RecordReader& in);

private:
    std::string m_name;
    int32_t m_score = 0;
};

} // namespace bsh
