#include "game/profilemanager.h"

#include "core/log.h"
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

IntrusivePtr<Profile> Named(const std::string& name)
{
    return IntrusivePtr<Profile>(new Profile(name));
}

std::string FreshRecordBytes()
{
    std::string firstLevel = Str("/level/original/001.xml") + Le32(2) + Le32(0);
    return Le32(0) + Le32(0) + Le32(1) + Le32(0) + Le32(0) + Le32(0) + Le32(1) + firstLevel + Le32(1) + firstLevel;
}

std::string FreshProfileBytes(const std::string& name)
{
    std::string bytes = "[Tarvel][Brinestoneharbour][009]" + Str(name) + Le32(1) + std::string(1, '\1');
    bytes += FreshRecordBytes() + FreshRecordBytes() + FreshRecordBytes();
    bytes += std::string(38, '\0');
    for (int i = 0; i < 13; ++i) {
        bytes += Le32(1);
    }
    return bytes;
}

TEST(ProfileFile, FreshProfileIsExactly442KnownBytes)
{
    test::ScratchStorage storage;
    ProfileManager manager;
    ASSERT_EQ(manager.Add(Named("A")), ProfileManager::AddOk);
    ASSERT_TRUE(manager.Save());

    std::string bytes = storage.Read("profiles.dat");
    EXPECT_EQ(bytes.size(), 442u);
    EXPECT_EQ(bytes, Le32(1) + FreshProfileBytes("A"));
}

TEST(ProfileFile, RoundTripKeepsEveryFieldAndSortsLevelsByBytes)
{
    test::ScratchStorage storage;
    {
        ProfileManager manager;
        IntrusivePtr<Profile> bea = Named("Bea");
        bea->SetDifficulty(DifficultyHard);
        bea->SetHints(false);
        ProgressRecord& hard = bea->Record();
        hard.SetScore(GameModeQuest, 1234);
        hard.SetScore(GameModeArcade, 99);
        hard.SetSeconds(GameModeArcade, 17);
        hard.SetMapPage(3);
        // Played in an order that is not the byte order; "\xE9" sorts after ASCII.
        hard.SetState(GameModeQuest, "/level/original/\xE9.xml", LevelCompleted);
        hard.SetState(GameModeQuest, "/level/original/010.xml", LevelCompletedFast);
        hard.SetState(GameModeQuest, "/level/original/005b.xml", LevelOpen);
        hard.SetState(GameModeQuest, "/level/original/005a.xml", LevelOpen);
        bea->Record(DifficultyNormal).SetState(GameModeArcade, "/level/original/002.xml", LevelCompleted);
        bea->Record(DifficultyNormal).GetEntry(GameModeArcade, "/level/original/002.xml")->best = 5;
        bea->Awards().SetEarned(3);
        bea->Awards().SetPending(18);
        ASSERT_TRUE(bea->Awards().TakeHint(6));
        EXPECT_FALSE(bea->Awards().TakeHint(6)); // each hint shows once
        ASSERT_EQ(manager.Add(Named("Cy")), ProfileManager::AddOk);
        ASSERT_EQ(manager.Add(bea), ProfileManager::AddOk);
        ASSERT_TRUE(manager.Save());
    }

    std::string why;
    auto raw = test::ParseProfiles(storage.Read("profiles.dat"), &why);
    ASSERT_TRUE(raw) << why;
    ASSERT_EQ(raw->size(), 2u);
    const auto& questLevels = (*raw)[0].records[2].levels[0];
    ASSERT_EQ(questLevels.size(), 5u);
    EXPECT_EQ(questLevels[0].path, "/level/original/001.xml");
    EXPECT_EQ(questLevels[1].path, "/level/original/005a.xml");
    EXPECT_EQ(questLevels[2].path, "/level/original/005b.xml");
    EXPECT_EQ(questLevels[3].path, "/level/original/010.xml");
    EXPECT_EQ(questLevels[4].path, "/level/original/\xE9.xml");

    ProfileManager loaded;
    ASSERT_TRUE(loaded.Load());
    ASSERT_EQ(loaded.Count(), 2);
    IntrusivePtr<Profile> bea = loaded.Current();
    EXPECT_EQ(bea->GetName(), "Bea");
    EXPECT_EQ(bea->GetDifficulty(), DifficultyHard);
    EXPECT_FALSE(bea->GetHints());
    const ProgressRecord& hard = bea->Record();
    EXPECT_EQ(hard.GetScore(GameModeQuest), 1234);
    EXPECT_EQ(hard.GetScore(GameModeArcade), 99);
    EXPECT_EQ(hard.GetSeconds(GameModeArcade), 17);
    EXPECT_EQ(hard.GetMapPage(), 3);
    EXPECT_EQ(hard.GetState(GameModeQuest, "/level/original/010.xml"), LevelCompletedFast);
    EXPECT_EQ(hard.GetState(GameModeQuest, "/level/original/\xE9.xml"), LevelCompleted);
    EXPECT_EQ(hard.Levels(GameModeArcade).size(), 1u);
    EXPECT_EQ(bea->Record(DifficultyNormal).GetEntry(GameModeArcade, "/level/original/002.xml")->best, 5);
    EXPECT_TRUE(bea->Awards().IsEarned(3));
    EXPECT_TRUE(bea->Awards().AnyEarned());
    EXPECT_TRUE(bea->Awards().IsPending(18));
    EXPECT_FALSE(bea->Awards().IsEarned(18));
    EXPECT_EQ(bea->Awards().GetHintCounter(6), 0);
    EXPECT_EQ(bea->Awards().GetHintCounter(7), 1);

    // A fresh profile: page 1, the first level open in both modes at every difficulty.
    IntrusivePtr<Profile> cy = loaded.Profiles()[1];
    EXPECT_FALSE(cy->Awards().AnyEarned());
    for (int difficulty = 0; difficulty < kDifficultyCount; ++difficulty) {
        EXPECT_EQ(cy->Record(difficulty).GetMapPage(), 1);
        for (int mode = 0; mode < kModeCount; ++mode) {
            EXPECT_EQ(cy->Record(difficulty).GetState(mode, ProgressRecord::kFirstLevel), LevelOpen);
            EXPECT_EQ(cy->Record(difficulty).Levels(mode).size(), 1u);
        }
    }
}

