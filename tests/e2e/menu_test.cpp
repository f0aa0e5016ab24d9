// The game started without options, as a player starts it: the main menu over
// its background, a quest level from there and back, and the way out.

#include "support/testsupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

using testsupport::ReadFile;
using testsupport::RunCommand;
using testsupport::ScratchDir;
using testsupport::WriteFile;

namespace {

int RunGame(const ScratchDir& dir, const std::string& script)
{
    WriteFile(dir.Path() + "run.script", script);
    const std::string command = "cd " BSH_SOURCE_DIR " && XDG_DATA_HOME=" + dir.Path() +
                                "xdg SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy " BSH_EXECUTABLE
                                " --headless --no-render --fixed-step 10 --seed 1 --script " +
                                dir.Path() + "run.script >" + dir.Path() + "stdout.txt 2>" + dir.Path() + "stderr.txt";
    return RunCommand(command);
}

// "screen NAME" lines of a `ui` listing, space separated.
std::string Screens(const std::string& listing)
{
    std::istringstream in(listing);
    std::string line, names;
    while (std::getline(in, line)) {
        if (line.rfind("screen\t", 0) == 0) {
            const std::string rest = line.substr(7);
            names += (names.empty() ? "" : " ") + rest.substr(0, rest.find('\t'));
        }
    }
    return names;
}

// The component line of NAME from its visible flag on: "VISIBLE ENABLED ..." tab separated.
std::string Component(const std::string& listing, const std::string& name)
{
    std::istringstream in(listing);
    std::string line;
    while (std::getline(in, line)) {
        const std::string key = "\t" + name + "\t";
        const size_t at = line.find(key);
        if (line.rfind("component\t", 0) == 0 && at != std::string::npos) {
            const std::string rest = line.substr(at + key.size());
            return rest.substr(rest.find('\t') + 1); // past the type
        }
    }
    return "missing";
}

} // namespace

TEST(MenuRunTest, MainMenuLeadsIntoAQuestLevelBackAndOut)
{
    ScratchDir dir;
    const std::string p = dir.Path();
    const int status = RunGame(dir, "at 1500 ui " + p + "menu.txt\n"
                                    "at 1500 press questbutton\n"
                                    "at 2800 ui " + p + "level.txt\n"
                                    "at 3000 press closebutton\n"
                                    "at 3300 press yesbutton\n"
                                    "at 5000 ui " + p + "back.txt\n"
                                    "at 5100 press exitbutton\n"
                                    "at 5400 ui " + p + "asked.txt\n"
                                    "at 5500 press yesbutton\n"
                                    "at 8000 ui " + p + "after.txt\n"
                                    "at 9000 quit\n");
    ASSERT_EQ(status, 0) << ReadFile(p + "stderr.txt");

    const std::string menu = ReadFile(p + "menu.txt");
    EXPECT_EQ(Screens(menu), "background mainmenu");
    EXPECT_EQ(Component(menu, "questbutton").substr(0, 3), "1\t1");
    // Screens still to come are shown but cannot be pressed.
    for (const char* waiting : {"arcadebutton", "hiscorebutton", "profilebutton", "optionsbutton", "morebutton"}) {
        EXPECT_EQ(Component(menu, waiting).substr(0, 3), "1\t0") << waiting;
    }
    // No award yet: no treasury, and the buttons below close up.
    EXPECT_EQ(Component(menu, "treasurybutton").substr(0, 1), "0");
    EXPECT_NE(Component(menu, "version").find("Version 1.91"), std::string::npos) << Component(menu, "version");

    // The quest begins at the map's first level; leaving it returns to a new menu.
    EXPECT_EQ(Screens(ReadFile(p + "level.txt")), "game");
    EXPECT_EQ(Screens(ReadFile(p + "back.txt")), "background mainmenu");
    EXPECT_EQ(Screens(ReadFile(p + "asked.txt")), "background mainmenu confirm");
    // Yes on the exit question ends the program before the script's own quit.
    EXPECT_FALSE(std::filesystem::exists(p + "after.txt"));
}
