#include "engine/core/random.h"

namespace tsv {

namespace {
RandomSource& Shared()
{
    static RandomSource s_source;
    return s_source;
}
} // namespace

void SeedRandom(uint32_t seed) { Shared().Seed(seed); }

int Random() { return Shared().Next(); }

int RandomBelow(int n) { return Shared().Below(n); }

} // namespace tsv
