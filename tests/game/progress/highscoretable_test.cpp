#include "game/progress/highscoretable.h"

#include "engine/core/log.h"
#include "engine/core/random.h"
#include "support/bytes.h"
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

std::vector<std::string> NamesOf(const HighscoreTable& table, GameMode mode)
{
    std::vector<std::string> names;
    for (const auto& entry : table.EntriesOf(mode)) {
        names.push_back(entry->GetName());
    }
    return names;
}

TEST(HighscoreFile, EachModeSavesToItsTableNumberAndATableNoModeNamesIsKept)
{
    test::ScratchStorage storage;
    // Table 5 comes from the file: no mode names it and no screen shows it,
    // but it is written back as it was.
    storage.Write("highscore.dat", Le32(1) + EntryBytes(5, "Odd", 7));
    HighscoreTable table(10);
    table.AddEntry(GameMode::Arcade, Entry("Arc", 300));
    table.AddEntry(GameMode::Quest, Entry("", 50)); // an empty name is valid
    table.AddEntry(GameMode::Quest, Entry("Ren\xE9", 900));
    ASSERT_TRUE(table.Save());
    // Quest is table 0 and arcade table 1 in the file.
    std::string expected = Le32(4) + EntryBytes(0, "Ren\xE9", 900) + EntryBytes(0, "", 50) +
                           EntryBytes(1, "Arc", 300) + EntryBytes(5, "Odd", 7);
    EXPECT_EQ(storage.Read("highscore.dat"), expected);

    HighscoreTable loaded(10);
    EXPECT_EQ(NamesOf(loaded, GameMode::Quest), (std::vector<std::string>{"Ren\xE9", ""}));
    EXPECT_EQ(NamesOf(loaded, GameMode::Arcade), (std::vector<std::string>{"Arc"}));
    EXPECT_EQ(loaded.Pairs().size(), 4u);
    ASSERT_TRUE(loaded.Save());
    EXPECT_EQ(storage.Read("highscore.dat"), expected);
}

TEST(HighscoreFile, LoadFailures)
{
    test::ScratchStorage storage;
    {
        test::LogCapture log;
        EXPECT_EQ(HighscoreTable(10).Pairs().size(), 0u);
        EXPECT_TRUE(log.Has(tsv::LogLevel::Hint, "Highscore data not found - creating random data"));
    }
    for (int32_t count : {0, -4}) {
        const std::string bytes = Le32(count) + EntryBytes(0, "Ann", 10);
        storage.Write("highscore.dat", bytes);
        HighscoreTable table(10);
        EXPECT_EQ(table.Pairs().size(), 0u) << count;
        if (count < 0) {
            // Damaged: the file is kept aside with its bytes, not overwritten.
            EXPECT_FALSE(storage.Exists("highscore.dat"));
            EXPECT_EQ(storage.ReadDamaged("highscore.dat"), bytes);
        }
    }
    // The third name is cut short: the good entries before it stay in play.
    const std::string cut = Le32(3) + EntryBytes(0, "Ann", 10) + EntryBytes(1, "Bob", 20) +
                            EntryBytes(1, "Truncated", 5).substr(0, 10);
    storage.Write("highscore.dat", cut);
    EXPECT_EQ(HighscoreTable(10).Pairs().size(), 2u);
    EXPECT_EQ(storage.ReadDamaged("highscore.dat"), cut);

    // A flipped byte turns a score into a large negative number: damage, not a
    // player's score. The entries before it stay.
    const std::string negative = Le32(2) + EntryBytes(0, "Ann", 500) + EntryBytes(0, "Alice", -16757374);
    storage.Write("highscore.dat", negative);
    EXPECT_EQ(NamesOf(HighscoreTable(10), GameMode::Quest), (std::vector<std::string>{"Ann"}));
    EXPECT_EQ(storage.ReadDamaged("highscore.dat"), negative);

    // More entries than the capacity: the lowest are trimmed at load.
    std::string bytes = Le32(12);
    for (int i = 0; i < 12; ++i) {
        bytes += EntryBytes(0, "P" + std::to_string(i), 100 + i);
    }
    storage.Write("highscore.dat", bytes);
    HighscoreTable table(10);
    ASSERT_EQ(table.CountOf(GameMode::Quest), 10);
    EXPECT_EQ(table.EntriesOf(GameMode::Quest).front()->GetScore(), 111);
    EXPECT_EQ(table.EntriesOf(GameMode::Quest).back()->GetScore(), 102);
}

TEST(HighscoreTable, EqualScoresKeepTheirOrderAndFillGeneratesTenSteps)
{
    test::ScratchStorage storage;
    HighscoreTable table(3);
    EXPECT_TRUE(table.AddEntry(GameMode::Quest, Entry("First", 100)));
    EXPECT_TRUE(table.AddEntry(GameMode::Quest, Entry("Second", 100)));
    EXPECT_TRUE(table.AddEntry(GameMode::Arcade, Entry("Other", 1))); // another table does not count
    EXPECT_TRUE(table.AddEntry(GameMode::Quest, Entry("Top", 500)));
    // Equal to the last entry of a full table: sorts below it and is trimmed.
    EXPECT_FALSE(table.AddEntry(GameMode::Quest, Entry("Tie", 100)));
    EXPECT_EQ(NamesOf(table, GameMode::Quest), (std::vector<std::string>{"Top", "First", "Second"}));
    // Above the last entry: the old last entry leaves.
    EXPECT_TRUE(table.AddEntry(GameMode::Quest, Entry("Better", 101)));
    EXPECT_EQ(NamesOf(table, GameMode::Quest), (std::vector<std::string>{"Top", "Better", "First"}));

    HighscoreTable generated(10);
    generated.AddEntry(GameMode::Quest, Entry("Gone", 5));
    tsv::SeedRandom(7);
    generated.Fill(GameMode::Quest, 10000);
    auto entries = generated.EntriesOf(GameMode::Quest);
    ASSERT_EQ(entries.size(), 10u);
    std::set<std::string> names;
    for (size_t i = 0; i < entries.size(); ++i) {
        EXPECT_EQ(entries[i]->GetScore(), static_cast<int32_t>(10 - i) * 10000);
        names.insert(entries[i]->GetName());
    }
    EXPECT_GT(names.size(), 1u);
    EXPECT_EQ(names.count("Gone"), 0u);
    generated.Clear(GameMode::Quest);
    EXPECT_EQ(generated.CountOf(GameMode::Quest), 0);
}

} // namespace
} // namespace bsh
