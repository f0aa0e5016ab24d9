// Renders node files through the viewer, headless with a fixed step, and
// compares the screenshots with the reference images in tests/engine/scene/golden.
// BSH_UPDATE_GOLDEN=1 rewrites the references instead.

#include "scenetest.h"

#include <SDL.h>
#include <SDL_image.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sys/wait.h>
#include <unistd.h>

namespace tsv::test {
namespace {

constexpr int kTolerance = 8;          // per channel
constexpr double kMaxDifferent = 0.001; // share of pixels allowed beyond the tolerance (edge antialiasing)

struct Golden {
    const char* name;
    int shotAtMs;
};

class GoldenImageTest : public ::testing::TestWithParam<Golden> {};

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

TEST_P(GoldenImageTest, MatchesReference)
{
    const Golden& golden = GetParam();
    char dir[] = "/tmp/bsh-golden-XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    const std::string shot = std::string(dir) + "/shot.png";
    const std::string script = std::string(dir) + "/shot.script";
    std::ofstream(script) << "at " << golden.shotAtMs << " screenshot " << shot << "\n";

    // The run keeps its log and settings in the temporary folder.
    const std::string command = "cd " BSH_SOURCE_DIR " && XDG_DATA_HOME=" + std::string(dir) +
                                " SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy " BSH_EXECUTABLE
                                " --headless --fixed-step 20 --seed 5 --frames " +
                                std::to_string(golden.shotAtMs / 20 + 3) + " --scene tests/engine/scene/data/" +
                                golden.name + ".xml --script " + script + " >/dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;

    const std::string reference = std::string(BSH_SOURCE_DIR) + "/tests/engine/scene/golden/" + golden.name + ".png";
    SDL_Surface* actual = LoadArgb(shot);
    ASSERT_NE(actual, nullptr) << "no screenshot from " << command;
    if (std::getenv("BSH_UPDATE_GOLDEN")) {
        IMG_SavePNG(actual, reference.c_str());
    }
    SDL_Surface* expected = LoadArgb(reference);
    ASSERT_NE(expected, nullptr) << "missing reference " << reference;
    ASSERT_EQ(actual->w, expected->w);
    ASSERT_EQ(actual->h, expected->h);

    SDL_Surface* diff = SDL_CreateRGBSurfaceWithFormat(0, actual->w, actual->h, 32, SDL_PIXELFORMAT_ARGB8888);
    int different = 0, firstX = -1, firstY = -1, worst = 0;
    for (int y = 0; y < actual->h; ++y) {
        const auto* a = reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(actual->pixels) + y * actual->pitch);
        const auto* e = reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(expected->pixels) + y * expected->pitch);
        auto* d = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(diff->pixels) + y * diff->pitch);
        for (int x = 0; x < actual->w; ++x) {
            int delta = 0;
            for (int shift = 0; shift < 24; shift += 8) {
                delta = std::max(delta, std::abs(static_cast<int>((a[x] >> shift) & 0xFF) -
                                                 static_cast<int>((e[x] >> shift) & 0xFF)));
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
    const double share = static_cast<double>(different) / (actual->w * actual->h);
    if (share > kMaxDifferent) {
        const std::string base = std::string(BSH_SOURCE_DIR) + "/tests/engine/scene/golden/" + golden.name;
        IMG_SavePNG(actual, (base + ".actual.png").c_str());
        IMG_SavePNG(diff, (base + ".diff.png").c_str());
    }
    EXPECT_LE(share, kMaxDifferent) << different << " pixels differ (worst by " << worst << "), the first at ("
                                    << firstX << ", " << firstY << "); see " << golden.name
                                    << ".actual.png and .diff.png in tests/engine/scene/golden";
    SDL_FreeSurface(diff);
    SDL_FreeSurface(expected);
    SDL_FreeSurface(actual);
    std::remove(shot.c_str());
    std::remove(script.c_str());
    std::system(("rm -rf " + std::string(dir)).c_str());
}

INSTANTIATE_TEST_SUITE_P(NodeFiles, GoldenImageTest,
                         ::testing::Values(Golden{"hierarchy", 100}, Golden{"fade", 400}, Golden{"animation", 500},
                                           Golden{"emitter", 600}),
                         [](const ::testing::TestParamInfo<Golden>& param) { return std::string(param.param.name); });

} // namespace
} // namespace tsv::test

namespace tsv::test {
namespace {

TEST(SceneViewerTest, AnUnreadableNodeFileEndsTheRunWithExitCodeOne)
{
    char dir[] = "/tmp/bsh-viewer-XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    const std::string err = std::string(dir) + "/stderr.txt";
    const std::string command = "cd " BSH_SOURCE_DIR " && XDG_DATA_HOME=" + std::string(dir) +
                                " SDL_VIDEODRIVER=dummy " BSH_EXECUTABLE
                                " --headless --fixed-step 20 --frames 5 --scene tests/engine/scene/data/none.xml 2>" + err +
                                " >/dev/null";
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);
    std::ifstream in(err);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("cannot show the node file tests/engine/scene/data/none.xml"), std::string::npos) << text;
    EXPECT_NE(text.find("Failed to load node from \"tests/engine/scene/data/none.xml\"!"), std::string::npos)
        << "the log's Error line also reaches standard error";
    std::system(("rm -rf " + std::string(dir)).c_str());
}

} // namespace
} // namespace tsv::test
