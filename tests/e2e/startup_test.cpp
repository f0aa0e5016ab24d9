// Runs the built game as a player would start it, headless, against a scratch
// storage folder, and checks what it leaves behind.

#include "e2e/scriptedrun.h"

#include <SDL.h>
#include <SDL_image.h>
#include <gtest/gtest.h>

#include <regex>

namespace e2e {
namespace {

struct GameRun {
    int status;
    std::string storage; // the game's storage folder
    std::string stderrText;
};

GameRun RunGame(const ScratchDir& dir, const std::string& args)
{
    GameRun run;
    run.status = RunProgram(dir, args);
    run.storage = Storage(dir);
    run.stderrText = ReadFile(dir.Path() + "stderr.txt");
    return run;
}

// Lines of log.html without their time stamps.
std::string Unstamped(const std::string& html)
{
    static const std::regex stamp("\\d\\d/\\d\\d/\\d\\d \\d\\d:\\d\\d:\\d\\d: ");
    return std::regex_replace(html, stamp, "STAMP: ");
}

TEST(StartupTest, AScriptedHeadlessRunLeavesLogConfigAndPicture)
{
    ScratchDir dir;
    WriteFile(dir.Path() + "shot.txt", "# take one picture, then leave\nat 50 screenshot " + dir.Path() +
                                           "shot.png\nat 50 dump " + dir.Path() + "board.txt\nat 100 quit\n");
    GameRun run = RunGame(dir, "--headless --fixed-step 10 --script " + dir.Path() + "shot.txt --frames 1000");
    ASSERT_EQ(run.status, 0) << run.stderrText;
    SDL_Surface* shot = IMG_Load((dir.Path() + "shot.png").c_str());
    ASSERT_NE(shot, nullptr);
    EXPECT_EQ(shot->w, 800);
    EXPECT_EQ(shot->h, 600);
    SDL_FreeSurface(shot);
    EXPECT_EQ(ReadFile(dir.Path() + "board.txt"), "no board\n");

    std::string config = ReadFile(run.storage + "config.xml");
    // The first start chooses a language and remembers it.
    EXPECT_EQ(config.rfind("<config>\n\t\t<language>English</language>\n\t\t<soundvolume>0.800000</soundvolume>\n", 0), 0u);
    EXPECT_NE(config.find("\t\t<maxfps>300</maxfps>\n\t\t<fullscreen>0</fullscreen>\n"), std::string::npos);
    EXPECT_EQ(config.substr(config.size() - 10), "</config>\n");

    std::string log = Unstamped(ReadFile(run.storage + "log.html"));
    ASSERT_EQ(log.rfind("<html>\n\t<head>\n\t\t<title>HTML Log file</title>\n", 0), 0u);
    const char* inOrder[] = {
        "<span class=\"section\">OS: ",
        "<span class=\"section\">Memory status: physical ",
        "<span class=\"section\">Log target created (HTML file). Filename: ",
        "<span class=\"section\">Framework version: 2.0.0-solace compiled at Oct  8 2007</span>",
        "<span class=\"section\">Main</span>",
        "<span class=\"hint\"><b>Hint:</b> Storage path is: ",
        "<span class=\"section\">Log target closed</span>",
        "\t\t</span>\n\t</body>\n</html>",
    };
    size_t at = 0;
    for (const char* piece : inOrder) {
        size_t found = log.find(piece, at);
        ASSERT_NE(found, std::string::npos) << "missing or out of order: " << piece;
        at = found;
    }
    EXPECT_NE(log.find("Storage path is: " + run.storage + "</span>"), std::string::npos);
    // The platform's lines go to the log and to their own plain file.
    EXPECT_NE(log.find("<b>Hint:</b> Mode: 800 x 600, off-screen, 32 bits</span>"), std::string::npos);
    const std::string platformLog = ReadFile(run.storage + "hgelog.txt");
    EXPECT_NE(platformLog.find(": Hint: Tessvan platform layer over SDL "), std::string::npos);
    EXPECT_NE(platformLog.find(": Hint: Mode: 800 x 600, off-screen, 32 bits\n"), std::string::npos);
    EXPECT_EQ(platformLog.find("Storage path is"), std::string::npos);
    // The debugger target writes the same lines to standard error.
    EXPECT_NE(run.stderrText.find("[ Log target created (system debugger) ]"), std::string::npos);
}

TEST(StartupTest, MalformedConfigIsReportedAndDefaultsKept)
{
    ScratchDir dir;
    ASSERT_EQ(RunGame(dir, "--headless --fixed-step 10 --frames 2").status, 0);
    const std::string storage = Storage(dir);
    WriteFile(storage + "config.xml", "<config><maxfps>60</maxfps><fullscreen>1</fullscreen>");
    GameRun run = RunGame(dir, "--headless --fixed-step 10 --frames 2");
    ASSERT_EQ(run.status, 0) << run.stderrText;
    std::string log = ReadFile(run.storage + "log.html");
    EXPECT_NE(log.find("Failed parsing \"" + storage + "config.xml\": "), std::string::npos);
    EXPECT_NE(log.find("Configuration file is empty: default settings loaded"), std::string::npos);
    // The defaults stay and are written back at exit.
    std::string config = ReadFile(run.storage + "config.xml");
    EXPECT_NE(config.find("<maxfps>300</maxfps>"), std::string::npos);
    EXPECT_NE(config.find("<fullscreen>0</fullscreen>"), std::string::npos);

    // A valid file is read: its values survive the run.
    WriteFile(storage + "config.xml", "<config><maxfps>60</maxfps><debuginfo>1</debuginfo></config>");
    run = RunGame(dir, "--headless --fixed-step 10 --frames 50");
    ASSERT_EQ(run.status, 0);
    config = ReadFile(run.storage + "config.xml");
    EXPECT_NE(config.find("<maxfps>60</maxfps>"), std::string::npos);
    // With debuginfo on and no font yet, the overlay goes to the log.
    EXPECT_NE(ReadFile(run.storage + "log.html").find("Detail: "), std::string::npos);
}

TEST(StartupTest, ABadScriptStopsTheStartAndVersionPrintsOnlyTheVersion)
{
    ScratchDir dir;
    WriteFile(dir.Path() + "bad.txt", "at 0 move 1 2\nat 10 fly away\n");
    GameRun run = RunGame(dir, "--headless --script " + dir.Path() + "bad.txt");
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.stderrText.find(dir.Path() + "bad.txt:2: unknown command \"fly\""), std::string::npos);
    EXPECT_FALSE(testsupport::FileExists(run.storage + "log.html")) << "started despite a bad script";

    run = RunGame(dir, "--version");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(ReadFile(dir.Path() + "stdout.txt"), "Brinestoneharbour 1.91\n");
}

} // namespace
} // namespace e2e
