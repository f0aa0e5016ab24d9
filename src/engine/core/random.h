#pragma once
// Pseudo-random numbers: the program's shared source, seeded by --seed for
// repeatable runs, and separate sources for models that must replay the same
// whatever else draws numbers (the board, whose game must not depend on how
// many particles the effects spawned).

#include <cstdint>

namespace tsv {

inline constexpr int kRandomMax = 0x7FFF;

// The classic linear congruential sequence.
class RandomSource {
public:
    explicit RandomSource(uint32_t seed = 1) : m_state(seed) {}
    void Seed(uint32_t seed) { m_state = seed; }
    // Where the sequence stands: Seed(State()) goes on from here.
    uint32_t State() const { return m_state; }
    // 0 .. kRandomMax.
    int Next()
    {
        m_state = m_state * 214013u + 2531011u;
        return static_cast<int>((m_state >> 16) & kRandomMax);
    }
    // 0 .. n-1 (0 when n <= 0).
    int Below(int n) { return n <= 0 ? 0 : Next() % n; }

private:
    uint32_t m_state;
};

void SeedRandom(uint32_t seed);
// 0 .. kRandomMax from the shared source.
int Random();
// 0 .. n-1 (0 when n <= 0) from the shared source.
int RandomBelow(int n);

} // namespace tsv
