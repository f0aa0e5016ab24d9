#include "engine/core/config.h"
#include "engine/core/storage.h"
#include "support/testsupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>

using namespace tsv;
using testsupport::LogCapture;
using testsupport::ReadFile;
using testsupport::ScratchDir;
using testsupport::WriteFile;

namespace {

Config LoadFrom(const ScratchDir& dir, const std::string& text)
{
    WriteFile(dir.Path() + "config.xml", text);
    Config config;
    config.Load(dir.Path());
    return config;
}

} // namespace

TEST(ConfigTest, DefaultsAreWrittenExactly)
{
    ScratchDir dir;
    Config config;
    ASSERT_TRUE(config.Save(dir.Path()));
    EXPECT_EQ(ReadFile(dir.Path() + "config.xml"),
              "<config>\n\t\t<language></language>\n\t\t<soundvolume>0.800000</soundvolume>\n\t\t<musicvolume>0.800000"
              "</musicvolume>\n\t\t<maxfps>300</maxfps>\n\t\t<fullscreen>0</fullscreen>\n\t\t<windowwidth>800"
              "</windowwidth>\n\t\t<windowheight>600</windowheight>\n\t\t<systemcursor>1</systemcursor>\n\t\t"
              "<languagedetected>0</languagedetected>\n\t\t<debuginfo>0</debuginfo>\n\t\t<homelink>" +
                  std::string("https://www.tarvel-games.example/?from=brinestoneharbour&amp;lang=en") +
                  "</homelink>\n</config>\n");
}

TEST(ConfigTest, RoundTripAndRepeatableSaves)
{
    ScratchDir dir;
    Config config;
    config.language = "Deutsch";
    config.soundVolume = 0.25f;
    config.musicVolume = 0.0f;
    config.maxFps = 60;
    config.fullscreen = true;
    config.windowWidth = 1024;
    config.windowHeight = 768;
    config.systemCursor = false;
    config.languageDetected = true;
    config.debugInfo = true;
    config.homeLink = "http://a.example/?x=1&y=2";
    ASSERT_TRUE(config.Save(dir.Path()));
    std::string first = ReadFile(dir.Path() + "config.xml");
    ASSERT_TRUE(config.Save(dir.Path()));
    EXPECT_EQ(ReadFile(dir.Path() + "config.xml"), first);

    Config loaded;
    LogCapture log;
    loaded.Load(dir.Path());
    EXPECT_TRUE(log.Lines().empty());
    EXPECT_EQ(loaded.language, "Deutsch");
    EXPECT_FLOAT_EQ(loaded.soundVolume, 0.25f);
    EXPECT_FLOAT_EQ(loaded.musicVolume, 0.0f);
    EXPECT_EQ(loaded.maxFps, 60);
    EXPECT_TRUE(loaded.fullscreen);
    EXPECT_EQ(loaded.windowWidth, 1024);
    EXPECT_EQ(loaded.windowHeight, 768);
    EXPECT_FALSE(loaded.systemCursor);
    EXPECT_TRUE(loaded.languageDetected);
    EXPECT_TRUE(loaded.debugInfo);
    EXPECT_EQ(loaded.homeLink, "http://a.example/?x=1&y=2");
}

TEST(ConfigTest, ValuesFollowIntegerRulesAndUnknownTagsWarn)
{
    ScratchDir dir;
    LogCapture log;
    Config c = LoadFrom(dir, "<config><fullscreen>2</fullscreen><debuginfo> 1</debuginfo>"
                             "<systemcursor>yes</systemcursor><Language>x</Language>"
                             "<maxfps>30</maxfps><maxfps>45</maxfps></config>");
    EXPECT_TRUE(c.fullscreen);
    EXPECT_TRUE(c.debugInfo);
    EXPECT_FALSE(c.systemCursor); // "yes" reads as the integer 0
    EXPECT_EQ(c.language, "");
    EXPECT_EQ(c.maxFps, 45); // the last value wins
    ASSERT_EQ(log.Texts(LogLevel::Warning).size(), 2u);
    EXPECT_EQ(log.Texts(LogLevel::Warning)[0], "Unknown tag in config: <Language>");
    // What the game would not have written is kept for the player to see.
    EXPECT_NE(log.Texts(LogLevel::Warning)[1].find("could not be read whole; the file is kept as"), std::string::npos);
}

