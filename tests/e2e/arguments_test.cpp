// Odd arguments get a message and exit code 2 before anything starts; bounded
// inputs stay bounded; a failed screenshot says so in the log.

#include "e2e/scriptedrun.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace e2e {
namespace {

struct Outcome {
    int status;
    std::string err;
};

Outcome RunWith(const ScratchDir& dir, const std::string& args)
{
    const int status = RunProgram(dir, args);
    return {status, ReadFile(dir.Path() + "stderr.txt")};
}

TEST(ArgumentsTest, OutOfRangeAndEmptyValuesAreRefused)
{
    ScratchDir dir;
    const std::vector<std::string> refused = {
        "--fixed-step 4294967296", "--fixed-step 2147483648", "--fixed-step 0",   "--fixed-step 1001",
        "--frames 0",              "--frames 99999999999999", "--seed -1",       "--seed 4294967296",
        "--frames 1e3",            "--script ''",             "--scene ''",      "--level ''",
        "--headless --script /dev/zero",                      "--headless --script " + dir.Path(),
    };
    for (const std::string& args : refused) {
        const Outcome outcome = RunWith(dir, args);
        EXPECT_EQ(outcome.status, 2) << args;
        EXPECT_NE(outcome.err.find("brinestoneharbour: "), std::string::npos) << args << ": " << outcome.err;
    }
    // The edges of the ranges are fine.
    EXPECT_EQ(RunWith(dir, "--headless --no-render --fixed-step 1000 --frames 3 --seed 4294967295").status, 0);
}

// A script asking for hundreds in one frame once stalled the game for minutes;
// a picture that cannot be saved is an error in the log, not the end of the run.
TEST(ArgumentsTest, ManyScreenshotsOfOneFrameAreOnePictureAndAFailedOneIsAnError)
{
    ScratchDir dir;
    std::string script;
    for (int i = 0; i < 300; ++i) {
        script += "at 20 screenshot " + dir.Path() + "shot" + std::to_string(i) + ".png\n";
    }
    WriteFile(dir.Path() + "shots.txt", script + "at 30 screenshot /nonexistent-folder/shot.png\nat 40 quit\n");
    const Outcome outcome = RunWith(dir, "--headless --fixed-step 10 --script " + dir.Path() + "shots.txt");
    EXPECT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_NE(outcome.err.find("/nonexistent-folder/shot.png: cannot save the screenshot"), std::string::npos)
        << outcome.err;
    const std::string first = ReadFile(dir.Path() + "shot0.png");
    ASSERT_GT(first.size(), 1000u);
    EXPECT_EQ(ReadFile(dir.Path() + "shot299.png"), first);
}

} // namespace
} // namespace e2e
