#include "game/highscoretable.h"

#include "core/log.h"
#include "core/random.h"
#include "support/bytes.h"
#include "support/recordfilereader.h"
#include "support/scratchstorage.h"

#include <gtest/gtest.h>

#include <set>

namespace bsh {
namespace {

using test::Le32;
using test::Str;
using tsv::IntrusivePtr;

IntrusivePtr<HighscoreEntry> Entry(const std::string& name, int32_t score)
{
    return IntrusivePtr<HighscoreEntry>(new HighscoreEntry(name, score));
}

std::string EntryBytes(int32_t table, const std::string& name, int32_t score)
{
    return Le32(table) + Str(name) + Le32(score);
}

std::vector<std::string> NamesOf(const HighscoreTable& table, int32_t number)
{
    std::vector<std::string> names;
    for (const auto& entry : table.EntriesOf(number)) {
        names.push_back(entry->GetName());
    }
    return names;
}

TEST(HighscoreFile, MixedTablesSaveSortedToKnownBytes)
{
    test::ScratchStorage storage;
    HighscoreTable table(10);
    ASSERT_EQ(table.Pairs().size(), 0u);
    table.AddEntry(1, Entry("Arc", 300));
    table.AddEntry(5, Entry("Odd", 7));
    table.AddEntry(0, Entry("", 50)); // an empty name is valid
    table.AddEntry(0, Entry("Ren\xE9", 900));
    table.AddEntry(1, Entry("Neg", -20));
    ASSERT_TRUE(table.Save());

    std::string expected = Le32(5) + EntryBytes(0, "Ren\xE9", 900) + EntryBytes(0, "", 50) +
                           EntryBytes(1, "Arc", 300) + EntryBytes(1, "Neg", -20) + EntryBytes(5, "Odd", 7);
    EXPECT_EQ(storage.Read("highscore.dat"), expected);

    // Table 5 is shown by no screen but survives a load and the next save.
    HighscoreTable loaded(10);
    EXPECT_EQ(loaded.CountOf(5), 1);
    EXPECT_EQ(NamesOf(loaded, 0), (std::vector<std::string>{"Ren\xE9", ""}));
    ASSERT_TRUE(loaded.Save());
    EXPECT_EQ(storage.Read("highscore.dat"), expected);
}

TEST(HighscoreFile, LoadFailures)
{
    test::ScratchStorage storage;
    {
        test::LogCapture log;
        HighscoreTable table(10);
        EXPECT_EQ(table.Pairs().size(), 0u);
        EXPECT_TRUE(log.Contains(tsv::LogLevelHint, "Highscore data not found - creating random data"));
    }
    for (int32_t count : {0, -4}) {
        storage.Write("highscore.dat", Le32(count) + EntryBytes(0, "Ann", 10));
        HighscoreTable table(10);
        EXPECT_TRUE(table.Load()) << count;
        EXPECT_EQ(table.Pairs().size(), 0u) << count;
    }
    {
        // The third name is cut short: the good entries before it go too.
        std::string cut = EntryBytes(1, "Truncated", 5);
        storage.Write("highscore.dat", Le32(3) + EntryBytes(0, "Ann", 10) + EntryBytes(1, "Bob", 20) +
                                           cut.substr(0, 10));
        HighscoreTable table(10);
        EXPECT_EQ(table.Pairs().size(), 0u);
    }
    {
        // More entries than the capacity: the lowest are trimmed at load.
        std::string bytes = Le32(12);
        for (int i = 0; i < 12; ++i) {
            bytes += EntryBytes(0, "P" + std::to_string(i), 100 + i);
        }
        storage.Write("highscore.dat", bytes);
        HighscoreTable table(10);
        ASSERT_EQ(table.CountOf(0), 10);
        EXPECT_EQ(table.EntriesOf(0).front()->GetScore(), 111);
        EXPECT_EQ(table.EntriesOf(0).back()->GetScore(), 102);
    }
}

TEST(HighscoreTable, EqualScoresKeepTheirOrderAndLateComersAreTrimmed)
{
    test::ScratchStorage storage;
    HighscoreTable table(3);
    EXPECT_TRUE(table.AddEntry(0, Entry("First", 100)));
    EXPECT_TRUE(table.AddEntry(0, Entry("Second", 100)));
    EXPECT_TRUE(table.AddEntry(1, Entry("Other", 1))); // another table does not count
    EXPECT_TRUE(table.AddEntry(0, Entry("Top", 500)));
    EXPECT_EQ(NamesOf(table, 0), (std::vector<std::string>{"Top", "First", "Second"}));

    // Equal to the last entry of a full table: sorts below it and is trimmed.
    IntrusivePtr<HighscoreEntry> tie = Entry("Tie", 100);
    EXPECT_FALSE(table.AddEntry(0, tie));
    EXPECT_EQ(NamesOf(table, 0), (std::vector<std::string>{"Top", "First", "Second"}));

    // Above the last entry: the old last entry leaves.
    EXPECT_TRUE(table.AddEntry(0, Entry("Better", 101)));
    EXPECT_EQ(NamesOf(table, 0), (std::vector<std::string>{"Top", "Better", "First"}));
    EXPECT_EQ(table.CountOf(1), 1);

    table.Clear(0);
    EXPECT_EQ(table.CountOf(0), 0);
    EXPECT_EQ(table.CountOf(1), 1);
}

TEST(HighscoreTable, FillGeneratesATenStepTable)
{
    test::ScratchStorage storage;
    HighscoreTable table(10);
    table.AddEntry(0, Entry("Gone", 5));
    table.AddEntry(1, Entry("Stays", 5));
    tsv::SeedRandom(7);
    table.Fill(0, 10000);

    auto entries = table.EntriesOf(0);
    ASSERT_EQ(entries.size(), 10u);
    std::set<std::string> names;
    for (size_t i = 0; i < entries.size(); ++i) {
        EXPECT_EQ(entries[i]->GetScore(), static_cast<int32_t>(10 - i) * 10000);
        EXPECT_FALSE(entries[i]->GetName().empty());
        names.insert(entries[i]->GetName());
    }
    EXPECT_GT(names.size(), 1u); // names are drawn, not one fixed name
    EXPECT_EQ(NamesOf(table, 1), (std::vector<std::string>{"Stays"}));
}

} // namespace
} // namespace bsh
