#include "support/golden.h"

#include <SDL.h>
#include <SDL_image.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>

namespace testsupport {

namespace {

constexpr int kTolerance = 8; // per channel

using Surface = std::unique_ptr<SDL_Surface, decltype(&SDL_FreeSurface)>;

Surface LoadArgb(const std::string& path)
{
    Surface loaded(IMG_Load(path.c_str()), SDL_FreeSurface);
    if (!loaded) {
        return Surface(nullptr, SDL_FreeSurface);
    }
    return Surface(SDL_ConvertSurfaceFormat(loaded.get(), SDL_PIXELFORMAT_ARGB8888, 0), SDL_FreeSurface);
}

uint32_t* Row(SDL_Surface* surface, int y)
{
    return reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(surface->pixels) + y * surface->pitch);
}

Surface NewSurface(int w, int h)
{
    return Surface(SDL_CreateRGBSurfaceWithFormat(0, w, h, 32, SDL_PIXELFORMAT_ARGB8888), SDL_FreeSurface);
}

// The surface at half its size, each pixel the mean of four.
Surface Halved(SDL_Surface* full)
{
    Surface half = NewSurface(full->w / 2, full->h / 2);
    for (int y = 0; half && y < half->h; ++y) {
        uint32_t* out = Row(half.get(), y);
        const uint32_t* row0 = Row(full, 2 * y);
        const uint32_t* row1 = Row(full, 2 * y + 1);
        for (int x = 0; x < half->w; ++x) {
            uint32_t pixel = 0;
            for (int shift = 0; shift < 32; shift += 8) {
                const uint32_t sum = ((row0[2 * x] >> shift) & 0xFF) + ((row0[2 * x + 1] >> shift) & 0xFF) +
                                     ((row1[2 * x] >> shift) & 0xFF) + ((row1[2 * x + 1] >> shift) & 0xFF);
                pixel |= ((sum + 2) / 4) << shift;
            }
            out[x] = pixel;
        }
    }
    return half;
}

} // namespace

void ExpectGolden(const std::string& shot, const std::string& reference, const GoldenOptions& options)
{
    Surface actual = LoadArgb(shot);
    ASSERT_TRUE(actual) << "no screenshot at " << shot;
    if (options.half) {
        actual = Halved(actual.get());
        ASSERT_TRUE(actual);
    }
    if (std::getenv("BSH_UPDATE_GOLDEN")) {
        IMG_SavePNG(actual.get(), reference.c_str());
    }
    Surface expected = LoadArgb(reference);
    ASSERT_TRUE(expected && expected->w == actual->w && expected->h == actual->h)
        << "missing reference " << reference << " or of another size";

    Surface diff = NewSurface(actual->w, actual->h);
    ASSERT_TRUE(diff);
    int different = 0, firstX = -1, firstY = -1, worst = 0;
    for (int y = 0; y < actual->h; ++y) {
        const uint32_t* a = Row(actual.get(), y);
        const uint32_t* e = Row(expected.get(), y);
        uint32_t* d = Row(diff.get(), y);
        for (int x = 0; x < actual->w; ++x) {
            int delta = 0;
            for (int shift = 0; shift < 24; shift += 8) {
                delta = std::max(delta, std::abs(int((a[x] >> shift) & 0xFF) - int((e[x] >> shift) & 0xFF)));
            }
            d[x] = delta > kTolerance ? 0xFFFF0000u : 0xFF000000u | ((a[x] & 0xFEFEFE) >> 1);
            if (delta > kTolerance) {
                if (different++ == 0) {
                    firstX = x;
                    firstY = y;
                }
                worst = std::max(worst, delta);
            }
        }
    }
    const double share = double(different) / (actual->w * actual->h);
    const std::string stem = reference.substr(0, reference.size() - 4);
    if (share > options.maxDifferent) {
        IMG_SavePNG(actual.get(), (stem + ".actual.png").c_str());
        IMG_SavePNG(diff.get(), (stem + ".diff.png").c_str());
    }
    EXPECT_LE(share, options.maxDifferent) << different << " pixels differ (worst by " << worst << "), the first at ("
                                           << firstX << ", " << firstY << "); see " << stem << ".actual.png and "
                                           << stem << ".diff.png";
}

} // namespace testsupport
