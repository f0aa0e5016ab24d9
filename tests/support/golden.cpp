#include "support/golden.h"

#include <SDL.h>
#include <SDL_image.h>
#include <gtest/gtest.h>

#include <cstdlib>

namespace testsupport {

namespace {

constexpr int kTolerance = 8;           // per channel
constexpr double kMaxDifferent = 0.002; // share of pixels allowed beyond it

SDL_Surface* LoadArgb(const std::string& path)
{
    SDL_Surface* loaded = IMG_Load(path.c_str());
    if (!loaded) {
        return nullptr;
    }
    SDL_Surface* argb = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_ARGB8888, 0);
    SDL_FreeSurface(loaded);
    return argb;
}

} // namespace

void ExpectGolden(const std::string& shot, const std::string& reference)
{
    SDL_Surface* actual = LoadArgb(shot);
    ASSERT_NE(actual, nullptr) << "no screenshot at " << shot;
    if (std::getenv("BSH_UPDATE_GOLDEN")) {
        IMG_SavePNG(actual, reference.c_str());
    }
    SDL_Surface* expected = LoadArgb(reference);
    ASSERT_NE(expected, nullptr) << "missing reference " << reference;
    ASSERT_EQ(actual->w, expected->w);
    ASSERT_EQ(actual->h, expected->h);
    int different = 0;
    for (int y = 0; y < actual->h; ++y) {
        const auto* a = reinterpret_cast<const uint32_t*>(static_cast<uint8_t*>(actual->pixels) + y * actual->pitch);
        const auto* e = reinterpret_cast<const uint32_t*>(static_cast<uint8_t*>(expected->pixels) + y * expected->pitch);
        for (int x = 0; x < actual->w; ++x) {
            for (int shift = 0; shift < 24; shift += 8) {
                if (std::abs(int((a[x] >> shift) & 0xFF) - int((e[x] >> shift) & 0xFF)) > kTolerance) {
                    ++different;
                    break;
                }
            }
        }
    }
    const double share = double(different) / (actual->w * actual->h);
    const std::string stem = reference.substr(0, reference.size() - 4);
    if (share > kMaxDifferent) {
        IMG_SavePNG(actual, (stem + ".actual.png").c_str());
    }
    EXPECT_LE(share, kMaxDifferent) << different << " pixels differ; see " << stem << ".actual.png";
    SDL_FreeSurface(actual);
    SDL_FreeSurface(expected);
}

} // namespace testsupport
