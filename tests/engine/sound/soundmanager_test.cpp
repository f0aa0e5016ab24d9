#include "soundtesthelpers.h"

#include "engine/core/config.h"

namespace soundtest {
namespace {

using tsv::AudiereSound;
using tsv::IntrusivePtr;
using tsv::Playlist;

class SoundManagerTest : public SoundTest {};

TEST_F(SoundManagerTest, PlayByNameFollowsItsOrder)
{
    WriteToneWav(Path("a.wav"), 100);
    WriteText(Path("music.xml"), "<playlist><sound>" + Path("a.wav") + "</sound></playlist>");

    // A stored sound is the same object every time.
    IntrusivePtr<AudiereSound> sound = m_manager->GetSound(Path("a.wav"));
    EXPECT_EQ(m_manager->GetSound(Path("a.wav")), sound);
    EXPECT_TRUE(m_manager->Play(Path("a.wav")));
    EXPECT_TRUE(sound->IsPlaying());

    // A playlist file not yet loaded is taken for a sound file: silent, with the Errors of a failed voice.
    EXPECT_TRUE(m_manager->Play(Path("music.xml")));
    EXPECT_EQ(m_log->Count("Failed to create Audiere sound object from file \"" + Path("music.xml") + "\""), 1);

    // A stored playlist of another name is played as a playlist.
    WriteText(Path("loaded.xml"), "<playlist><sound>" + Path("a.wav") + "</sound></playlist>");
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
    EXPECT_EQ(m_log->Count("Failed to load sound from \"\"!"), 1);
    EXPECT_EQ(m_log->Count("Failed to load playlist from \"\"!"), 1);
}

TEST_F(SoundManagerTest, GroupVolumeReplacesEachSoundsOwn)
{
    WriteToneWav(Path("a.wav"), 50);
    WriteToneWav(Path("b.wav"), 50);
    WriteToneWav(Path("m.wav"), 50);
    IntrusivePtr<AudiereSound> a = m_manager->GetSound(Path("a.wav"));
    IntrusivePtr<AudiereSound> b = m_manager->GetSound(Path("b.wav"));
    IntrusivePtr<AudiereSound> m = m_manager->GetSound(Path("m.wav"));
    a->SetVolume(0.3f);
    b->SetVolume(0.9f);
    m->SetGroup(tsv::kMusicGroup);
    m->SetVolume(0.5f);
    WriteText(Path("music.xml"), "<playlist><sound><source>" + Path("m.wav") +
                                     "</source><volume>0.5</volume></sound></playlist>");
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
    const float soundVolume = config.soundVolume, musicVolume = config.musicVolume;
    config.soundVolume = 0.7f;
    config.musicVolume = 0.2f;
    m_manager->OnFocusChanged(false);
    EXPECT_FLOAT_EQ(a->GetVolume(), 0.0f);
    EXPECT_FLOAT_EQ(music->GetVolume(), 0.0f);
    m_manager->OnFocusChanged(true);
    EXPECT_FLOAT_EQ(a->GetVolume(), 0.7f);
    EXPECT_FLOAT_EQ(b->GetVolume(), 0.7f);
    EXPECT_FLOAT_EQ(music->GetVolume(), 0.2f);
    config.soundVolume = soundVolume;
    config.musicVolume = musicVolume;
}

TEST_F(SoundManagerTest, PreloadReadsPlainAndDetailedEntries)
{
    WriteToneWav(Path("plain.wav"), 50);
    WriteToneWav(Path("detail.wav"), 50);
    WriteToneWav(Path("late.wav"), 50);
    WriteText(Path("tune.xml"), "<playlist><sound>" + Path("plain.wav") + "</sound></playlist>");
    WriteText(Path("other.xml"), "<playlist><sound>" + Path("plain.wav") + "</sound></playlist>");
    WriteText(Path("preload.xml"),
              "<preload>\n"
              "  <sound>" + Path("plain.wav") + "</sound>\n"
              "  <sound><source>" + Path("detail.wav") + "</source><group>1</group><stack>3</stack>"
              "<holddelay>40</holddelay></sound>\n"
              "  <sound><stack>4</stack><group>1</group><source>" + Path("late.wav") + "</source>"
              "<holddelay>25</holddelay></sound>\n"
              "  <playlist>" + Path("tune.xml") + "</playlist>\n"
              "  <playlist><source>" + Path("other.xml") + "</source><group>1</group></playlist>\n"
              "</preload>\n");
    ASSERT_TRUE(m_manager->Preload(Path("preload.xml")));

    IntrusivePtr<AudiereSound> plain = m_manager->GetSound(Path("plain.wav"));
    EXPECT_EQ(plain->GetGroup(), 0);
    EXPECT_EQ(plain->GetStackSize(), 1);

    IntrusivePtr<AudiereSound> detail = m_manager->GetSound(Path("detail.wav"));
    EXPECT_EQ(detail->GetGroup(), 1);
    EXPECT_EQ(detail->GetStackSize(), 3);
    EXPECT_EQ(detail->GetHoldDelay(), 40);

    // Elements before "source" have no sound to act on.
    IntrusivePtr<AudiereSound> late = m_manager->GetSound(Path("late.wav"));
    EXPECT_EQ(late->GetGroup(), 0);
    EXPECT_EQ(late->GetStackSize(), 1);
    EXPECT_EQ(late->GetHoldDelay(), 25);

    // Preloaded playlists are stored, so Play by name now reaches them.
    EXPECT_EQ(m_manager->GetPlaylist(Path("tune.xml"))->GetGroup(), 0);
    EXPECT_EQ(m_manager->GetPlaylist(Path("other.xml"))->GetGroup(), 1);
    EXPECT_TRUE(m_manager->Play(Path("tune.xml")));
    EXPECT_FALSE(m_manager->GetPlaylist(Path("tune.xml"))->IsFinished());
    EXPECT_TRUE(m_log->errors.empty()) << m_log->errors.front();
}

TEST_F(SoundManagerTest, WrongRootsAreRefusedWithTheirMessages)
{
    WriteText(Path("notpreload.xml"), "<playlist><sound>x.wav</sound></playlist>");
    EXPECT_FALSE(m_manager->Preload(Path("notpreload.xml")));
    EXPECT_EQ(m_log->Count("Error reading preload file \"" + Path("notpreload.xml") +
                           "\" - root item must be <preload>"),
              1);
    EXPECT_EQ(m_log->Count("x.wav"), 0) << "nothing is loaded from it";

    WriteText(Path("notplaylist.xml"), "<preload><sound>x.wav</sound></preload>");
    EXPECT_FALSE(m_manager->GetPlaylist(Path("notplaylist.xml")));
    EXPECT_EQ(m_log->Count("Error reading playlist file \"" + Path("notplaylist.xml") +
                           "\" - root item must be <playlist>"),
              1);
    EXPECT_EQ(m_log->Count("Failed to load playlist from \"" + Path("notplaylist.xml") + "\"!"), 1);
}

TEST(SoundManagerWithoutDevice, RunsSilentAndRefusesPlays)
{
    tsv::IntrusivePtr<ErrorRecorder> log = tsv::MakeIntrusive<ErrorRecorder>();
    tsv::GetLog().AddTarget(log);
    {
        tsv::SoundManager manager(nullptr);
        EXPECT_EQ(log->Count("Failed to create Audiere audio device."), 1);
        IntrusivePtr<AudiereSound> sound = manager.GetSound("/sound/anything.wav");
        ASSERT_TRUE(sound);
        EXPECT_EQ(sound->GetStackSize(), 0);
        EXPECT_FALSE(sound->Play());
        // Said once for the device, not again for every sound.
        EXPECT_EQ(log->Count("Failed to create Audiere sound object from file \"/sound/anything.wav\""), 0);
        manager.Update(); // nothing to feed, nothing to render
    }
    EXPECT_EQ(log->Count("Failed to create Audiere audio device."), 1) << "logged once";
    tsv::GetLog().RemoveTarget(log);
}

} // namespace
} // namespace soundtest