TEST(ConfigTest, BrokenFilesKeepTheDefaults)
{
    ScratchDir dir;
    {
        LogCapture log;
        Config c = LoadFrom(dir, "<settings><fullscreen>1</fullscreen></settings>");
        EXPECT_FALSE(c.fullscreen);
        EXPECT_EQ(log.Texts(LogLevel::Error),
                  std::vector<std::string>{"Configuration file is corrupt: root tag must be <config>"});
    }
    {
        LogCapture log;
        Config c = LoadFrom(dir, "<config><fullscreen>1</fullscreen>");
        EXPECT_FALSE(c.fullscreen);
        ASSERT_EQ(log.Texts(LogLevel::Warning).size(), 2u);
        EXPECT_EQ(log.Texts(LogLevel::Warning)[0], "Configuration file is empty: default settings loaded");
        // The player's file is not lost: it is kept beside the new one.
        EXPECT_NE(log.Texts(LogLevel::Warning)[1].find("config.xml: could not be read whole; the file is kept as "),
                  std::string::npos);
        ASSERT_EQ(log.Texts(LogLevel::Error).size(), 1u);
        EXPECT_EQ(log.Texts(LogLevel::Error)[0].rfind("Failed parsing \"" + dir.Path() + "config.xml\"", 0), 0u);
    }
}

TEST(StorageTest, PrefersXdgThenHomeAndCreatesFolders)
{
    ScratchDir xdg, home;
    const char* oldXdg = std::getenv("XDG_DATA_HOME");
    const char* oldHome = std::getenv("HOME");
    std::string savedXdg = oldXdg ? oldXdg : "", savedHome = oldHome ? oldHome : "";

    setenv("XDG_DATA_HOME", (xdg.Path() + "share").c_str(), 1);
    setenv("HOME", home.Path().c_str(), 1);
    EXPECT_EQ(FindStorageFolder("Tarvel\\Brinestoneharbour").path, xdg.Path() + "share/Tarvel/Brinestoneharbour/");
    EXPECT_FALSE(testsupport::FileExists(xdg.Path() + "share/Tarvel/Brinestoneharbour/writetest.dat"));

    // A relative XDG_DATA_HOME is ignored; so is an unwritable one.
    setenv("XDG_DATA_HOME", "relative/share", 1);
    EXPECT_EQ(FindStorageFolder("Tarvel\\Brinestoneharbour").path, home.Path() + ".local/share/Tarvel/Brinestoneharbour/");
    if (geteuid() != 0) {
        ::chmod(xdg.Path().c_str(), 0555);
        setenv("XDG_DATA_HOME", (xdg.Path() + "ro").c_str(), 1);
        EXPECT_EQ(FindStorageFolder("Tarvel\\Brinestoneharbour").path,
                  home.Path() + ".local/share/Tarvel/Brinestoneharbour/");
        ::chmod(xdg.Path().c_str(), 0755);
    }

    // A usual folder that cannot be written is named with the reason (a
    // folder in the write test's place stops any user, root included).
    setenv("XDG_DATA_HOME", (xdg.Path() + "share").c_str(), 1);
    std::filesystem::create_directory(xdg.Path() + "share/Tarvel/Brinestoneharbour/writetest.dat");
    const StorageFolder moved = FindStorageFolder("Tarvel\\Brinestoneharbour");
    EXPECT_EQ(moved.path, home.Path() + ".local/share/Tarvel/Brinestoneharbour/");
    EXPECT_EQ(moved.usual, xdg.Path() + "share/Tarvel/Brinestoneharbour/");
    EXPECT_EQ(moved.whyNotUsual, "Is a directory");
    EXPECT_TRUE(moved.Moved());

    EXPECT_TRUE(PassesWriteTest(home.Path()));
    std::string why;
    EXPECT_FALSE(PassesWriteTest(home.Path() + "no/such/folder/", &why));
    EXPECT_EQ(why, "No such file or directory");

    savedXdg.empty() ? unsetenv("XDG_DATA_HOME") : setenv("XDG_DATA_HOME", savedXdg.c_str(), 1);
    savedHome.empty() ? unsetenv("HOME") : setenv("HOME", savedHome.c_str(), 1);
}
