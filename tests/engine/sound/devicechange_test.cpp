// A sound card that goes away in the middle of a run and comes back: a
// stand-in device on the loopback renderer that can be "unplugged", and a
// manager that must run on in silence, look for a device without hammering
// the system, and bring the music back when one is there.

#include "soundtesthelpers.h"

namespace soundtest {
namespace {

using tsv::IntrusivePtr;

// The loopback device behind a plug.
class StandInDevice : public tsv::AudioDevice {
public:
    StandInDevice() : m_inner(tsv::AudioDevice::OpenLoopback()) {}
    IntrusivePtr<tsv::AudioVoice> OpenVoice(const std::string& path) override { return m_inner->OpenVoice(path); }
    void Update(int64_t untilMs) override { m_inner->Update(untilMs); }
    bool IsConnected() const override { return connected; }
    bool IsLoopback() const override { return true; }
    void SetCapture(bool capture) override { m_inner->SetCapture(capture); }
    const std::vector<int16_t>& GetCapture() const override { return m_inner->GetCapture(); }
    int GetSampleRate() const override { return m_inner->GetSampleRate(); }

    bool connected = true;

private:
    IntrusivePtr<tsv::AudioDevice> m_inner;
};

class DeviceChangeTest : public SoundTest {
protected:
    void SetUp() override
    {
        SoundTest::SetUp();
        m_manager.reset();
        first = tsv::MakeIntrusive<StandInDevice>();
        m_manager = std::make_unique<tsv::SoundManager>(first);
        m_createdAt = Now(); // the capture's time line starts here, not at the process's start
        m_manager->SetCapture(true);
        m_manager->SetDeviceOpener([this]() -> IntrusivePtr<tsv::AudioDevice> {
            openedAt.push_back(Now());
            if (!cardThere) {
                return nullptr;
            }
            second = tsv::MakeIntrusive<StandInDevice>();
            return second;
        });
    }
    // Peak of the run's rendered audio between two points of its time line.
    int PeakBetween(int fromMs, int toMs) const
    {
        const int origin = static_cast<int>(m_createdAt);
        return Peak(m_manager->GetCapture(), m_manager->GetCaptureRate(), 0, fromMs - origin, toMs - origin);
    }
    int64_t m_createdAt = 0;

    IntrusivePtr<StandInDevice> first, second;
    bool cardThere = false;
    std::vector<int64_t> openedAt;
};

TEST_F(DeviceChangeTest, TheGameRunsOnInSilenceAndTheMusicComesBackWithADevice)
{
    IntrusivePtr<tsv::AudiereSound> effect = Tone("tone.wav", 300);
    Write("music.xml", "<playlist><sound>" + Path("tone.wav") + "</sound></playlist>");
    IntrusivePtr<tsv::Playlist> music = m_manager->GetPlaylist(Path("music.xml"));
    ASSERT_TRUE(music);
    effect->SetStackSize(3);
    music->Play();
    Frames(100);
    const int start = static_cast<int>(Now());
    ASSERT_GT(PeakBetween(start - 500, start), 5000) << "the music plays";

    first->connected = false;
    Frames(150); // 1.5 s: noticed within a second, then one failed look for a new card
    EXPECT_EQ(m_manager->GetDevice(), nullptr);
    EXPECT_FALSE(effect->Play()) << "plays are refused, and nothing breaks";
    EXPECT_EQ(effect->GetStackSize(), 0);
    EXPECT_EQ(m_log.Texts(tsv::LogLevel::Warning).size(), 1u);

    // Without a card, ever less often: after 1, 2, 4, 8, 8 ... seconds.
    Frames(2000);
    ASSERT_GE(openedAt.size(), 4u);
    EXPECT_LE(openedAt.size(), 6u) << "a machine without sound is not asked every second";
    for (size_t i = 1; i < openedAt.size(); ++i) {
        EXPECT_LE(openedAt[i] - openedAt[i - 1], tsv::SoundManager::kRetryMostMs + kStepMs);
    }

    cardThere = true;
    const int plugged = static_cast<int>(Now());
    Frames(1000);
    ASSERT_TRUE(second);
    EXPECT_EQ(m_manager->GetDevice(), second.Get());
    EXPECT_EQ(effect->GetStackSize(), 3) << "every voice is back";
    EXPECT_EQ(m_log.Texts(tsv::LogLevel::Warning).size(), 1u);
    EXPECT_EQ(m_log.Count(tsv::LogLevel::Hint, "audio device"), 1);

    // One time line: music, silence while there was no card, music again.
    const int end = static_cast<int>(Now());
    EXPECT_LT(PeakBetween(start + 1100, plugged), 50);
    EXPECT_GT(PeakBetween(end - 1000, end), 5000) << "the music started again on the new device";
    EXPECT_GT(PeakBetween(start - 500, start), 5000) << "what was rendered before is kept";
}

TEST_F(DeviceChangeTest, ARepeatingSoundStartsAgainAndAStoppedOneStaysQuiet)
{
    IntrusivePtr<tsv::AudiereSound> loop = Tone("loop.wav", 200);
    IntrusivePtr<tsv::AudiereSound> once = Tone("once.wav", 200);
    loop->SetRepeat(true);
    loop->SetVolume(0.5f);
    loop->Play();
    once->SetRepeat(true);
    once->Play();
    once->Stop();
    Frames(10);

    m_manager->SetUnplugged(true);
    Frames(1);
    EXPECT_FALSE(loop->IsPlaying());
    EXPECT_EQ(m_manager->GetDevice(), nullptr);
    cardThere = true;
    Frames(300);
    EXPECT_EQ(m_manager->GetDevice(), nullptr) << "an unplugged card is not found";
    m_manager->SetUnplugged(false);
    Frames(1);
    ASSERT_NE(m_manager->GetDevice(), nullptr);
    EXPECT_TRUE(loop->IsPlaying());
    EXPECT_FLOAT_EQ(loop->GetVolume(), 0.5f);
    EXPECT_FALSE(once->IsPlaying());
}

} // namespace
} // namespace soundtest
