#include "engine/core/random.h"
#include "engine/scene/particleemitter.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tsv::test {
namespace {

EmitterDesc Rate(int32_t ms)
{
    EmitterDesc desc;
    desc.spawnRateMs = ms;
    return desc;
}

TEST(ParticleEmitterTest, UnevenFramesSpawnForEveryIntervalWithoutDrift)
{
    ParticleEmitter emitter(Rate(25));
    EXPECT_EQ(emitter.TakeDueSpawns(1000), 0) << "the first step only starts the clock";
    EXPECT_EQ(emitter.TakeDueSpawns(1024), 0);
    EXPECT_EQ(emitter.TakeDueSpawns(1030), 1);
    // The grid stays at 1025 + 25n: a 90 ms frame to 1120 owes 1050, 1075
    // and 1100, and 1125 falls due 5 ms later.
    EXPECT_EQ(emitter.TakeDueSpawns(1120), 3);
    EXPECT_EQ(emitter.TakeDueSpawns(1125), 1) << "the remainder carried over";
    int total = 0;
    for (int64_t t = 1126; t <= 2125; t += 7) {
        total += emitter.TakeDueSpawns(t);
    }
    EXPECT_EQ(total, 39) << "1150 .. 2100 on the grid, whatever the frame length";

    // Far behind: a capped burst, then the clock counts from the late frame.
    EXPECT_EQ(emitter.TakeDueSpawns(2125 + 25 * 5000), ParticleEmitter::kMaxSpawnsPerFrame);
    EXPECT_EQ(emitter.TakeDueSpawns(2125 + 25 * 5000 + 24), 0);
    EXPECT_EQ(emitter.TakeDueSpawns(2125 + 25 * 5000 + 25), 1);

    ParticleEmitter fired(Rate(0));
    EXPECT_EQ(fired.TakeDueSpawns(1000), 0);
    EXPECT_EQ(fired.TakeDueSpawns(100000), 0) << "no rate: spawns only when fired";
}

TEST(ParticleEmitterTest, AFiredBurstRestartsTheClockAndAKeptOneDoesNot)
{
    ParticleEmitter emitter(Rate(100));
    emitter.TakeDueSpawns(1000);
    emitter.BeginSpawn(1060);
    emitter.EndSpawn(1060, SpawnClock::Keep);
    EXPECT_EQ(emitter.TakeDueSpawns(1100), 1);

    emitter.BeginSpawn(1150);
    emitter.EndSpawn(1150, SpawnClock::Restart);
    EXPECT_EQ(emitter.TakeDueSpawns(1200), 0) << "the rate counts from the fired burst";
    EXPECT_EQ(emitter.TakeDueSpawns(1250), 1);

    // Fired while armed: the burst starts the clock (from just before it),
    // where a step would only have started it.
    emitter.Start();
    emitter.BeginSpawn(2000);
    emitter.EndSpawn(2000, SpawnClock::Keep);
    EXPECT_EQ(emitter.TakeDueSpawns(2099), 1);
}

TEST(ParticleEmitterTest, RandomMotionKeepsToThePlaneAndItsBounds)
{
    EmitterDesc desc = Rate(10);
    desc.randomVelocity = true;
    desc.randomVelocityAmount = 50;
    desc.randomAcceleration = true;
    ParticleEmitter emitter(desc);
    SeedRandom(9);
    for (int i = 0; i < 200; ++i) {
        const Vec3 v = emitter.ParticleVelocity({30, 40, 0});
        const float speed = std::sqrt(v.x * v.x + v.y * v.y);
        ASSERT_EQ(v.z, 0.0f) << "z is the drawing depth";
        ASSERT_GE(speed, 50.0f - 1e-3f);
        ASSERT_LT(speed, 100.0f);
        const Vec3 a = emitter.ParticleAcceleration({0, 7, 0}, v);
        ASSERT_NEAR(a.x * v.y - a.y * v.x, 0.0f, 1e-2f) << "along the particle's velocity";
        ASSERT_NEAR(std::sqrt(a.x * a.x + a.y * a.y), 7.0f, 1e-4f);
    }
    const Vec3 still = emitter.ParticleAcceleration({0, 7, 0}, {});
    EXPECT_NEAR(std::sqrt(still.x * still.x + still.y * still.y), 7.0f, 1e-4f) << "a still particle gets a direction";
}

} // namespace
} // namespace tsv::test