TEST(ProfileManager, AddChecksLimitThenEmptyThenDuplicate)
{
    test::ScratchStorage storage;
    ProfileManager manager;
    EXPECT_EQ(manager.Add(Named("")), ProfileManager::AddNameEmpty);
    EXPECT_EQ(manager.Add(Named("ann")), ProfileManager::AddOk);
    EXPECT_EQ(manager.Add(Named("ann")), ProfileManager::AddNameTaken);
    EXPECT_EQ(manager.Add(Named("Ann")), ProfileManager::AddOk); // case matters
    for (const char* name : {"C", "D", "E", "F"}) {
        ASSERT_EQ(manager.Add(Named(name)), ProfileManager::AddOk);
    }
    ASSERT_EQ(manager.Count(), 6);
    // A full list wins over both other complaints.
    EXPECT_EQ(manager.Add(Named("")), ProfileManager::AddTooMany);
    EXPECT_EQ(manager.Add(Named("ann")), ProfileManager::AddTooMany);
    EXPECT_EQ(manager.Add(Named("G")), ProfileManager::AddTooMany);
    EXPECT_EQ(manager.Count(), 6);
    EXPECT_EQ(manager.Current()->GetName(), "F"); // the newest is current

    // A six-profile file loads completely.
    ASSERT_TRUE(manager.Save());
    ProfileManager loaded;
    EXPECT_TRUE(loaded.Load());
    EXPECT_EQ(loaded.Count(), 6);
}

TEST(ProfileManager, SelectMovesToFrontAndSaveWritesThatOrder)
{
    test::ScratchStorage storage;
    ProfileManager manager;
    for (const char* name : {"D", "C", "B", "A"}) {
        manager.Add(Named(name));
    }
    // List: A B C D.
    EXPECT_FALSE(manager.Select("c"));
    ASSERT_TRUE(manager.Select("C"));
    std::vector<std::string> order;
    for (const auto& profile : manager.Profiles()) {
        order.push_back(profile->GetName());
    }
    EXPECT_EQ(order, (std::vector<std::string>{"C", "A", "B", "D"}));
    EXPECT_EQ(manager.Current()->GetName(), "C");

    EXPECT_TRUE(manager.Remove("A"));
    EXPECT_FALSE(manager.Remove("A"));
    ASSERT_TRUE(manager.Save());
    auto raw = test::ParseProfiles(storage.Read("profiles.dat"));
    ASSERT_TRUE(raw);
    ASSERT_EQ(raw->size(), 3u);
    EXPECT_EQ((*raw)[0].name, "C");
    EXPECT_EQ((*raw)[1].name, "B");
    EXPECT_EQ((*raw)[2].name, "D");
}

