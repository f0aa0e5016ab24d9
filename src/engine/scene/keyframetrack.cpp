#include "engine/scene/keyframetrack.h"

#include <algorithm>

namespace tsv {

namespace {

using EChannel = KeyframeTrack::EChannel;

bool Sets(const Keyframe& keyframe, EChannel channel)
{
    switch (channel) {
    case EChannel::Position: return keyframe.hasPosition;
    case EChannel::Rotation: return keyframe.hasRotation;
    case EChannel::Scale: return keyframe.hasScale;
    default: return keyframe.hasColor;
    }
}

float Lerp(float a, float b, int64_t t, int64_t span)
{
    return a + (b - a) * static_cast<float>(t) / static_cast<float>(span);
}

// Per byte, integer arithmetic, quotient toward zero.
uint32_t LerpColor(uint32_t a, uint32_t b, int64_t t, int64_t span)
{
    uint32_t out = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        const int64_t from = (a >> shift) & 0xFF, to = (b >> shift) & 0xFF;
        const int64_t value = from + (to - from) * t / span;
        out |= static_cast<uint32_t>(std::clamp<int64_t>(value, 0, 255)) << shift;
    }
    return out;
}

void CopyChannel(EChannel c, const KeyframePose& from, KeyframePose& to)
{
    switch (c) {
    case EChannel::Position: to.position = from.position; break;
    case EChannel::Rotation: to.rotation = from.rotation; break;
    case EChannel::Scale: to.scale = from.scale; break;
    default: to.color = from.color; break;
    }
}

// Channel `c` of `out`: `t` ms into a segment of `span` ms from `from` to
// `to`, or `from` held when no keyframe lies ahead.
void Blend(EChannel c, const KeyframePose& from, const Keyframe* to, int64_t t, int64_t span, KeyframePose& out)
{
    switch (c) {
    case EChannel::Position:
        out.position = from.position;
        if (to) {
            const Vec3& p = from.position;
            out.position = {Lerp(p.x, to->position.x, t, span), Lerp(p.y, to->position.y, t, span),
                            Lerp(p.z, to->position.z, t, span)};
        }
        break;
    case EChannel::Rotation:
        out.rotation = to ? Lerp(from.rotation, to->rotation, t, span) : from.rotation;
        break;
    case EChannel::Scale:
        out.scale = from.scale;
        if (to) {
            out.scale = {Lerp(from.scale.x, to->scale.x, t, span), Lerp(from.scale.y, to->scale.y, t, span)};
        }
        break;
    default: out.color = to ? LerpColor(from.color, to->color, t, span) : from.color; break;
    }
}

} // namespace

KeyframeTrack::KeyframeTrack(const KeyframeTrack& other)
    : m_start(other.m_start), m_lastKeyframeTime(other.m_lastKeyframeTime)
{
    for (EChannel c : kChannels) {
        Slot(c) = other.Slot(c);
    }
    m_keyframes.reserve(other.m_keyframes.size());
    for (const KeyframePtr& keyframe : other.m_keyframes) {
        m_keyframes.push_back(MakeIntrusive<Keyframe>(*keyframe));
    }
}

void KeyframeTrack::Add(const KeyframePtr& keyframe)
{
    if (!keyframe) {
        return;
    }
    // Files list keyframes in time order: appending and marking the new
    // keyframe's channels keeps loading them linear.
    if (m_keyframes.empty() || m_keyframes.back()->time <= keyframe->time) {
        m_keyframes.push_back(keyframe);
        for (EChannel c : kChannels) {
            Slot(c).used = Slot(c).used || Sets(*keyframe, c);
        }
        return;
    }
    auto at = std::upper_bound(m_keyframes.begin(), m_keyframes.end(), keyframe->time,
                               [](int64_t time, const KeyframePtr& k) { return time < k->time; });
    m_keyframes.insert(at, keyframe);
    RecomputeChannels();
}

