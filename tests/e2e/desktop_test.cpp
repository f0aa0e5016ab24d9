// The game as a desktop program, run headless through its scripts: windows of
// any size and full screen (the pointer still lands on the right cell), menus
// and dialogs worked with the keys alone and with a gamepad, a level paused
// when the window loses its focus, and a sound card that goes and comes back.

#include "engine/sound/openal/decoder.h"
#include "engine/sound/soundtesthelpers.h"
#include "e2e/scriptedrun.h"
#include "support/testsupport.h"

#include <gtest/gtest.h>

namespace e2e {
namespace {

int RunGame(const ScratchDir& dir, const std::string& args, const std::string& script)
{
    return RunScript(dir, script, "--seed 1 " + args);
}

// The last line of a dump: "selected X Y".
std::string Selected(const std::string& dump)
{
    const size_t at = dump.rfind("selected ");
    return at == std::string::npos ? "missing" : dump.substr(at + 9, dump.find('\n', at) - at - 9);
}

const char* const kLevel = "--level data/level/sample/01.xml";

} // namespace

// Cell (3, 4) of the board is drawn around view pixel (170, 200); each window
// shows the view scaled and letterboxed, so the script clicks where that
// pixel appears in it.
TEST(DesktopRunTest, AClickSelectsTheSameCellInEveryWindowSizeAndInFullScreen)
{
    struct Case {
        const char* setup;
        float x, y;
    };
    const Case cases[] = {
        {"at 100 window 1000 700\n", 33 + 170 * 7 / 6.0f, 200 * 7 / 6.0f}, // 933 x 700 view, bars left and right
        {"at 100 window 640 900\n", 170 * 0.8f, 210 + 200 * 0.8f},         // 640 x 480 view, bars above and below
        {"at 100 window 1600 1200\n", 340, 400},                           // exactly twice the view
        {"at 100 key KEY_F11\n", 240 + 170 * 1.8f, 200 * 1.8f},            // full screen on a 1920 x 1080 desktop
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.setup);
        ScratchDir dir;
        const std::string p = dir.Path();
        // First a click in the bar beside the cell (or the view's very edge): nothing is selected.
        const std::string script = std::string(c.setup) + "at 1500 click 2 " + std::to_string(c.y) + "\nat 1600 dump " +
                                   p + "bar.txt\nat 1700 click " + std::to_string(c.x) + " " + std::to_string(c.y) +
                                   "\nat 1800 dump " + p + "cell.txt\nat 1900 quit\n";
        ASSERT_EQ(RunGame(dir, kLevel, script), 0) << ReadFile(p + "stderr.txt");
        EXPECT_EQ(Selected(ReadFile(p + "bar.txt")), "-1 -1");
        EXPECT_EQ(Selected(ReadFile(p + "cell.txt")), "3 4");
    }
}

TEST(DesktopRunTest, TheWindowSizeAndFullScreenAreKeptInTheSettings)
{
    ScratchDir dir;
    ASSERT_EQ(RunGame(dir, kLevel, "at 100 window 1024 700\nat 200 key KEY_F11\nat 300 quit\n"), 0);
    std::string config = ReadFile(Storage(dir) + "config.xml");
    EXPECT_NE(config.find("<windowwidth>1024</windowwidth>"), std::string::npos) << config;
    EXPECT_NE(config.find("<windowheight>700</windowheight>"), std::string::npos);
    EXPECT_NE(config.find("<fullscreen>1</fullscreen>"), std::string::npos);
    // Alt+Return goes back; neither key reaches the game (Return would have pressed something).
    ASSERT_EQ(RunGame(dir, kLevel,
                      "at 100 keydown KEY_LMENU\nat 110 key KEY_RETURN\nat 120 keyup KEY_LMENU\nat 300 quit\n"),
              0);
    config = ReadFile(Storage(dir) + "config.xml");
    EXPECT_NE(config.find("<fullscreen>0</fullscreen>"), std::string::npos);
    EXPECT_NE(config.find("<windowwidth>1024</windowwidth>"), std::string::npos) << "the size stays";
}

// A first start names a player in the input dialog, then works the main menu,
// the options and the exit question with the keys alone.
TEST(DesktopRunTest, TheMenusAndTheDialogsWorkWithTheKeysAlone)
{
    ScratchDir dir;
    const std::string p = dir.Path();
    const int status = RunPastIntro(dir,
                               "at 1300 type Ann\n"
                               "at 1400 key KEY_RETURN\n"         // the name is taken; the menu shows its focus on Quest
                               "at 3100 key KEY_UP\n"             // round to the bottom: Exit
                               "at 3150 key KEY_UP\n"             // the home page
                               "at 3200 key KEY_UP\n"             // Options
                               "at 3300 ui " + p + "menu.txt\n"
                               "at 3400 key KEY_SPACE\n"
                               "at 5000 ui " + p + "options.txt\n" // its focus shows at once
                               "at 5100 key KEY_ESCAPE\n"          // Cancel
                               "at 6700 key KEY_ESCAPE\n"          // Exit asks first
                               "at 7500 key KEY_RIGHT\n"
                               "at 7600 ui " + p + "asked.txt\n"
                               "at 7700 key KEY_RETURN\n"          // No
                               "at 8500 ui " + p + "stayed.txt\n"
                               "at 8600 key KEY_ESCAPE\n"
                               "at 9400 key KEY_RETURN\n"          // Yes, the focus starts there
                               "at 11000 ui " + p + "after.txt\n"
                               "at 12000 quit\n");
    ASSERT_EQ(status, 0) << ReadFile(p + "stderr.txt");
    EXPECT_NE(ReadFile(Storage(dir) + "profiles.dat").find("Ann"), std::string::npos);
    const std::string menu = ReadFile(p + "menu.txt");
    EXPECT_EQ(UiScreens(menu), "background mainmenu");
    EXPECT_EQ(UiFocus(menu), "optionsbutton");
    const std::string options = ReadFile(p + "options.txt");
    EXPECT_EQ(UiScreens(options), "background options");
    EXPECT_EQ(UiFocus(options), "decbutton");
    const std::string asked = ReadFile(p + "asked.txt");
    EXPECT_EQ(UiScreens(asked), "background mainmenu confirm");
    EXPECT_EQ(UiFocus(asked), "nobutton");
    EXPECT_EQ(UiScreens(ReadFile(p + "stayed.txt")), "background mainmenu");
    EXPECT_FALSE(testsupport::FileExists(p + "after.txt")) << "Yes ended the game";
}

