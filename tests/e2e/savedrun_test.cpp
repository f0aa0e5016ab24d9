// A player's unfinished run survives whatever ends the game: a stop signal
// or a closed window during a level saves it as leaving does, resuming keeps
// the file until the level is decided, and a run whose level cannot be played
// any more is moved aside, never deleted.

#include "e2e/scriptedrun.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace e2e {
namespace {

constexpr const char* kSavedRun = "quest-416E6E.dat"; // Ann's quest

// Ann named, the quest's first level started from the chart.
const std::string kIntoTheFirstLevel = kNameAnn + "at 3000 press questbutton\nat 4400 press playbutton\n";

// The menu's offer of the saved run, taken.
const std::string kResume = "at 1000 press questbutton\nat 1300 press yesbutton\n";

TEST(SavedRunTest, ASignalDuringALevelSavesTheRunAndResumingKeepsItUntilTheLevelIsDecided)
{
    ScratchDir dir;
    const std::string p = dir.Path();
    const std::string storage = Storage(dir);

    // The game is stopped by SIGTERM while the level is in play (the script
    // never quits; the shell signals once the level has shown).
    WriteFile(p + "run.script", testsupport::PastTheIntro(kIntoTheFirstLevel + "at 5700 ui " + p + "level.txt\n"));
    ASSERT_EQ(RunCommand("cd " BSH_SOURCE_DIR " && { exec " + GameLine(dir, "--seed 1 --script " + p + "run.script") +
                         "; } & game=$!; for i in $(seq 1200); do [ -s " + p + "level.txt ] && break; sleep 0.05; done; "
                         "sleep 0.2; kill -TERM $game; wait $game; echo $? >" + p + "status.txt"),
              0);
    ASSERT_EQ(UiScreens(ReadFile(p + "level.txt")).find("game"), 0u) << ReadFile(p + "level.txt");
    EXPECT_EQ(ReadFile(p + "status.txt"), "0\n") << ReadFile(p + "stderr.txt");
    ASSERT_TRUE(std::filesystem::exists(storage + kSavedRun));
    std::string log = ReadFile(storage + "log.html");
    EXPECT_NE(log.find("The game closed during a level, the run is saved: /level/original/001.xml"),
              std::string::npos);

    // Resumed and closed again: the file was never gone, and holds the run.
    ASSERT_EQ(RunReturning(dir, kResume + "at 2600 ui " + p + "resumed.txt\nat 2700 quit\n"), 0)
        << ReadFile(p + "stderr.txt");
    EXPECT_EQ(UiScreens(ReadFile(p + "resumed.txt")).find("game"), 0u) << ReadFile(p + "resumed.txt");
    log = ReadFile(storage + "log.html");
    EXPECT_NE(log.find("Saved run resumed: /level/original/001.xml"), std::string::npos);
    EXPECT_TRUE(std::filesystem::exists(storage + kSavedRun));

    // Its level gone (a flipped byte in the path): the run cannot resume, is
    // moved aside rather than deleted, and the game goes on at the menu.
    std::string bytes = ReadFile(storage + kSavedRun);
    const size_t at = bytes.find("001.xml");
    ASSERT_NE(at, std::string::npos);
    bytes[at + 2] = 'x';
    WriteFile(storage + kSavedRun, bytes);
    ASSERT_EQ(RunReturning(dir, kResume + "at 3500 ui " + p + "after.txt\nat 3600 quit\n"), 0)
        << ReadFile(p + "stderr.txt");
    EXPECT_FALSE(std::filesystem::exists(storage + kSavedRun));
    EXPECT_TRUE(testsupport::HasDamagedCopy(storage, kSavedRun));
    EXPECT_NE(UiScreens(ReadFile(p + "after.txt")).find("mainmenu"), std::string::npos) << ReadFile(p + "after.txt");
}

} // namespace
} // namespace e2e
