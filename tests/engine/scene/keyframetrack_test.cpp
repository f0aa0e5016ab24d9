#include "engine/scene/keyframetrack.h"

#include <gtest/gtest.h>

namespace tsv::test {
namespace {

constexpr unsigned kPosition = KeyframeTrack::ChannelBit(KeyframeTrack::EChannel::Position);
constexpr unsigned kRotation = KeyframeTrack::ChannelBit(KeyframeTrack::EChannel::Rotation);
constexpr unsigned kColor = KeyframeTrack::ChannelBit(KeyframeTrack::EChannel::Color);

KeyframePtr PositionKey(int64_t time, float x)
{
    KeyframePtr k = MakeIntrusive<Keyframe>(time);
    k->hasPosition = true;
    k->position = {x, 0, 0};
    return k;
}

TEST(KeyframeTrackTest, SegmentsStartAtTheKeyNotAtTheFrameThatPassedIt)
{
    KeyframeTrack track;
    // Added out of order: the track sorts them.
    track.Add(PositionKey(1300, 30));
    track.Add(PositionKey(1100, 10));
    KeyframePose current;
    current.position = {-10, 0, 0};
    KeyframePose out;

    // The first step starts the segment from the node's own pose.
    EXPECT_EQ(track.Step(1000, current, out), kPosition);
    EXPECT_FLOAT_EQ(out.position.x, -10.0f);
    EXPECT_FLOAT_EQ((track.Step(1050, current, out), out.position.x), 0.0f);

    // A long frame lands past the first key: the next segment runs from the
    // key's time and value, so at 1200 the node is half way from 10 to 30.
    track.Step(1200, current, out);
    EXPECT_FLOAT_EQ(out.position.x, 20.0f);
    EXPECT_EQ(track.GetCount(), 1u) << "the passed key left the track";

    // Past the last key the value is held once, then the track is empty.
    EXPECT_EQ(track.Step(1400, current, out), kPosition);
    EXPECT_FLOAT_EQ(out.position.x, 30.0f);
    EXPECT_TRUE(track.IsEmpty());
    EXPECT_EQ(track.Step(1500, current, out), 0u);
}

TEST(KeyframeTrackTest, ChannelsRunOnTheirOwnKeysAndFadesKeepTheOthers)
{
    KeyframeTrack track;
    KeyframePtr turn = MakeIntrusive<Keyframe>(1100);
    turn->hasRotation = true;
    turn->rotation = 2;
    track.Add(turn);
    track.Add(PositionKey(1400, 40));
    track.SetAlphaFade(true, 1000, 1200, 255, 0);

    // Times are not 0, which the track takes as "not started".
    KeyframePose current, out;
    EXPECT_EQ(track.Step(1000, current, out), kPosition | kRotation | kColor);
    track.Step(1100, current, out);
    EXPECT_FLOAT_EQ(out.rotation, 2.0f);
    EXPECT_FLOAT_EQ(out.position.x, 10.0f) << "position heads for its own key at 1400, not the rotation's";
    EXPECT_EQ(out.color, 0x80FFFFFFu) << "255 + (-255 * 100) / 200, quotient toward zero";

    // Taking the fade off drops the colour keys but keeps the position's.
    track.SetAlphaFade(false, 0, 0, 0, 0);
    EXPECT_EQ(track.GetCount(), 1u);
    EXPECT_EQ(track.Step(1200, current, out), kPosition);
    EXPECT_FLOAT_EQ(out.position.x, 20.0f);
}

TEST(KeyframeTrackTest, ACopyConsumesKeysOfItsOwn)
{
    KeyframeTrack original;
    original.Add(PositionKey(1100, 10));
    original.Add(PositionKey(1200, 20));
    KeyframeTrack copy(original);
    copy.ShiftTime(1000);

    KeyframePose current, out;
    copy.Step(2000, current, out);
    copy.Step(2150, current, out);
    EXPECT_FLOAT_EQ(out.position.x, 15.0f);
    EXPECT_EQ(copy.GetCount(), 1u);

    EXPECT_EQ(original.GetCount(), 2u) << "the copy's passing and shifting left the original alone";
    original.Step(1000, current, out);
    original.Step(1150, current, out);
    EXPECT_FLOAT_EQ(out.position.x, 15.0f);
}

} // namespace
} // namespace tsv::test
