#include "game/progress/profilemanager.h"

#include "engine/core/log.h"
#include "support/bytes.h"
#include "support/recordfilereader.h"
#include "support/scratchstorage.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

namespace bsh {
namespace {

using test::Le32;
using test::Str;
using tsv::IntrusivePtr;

IntrusivePtr<Profile> Named(const std::string& name) { return IntrusivePtr<Profile>(new Profile(name)); }

std::string FreshProfileBytes(const std::string& name)
{
    std::string firstLevel = Str("/level/original/001.xml") + Le32(2) + Le32(0);
    // Scores, map page 1, reserved, second counters, then one level per mode.
    std::string record = Le32(0) + Le32(0) + Le32(1) + Le32(0) + Le32(0) + Le32(0) + Le32(1) + firstLevel +
                         Le32(1) + firstLevel;
    std::string bytes = "[Tarvel][Brinestoneharbour][009]" + Str(name) + Le32(1) + '\1' + record + record + record;
    bytes += std::string(38, '\0'); // pending and earned awards
    for (int i = 0; i < 13; ++i) {
        bytes += Le32(1);
    }
    return bytes;
}

std::vector<std::string> Names(const ProfileManager& manager)
{
    std::vector<std::string> names;
    for (const auto& profile : manager.Profiles()) {
        names.push_back(profile->GetName());
    }
    return names;
}

TEST(ProfileFile, FreshProfileIsExactly442KnownBytes)
{
    test::ScratchStorage storage;
    ProfileManager manager;
    ASSERT_EQ(manager.Add(Named("A")), ProfileManager::AddResult::Ok);
    ASSERT_TRUE(manager.Save());
    std::string bytes = storage.Read("profiles.dat");
    EXPECT_EQ(bytes.size(), 442u);
    EXPECT_EQ(bytes, Le32(1) + FreshProfileBytes("A"));
}

TEST(ProfileFile, ADifficultyOutsideTheThreeUsesTheNormalRecordAndIsWrittenBackAsStored)
{
    std::string bytes = FreshProfileBytes("A");
    const size_t difficultyAt = kProfileSignatureSize + 4 + 1; // after the name "A"
    ASSERT_EQ(bytes.substr(difficultyAt, 4), Le32(static_cast<int32_t>(Difficulty::Normal)));
    bytes.replace(difficultyAt, 4, Le32(7));
    Profile profile;
    tsv::RecordReader in(bytes);
    ASSERT_TRUE(profile.Load(in));
    EXPECT_EQ(static_cast<int32_t>(profile.GetDifficulty()), 7);

    profile.Record().SetScore(GameMode::Quest, 5);
    EXPECT_EQ(profile.Record(Difficulty::Normal).GetScore(GameMode::Quest), 5);
    EXPECT_EQ(profile.Record(Difficulty::Easy).GetScore(GameMode::Quest), 0);
    EXPECT_EQ(profile.Record(Difficulty::Hard).GetScore(GameMode::Quest), 0);
    profile.Record().SetScore(GameMode::Quest, 0);
    tsv::RecordWriter out;
    profile.Save(out);
    EXPECT_EQ(out.Bytes(), bytes);
}

TEST(ProfileManager, AddSelectAndRemoveKeepTheListInOrder)
{
    test::ScratchStorage storage;
    ProfileManager manager;
    EXPECT_EQ(manager.Add(Named("")), ProfileManager::AddResult::NameEmpty);
    EXPECT_EQ(manager.Add(Named("ann")), ProfileManager::AddResult::Ok);
    EXPECT_EQ(manager.Add(Named("ann")), ProfileManager::AddResult::NameTaken);
    for (const char* name : {"Ann", "C", "D", "E", "F"}) { // "Ann" differs in case only
        ASSERT_EQ(manager.Add(Named(name)), ProfileManager::AddResult::Ok) << name;
    }
    // A full list wins over both other complaints.
    EXPECT_EQ(manager.Add(Named("")), ProfileManager::AddResult::TooMany);
    EXPECT_EQ(manager.Add(Named("ann")), ProfileManager::AddResult::TooMany);
    EXPECT_EQ(Names(manager), (std::vector<std::string>{"F", "E", "D", "C", "Ann", "ann"}));

    EXPECT_FALSE(manager.Select("c"));
    ASSERT_TRUE(manager.Select("D"));
    EXPECT_TRUE(manager.Remove("E"));
    EXPECT_FALSE(manager.Remove("E"));
    EXPECT_EQ(manager.Current()->GetName(), "D");
    ASSERT_TRUE(manager.Save());
    auto raw = test::ParseProfiles(storage.Read("profiles.dat"));
    ASSERT_TRUE(raw);
    std::vector<std::string> saved;
    for (const auto& profile : *raw) {
        saved.push_back(profile.name);
    }
    EXPECT_EQ(saved, (std::vector<std::string>{"D", "F", "C", "Ann", "ann"}));
}

TEST(ProfileManager, LoadLogsEachStepAndKeepsProfilesBeforeADamagedOne)
{
    test::ScratchStorage storage;
    // Loads over a list that holds a player (a load starts afresh); returns what it logged.
    ProfileManager manager;
    auto load = [&manager] {
        manager.Add(Named("dropped"));
        test::LogCapture log;
        manager.Load();
        return log.Texts();
    };
    EXPECT_EQ(load(), (std::vector<std::string>{"Loading profile data...", "Profile data not found"}));
    std::string six;
    for (const char* name : {"A", "Bo", "C", "D", "E", "F"}) {
        six += FreshProfileBytes(name);
    }
    storage.Write("profiles.dat", Le32(6) + six);
    std::vector<std::string> lines = load();
    EXPECT_EQ(manager.Count(), 6);
    ASSERT_EQ(lines.size(), 8u);
    EXPECT_EQ(lines[2], "User data loaded for: \"Bo\"");
    EXPECT_EQ(lines[7], "Profile data loaded success");
    for (int32_t count : {0, 7}) {
        storage.Write("profiles.dat", Le32(count) + six);
        lines = load();
        ASSERT_GE(lines.size(), 2u);
        EXPECT_EQ(lines[lines.size() - 2], "Profile format is corrupted") << count;
        EXPECT_NE(lines.back().find("profiles.dat: could not be read whole; the file is kept as "), std::string::npos);
        EXPECT_EQ(manager.Count(), 0) << count;
    }
    std::string bad = FreshProfileBytes("B");
    bad[9] = 'X';
    storage.Write("profiles.dat", Le32(3) + FreshProfileBytes("A") + bad + FreshProfileBytes("C"));
    lines = load();
    EXPECT_EQ(lines,
              (std::vector<std::string>{"Loading profile data...", "User data loaded for: \"A\"",
                                        "Invalid signature of game profile \"[Tarvel][X" + bad.substr(10, 22) + "\"",
                                        "Profile #2 corrupted!",
                                        storage.File("profiles.dat") +
                                            ": could not be read whole; the file is kept as " +
                                            storage.DamagedPath("profiles.dat")}));
    EXPECT_EQ(Names(manager), (std::vector<std::string>{"A"}));
}

TEST(ProfileManager, InterruptedSaveLeavesThePreviousFile)
{
    test::ScratchStorage storage;
    ProfileManager manager;
    manager.Add(Named("Old"));
    ASSERT_TRUE(manager.Save());
    const std::string previous = storage.Read("profiles.dat");

    // A crash after the new file was written beside the old one, before it
    // replaced it: the next start reads the old file.
    storage.Write("profiles.dat.tmp", Le32(1) + FreshProfileBytes("New"));
    ProfileManager afterCrash;
    ASSERT_TRUE(afterCrash.Load());
    EXPECT_EQ(Names(afterCrash), (std::vector<std::string>{"Old"}));

    // The disk fills up in the middle of the save: the old file is untouched,
    // no partial file stays behind, and the failure names the file and the reason.
    for (const char* name : {"P2", "P3", "P4", "P5"}) {
        manager.Add(Named(name));
    }
    test::LogCapture log;
    struct rlimit limit{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &limit), 0);
    const struct rlimit unlimited = limit;
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    limit.rlim_cur = 1000;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limit), 0);
    bool savedOk = manager.Save();
    ::setrlimit(RLIMIT_FSIZE, &unlimited);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(savedOk);
    EXPECT_EQ(storage.Read("profiles.dat"), previous);
    EXPECT_FALSE(storage.Exists("profiles.dat.tmp"));
    EXPECT_TRUE(log.Has(tsv::LogLevel::Error, storage.File("profiles.dat")));
    EXPECT_TRUE(log.Has(tsv::LogLevel::Error, "File too large"));
}

} // namespace
} // namespace bsh
