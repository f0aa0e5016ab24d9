#include "game/progress/highscoretable.h"

#include "engine/core/log.h"
#include "engine/core/random.h"
#include "engine/core/util/file/filestream.h"
#include "engine/core/storage.h"
#include "engine/core/util/file/damagedfile.h"

#include <algorithm>

namespace bsh {

using tsv::EndL;
using tsv::GetLog;

namespace {

const char* const kGeneratedNames[10] = {
    "Robin", "Alex", "Sam", "Jordan", "Morgan", "Casey", "Riley", "Jamie", "Quinn", "Taylor",
};

} // namespace

std::string HighscoreTable::FilePath()
{
    return tsv::GetStoragePath() + kFileName;
}

HighscoreTable::HighscoreTable(int32_t capacity) : m_capacity(capacity)
{
    if (!Load()) {
        m_pairs.clear();
    }
    SortAndTrim();
}

bool HighscoreTable::Load()
{
    std::string bytes;
    switch (tsv::ReadPlayerFile(FilePath(), bytes)) {
    case tsv::EPlayerFileRead::Missing:
        GetLog() << tsv::Hint << "Highscore data not found - creating random data" << EndL;
        return false;
    case tsv::EPlayerFileRead::Unreadable:
        m_untouchable = true;
        return false;
    case tsv::EPlayerFileRead::Read:
        break;
    }
    m_pairs.clear();
    tsv::RecordReader in(bytes);
    const int32_t count = in.ReadInt32();
    bool whole = count >= 0 && !in.IsShort();
    for (int32_t i = 0; whole && i < count; ++i) {
        const auto table = static_cast<GameMode>(in.ReadInt32());
        tsv::IntrusivePtr<HighscoreEntry> entry(new HighscoreEntry());
        // A record that runs past the end of the file counts as cut short too,
        // so a damaged count cannot invent empty entries. The entries read
        // so far stay in play.
        if (!entry->Load(in) || in.IsShort()) {
            whole = false;
            break;
        }
        m_pairs.emplace_back(table, entry);
    }
    SortAndTrim();
    // The game writes its tables sorted and trimmed: a file that does not
    // write back as it was (a value read as something else, entries out of
    // order) is damaged too, and kept before the next save replaces it.
    if (!whole || Serialise() != bytes) {
        GetLog() << tsv::Warning << "Highscore data is damaged; " << m_pairs.size() << " entries read" << EndL;
        tsv::KeepDamagedFile(FilePath());
    }
    return true;
}

std::string HighscoreTable::Serialise() const
{
    tsv::RecordWriter out;
    out.WriteInt32(static_cast<int32_t>(m_pairs.size()));
    for (const auto& [table, entry] : m_pairs) {
        out.WriteInt32(static_cast<int32_t>(table));
        entry->Save(out);
    }
    return out.Bytes();
}

bool HighscoreTable::Save() const
{
    if (m_untouchable) {
        GetLog() << tsv::Warning << FilePath() << ": not written, the file there could not be read" << EndL;
        return false;
    }
    return tsv::WriteFileAtomically(FilePath(), Serialise());
}

void HighscoreTable::SortAndTrim()
{
    // std::stable_sort is a merge sort: equal keys keep their list order.
    std::stable_sort(m_pairs.begin(), m_pairs.end(), [](const Pair& a, const Pair& b) {
        return a.first < b.first || (a.first == b.first && a.second->GetScore() > b.second->GetScore());
    });
    // Sorted by table number, so each table is one run of the list.
    std::vector<Pair> kept;
    kept.reserve(m_pairs.size());
    int32_t run = 0;
    for (size_t i = 0; i < m_pairs.size(); ++i) {
        run = (i > 0 && m_pairs[i].first == m_pairs[i - 1].first) ? run + 1 : 1;
        if (run <= m_capacity) {
            kept.push_back(m_pairs[i]);
        }
    }
    m_pairs.swap(kept);
}

bool HighscoreTable::AddEntry(GameMode table, const tsv::IntrusivePtr<HighscoreEntry>& entry)
{
    m_pairs.emplace_back(table, entry);
    SortAndTrim();
    return std::any_of(m_pairs.begin(), m_pairs.end(),
                       [&](const Pair& pair) { return pair.second == entry; });
}

void HighscoreTable::Clear(GameMode table)
{
    std::erase_if(m_pairs, [table](const Pair& pair) { return pair.first == table; });
}

int HighscoreTable::CountOf(GameMode table) const
{
    return static_cast<int>(std::count_if(m_pairs.begin(), m_pairs.end(),
                                          [table](const Pair& pair) { return pair.first == table; }));
}

void HighscoreTable::Fill(GameMode table, int32_t firstScore)
{
    Clear(table);
    for (int32_t i = 0; i < m_capacity; ++i) {
        const char* name = kGeneratedNames[tsv::Random() % 10];
        m_pairs.emplace_back(table, tsv::IntrusivePtr<HighscoreEntry>(
                                        new HighscoreEntry(name, firstScore + i * firstScore)));
    }
    SortAndTrim();
}

std::vector<tsv::IntrusivePtr<HighscoreEntry>> HighscoreTable::EntriesOf(GameMode table) const
{
    std::vector<tsv::IntrusivePtr<HighscoreEntry>> entries;
    for (const auto& [number, entry] : m_pairs) {
        if (number == table) {
            entries.push_back(entry);
        }
    }
    return entries;
}

} // namespace bsh
