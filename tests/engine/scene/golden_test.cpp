// Renders node files through the viewer, headless with a fixed step, and
// compares the screenshots with the reference images in tests/engine/scene/golden.
// BSH_UPDATE_GOLDEN=1 rewrites the references instead.

#include "support/golden.h"
#include "support/testsupport.h"

#include <gtest/gtest.h>

#include <string>

namespace tsv::test {
namespace {

using testsupport::ScratchDir;

// The viewer on tests/engine/scene/data/NAME.xml, keeping its log and
// settings in `dir`, for `frames` steps of 20 ms; stderr goes to dir/stderr.txt.
int RunViewer(const ScratchDir& dir, const std::string& name, int frames, const std::string& args = "")
{
    return testsupport::RunCommand("cd " BSH_SOURCE_DIR " && XDG_DATA_HOME=" + dir.Path() +
                                   " SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy " BSH_EXECUTABLE
                                   " --headless --fixed-step 20 --frames " + std::to_string(frames) +
                                   " --scene tests/engine/scene/data/" + name + ".xml " + args + " >/dev/null 2>" +
                                   dir.Path() + "stderr.txt");
}

struct Golden {
    const char* name;
    int shotAtMs;
};

class GoldenImageTest : public ::testing::TestWithParam<Golden> {};

TEST_P(GoldenImageTest, MatchesReference)
{
    const Golden& golden = GetParam();
    ScratchDir dir;
    testsupport::WriteFile(dir.Path() + "shot.script",
                           "at " + std::to_string(golden.shotAtMs) + " screenshot " + dir.Path() + "shot.png\n");
    ASSERT_EQ(RunViewer(dir, golden.name, golden.shotAtMs / 20 + 3, "--seed 5 --script " + dir.Path() + "shot.script"),
              0);
    // Edge antialiasing aside, the pictures agree.
    testsupport::ExpectGolden(dir.Path() + "shot.png",
                              BSH_SOURCE_DIR "/tests/engine/scene/golden/" + std::string(golden.name) + ".png",
                              {.maxDifferent = 0.001});
}

INSTANTIATE_TEST_SUITE_P(NodeFiles, GoldenImageTest,
                         ::testing::Values(Golden{"hierarchy", 100}, Golden{"fade", 400}, Golden{"animation", 500},
                                           Golden{"emitter", 600}),
                         [](const ::testing::TestParamInfo<Golden>& param) { return std::string(param.param.name); });

TEST(SceneViewerTest, AnUnreadableNodeFileEndsTheRunWithExitCodeOne)
{
    ScratchDir dir;
    EXPECT_EQ(RunViewer(dir, "none", 5), 1);
    const std::string text = testsupport::ReadFile(dir.Path() + "stderr.txt");
    EXPECT_NE(text.find("cannot show the node file tests/engine/scene/data/none.xml"), std::string::npos) << text;
    EXPECT_NE(text.find("Failed to load node from \"tests/engine/scene/data/none.xml\"!"), std::string::npos)
        << "the log's Error line also reaches standard error";
}

} // namespace
} // namespace tsv::test