// SDL's virtual joystick stands in for a gamepad on the real controller path.
TEST(DesktopRunTest, AGamepadWorksTheMenusAndPausesALevel)
{
    ScratchDir dir;
    const std::string p = dir.Path();
    const int status = RunPastIntro(dir,
                               "at 1000 pad connect\n"
                               "at 1300 type Ann\n"
                               "at 1400 pad press a\n"            // the input dialog's yes
                               "at 4000 pad stick 0 -0.9\n"       // held up: once, then repeated
                               "at 4580 pad stick 0 -0.1\n"       // back inside the dead zone
                               "at 4700 ui " + p + "menu.txt\n"
                               "at 4900 pad press a\n"
                               "at 6500 ui " + p + "options.txt\n"
                               "at 6600 pad press b\n"
                               "at 8000 pad disconnect\n"
                               "at 8200 quit\n");
    ASSERT_EQ(status, 0) << ReadFile(p + "stderr.txt");
    const std::string log = ReadFile(Storage(dir) + "log.html");
    EXPECT_NE(log.find("Gamepad connected: Virtual gamepad"), std::string::npos);
    EXPECT_NE(log.find("Gamepad disconnected: Virtual gamepad"), std::string::npos);
    // The menu shows its focus on Quest at once (the dialog was answered from
    // the pad); the stick moves it round to Exit, after the repeat delay to
    // the home page and then at the repeat rate to Options.
    EXPECT_EQ(UiFocus(ReadFile(p + "menu.txt")), "optionsbutton");
    EXPECT_EQ(UiScreens(ReadFile(p + "options.txt")), "background options");

    // In a level (no player, so no tutorial texts) Start pauses, and B, like Escape, lets the level go on.
    ScratchDir level;
    ASSERT_EQ(RunGame(level, kLevel,
                      "at 500 pad connect\nat 1500 pad press start\nat 1700 ui " + p + "paused.txt\n"
                      "at 3000 pad press b\nat 4200 ui " + p + "resumed.txt\nat 4300 quit\n"),
              0);
    EXPECT_EQ(UiScreens(ReadFile(p + "paused.txt")), "game pause");
    EXPECT_EQ(UiScreens(ReadFile(p + "resumed.txt")), "game");
}

TEST(DesktopRunTest, LosingTheFocusOrMinimisingPausesTheLevel)
{
    for (const char* away : {"blur", "minimize"}) {
        SCOPED_TRACE(away);
        ScratchDir dir;
        const std::string p = dir.Path();
        const std::string back = std::string(away) == "blur" ? "focus" : "restore";
        ASSERT_EQ(RunGame(dir, kLevel,
                          "at 1000 dump " + p + "before.txt\nat 1500 window " + away + "\nat 3000 window " + back +
                              "\nat 3100 ui " + p + "back.txt\nat 3100 dump " + p + "after.txt\nat 3200 quit\n"),
                  0);
        EXPECT_EQ(UiScreens(ReadFile(p + "back.txt")), "game pause");
        // The level's clock stood still while the window was away (line 3: time LEFT LIMIT PLAYED).
        const auto played = [](const std::string& dump) {
            const size_t at = dump.find("time ");
            return std::stol(dump.substr(dump.rfind(' ', dump.find('\n', at)) + 1));
        };
        EXPECT_LT(played(ReadFile(p + "after.txt")) - played(ReadFile(p + "before.txt")), 600);
    }
}

TEST(DesktopRunTest, TheSoundCardGoesAndComesBackWhileALevelPlaysOn)
{
    ScratchDir dir;
    const std::string p = dir.Path();
    ASSERT_EQ(RunGame(dir, std::string(kLevel) + " --audio-out " + p + "out.wav",
                      "at 2000 audiodevice unplug\nat 4000 dump " + p + "mid.txt\nat 5000 audiodevice plug\n"
                      "at 8000 dump " + p + "end.txt\nat 8100 quit\n"),
              0)
        << ReadFile(p + "stderr.txt");
    const std::string log = ReadFile(Storage(dir) + "log.html");
    EXPECT_NE(log.find("The audio device is gone"), std::string::npos);
    EXPECT_NE(log.find("Found an audio device"), std::string::npos);
    EXPECT_NE(ReadFile(p + "mid.txt"), ReadFile(p + "end.txt")) << "the level played on";
    tsv::PcmData pcm;
    ASSERT_TRUE(tsv::DecodeWav(p + "out.wav", pcm));
    const auto peak = [&](int from, int to) { return soundtest::Peak(pcm.samples, pcm.rate, 0, from, to); };
    EXPECT_GT(peak(1000, 2000), 1000) << "the music played";
    EXPECT_LT(peak(3200, 5000), 50) << "silence without a card";
    EXPECT_GT(peak(6500, 8000), 1000) << "and the music again";
}

} // namespace e2e
