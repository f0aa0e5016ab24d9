// The GUI as a player meets it: dialogs shown through --screen, driven by
// scripts, in the languages a data folder offers. Each run works in a
// scratch folder whose "data" links to the game's data except for the
// language files, which each test chooses.

#include "e2e/scriptedrun.h"
#include "support/golden.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace e2e {
namespace {

class GuiRunTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        namespace fs = std::filesystem;
        fs::create_directories(dir.Path() + "data/language");
        for (const auto& entry : fs::directory_iterator(BSH_SOURCE_DIR "/data")) {
            if (entry.path().filename() != "language") {
                fs::create_symlink(entry.path(), dir.Path() + "data/" + entry.path().filename().string());
            }
        }
    }
    void AddLanguage(const std::string& fileName, const std::string& from)
    {
        WriteFile(dir.Path() + "data/language/" + fileName, ReadFile(from));
    }
    void AddEnglish() { AddLanguage("English1252.xml", BSH_SOURCE_DIR "/data/language/English1252.xml"); }
    // Runs the game in the scratch folder; returns its exit status.
    int Run(const std::string& args, const std::string& script, const std::string& env = "")
    {
        WriteFile(dir.Path() + "run.script", script);
        const std::string command = "cd " + dir.Path() + " && env -u LC_ALL -u LC_MESSAGES LANG=C " + env +
                                    " XDG_DATA_HOME=" + dir.Path() + "xdg SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy " +
                                    BSH_EXECUTABLE " --headless --fixed-step 10 " + args + " --script " + dir.Path() +
                                    "run.script >" + dir.Path() + "stdout.txt 2>" + dir.Path() + "stderr.txt";
        return RunCommand(command);
    }
    std::string Log() const { return ReadFile(dir.Path() + "stderr.txt"); }
    std::string Config() const { return ReadFile(dir.Path() + "xdg/Tarvel/Brinestoneharbour/config.xml"); }

    // Compares a screenshot with tests/e2e/golden/NAME.png; BSH_UPDATE_GOLDEN=1 rewrites it.
    void ExpectGolden(const std::string& shot, const std::string& name)
    {
        testsupport::ExpectGolden(shot, BSH_SOURCE_DIR "/tests/e2e/golden/" + name + ".png");
    }

    ScratchDir dir;
};

TEST_F(GuiRunTest, ADialogWithALongMessageWrapsItInsideThePlate)
{
    std::string english = ReadFile(BSH_SOURCE_DIR "/data/language/English1252.xml");
    english.replace(english.find("Are you sure?"), 13,
                    "The level is not finished yet. If you leave now, the jewels you collected and the time you "
                    "played are lost, and the level starts from the beginning next time. Leave anyway?");
    english.replace(english.find("<yes>Yes</yes>"), 14, "<yes>Leave the level</yes>");
    WriteFile(dir.Path() + "data/language/English1252.xml", english);
    ASSERT_EQ(Run("--screen /gui/confirmscreen.xml",
                  "at 300 move 300 382\nat 1200 screenshot " + dir.Path() + "shot.png\nat 1300 quit\n"),
              0)
        << Log();
    ExpectGolden(dir.Path() + "shot.png", "dialog-long-message");
}

TEST_F(GuiRunTest, AnInputDialogInRussian)
{
    AddEnglish();
    AddLanguage("Russian1251.xml", BSH_SOURCE_DIR "/tests/e2e/data/language/Russian1251.xml");
    ASSERT_EQ(Run("--screen /gui/inputscreen.xml --language russian",
                  "at 300 type Анна Ёлкина\nat 900 ui " + dir.Path() + "before.txt\nat 900 screenshot " + dir.Path() +
                      "shot.png\nat 1000 press yesbutton\nat 1600 ui " + dir.Path() + "after.txt\nat 1700 quit\n"),
              0)
        << Log();
    ExpectGolden(dir.Path() + "shot.png", "input-russian");
    const std::string before = ReadFile(dir.Path() + "before.txt");
    EXPECT_NE(before.find("screen\tinput\t/gui/inputscreen.xml\n"), std::string::npos) << before;
    EXPECT_NE(before.find("component\t1\teditbox\teditbox\t1\t1\t400\t310\t360\t40\tАнна Ёлкина\n"), std::string::npos)
        << before;
    EXPECT_NE(before.find("\tyesbutton\tbutton\t1\t1\t"), std::string::npos) << before;
    // The yes button closed the dialog; the backdrop stays.
    const std::string after = ReadFile(dir.Path() + "after.txt");
    EXPECT_EQ(after.find("inputscreen"), std::string::npos) << after;
    EXPECT_NE(Log().find("/gui/inputscreen.xml: closed with 1"), std::string::npos);
    // A language given for one run is not remembered.
    EXPECT_EQ(Config().find("Russian"), std::string::npos) << Config();
}

