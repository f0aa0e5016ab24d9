// In a window a frame draws again only what changed since the last one, on
// the OpenGL renderer as on the software one. Through the menus, the chart
// and a level, every picture must be the one a frame drawn whole gives,
// pixel for pixel.

#include "e2e/scriptedrun.h"

#include <gtest/gtest.h>

#include <string>

namespace e2e {
namespace {

// The windowed game on SDL's off-screen video driver (no display needed;
// OpenGL goes through EGL), a fixed 20 ms step; `env` before it.
int RunWindowed(const ScratchDir& dir, const std::string& script, const std::string& env)
{
    WriteFile(dir.Path() + "run.script", script);
    return RunCommand("cd " BSH_SOURCE_DIR " && env " + env + " XDG_DATA_HOME=" + dir.Path() +
                      "xdg SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy timeout 120 " BSH_EXECUTABLE
                      " --windowed --fixed-step 20 --seed 3 --script " + dir.Path() +
                      "run.script >/dev/null 2>" + dir.Path() + "stderr.txt");
}

class RedrawTest : public ::testing::TestWithParam<const char*> {};

TEST_P(RedrawTest, DrawingOnlyWhatChangedShowsWhatAWholeFrameShows)
{
    // Mesa's OpenGL driver leaves its allocations to the end of the process,
    // which a leak check would count against the game.
    const bool opengl = std::string(GetParam()) == "opengl";
    const std::string renderer =
        std::string("SDL_RENDER_DRIVER=") + GetParam() + (opengl ? " ASAN_OPTIONS=detect_leaks=0 " : " ");
    // Ann, a returning player, opens the chart, starts the first level and
    // tries a few swaps while the pointer wanders; a picture every 100 ms.
    std::string script = "at 1000 press questbutton\nat 3000 press playbutton\n";
    for (int t = 4500, i = 0; t < 8000; t += 350, ++i) {
        script += "at " + std::to_string(t) + " click " + std::to_string(70 + (i * 37) % 600) + " " +
                  std::to_string(60 + (i * 53) % 480) + "\n";
    }
    for (int t = 0; t < 8000; t += 100) {
        script += "at " + std::to_string(t) + " screenshot SHOTS/" + std::to_string(t) + ".png\n";
    }
    script += "at 8100 quit\n";
    script = testsupport::PastTheLoader(script);

    ScratchDir partial, whole;
    const auto run = [&](const ScratchDir& dir, const std::string& env) {
        // Ann is named first in a run without pictures.
        EXPECT_EQ(RunPastIntro(dir, "at 1500 type Ann\nat 1600 press yesbutton\nat 2000 quit\n"), 0);
        std::string own = script;
        for (size_t at; (at = own.find("SHOTS/")) != std::string::npos;) {
            own.replace(at, 6, dir.Path());
        }
        return RunWindowed(dir, own, env);
    };
    ASSERT_EQ(run(partial, "-u TESSVAN_WHOLE_FRAMES " + renderer), 0)
        << ReadFile(partial.Path() + "stderr.txt");
    const std::string log = ReadFile(partial.Path() + "stderr.txt");
    if (log.find(std::string("Renderer: ") + GetParam()) == std::string::npos) {
        GTEST_SKIP() << "no " << GetParam() << " renderer off screen here";
    }
    EXPECT_NE(log.find("Frames: only what changed is drawn again"), std::string::npos);
    ASSERT_EQ(run(whole, "TESSVAN_WHOLE_FRAMES=1 " + renderer), 0);
    EXPECT_NE(ReadFile(whole.Path() + "stderr.txt").find("Frames: drawn whole"), std::string::npos);

    int compared = 0;
    for (int t = 0; t < 8000; t += 100) {
        const std::string name = std::to_string(t) + ".png";
        const std::string a = ReadFile(partial.Path() + name), b = ReadFile(whole.Path() + name);
        ASSERT_FALSE(a.empty()) << name;
        ASSERT_TRUE(a == b) << "the picture " << t << " ms after the loader differs";
        ++compared;
    }
    EXPECT_EQ(compared, 80);
}

INSTANTIATE_TEST_SUITE_P(Renderers, RedrawTest, ::testing::Values("opengl", "software"),
                         [](const ::testing::TestParamInfo<const char*>& param) { return std::string(param.param); });

} // namespace
} // namespace e2e
