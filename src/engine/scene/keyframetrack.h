#pragma once
// A node's keyframes in time order and the linear blend between them, per
// channel (position, rotation, scale, colour). The track knows nothing of the
// node: it reads the node's pose where a channel starts and says what to set.

#include "engine/core/mesh.h"
#include "engine/scene/keyframe.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tsv {

// The channels a keyframe can drive.
struct KeyframePose {
    Vec3 position;
    float rotation = 0;
    Vec2 scale{1, 1};
    uint32_t color = 0xFFFFFFFF;
};

class KeyframeTrack {
public:
    enum class EChannel { Position = 0, Rotation, Scale, Color };
    static constexpr size_t kChannelCount = 4;
    static constexpr EChannel kChannels[kChannelCount] = {EChannel::Position, EChannel::Rotation, EChannel::Scale,
                                                          EChannel::Color};
    // A channel's slot in per-channel tables.
    static constexpr size_t ChannelIndex(EChannel channel) { return static_cast<size_t>(channel); }
    // A channel's bit in what Step returns.
    static constexpr unsigned ChannelBit(EChannel channel) { return 1u << ChannelIndex(channel); }

    KeyframeTrack() = default;
    // Keyframes are consumed as they pass, so each copy gets keyframes of its own.
    KeyframeTrack(const KeyframeTrack& other);
    KeyframeTrack& operator=(const KeyframeTrack&) = delete;

    // Keeps time order; a keyframe at the same time goes after the others.
    void Add(const KeyframePtr& keyframe);
    void Remove(const KeyframePtr& keyframe);
    void Clear();
    size_t GetCount() const { return m_keyframes.size(); }
    bool IsEmpty() const { return m_keyframes.empty(); }
    // A white colour fade from `fromAlpha` at `startMs` to `toAlpha` at `endMs`;
    // off takes the colour out of every keyframe (and drops those left empty).
    void SetAlphaFade(bool on, int64_t startMs, int64_t endMs, uint8_t fromAlpha, uint8_t toAlpha);
    void ShiftTime(int64_t deltaMs);

    // Moves the track to `now` (ms on the node's timer). `current` is the
    // node's pose, taken as the start of a channel no keyframe has reached
    // yet. Returns which channels to set, as bits (ChannelBit), and their
    // values in `out`. Passed keyframes leave the track.
    unsigned Step(int64_t now, const KeyframePose& current, KeyframePose& out);

private:
    void RecomputeChannels();

    std::vector<KeyframePtr> m_keyframes;
    // Per channel whether some keyframe drives it and where its current segment starts.
    struct Channel {
        bool used = false;
        int64_t startTime = 0;
    };
    Channel m_channels[kChannelCount];
    Channel& Slot(EChannel channel) { return m_channels[ChannelIndex(channel)]; }
    const Channel& Slot(EChannel channel) const { return m_channels[ChannelIndex(channel)]; }
    KeyframePose m_start;
    int64_t m_lastKeyframeTime = -1; // -1: none reached yet
};

} // namespace tsv
