#pragma once
// Velocity, accelerations and turning of a moving node, and the random jitter
// of position and scale ("noise").

#include "engine/core/mesh.h"

#include <cstdint>
#include <vector>

namespace tsv {

// How a moving node's heading turns.
enum class Turning {
    Circling, // steadily, by the rate each second
    Weaving,  // to and fro once a second, the rate its amplitude
};

struct Motion {
    Vec3 velocity;                   // units per second
    std::vector<Vec3> accelerations; // units per second squared
    int64_t lastTime = 0;            // 0: the next step only starts the clock
    bool rotateToDirection = false;
    Turning turning = Turning::Circling;
    float turningRate = 0;           // radians per second (circling) or amplitude (weaving)
    int64_t turningStart = 0;        // time base of weaving

    bool IsActive() const { return velocity != Vec3{} || !accelerations.empty() || turningRate != 0; }
};

struct Noise {
    int64_t timeBegin = 0, timeEnd = 0; // ms; end 0 = no end
    int64_t period = 0;                 // ms between jitters
    Vec3 positionAmplitude;
    Vec2 scaleAmplitude;
    // Jitter state.
    Vec3 basePosition;
    Vec2 baseScale;
    Vec3 positionOffset;
    Vec2 scaleOffset;
    bool active = false;
    int64_t lastJitter = 0;
};

} // namespace tsv
