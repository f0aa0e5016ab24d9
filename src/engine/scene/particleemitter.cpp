#include "engine/scene/particleemitter.h"

#include "engine/core/random.h"

#include <cmath>
#include <utility>

namespace tsv {

namespace {

float Length(const Vec3& v) { return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z); }

// A random direction in the drawing plane; z stays 0 because z is the drawing depth.
Vec3 RandomDirection()
{
    Vec3 v;
    do {
        v.x = static_cast<float>(Random() % 1000 - 500);
        v.y = static_cast<float>(Random() % 1000 - 500);
    } while (Length(v) < 0.000001f);
    return v;
}

Vec3 Scaled(const Vec3& direction, float length)
{
    const float l = Length(direction);
    if (l < 0.000001f) {
        return {};
    }
    return {direction.x / l * length, direction.y / l * length, direction.z / l * length};
}

EmitterSoundHook& SoundHook()
{
    static EmitterSoundHook s_hook;
    return s_hook;
}

} // namespace

void SetEmitterSoundHook(EmitterSoundHook hook) { SoundHook() = std::move(hook); }
const EmitterSoundHook& GetEmitterSoundHook() { return SoundHook(); }

int ParticleEmitter::TakeDueSpawns(int64_t now)
{
    const int64_t interval = m_desc.spawnRateMs;
    if (interval <= 0) {
        return 0;
    }
    if (m_lastSpawn == 0) {
        // Attached without being fired: the rate counts from now.
        m_lastSpawn = now;
        return 0;
    }
    if (now - m_lastSpawn < interval) {
        return 0;
    }
    const int64_t due = (now - m_lastSpawn) / interval;
    if (due > kMaxSpawnsPerFrame) {
        // Too far behind to catch up: the clock starts again from now.
        m_lastSpawn = now;
        return kMaxSpawnsPerFrame;
    }
    m_lastSpawn += due * interval;
    return static_cast<int>(due);
}

void ParticleEmitter::BeginSpawn(int64_t now)
{
    if (m_lastSpawn == 0) {
        m_lastSpawn = now - 1;
    }
}

void ParticleEmitter::EndSpawn(int64_t now, SpawnClock clock)
{
    if (clock == SpawnClock::Restart || m_lastSpawn == 0) {
        m_lastSpawn = now;
    }
}

bool ParticleEmitter::KeepsParticle(int detail) const
{
    if (!m_desc.optional || detail >= 10) {
        return true;
    }
    return detail > 0 && Random() % 10 <= detail;
}

Vec3 ParticleEmitter::ParticleVelocity(const Vec3& emitterVelocity) const
{
    float speed = Length(emitterVelocity);
    if (m_desc.randomVelocityAmount > 0) {
        speed += static_cast<float>(Random() % m_desc.randomVelocityAmount);
    }
    return Scaled(RandomDirection(), speed);
}

Vec3 ParticleEmitter::ParticleAcceleration(const Vec3& emitterAcceleration, const Vec3& particleVelocity) const
{
    float magnitude = Length(emitterAcceleration);
    if (m_desc.randomAccelerationAmount > 0) {
        magnitude += static_cast<float>(Random() % m_desc.randomAccelerationAmount);
    }
    const Vec3 direction = Length(particleVelocity) >= 0.000001f ? particleVelocity : RandomDirection();
    return Scaled(direction, magnitude);
}

void ParticleEmitter::AnnounceSpawn() const
{
    const EmitterSoundHook& hook = GetEmitterSoundHook();
    if (hook && (!m_desc.sound.empty() || !m_desc.playlist.empty())) {
        hook(m_desc.sound, m_desc.playlist);
    }
}

} // namespace tsv
