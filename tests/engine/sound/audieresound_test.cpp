#include "soundtesthelpers.h"

#include "engine/sound/audieresound.h"

namespace soundtest {
namespace {

using tsv::AudiereSound;
using tsv::IntrusivePtr;

using AudiereSoundTest = SoundTest;

TEST_F(AudiereSoundTest, VoiceStackLimitsOverlappingPlays)
{
    IntrusivePtr<AudiereSound> sound = Tone("hit.wav", 200);
    ASSERT_EQ(sound->GetStackSize(), 1);
    sound->SetStackSize(3);
    EXPECT_EQ(sound->GetStackSize(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(sound->Play()) << "play " << i;
    }
    EXPECT_FALSE(sound->Play()) << "a fourth play while three voices sound";
    EXPECT_TRUE(sound->IsPlaying());

    sound->SetStackSize(2);
    EXPECT_EQ(sound->GetStackSize(), 3) << "the stack never shrinks except to 0";

    // Once the 200 ms tone has run out on the device, the voices are free again.
    Frames(25);
    EXPECT_FALSE(sound->IsPlaying());
    EXPECT_TRUE(sound->Play());
    sound->Stop();
    EXPECT_FALSE(sound->IsPlaying());

    sound->SetStackSize(0);
    EXPECT_EQ(sound->GetStackSize(), 0);
    EXPECT_FALSE(sound->Play());
    sound->SetStackSize(2);
    EXPECT_EQ(sound->GetStackSize(), 2) << "the source is kept, so the stack can grow again";

    AudiereSound empty(m_device);
    empty.SetStackSize(2);
    EXPECT_EQ(empty.GetStackSize(), 0);
    EXPECT_EQ(Errors("Trying to set stack size of empty sound."), 1);
}

TEST_F(AudiereSoundTest, HoldDelayRefusesPlaysTooSoon)
{
    IntrusivePtr<AudiereSound> sound = Tone("click.wav", 20);
    sound->SetStackSize(3);
    sound->SetHoldDelay(100);
    EXPECT_EQ(sound->GetHoldDelay(), 100);

    // The last play time starts at 0, so the first play must wait for the clock to pass the delay.
    Frames(10);
    ASSERT_GE(Now(), 100);
    ASSERT_TRUE(sound->Play());
    const int64_t first = Now();
    Frames(5);
    ASSERT_EQ(Now() - first, 50);
    EXPECT_FALSE(sound->Play()) << "50 ms after an accepted play, inside the hold delay";
    Frames(5);
    ASSERT_EQ(Now() - first, 100);
    EXPECT_TRUE(sound->Play()) << "100 ms after the accepted play";

    // Without a hold delay every play is taken while a voice is free.
    sound->SetHoldDelay(0);
    EXPECT_TRUE(sound->Play());
    EXPECT_TRUE(sound->Play());
    EXPECT_FALSE(sound->Play());
}

TEST_F(AudiereSoundTest, SettingsReachTheVoicesAndTheOutput)
{
    IntrusivePtr<AudiereSound> sound = Tone("tone.wav", 100, 0.8f);

    // Full volume first, then half: the rendered peak halves.
    ASSERT_TRUE(sound->Play());
    const int start = RenderedMs();
    Frames(12);
    sound->SetVolume(0.5f);
    EXPECT_FLOAT_EQ(sound->GetVolume(), 0.5f);
    ASSERT_TRUE(sound->Play());
    const int second = RenderedMs();
    Frames(12);
    const int loud = Peak(Rendered(), Rate(), 0, start + 10, start + 90);
    const int soft = Peak(Rendered(), Rate(), 0, second + 10, second + 90);
    ASSERT_GT(loud, 1000);
    EXPECT_NEAR(static_cast<double>(soft) / loud, 0.5, 0.05);

    // Repeat keeps a voice sounding past the file's end; settings stored for later voices.
    sound->SetRepeat(true);
    sound->SetPan(-0.5f);
    sound->SetPitch(1.5f);
    sound->SetStackSize(2);
    EXPECT_TRUE(sound->GetRepeat());
    EXPECT_FLOAT_EQ(sound->GetPan(), -0.5f);
    EXPECT_FLOAT_EQ(sound->GetPitch(), 1.5f);
    ASSERT_TRUE(sound->Play());
    Frames(30);
    EXPECT_TRUE(sound->IsPlaying());
    sound->Stop();
    EXPECT_FALSE(sound->IsPlaying());

    // Vertical pan is refused with an Error and leaves the stored value alone.
    sound->SetVerticalPan(0.7f);
    EXPECT_FLOAT_EQ(sound->GetVerticalPan(), 0.0f);
    EXPECT_EQ(Errors("Audiere does not support vertical pan."), 1);
}

} // namespace
} // namespace soundtest