TEST_F(GuiRunTest, AConfirmDialogInJapanese)
{
    // Double-byte texts drawn with the code page 932 fonts; the hint shows too.
    AddEnglish();
    AddLanguage("Japan932.xml", BSH_SOURCE_DIR "/data/language/Japan932.xml");
    ASSERT_EQ(Run("--screen /gui/confirmscreen.xml --language Japan",
                  "at 300 move 300 382\nat 1200 screenshot " + dir.Path() + "shot.png\nat 1300 quit\n"),
              0)
        << Log();
    EXPECT_NE(Log().find("Code page: 932"), std::string::npos) << Log();
    for (const char* error : {"Font file not found", "font reference error", "Local resources not found"}) {
        EXPECT_EQ(Log().find(error), std::string::npos) << Log();
    }
    ExpectGolden(dir.Path() + "shot.png", "confirm-japanese");
}

TEST_F(GuiRunTest, TheLocaleChoosesTheLanguageOnTheFirstStart)
{
    AddEnglish();
    const std::string quit = "at 100 quit\n";
    ASSERT_EQ(Run("", quit, "LANG=de_AT.UTF-8"), 0) << Log();
    EXPECT_NE(Log().find("Preferred language is \"Deutsch\" but we don't have it"), std::string::npos) << Log();
    EXPECT_NE(Log().find("Language switched to: English"), std::string::npos);

    // With a German file present (and the settings forgotten) the locale picks it.
    std::filesystem::remove_all(dir.Path() + "xdg");
    AddLanguage("Deutsch1252.xml", BSH_SOURCE_DIR "/data/language/English1252.xml");
    ASSERT_EQ(Run("", quit, "LANG=de_AT.UTF-8"), 0) << Log();
    EXPECT_NE(Log().find("Preferred language is Deutsch"), std::string::npos) << Log();
    EXPECT_NE(Config().find("<language>Deutsch</language>"), std::string::npos) << Config();

    std::filesystem::remove_all(dir.Path() + "xdg");
    ASSERT_EQ(Run("", quit, "LANG=nl_BE.UTF-8"), 0) << Log();
    EXPECT_NE(Log().find("Language switched to: English"), std::string::npos) << Log();

    // No language at all stops the program.
    std::filesystem::remove_all(dir.Path() + "data/language");
    std::filesystem::create_directories(dir.Path() + "data/language");
    EXPECT_NE(Run("", quit), 0);
    EXPECT_NE(Log().find("Language resources not found: program stopped"), std::string::npos) << Log();
}

// The HUD during play: the side rail with its buttons and the time tube, the
// objectives and the score below the board, the level's opening message.
TEST_F(GuiRunTest, TheGameScreensHudFramesTheBoard)
{
    AddEnglish();
    ASSERT_EQ(Run("--seed 1 --level data/level/sample/04.xml",
                  "at 1200 screenshot " + dir.Path() + "shot.png\nat 1210 quit\n"),
              0)
        << Log();
    ExpectGolden(dir.Path() + "shot.png", "game-hud");
}

// The menus as a new player first sees them, with the pointer parked off the buttons.
TEST_F(GuiRunTest, TheMainMenuAndTheOptionsScreen)
{
    AddEnglish();
    ASSERT_EQ(Run("--seed 1", testsupport::PastTheIntro(
                                  kNameAnn + "at 2800 move 700 560\n"
                                  "at 3000 screenshot " + dir.Path() + "menu.png\nat 3100 press optionsbutton\n"
                                  "at 4300 move 700 560\nat 4500 screenshot " + dir.Path() + "options.png\n"
                                  "at 4600 quit\n")),
              0)
        << Log();
    ExpectGolden(dir.Path() + "menu.png", "main-menu");
    ExpectGolden(dir.Path() + "options.png", "options");
}

// The main menu in three scripts: Cyrillic, Polish's Latin and Japanese, each
// with a player's name typed in that script.
TEST_F(GuiRunTest, TheMainMenuInRussianPolishAndJapanese)
{
    AddEnglish();
    struct Case {
        const char* file;
        const char* language;
        const char* name;
        const char* golden;
    };
    for (const Case& c : {Case{"Russian1251.xml", "Russian", "Анна", "main-menu-russian"},
                          Case{"Polish1250.xml", "Polish", "Łucja", "main-menu-polish"},
                          Case{"Japan932.xml", "Japan", "さくら", "main-menu-japanese"}}) {
        SCOPED_TRACE(c.language);
        AddLanguage(c.file, std::string(BSH_SOURCE_DIR "/data/language/") + c.file);
        std::filesystem::remove_all(dir.Path() + "xdg"); // a first start each time
        ASSERT_EQ(Run(std::string("--seed 1 --language ") + c.language,
                      testsupport::PastTheIntro(std::string("at 1300 type ") + c.name +
                                                "\nat 1400 press yesbutton\nat 2800 move 700 560\n" +
                                                "at 3000 screenshot " + dir.Path() + "menu.png\nat 3100 quit\n")),
                  0)
            << Log();
        for (const char* problem : {"Local resources not found", "not found.", "font reference error",
                                    "Font file not found", "Invalid Icon ID", "Language data is corrupt"}) {
            EXPECT_EQ(Log().find(problem), std::string::npos) << Log();
        }
        ExpectGolden(dir.Path() + "menu.png", c.golden);
    }
}

} // namespace
} // namespace e2e
