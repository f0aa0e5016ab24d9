// The player's files are kept safe: one that is there but cannot be read is
// not taken for a missing one (the game says so in a dialog naming the file,
// plays on, and never writes over it), an oversized one is moved aside, a log
// that cannot be written neither crashes nor hangs the game, and a second
// copy of the game on the same folder closes without touching it. (The suite runs as any user, root included, whom file
// permissions do not stop: a folder and a named pipe stand in for a file the
// game may not read; a pipe must not hang the game either.)

#include "engine/core/storage.h"
#include "e2e/scriptedrun.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace e2e {

TEST(PlayerFilesTest, ReadingTellsAMissingFileFromOneThatCannotBeRead)
{
    ScratchDir dir;
    std::string bytes = "stale";
    EXPECT_EQ(tsv::ReadPlayerFile(dir.Path() + "none.dat", bytes), tsv::EPlayerFileRead::Missing);
    EXPECT_TRUE(bytes.empty());
    WriteFile(dir.Path() + "plain.dat", std::string("ab\0cd", 5));
    EXPECT_EQ(tsv::ReadPlayerFile(dir.Path() + "plain.dat", bytes), tsv::EPlayerFileRead::Read);
    EXPECT_EQ(bytes, std::string("ab\0cd", 5));
    std::filesystem::create_directory(dir.Path() + "folder.dat");
    ASSERT_EQ(::mkfifo((dir.Path() + "pipe.dat").c_str(), 0600), 0);
    const size_t before = tsv::UnreadablePlayerFiles().size();
    EXPECT_EQ(tsv::ReadPlayerFile(dir.Path() + "folder.dat", bytes), tsv::EPlayerFileRead::Unreadable);
    EXPECT_EQ(tsv::ReadPlayerFile(dir.Path() + "pipe.dat", bytes), tsv::EPlayerFileRead::Unreadable);
    ASSERT_EQ(tsv::UnreadablePlayerFiles().size(), before + 2);
    EXPECT_EQ(tsv::UnreadablePlayerFiles().back().name, "pipe.dat");
    EXPECT_EQ(tsv::UnreadablePlayerFiles().back().reason, "not a regular file");

    // Far larger than anything the game writes (a sparse 4 GiB file costs
    // nothing on disk): moved aside unread, and the game starts afresh.
    ASSERT_EQ(::truncate((dir.Path() + "huge.dat").c_str(), 0), -1); // not there yet
    WriteFile(dir.Path() + "huge.dat", "");
    ASSERT_EQ(::truncate((dir.Path() + "huge.dat").c_str(), int64_t{4} << 30), 0);
    EXPECT_EQ(tsv::ReadPlayerFile(dir.Path() + "huge.dat", bytes), tsv::EPlayerFileRead::Missing);
    EXPECT_TRUE(bytes.empty());
    EXPECT_FALSE(std::filesystem::exists(dir.Path() + "huge.dat"));
    EXPECT_TRUE(testsupport::HasDamagedCopy(dir.Path(), "huge.dat"));
}

