#include "soundtesthelpers.h"

#include "core/random.h"
#include "sound/playlist.h"

#include <set>

namespace soundtest {
namespace {

using tsv::IntrusivePtr;
using tsv::Playlist;

class PlaylistTest : public SoundTest {
protected:
    // A playlist file of `count` short tones ("t0.wav" ...), each `ms` long.
    IntrusivePtr<Playlist> MakePlaylist(const std::string& name, int count, int ms, const std::string& extra = "")
    {
        std::string text = "<playlist>" + extra;
        for (int i = 0; i < count; ++i) {
            const std::string file = Path(name + std::to_string(i) + ".wav");
            WriteToneWav(file, ms);
            text += "<sound>" + file + "</sound>";
        }
        text += "</playlist>";
        WriteText(Path(name + ".xml"), text);
        return m_manager->GetPlaylist(Path(name + ".xml"));
    }
};

TEST_F(PlaylistTest, OneEntryRepeatsForEver)
{
    IntrusivePtr<Playlist> playlist = MakePlaylist("solo", 1, 50);
    ASSERT_TRUE(playlist);
    EXPECT_TRUE(playlist->IsFinished()) << "a new playlist is silent until played";
    playlist->Play();
    Frames(100);
    EXPECT_FALSE(playlist->IsFinished());
    EXPECT_EQ(playlist->GetCurrentEntry(), 0);
    // One second later the single entry is still being heard, not just once at the start.
    const int end = static_cast<int>(Rendered().size() / 2 * 1000 / static_cast<size_t>(Rate()));
    EXPECT_GT(Peak(Rendered(), Rate(), 0, end - 200, end), 1000);

    playlist->Stop();
    EXPECT_TRUE(playlist->IsFinished());
    EXPECT_FALSE(playlist->GetEntries()[0].sound->IsPlaying());
}

TEST_F(PlaylistTest, PlayOncePicksAnewEachTime)
{
    tsv::SeedRandom(7);
    IntrusivePtr<Playlist> playlist = MakePlaylist("once", 4, 30, "<playonce>1</playonce>");
    ASSERT_TRUE(playlist);
    ASSERT_TRUE(playlist->GetPlayOnce());
    std::set<int> picked;
    for (int round = 0; round < 12; ++round) {
        playlist->Play();
        const int entry = playlist->GetCurrentEntry();
        picked.insert(entry);
        EXPECT_TRUE(playlist->GetEntries()[static_cast<size_t>(entry)].sound->IsPlaying());
        Frames(6);
        EXPECT_TRUE(playlist->IsFinished()) << "silent once the one entry has ended";
        Frames(2);
        EXPECT_EQ(playlist->GetCurrentEntry(), entry) << "nothing further is chosen while finished";
        for (const tsv::PlaylistEntry& e : playlist->GetEntries()) {
            EXPECT_FALSE(e.sound->IsPlaying());
        }
    }
    EXPECT_GT(picked.size(), 1u) << "each play draws a new entry";
}

TEST_F(PlaylistTest, ShuffleNeverRepeatsAndOrderWrapsWithoutIt)
{
    tsv::SeedRandom(11);
    IntrusivePtr<Playlist> playlist = MakePlaylist("mix", 3, 20);
    ASSERT_TRUE(playlist);
    playlist->Play();
    EXPECT_EQ(playlist->GetCurrentEntry(), 0) << "the first play starts at the first entry";
    std::vector<int> order{0};
    for (int i = 0; i < 150; ++i) {
        Frames(1);
        if (playlist->GetCurrentEntry() != order.back()) {
            order.push_back(playlist->GetCurrentEntry());
        }
    }
    EXPECT_GT(order.size(), 20u);
    std::set<int> seen(order.begin(), order.end());
    EXPECT_EQ(seen.size(), 3u);

    // Without shuffle the entries follow the list and wrap.
    IntrusivePtr<Playlist> ordered = MakePlaylist("seq", 3, 20);
    ordered->SetShuffle(false);
    ordered->Play();
    std::vector<int> sequence{ordered->GetCurrentEntry()};
    for (int i = 0; i < 100 && sequence.size() < 7; ++i) {
        Frames(1);
        if (ordered->GetCurrentEntry() != sequence.back()) {
            sequence.push_back(ordered->GetCurrentEntry());
        }
    }
    EXPECT_EQ(sequence, (std::vector<int>{0, 1, 2, 0, 1, 2, 0}));
}

TEST_F(PlaylistTest, ShuffleDrawsAnotherEntryEachTimeOne)
{
    // Entries of one frame's length: every frame ends one, so every frame must change entry.
    tsv::SeedRandom(3);
    IntrusivePtr<Playlist> playlist = MakePlaylist("quick", 2, kStepMs / 2);
    playlist->Play();
    Frames(1); // the first entry is heard
    int previous = playlist->GetCurrentEntry();
    for (int i = 0; i < 40; ++i) {
        Frames(1);
        const int current = playlist->GetCurrentEntry();
        EXPECT_NE(current, previous) << "frame " << i;
        previous = current;
    }
}

TEST_F(PlaylistTest, FadesEndStoppedOrSilent)
{
    IntrusivePtr<Playlist> stopping = MakePlaylist("fadeout", 1, 500);
    IntrusivePtr<Playlist> running = MakePlaylist("fadequiet", 1, 500);
    stopping->Play();
    running->Play();
    const int64_t start = Now();
    stopping->Fade(true, start, start + 100, 1.0f, 0.0f, true);
    running->Fade(true, start, start + 100, 1.0f, 0.0f, false);

    Frames(5);
    EXPECT_NEAR(stopping->GetVolume(), 0.5f, 0.11f);
    EXPECT_NEAR(stopping->GetEntries()[0].sound->GetVolume(), stopping->GetVolume(), 1e-6);
    Frames(6);
    EXPECT_FALSE(stopping->IsFading());
    EXPECT_TRUE(stopping->IsFinished());
    EXPECT_FALSE(stopping->GetEntries()[0].sound->IsPlaying());

    EXPECT_FALSE(running->IsFading());
    EXPECT_FALSE(running->IsFinished());
    EXPECT_FLOAT_EQ(running->GetVolume(), 0.0f);
    EXPECT_TRUE(running->GetEntries()[0].sound->IsPlaying()) << "keeps running at volume 0";

    // A fade that has not begun holds the start volume.
    running->Fade(true, Now() + 1000, Now() + 2000, 0.25f, 1.0f, false);
    Frames(1);
    EXPECT_FLOAT_EQ(running->GetVolume(), 0.25f);
}

TEST_F(PlaylistTest, VolumeScalesEntriesAndSameValueLeavesThemAlone)
{
    WriteToneWav(Path("a.wav"), 50);
    WriteToneWav(Path("b.wav"), 50);
    WriteText(Path("vol.xml"), "<playlist><sound><source>" + Path("a.wav") +
                                   "</source><volume>0.5</volume></sound><sound>" + Path("b.wav") +
                                   "</sound></playlist>");
    IntrusivePtr<Playlist> playlist = m_manager->GetPlaylist(Path("vol.xml"));
    ASSERT_TRUE(playlist);
    ASSERT_EQ(playlist->GetEntries().size(), 2u);
    EXPECT_FLOAT_EQ(playlist->GetEntries()[0].sound->GetVolume(), 0.5f) << "the entry volume is set on load";
    playlist->SetVolume(0.4f);
    EXPECT_FLOAT_EQ(playlist->GetEntries()[0].sound->GetVolume(), 0.2f);
    EXPECT_FLOAT_EQ(playlist->GetEntries()[1].sound->GetVolume(), 0.4f);

    playlist->GetEntries()[1].sound->SetVolume(0.9f);
    playlist->SetVolume(0.4f);
    EXPECT_FLOAT_EQ(playlist->GetEntries()[1].sound->GetVolume(), 0.9f) << "an unchanged volume touches nothing";
}

} // namespace
} // namespace soundtest
