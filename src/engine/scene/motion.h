#pragma once
// Velocity, accelerations and turning of a moving node, and the random jitter
// of position and scale ("noise").

#include "engine/core/mesh.h"

#include <cstdint>
#include <vector>

namespace tsv {

struct Motion {
    Vec3 velocity;                   // units per second
    std::vector<Vec3> accelerations; // units per second squared
    int64_t lastTime = 0;            // 0: the next step only starts the clock
    bool rotateToDirection = false;
    int turningMode = 0;             // 0 steady circling, 1 weaving
    float turningRate = 0;           // radians per second (mode 0) or amplitude (mode 1)
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
