#include "soundtesthelpers.h"

#include "engine/core/config.h"

namespace soundtest {
namespace {

using tsv::AudiereSound;
using tsv::IntrusivePtr;
using tsv::Playlist;

using SoundManagerTest = SoundTest;

// The text of a playlist file that plays the one sound file `soundPath`.
std::string OneEntry(const std::string& soundPath) { return "<playlist><sound>" + soundPath + "</sound></playlist>"; }

TEST_F(SoundManagerTest, PlayByNameFollowsItsOrder)
{
    // A stored sound is the same object every time.
    IntrusivePtr<AudiereSound> sound = Tone("a.wav", 100);
    EXPECT_EQ(m_manager->GetSound(Path("a.wav")), sound);
    EXPECT_TRUE(m_manager->Play(Path("a.wav")));
    EXPECT_TRUE(sound->IsPlaying());

    // A playlist file not yet loaded is taken for a sound file: silent, with the Errors of a failed voice.
    Write("music.xml", OneEntry(Path("a.wav")));
    EXPECT_TRUE(m_manager->Play(Path("music.xml")));
    EXPECT_EQ(Errors("Failed to create Audiere sound object from file \"" + Path("music.xml") + "\""), 1);

    // A stored playlist of another name is played as a playlist.
    Write("loaded.xml", OneEntry(Path("a.wav")));
    IntrusivePtr<Playlist> playlist = m_manager->GetPlaylist(Path("loaded.xml"));
    ASSERT_TRUE(playlist);
    EXPECT_EQ(m_manager->GetPlaylist(Path("loaded.xml")), playlist);
    EXPECT_TRUE(tsv::Application::Instance().GetTaskManager().Contains(playlist.Get()));
    EXPECT_TRUE(m_manager->Play(Path("loaded.xml")));
    EXPECT_FALSE(playlist->IsFinished());

    // An unknown name still makes a (silent) sound and counts as played.
    EXPECT_TRUE(m_manager->Play(Path("nothing.wav")));
    EXPECT_EQ(m_manager->GetSound(Path("nothing.wav"))->GetStackSize(), 0);

    // An empty name makes neither a sound nor a playlist.
    EXPECT_FALSE(m_manager->Play(""));
    EXPECT_EQ(Errors("Failed to load sound from \"\"!"), 1);
    EXPECT_EQ(Errors("Failed to load playlist from \"\"!"), 1);
}

TEST_F(SoundManagerTest, GroupVolumeReplacesEachSoundsOwn)
{
    IntrusivePtr<AudiereSound> a = Tone("a.wav", 50);
    IntrusivePtr<AudiereSound> b = Tone("b.wav", 50);
    IntrusivePtr<AudiereSound> m = Tone("m.wav", 50);
    a->SetVolume(0.3f);
    b->SetVolume(0.9f);
    m->SetGroup(tsv::kMusicGroup);
    m->SetVolume(0.5f);
    Write("music.xml",
          "<playlist><sound><source>" + Path("m.wav") + "</source><volume>0.5</volume></sound></playlist>");
    IntrusivePtr<Playlist> music = m_manager->GetPlaylist(Path("music.xml"));
    ASSERT_TRUE(music);
    music->SetGroup(tsv::kMusicGroup);

    m_manager->SetGroupVolume(0.6f, tsv::kEffectGroup);
    EXPECT_FLOAT_EQ(a->GetVolume(), 0.6f);
    EXPECT_FLOAT_EQ(b->GetVolume(), 0.6f);
    EXPECT_FLOAT_EQ(m->GetVolume(), 0.5f);
    EXPECT_FLOAT_EQ(music->GetVolume(), 1.0f);

    m_manager->SetGroupVolume(0.8f, tsv::kMusicGroup);
    EXPECT_FLOAT_EQ(music->GetVolume(), 0.8f);
    // The sound is in group 1 itself and the playlist then scales its entry: entry 0.5 x 0.8.
    EXPECT_FLOAT_EQ(m->GetVolume(), 0.4f);
    m->SetVolume(0.9f);
    m_manager->SetGroupVolume(0.8f, tsv::kMusicGroup);
    EXPECT_FLOAT_EQ(m->GetVolume(), 0.8f) << "the sound itself is in the group";
    m->SetVolume(0.9f);
    music->SetVolume(0.8f);
    EXPECT_FLOAT_EQ(m->GetVolume(), 0.9f) << "setting a playlist's own volume again touches no entry";

    // Focus lost silences both groups; focus gained restores them from the configuration.
    tsv::Config& config = tsv::GetConfig();
    const tsv::Config saved = config;
    config.soundVolume = 0.7f;
    config.musicVolume = 0.2f;
    m_manager->OnFocusChanged(false);
    EXPECT_FLOAT_EQ(a->GetVolume(), 0.0f);
    EXPECT_FLOAT_EQ(music->GetVolume(), 0.0f);
    m_manager->OnFocusChanged(true);
    EXPECT_FLOAT_EQ(a->GetVolume(), 0.7f);
    EXPECT_FLOAT_EQ(b->GetVolume(), 0.7f);
    EXPECT_FLOAT_EQ(music->GetVolume(), 0.2f);
    config = saved;
}

TEST_F(SoundManagerTest, PreloadReadsPlainAndDetailedEntries)
{
    for (const char* name : {"plain.wav", "detail.wav", "late.wav"}) {
        WriteToneWav(Path(name), 50);
    }
    Write("tune.xml", OneEntry(Path("plain.wav")));
    Write("other.xml", OneEntry(Path("plain.wav")));
    Write("preload.xml", "<preload>\n"
                         "  <sound>" + Path("plain.wav") + "</sound>\n"
                         "  <sound><source>" + Path("detail.wav") + "</source><group>1</group><stack>3</stack>"
                         "<holddelay>40</holddelay></sound>\n"
                         "  <sound><stack>4</stack><group>1</group><source>" + Path("late.wav") + "</source>"
                         "<holddelay>25</holddelay></sound>\n"
                         "  <playlist>" + Path("tune.xml") + "</playlist>\n"
                         "  <playlist><source>" + Path("other.xml") + "</source><group>1</group></playlist>\n"
                         "</preload>\n");
    ASSERT_TRUE(m_manager->Preload(Path("preload.xml")));

    // Group, stack and hold delay per file; in the last entry, elements before "source" have no sound to act on.
    const struct {
        const char* name;
        int group, stack, holdDelay;
    } expected[] = {{"plain.wav", 0, 1, 0}, {"detail.wav", 1, 3, 40}, {"late.wav", 0, 1, 25}};
    for (const auto& e : expected) {
        SCOPED_TRACE(e.name);
        IntrusivePtr<AudiereSound> sound = m_manager->GetSound(Path(e.name));
        EXPECT_EQ(sound->GetGroup(), e.group);
        EXPECT_EQ(sound->GetStackSize(), e.stack);
        EXPECT_EQ(sound->GetHoldDelay(), e.holdDelay);
    }

    // Preloaded playlists are stored, so Play by name now reaches them.
    EXPECT_EQ(m_manager->GetPlaylist(Path("tune.xml"))->GetGroup(), 0);
    EXPECT_EQ(m_manager->GetPlaylist(Path("other.xml"))->GetGroup(), 1);
    EXPECT_TRUE(m_manager->Play(Path("tune.xml")));
    EXPECT_FALSE(m_manager->GetPlaylist(Path("tune.xml"))->IsFinished());
    EXPECT_EQ(m_log.Texts(tsv::LogLevel::Error), std::vector<std::string>{});
}

TEST_F(SoundManagerTest, WrongRootsAreRefusedWithTheirMessages)
{
    Write("notpreload.xml", OneEntry("x.wav"));
    EXPECT_FALSE(m_manager->Preload(Path("notpreload.xml")));
    EXPECT_EQ(Errors("Error reading preload file \"" + Path("notpreload.xml") + "\" - root item must be <preload>"), 1);
    EXPECT_EQ(Errors("x.wav"), 0) << "nothing is loaded from it";

    Write("notplaylist.xml", "<preload><sound>x.wav</sound></preload>");
    EXPECT_FALSE(m_manager->GetPlaylist(Path("notplaylist.xml")));
    EXPECT_EQ(Errors("Error reading playlist file \"" + Path("notplaylist.xml") + "\" - root item must be <playlist>"),
              1);
    EXPECT_EQ(Errors("Failed to load playlist from \"" + Path("notplaylist.xml") + "\"!"), 1);
}

TEST(SoundManagerWithoutDevice, RunsSilentAndRefusesPlays)
{
    testsupport::LogCapture log;
    const std::string noDevice = "Failed to create Audiere audio device.";
    {
        tsv::SoundManager manager(nullptr);
        EXPECT_EQ(log.Count(tsv::LogLevel::Error, noDevice), 1);
        IntrusivePtr<AudiereSound> sound = manager.GetSound("/sound/anything.wav");
        ASSERT_TRUE(sound);
        EXPECT_EQ(sound->GetStackSize(), 0);
        EXPECT_FALSE(sound->Play());
        // Said once for the device, not again for every sound.
        EXPECT_EQ(log.Count(tsv::LogLevel::Error, "Failed to create Audiere sound object from file"), 0);
        manager.Update(); // nothing to feed, nothing to render
    }
    EXPECT_EQ(log.Count(tsv::LogLevel::Error, noDevice), 1) << "logged once";
}

} // namespace
} // namespace soundtest
