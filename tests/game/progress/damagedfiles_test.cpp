// The damaged-file matrix: every player file cut short at many points and
// with bytes flipped. Whatever the damage, loading and saving again never
// destroys the player's bytes: either the file still reads (and is written
// back as it was) or it is kept aside, byte for byte, beside the new one.

#include "engine/core/config.h"
#include "engine/core/storage.h"
#include "game/progress/highscoretable.h"
#include "game/progress/profilemanager.h"
#include "support/scratchstorage.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace bsh::test {
namespace {

// Each damaged variant of `good`: cut at every `step`-th byte, and one byte
// flipped at every `step`-th position.
std::vector<std::string> Damaged(const std::string& good, size_t step)
{
    std::vector<std::string> variants;
    for (size_t cut = 0; cut < good.size(); cut += step) {
        variants.push_back(good.substr(0, cut));
    }
    for (size_t at = 0; at < good.size(); at += step) {
        std::string flipped = good;
        flipped[at] = static_cast<char>(flipped[at] ^ 0x5A);
        variants.push_back(flipped);
    }
    return variants;
}

// True when some file of the storage folder holds exactly `bytes`.
bool Survives(const ScratchStorage& storage, const std::string& bytes)
{
    for (const std::string& name : storage.List()) {
        if (storage.Read(name) == bytes) {
            return true;
        }
    }
    return false;
}

// Writes each variant as `file`, runs `loadAndSave` and checks the bytes survive.
void CheckMatrix(const std::string& file, const std::string& good, size_t step,
                 const std::function<void()>& loadAndSave)
{
    int kept = 0;
    for (const std::string& bytes : Damaged(good, step)) {
        ScratchStorage storage;
        storage.Write(file, bytes);
        loadAndSave();
        ASSERT_TRUE(Survives(storage, bytes)) << file << ": " << bytes.size() << " bytes lost";
        kept += storage.DamagedPath(file).empty() ? 0 : 1;
    }
    EXPECT_GT(kept, 0) << file << ": no variant was seen as damaged";
}

std::string GoodProfiles()
{
    ScratchStorage storage;
    ProfileManager manager;
    for (const char* name : {"Ann", "Bo", "Cy"}) {
        tsv::IntrusivePtr<Profile> profile(new Profile(name));
        profile->Record().SetScore(GameMode::Quest, 1234);
        profile->Awards().SetHintCounter(3, 2);
        manager.Add(profile);
    }
    manager.Save();
    return storage.Read("profiles.dat");
}

TEST(DamagedFilesTest, ProfilesSurviveEveryCutAndFlip)
{
    const std::string good = GoodProfiles();
    ASSERT_GT(good.size(), 100u);
    CheckMatrix("profiles.dat", good, 37, [] {
        ProfileManager manager;
        manager.Load();
        manager.Save();
    });
}

TEST(DamagedFilesTest, HighscoresSurviveEveryCutAndFlip)
{
    std::string good;
    {
        ScratchStorage storage;
        HighscoreTable table(10);
        table.Fill(GameMode::Quest, 5000);
        table.Fill(GameMode::Arcade, 7000);
        table.Save();
        good = storage.Read("highscore.dat");
    }
    CheckMatrix("highscore.dat", good, 13, [] {
        HighscoreTable table(10);
        table.Save();
    });
}

TEST(DamagedFilesTest, SettingsSurviveEveryCutAndFlip)
{
    tsv::Config settings;
    settings.language = "Deutsch & <Co>";
    settings.homeLink = "https://example.org/?a=1&b=2";
    const std::string good = settings.Format();
    {
        // Escaped values read back as they were.
        ScratchStorage storage;
        storage.Write("config.xml", good);
        tsv::Config again;
        again.Load(storage.Path());
        EXPECT_EQ(again.language, settings.language);
        EXPECT_EQ(again.homeLink, settings.homeLink);
    }
    CheckMatrix("config.xml", good, 7, [] {
        tsv::Config config;
        config.Load(tsv::GetStoragePath());
        config.Save(tsv::GetStoragePath());
    });
}

} // namespace
} // namespace bsh::test
