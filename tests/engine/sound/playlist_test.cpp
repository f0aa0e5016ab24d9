#include "soundtesthelpers.h"

#include "engine/core/random.h"
#include "engine/sound/playlist.h"

#include <set>
#include <vector>

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
        Write(name + ".xml", text);
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
    EXPECT_GT(Peak(Rendered(), Rate(), 0, RenderedMs() - 200, RenderedMs()), 1000);

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
    }
    EXPECT_GT(picked.size(), 1u) << "each play draws a new entry";
}

TEST_F(PlaylistTest, ShuffleNeverRepeatsTheCurrentEntryAndOrderWraps)
{
    // Entries shorter than a frame: every frame ends one, so every frame must change entry.
    tsv::SeedRandom(3);
    IntrusivePtr<Playlist> shuffled = MakePlaylist("quick", 2, kStepMs / 2);
    IntrusivePtr<Playlist> ordered = MakePlaylist("seq", 3, kStepMs / 2);
    ordered->SetShuffle(false);
    shuffled->Play();
    ordered->Play();
    EXPECT_EQ(shuffled->GetCurrentEntry(), 0) << "the first play starts at the first entry";
    Frames(1);
    std::vector<int> sequence{ordered->GetCurrentEntry()};
    for (int i = 0; i < 40; ++i) {
        const int previous = shuffled->GetCurrentEntry();
        Frames(1);
        EXPECT_NE(shuffled->GetCurrentEntry(), previous) << "frame " << i;
        sequence.push_back(ordered->GetCurrentEntry());
    }
    sequence.resize(7);
    EXPECT_EQ(sequence, (std::vector<int>{0, 1, 2, 0, 1, 2, 0})) << "without shuffle the list order wraps";
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

} // namespace
} // namespace soundtest