TEST(ProfileManager, LoadLogsEachStepOfAGoodFile)
{
    test::ScratchStorage storage;
    storage.Write("profiles.dat", Le32(2) + FreshProfileBytes("A") + FreshProfileBytes("Bo"));
    test::LogCapture log;
    ProfileManager manager;
    EXPECT_TRUE(manager.Load());
    EXPECT_EQ(manager.Count(), 2);
    EXPECT_EQ(log.Texts(), (std::vector<std::string>{"Loading profile data...", "User data loaded for: \"A\"",
                                                     "User data loaded for: \"Bo\"", "Profile data loaded success"}));
    EXPECT_EQ(log.Lines()[0].level, tsv::LogLevelHint);
    EXPECT_EQ(log.Lines()[3].level, tsv::LogLevelHint);
}

TEST(ProfileManager, LoadFailuresKeepWhatCameBefore)
{
    test::ScratchStorage storage;
    std::string two = FreshProfileBytes("A") + FreshProfileBytes("B");
    {
        test::LogCapture log;
        ProfileManager manager;
        EXPECT_FALSE(manager.Load());
        EXPECT_EQ(manager.Count(), 0);
        EXPECT_EQ(log.Texts(), (std::vector<std::string>{"Loading profile data...", "Profile data not found"}));
        EXPECT_EQ(log.Lines()[1].level, tsv::LogLevelWarning);
    }
    for (int32_t count : {0, 7, -1}) {
        storage.Write("profiles.dat", Le32(count) + two);
        test::LogCapture log;
        ProfileManager manager;
        manager.Add(Named("kept?"));
        EXPECT_FALSE(manager.Load());
        EXPECT_EQ(manager.Count(), 0) << "count " << count;
        EXPECT_TRUE(log.Contains(tsv::LogLevelWarning, "Profile format is corrupted")) << "count " << count;
    }
    {
        // The second profile's signature is damaged: the first one stays.
        std::string bad = FreshProfileBytes("B");
        bad[9] = 'X';
        storage.Write("profiles.dat", Le32(3) + FreshProfileBytes("A") + bad + FreshProfileBytes("C"));
        test::LogCapture log;
        ProfileManager manager;
        manager.Load();
        ASSERT_EQ(manager.Count(), 1);
        EXPECT_EQ(manager.Current()->GetName(), "A");
        EXPECT_EQ(log.Texts(), (std::vector<std::string>{
                                   "Loading profile data...", "User data loaded for: \"A\"",
                                   "Invalid signature of game profile \"[Tarvel][X" + bad.substr(10, 22) + "\"",
                                   "Profile #2 corrupted!"}));
    }
    {
        // A file that ends early fails at the next signature it cannot read.
        storage.Write("profiles.dat", Le32(2) + FreshProfileBytes("A") + "[Tarvel]");
        test::LogCapture log;
        ProfileManager manager;
        manager.Load();
        EXPECT_EQ(manager.Count(), 1);
        EXPECT_TRUE(log.Contains(tsv::LogLevelWarning, "Invalid signature of game profile \"[Tarvel]\""));
        EXPECT_FALSE(log.Contains(tsv::LogLevelHint, "Profile data loaded success"));
    }
}

TEST(ProfileManager, InterruptedSaveLeavesThePreviousFile)
{
    test::ScratchStorage storage;
    ProfileManager manager;
    manager.Add(Named("Old"));
    ASSERT_TRUE(manager.Save());
    const std::string previous = storage.Read("profiles.dat");

    // A crash after the new file was written in full beside the old one, before
    // it replaced it: the next start still reads the old file.
    manager.Add(Named("New"));
    {
        RecordWriter pending;
        pending.WriteInt32(manager.Count());
        for (const auto& profile : manager.Profiles()) {
            profile->Save(pending);
        }
        storage.Write("profiles.dat.tmp", pending.Bytes());
    }
    ProfileManager afterCrash;
    ASSERT_TRUE(afterCrash.Load());
    EXPECT_EQ(afterCrash.Count(), 1);
    EXPECT_EQ(afterCrash.Current()->GetName(), "Old");

    // A disk that fills up in the middle of the save: the write fails, the old
    // file is untouched and no partial file is left behind.
    for (const char* name : {"P3", "P4", "P5", "P6"}) {
        manager.Add(Named(name));
    }
    test::LogCapture log;
    struct rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 1000;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    bool savedOk = manager.Save();
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(savedOk);
    EXPECT_EQ(storage.Read("profiles.dat"), previous);
    EXPECT_FALSE(storage.Exists("profiles.dat.tmp"));
    EXPECT_TRUE(log.Contains(tsv::LogLevelError, storage.File("profiles.dat")));
    EXPECT_TRUE(log.Contains(tsv::LogLevelError, "File too large"));
}

} // namespace
} // namespace bsh
