#pragma once
// A timed target for some of a node's channels (position, rotation, scale,
// colour); the node interpolates linearly toward the next one.

#include "engine/core/intrusiveptr.h"
#include "engine/core/mesh.h"

#include <cstdint>

namespace tsv {

class Keyframe : public RefCounted {
public:
    explicit Keyframe(int64_t timeMs = 0) : time(timeMs) {}

    int64_t time = 0; // ms on the node's timer
    bool hasPosition = false, hasRotation = false, hasScale = false, hasColor = false;
    Vec3 position;
    float rotation = 0;
    Vec2 scale{1, 1};
    uint32_t color = 0xFFFFFFFF;
    bool passed = false;
};

using KeyframePtr = IntrusivePtr<Keyframe>;

} // namespace tsv