void KeyframeTrack::Remove(const KeyframePtr& keyframe)
{
    m_keyframes.erase(std::remove(m_keyframes.begin(), m_keyframes.end(), keyframe), m_keyframes.end());
    RecomputeChannels();
}

void KeyframeTrack::Clear()
{
    m_keyframes.clear();
    RecomputeChannels();
}

void KeyframeTrack::RecomputeChannels()
{
    for (EChannel c : kChannels) {
        Slot(c).used = std::any_of(m_keyframes.begin(), m_keyframes.end(),
                                         [c](const KeyframePtr& k) { return Sets(*k, c); });
        if (!Slot(c).used) {
            Slot(c).startTime = 0;
        }
    }
}

void KeyframeTrack::SetAlphaFade(bool on, int64_t startMs, int64_t endMs, uint8_t fromAlpha, uint8_t toAlpha)
{
    for (auto it = m_keyframes.begin(); it != m_keyframes.end();) {
        Keyframe& k = **it;
        k.hasColor = false;
        if (!k.hasPosition && !k.hasRotation && !k.hasScale) {
            it = m_keyframes.erase(it);
        } else {
            ++it;
        }
    }
    RecomputeChannels();
    if (!on) {
        return;
    }
    KeyframePtr from = MakeIntrusive<Keyframe>(startMs);
    from->hasColor = true;
    from->color = (static_cast<uint32_t>(fromAlpha) << 24) | 0x00FFFFFFu;
    KeyframePtr to = MakeIntrusive<Keyframe>(endMs);
    to->hasColor = true;
    to->color = (static_cast<uint32_t>(toAlpha) << 24) | 0x00FFFFFFu;
    Add(from);
    Add(to);
}

void KeyframeTrack::ShiftTime(int64_t deltaMs)
{
    for (const KeyframePtr& keyframe : m_keyframes) {
        keyframe->time += deltaMs;
    }
}

unsigned KeyframeTrack::Step(int64_t now, const KeyframePose& current, KeyframePose& out)
{
    if (m_keyframes.empty()) {
        return 0;
    }
    for (EChannel c : kChannels) {
        if (Slot(c).used && Slot(c).startTime == 0) {
            Slot(c).startTime = now;
            CopyChannel(c, current, m_start);
        }
    }

    const Keyframe* target[kChannelCount] = {};
    int targetsWanted = 0;
    for (EChannel c : kChannels) {
        targetsWanted += Slot(c).used ? 1 : 0;
    }
    bool anyPassed = false;
    for (const KeyframePtr& keyframe : m_keyframes) {
        Keyframe& k = *keyframe;
        if (k.time <= now) {
            if (k.time > m_lastKeyframeTime || m_lastKeyframeTime < 0) {
                // Reached: the next segment of each channel it sets starts here.
                const KeyframePose reached{k.position, k.rotation, k.scale, k.color};
                for (EChannel c : kChannels) {
                    if (Sets(k, c)) {
                        Slot(c).startTime = k.time;
                        CopyChannel(c, reached, m_start);
                    }
                }
                m_lastKeyframeTime = k.time;
            }
            k.passed = true;
            anyPassed = true;
            continue;
        }
        for (EChannel c : kChannels) {
            const Keyframe*& to = target[ChannelIndex(c)];
            if (Slot(c).used && !to && Sets(k, c)) {
                to = &k;
                --targetsWanted;
            }
        }
        if (targetsWanted <= 0) {
            break;
        }
    }

    unsigned set = 0;
    for (EChannel c : kChannels) {
        if (Slot(c).used) {
            const int64_t start = Slot(c).startTime;
            const Keyframe* to = target[ChannelIndex(c)];
            Blend(c, m_start, to, now - start, to ? to->time - start : 0, out);
            set |= ChannelBit(c);
        }
    }

    if (anyPassed) {
        m_keyframes.erase(std::remove_if(m_keyframes.begin(), m_keyframes.end(),
                                         [](const KeyframePtr& k) { return k->passed; }),
                          m_keyframes.end());
        RecomputeChannels();
    }
    return set;
}

} // namespace tsv