TEST(PlayerFilesTest, TheGameSaysWhichFileItCannotReadPlaysOnAndLeavesItBe)
{
    ScratchDir dir;
    const std::string p = dir.Path();
    const std::string storage = Storage(dir);
    std::filesystem::create_directories(storage + "highscore.dat");
    ASSERT_EQ(::mkfifo((storage + "profiles.dat").c_str(), 0600), 0);
    ASSERT_EQ(::mkfifo((storage + "config.xml").c_str(), 0600), 0);
    const int status = RunPastIntro(dir, "at 1200 ui " + p + "start.txt\n"
                                         "at 1300 key KEY_RETURN\n"
                                         "at 1900 key KEY_RETURN\n"
                                         "at 2500 key KEY_RETURN\n"
                                         "at 3200 ui " + p + "after.txt\n"
                                         "at 3300 quit\n");
    ASSERT_EQ(status, 0) << ReadFile(p + "stderr.txt");
    const std::string start = ReadFile(p + "start.txt");
    EXPECT_NE(start.find("highscore.dat (not a regular file)"), std::string::npos) << start;
    EXPECT_NE(UiScreens(start).find("info"), std::string::npos) << start;
    // Past the dialogs the game goes on; nothing took the files' places.
    EXPECT_EQ(UiScreens(ReadFile(p + "after.txt")).find("info"), std::string::npos) << ReadFile(p + "after.txt");
    struct stat info {};
    ASSERT_EQ(::stat((storage + "profiles.dat").c_str(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));
    ASSERT_EQ(::stat((storage + "config.xml").c_str(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));
    EXPECT_TRUE(std::filesystem::is_directory(storage + "highscore.dat"));
}

TEST(PlayerFilesTest, ALogFileThatCannotBeWrittenNeitherCrashesNorHangsTheGame)
{
    for (const bool pipe : {false, true}) {
        SCOPED_TRACE(pipe ? "a named pipe" : "a folder");
        ScratchDir dir;
        const std::string p = dir.Path();
        const std::string storage = Storage(dir);
        std::filesystem::create_directories(storage);
        if (pipe) {
            ASSERT_EQ(::mkfifo((storage + "log.html").c_str(), 0600), 0);
        } else {
            std::filesystem::create_directory(storage + "log.html");
        }
        // The log's closing lines used to go through the log while it was
        // being taken down, at every exit.
        EXPECT_EQ(RunScript(dir, "at 500 quit\n", ""), 0) << ReadFile(p + "stderr.txt");
    }
}

TEST(PlayerFilesTest, ASecondCopyOfTheGameOnOneDataFolderClosesTouchingNothing)
{
    ScratchDir dir;
    const std::string p = dir.Path();
    const std::string run = "cd " BSH_SOURCE_DIR " && XDG_DATA_HOME=" + p +
                            "xdg SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy timeout 60 " BSH_EXECUTABLE
                            " --headless --no-render ";
    // The first copy plays on real time for a few seconds; the second starts meanwhile.
    WriteFile(p + "first.script", "at 4000 quit\n");
    WriteFile(p + "second.script", "at 100 quit\n");
    ASSERT_EQ(RunCommand(run + "--script " + p + "first.script >/dev/null 2>&1 & sleep 1.5; " + run +
                         "--fixed-step 10 --script " + p + "second.script >" + p + "second.txt 2>&1; echo $? >" + p +
                         "status.txt; wait"),
              0);
    EXPECT_EQ(ReadFile(p + "status.txt"), "1\n") << ReadFile(p + "second.txt");
    EXPECT_NE(ReadFile(p + "second.txt").find("already running"), std::string::npos) << ReadFile(p + "second.txt");
    // Once the first has gone, the folder is free again.
    EXPECT_EQ(RunCommand(run + "--fixed-step 10 --script " + p + "second.script >/dev/null 2>&1"), 0);
}

TEST(PlayerFilesTest, AFolderThatCannotBeWrittenIsStillReadAndThePlayerToldWhereTheGameSaves)
{
    ScratchDir dir;
    const std::string p = dir.Path();
    const std::string usual = Storage(dir);
    const std::string elsewhere = p + "home/.local/share/Tarvel/Brinestoneharbour/";
    const std::string env = "HOME=" + p + "home";
    ASSERT_EQ(RunPastIntro(dir, kNameAnn + "at 2500 quit\n", "--seed 1", env), 0);
    const std::string profiles = ReadFile(usual + "profiles.dat");
    ASSERT_NE(profiles.find("Ann"), std::string::npos);

    // The usual folder can no longer be written (a folder in the write
    // test's place stops any user): Ann is still there, and a dialog says
    // where the game saves and why; what it saves at the end goes there.
    std::filesystem::create_directory(usual + "writetest.dat");
    ASSERT_EQ(RunReturning(dir, "at 1200 ui " + p + "moved.txt\n"
                                "at 1300 key KEY_RETURN\n"
                                "at 1900 ui " + p + "menu.txt\n"
                                "at 2000 quit\n",
                           "--seed 1", env),
              0)
        << ReadFile(p + "stderr.txt");
    const std::string moved = ReadFile(p + "moved.txt");
    EXPECT_NE(UiScreens(moved).find("info"), std::string::npos) << moved;
    EXPECT_NE(moved.find("cannot save in its usual folder " + usual + " (Is a directory)"), std::string::npos) << moved;
    EXPECT_NE(moved.find(elsewhere), std::string::npos) << moved;
    const std::string menu = ReadFile(p + "menu.txt");
    EXPECT_EQ(UiScreens(menu), "background mainmenu") << menu;
    EXPECT_NE(Caption(menu, "welcometext").find("Ann"), std::string::npos) << menu;
    EXPECT_EQ(ReadFile(usual + "profiles.dat"), profiles);
    EXPECT_NE(ReadFile(elsewhere + "profiles.dat").find("Ann"), std::string::npos);
}

} // namespace e2e
