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

// The surface at half its size, each pixel the mean of four.
SDL_Surface* Halved(SDL_Surface* full)
{
    SDL_Surface* half = SDL_CreateRGBSurfaceWithFormat(0, full->w / 2, full->h / 2, 32, SDL_PIXELFORMAT_ARGB8888);
    if (!half) {
        return nullptr;
    }
    for (int y = 0; y < half->h; ++y) {
        auto* out = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(half->pixels) + y * half->pitch);
        const auto* row0 = reinterpret_cast<const uint32_t*>(static_cast<uint8_t*>(full->pixels) + 2 * y * full->pitch);
        const auto* row1 =
            reinterpret_cast<const uint32_t*>(static_cast<uint8_t*>(full->pixels) + (2 * y + 1) * full->pitch);
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

// Compares and frees `actual`.
void Compare(SDL_Surface* actual, const std::string& reference);

} // namespace

void ExpectGolden(const std::string& shot, const std::string& reference)
{
    SDL_Surface* actual = LoadArgb(shot);
    ASSERT_NE(actual, nullptr) << "no screenshot at " << shot;
    Compare(actual, reference);
}

void ExpectGoldenHalf(const std::string& shot, const std::string& reference)
{
    SDL_Surface* full = LoadArgb(shot);
    ASSERT_NE(full, nullptr) << "no screenshot at " << shot;
    SDL_Surface* half = Halved(full);
    SDL_FreeSurface(full);
    ASSERT_NE(half, nullptr);
    Compare(half, reference);
}

namespace {

void Compare(SDL_Surface* actual, const std::string& reference)
{
    if (std::getenv("BSH_UPDATE_GOLDEN")) {
        IMG_SavePNG(actual, reference.c_str());
    }
    SDL_Surface* expected = LoadArgb(reference);
    if (!expected || expected->w != actual->w || expected->h != actual->h) {
        ADD_FAILURE() << "missing reference " << reference << " or of another size";
        SDL_FreeSurface(actual);
        SDL_FreeSurface(expected);
        return;
    }
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

} // namespace

} // namespace testsupport
