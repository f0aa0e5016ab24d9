#include "soundtesthelpers.h"

#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <cstdio>

namespace soundtest {
namespace {

using tsv::AudiereSound;
using tsv::IntrusivePtr;

// Encodes `seconds` of a mono 440 Hz tone as Ogg Vorbis.
void WriteToneOgg(const std::string& path, int seconds)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    vorbis_info vi;
    vorbis_info_init(&vi);
    ASSERT_EQ(vorbis_encode_init_vbr(&vi, 1, kFileRate, 0.1f), 0);
    vorbis_comment vc;
    vorbis_comment_init(&vc);
    vorbis_dsp_state vd;
    vorbis_block vb;
    vorbis_analysis_init(&vd, &vi);
    vorbis_block_init(&vd, &vb);
    ogg_stream_state os;
    ogg_stream_init(&os, 1);
    ogg_page og;
    // Flushing ends a page early, as the headers need; otherwise only full pages go out.
    const auto writePages = [&](int (*next)(ogg_stream_state*, ogg_page*)) {
        while (next(&os, &og)) {
            std::fwrite(og.header, 1, static_cast<size_t>(og.header_len), f);
            std::fwrite(og.body, 1, static_cast<size_t>(og.body_len), f);
        }
    };
    ogg_packet packets[3];
    vorbis_analysis_headerout(&vd, &vc, &packets[0], &packets[1], &packets[2]);
    for (ogg_packet& header : packets) {
        ogg_stream_packetin(&os, &header);
    }
    writePages(ogg_stream_flush);
    const auto drain = [&] {
        ogg_packet op;
        while (vorbis_analysis_blockout(&vd, &vb) == 1) {
            vorbis_analysis(&vb, nullptr);
            vorbis_bitrate_addblock(&vb);
            while (vorbis_bitrate_flushpacket(&vd, &op)) {
                ogg_stream_packetin(&os, &op);
                writePages(ogg_stream_pageout);
            }
        }
    };
    const int total = seconds * kFileRate;
    for (int done = 0; done < total;) {
        const int n = std::min(4096, total - done);
        float** buffer = vorbis_analysis_buffer(&vd, n);
        for (int i = 0; i < n; ++i) {
            buffer[0][i] = 0.5f * static_cast<float>(std::sin(2.0 * M_PI * 440.0 * (done + i) / kFileRate));
        }
        vorbis_analysis_wrote(&vd, n);
        drain();
        done += n;
    }
    vorbis_analysis_wrote(&vd, 0); // the end of the stream
    drain();
    writePages(ogg_stream_flush);
    ogg_stream_clear(&os);
    vorbis_block_clear(&vb);
    vorbis_dsp_clear(&vd);
    vorbis_comment_clear(&vc);
    vorbis_info_clear(&vi);
    std::fclose(f);
}

using AudioDeviceTest = SoundTest;

TEST_F(AudioDeviceTest, PanPlacesTheSoundInOneChannelAtItsFrame)
{
    IntrusivePtr<AudiereSound> left = Tone("left.wav", 100);
    IntrusivePtr<AudiereSound> right = Tone("right.wav", 100);
    left->SetPan(-1.0f);
    right->SetPan(1.0f);

    Frames(9);
    const int leftAt = RenderedMs();
    ASSERT_TRUE(left->Play());
    Frames(20);
    const int rightAt = RenderedMs();
    ASSERT_TRUE(right->Play());
    Frames(20);

    // 16-bit output is dithered, so "silent" means within a step or two of 0.
    EXPECT_LT(Peak(Rendered(), Rate(), 0, 0, leftAt), 5) << "silence before the first play";
    // The mixer ramps a new voice's gain in over its first samples.
    EXPECT_NEAR(OnsetMs(Rendered(), Rate(), 300), leftAt, 2);
    EXPECT_GT(Peak(Rendered(), Rate(), 0, leftAt, leftAt + 100), 8000);
    EXPECT_LT(Peak(Rendered(), Rate(), 1, leftAt, leftAt + 100), 100);
    EXPECT_LT(Peak(Rendered(), Rate(), 0, rightAt, rightAt + 100), 100);
    EXPECT_GT(Peak(Rendered(), Rate(), 1, rightAt, rightAt + 100), 8000);
    EXPECT_LT(Peak(Rendered(), Rate(), 1, rightAt + 110, RenderedMs()), 5) << "the voice ends with its file";
}

TEST_F(AudioDeviceTest, OggFilesShortDecodedLongStreamed)
{
    WriteToneOgg(Path("short.ogg"), 1);
    WriteToneOgg(Path("long.ogg"), 12);
    IntrusivePtr<AudiereSound> shortSound = m_manager->GetSound(Path("short.ogg"));
    IntrusivePtr<AudiereSound> longSound = m_manager->GetSound(Path("long.ogg"));
    ASSERT_EQ(shortSound->GetStackSize(), 1);
    ASSERT_EQ(longSound->GetStackSize(), 1);

    ASSERT_TRUE(shortSound->Play());
    Frames(50);
    EXPECT_TRUE(shortSound->IsPlaying());
    Frames(60);
    EXPECT_FALSE(shortSound->IsPlaying());

    // The long file plays through its queued buffers for its whole length, without gaps.
    const int start = RenderedMs();
    ASSERT_TRUE(longSound->Play());
    Frames(1150);
    EXPECT_TRUE(longSound->IsPlaying());
    for (int ms = start + 100; ms < start + 11500; ms += 500) {
        EXPECT_GT(Peak(Rendered(), Rate(), 0, ms, ms + 20), 5000) << "at " << ms - start << " ms";
    }
    Frames(100);
    EXPECT_FALSE(longSound->IsPlaying()) << "ends after 12 s";

    // Repeating, it starts over instead of ending.
    longSound->SetRepeat(true);
    ASSERT_TRUE(longSound->Play());
    Frames(1300);
    EXPECT_TRUE(longSound->IsPlaying());
    EXPECT_GT(Peak(Rendered(), Rate(), 0, RenderedMs() - 50, RenderedMs()), 5000);
    longSound->Stop();
    EXPECT_FALSE(longSound->IsPlaying());
}

} // namespace
} // namespace soundtest
