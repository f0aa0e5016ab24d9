#pragma once
// The highscore tables of all modes in one list, kept sorted by table number
// and, within a table, best score first; stored in "highscore.dat".

#include "engine/core/intrusiveptr.h"
#include "game/progress/highscoreentry.h"
#include "game/progress/progression.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace bsh {

class HighscoreTable : public tsv::RefCounted {
public:
    // A mode's table is numbered by the mode's value. The number is kept as
    // read: a table no mode names stays in the file, though nothing shows it.
    using Pair = std::pair<GameMode, tsv::IntrusivePtr<HighscoreEntry>>;

    static constexpr const char* kFileName = "highscore.dat";

    // Loads the file; a file that cannot be read leaves every table empty.
    explicit HighscoreTable(int32_t capacity);
    HighscoreTable(const HighscoreTable&) = delete;
    HighscoreTable& operator=(const HighscoreTable&) = delete;

    // False when the file is missing or cut short; the list is then cleared by
    // the constructor. Entries of every table number are kept.
    bool Load();
    // False (logged) when the file could not be written; the old file stays.
    bool Save() const;
    // The file's bytes for the tables as they stand.
    std::string Serialise() const;

    // Stable: of two equal scores the one that was in the list first stays above.
    // Then each table keeps only its first `capacity` entries.
    void SortAndTrim();
    // True when the run made the table (the entry survived the trim).
    bool AddEntry(GameMode table, const tsv::IntrusivePtr<HighscoreEntry>& entry);
    void Clear(GameMode table);
    int CountOf(GameMode table) const;
    // Replaces the table with `capacity` generated entries scoring firstScore,
    // 2 x firstScore, and so on, under names drawn from a fixed list.
    void Fill(GameMode table, int32_t firstScore);

    // The entries of one table, best first.
    std::vector<tsv::IntrusivePtr<HighscoreEntry>> EntriesOf(GameMode table) const;
    const std::vector<Pair>& Pairs() const { return m_pairs; }
    int32_t GetCapacity() const { return m_capacity; }

    static std::string FilePath();

private:
    int32_t m_capacity;
    bool m_untouchable = false; // the file is there but could not be read: never written over
    std::vector<Pair> m_pairs;
};

} // namespace bsh
