#pragma once
// The one pseudo-random source of the program, seeded by --seed for repeatable runs.

#include <cstdint>

namespace tsv {

inline constexpr int kRandomMax = 0x7FFF;

void SeedRandom(uint32_t seed);
// 0 .. kRandomMax, the classic linear congruential sequence.
int Random();
// 0 .. n-1 (0 when n <= 0).
int RandomBelow(int n);

} // namespace tsv
