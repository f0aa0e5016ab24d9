#pragma once
// What makes a node an emitter: its particle description and its spawn clock.
// The emitter decides when to spawn and what each particle gets (whether the
// detail level keeps it, a random velocity and acceleration); the node copies
// itself into the particles and places them.

#include "engine/core/mesh.h"
#include "engine/scene/emitter.h"

#include <cstdint>

namespace tsv {

// Whether a burst of particles restarts the emitter's spawn clock.
enum class SpawnClock { Keep, Restart };

class ParticleEmitter {
public:
    // A late frame spawns for every interval it missed, but never more than this.
    static constexpr int kMaxSpawnsPerFrame = 1000;

    explicit ParticleEmitter(const EmitterDesc& desc) : m_desc(desc) {}

    const EmitterDesc& GetDesc() const { return m_desc; }
    // A new description; the spawn clock runs on.
    void SetDesc(const EmitterDesc& desc) { m_desc = desc; }

    // Arms the emitter: its clock starts with the next spawn or step.
    void Start() { m_lastSpawn = 0; }
    // The spawns due by `now` (ms) at the spawn rate; the clock moves on by
    // as many intervals. The first step of an armed emitter only starts the
    // clock; an emitter with no rate spawns only when fired.
    int TakeDueSpawns(int64_t now);
    // Around each burst: an armed clock starts just before the burst, and a
    // burst that restarts the clock counts the next interval from `now`.
    void BeginSpawn(int64_t now);
    void EndSpawn(int64_t now, SpawnClock clock);

    // Whether one particle of a burst is made at `detail` (0 none .. 10 all);
    // optional particles thin out below full detail.
    bool KeepsParticle(int detail) const;
    // A particle's velocity: random in direction, the emitter's speed plus a
    // random amount. Call only when the description asks for it.
    Vec3 ParticleVelocity(const Vec3& emitterVelocity) const;
    // A particle's acceleration along its velocity (random when it has none),
    // as strong as the emitter's first acceleration plus a random amount.
    Vec3 ParticleAcceleration(const Vec3& emitterAcceleration, const Vec3& particleVelocity) const;
    // Tells the sound hook, if the emitter has a sound or playlist.
    void AnnounceSpawn() const;

private:
    EmitterDesc m_desc;
    int64_t m_lastSpawn = 0; // ms; 0: armed, not started
};

} // namespace tsv
