// `--level` runs of the built game: the bot's report and the board dump.

#include "e2e/scriptedrun.h"

#include <gtest/gtest.h>

#include <cstring>
#include <regex>
#include <sstream>

namespace e2e {
namespace {

int RunLevel(const ScratchDir& dir, const std::string& args)
{
    return RunProgram(dir, "--headless --fixed-step 10 " + args);
}

TEST(LevelRunTest, BotFinishesASampleLevelAndReportsOneJsonLine)
{
    ScratchDir dir;
    ASSERT_EQ(RunLevel(dir, "--no-render --seed 3 --level data/level/sample/04.xml --autoplay"), 0)
        << ReadFile(dir.Path() + "stderr.txt");
    const std::string out = ReadFile(dir.Path() + "stdout.txt");
    static const std::regex line("\\{\"level\": \"data/level/sample/04.xml\", \"won\": (true|false), \"score\": 0, "
                                 "\"time_played_ms\": (\\d+), \"time_left_ms\": (\\d+), \"moves\": (\\d+), "
                                 "\"reshuffles\": \\d+, \"stars\": (\\d), \"time_used_pct\": (\\d+), \"points\": (\\d+), "
                                 "\"seed\": 3\\}\n");
    std::smatch m;
    ASSERT_TRUE(std::regex_match(out, m, line)) << out;
    EXPECT_GT(std::stoi(m[4]), 0); // the bot moved
    // Points count without a profile; a won level has a rating of 2..6.
    EXPECT_GT(std::stoll(m[7]), 0);
    EXPECT_EQ(m[5] == "0", m[1] == "false");
    // The clock stops when the level is done, so played and left add up to the limit.
    if (m[1] == "true") {
        EXPECT_EQ(std::stoll(m[2]) + std::stoll(m[3]), 300000);
    }

    // The same seed plays the same game.
    ScratchDir again;
    ASSERT_EQ(RunLevel(again, "--no-render --seed 3 --level data/level/sample/04.xml --autoplay"), 0);
    EXPECT_EQ(ReadFile(again.Path() + "stdout.txt"), out);
}

TEST(LevelRunTest, DumpWritesTheBoardAndAMissingLevelFails)
{
    ScratchDir dir;
    WriteFile(dir.Path() + "script.txt", "at 1000 dump " + dir.Path() + "board.txt\nat 1010 quit\n");
    ASSERT_EQ(RunLevel(dir, "--no-render --seed 1 --level data/level/sample/01.xml --script " + dir.Path() +
                                "script.txt"),
              0);
    std::istringstream dump(ReadFile(dir.Path() + "board.txt"));
    std::string text;
    std::getline(dump, text);
    EXPECT_EQ(text, "score 0");
    std::getline(dump, text);
    EXPECT_TRUE(std::regex_match(text, std::regex("multiplier \\d+"))) << text;
    std::getline(dump, text);
    EXPECT_TRUE(std::regex_match(text, std::regex("time \\d+ 300000 \\d+"))) << text;
    std::getline(dump, text);
    EXPECT_TRUE(std::regex_match(text, std::regex("objectives \\d+ \\d+ \\d+ [012]"))) << text;
    static const std::regex row("([0-3][.JBD<>^vRKOXFA?][.1-8] ){17}[0-3][.JBD<>^vRKOXFA?][.1-8]");
    int rows = 0;
    while (std::getline(dump, text) && text.rfind("selected ", 0) != 0) {
        EXPECT_TRUE(std::regex_match(text, row)) << text;
        ++rows;
    }
    EXPECT_EQ(rows, 15);
    EXPECT_EQ(text, "selected -1 -1");

    EXPECT_EQ(RunLevel(dir, "--no-render --level data/level/none.xml"), 1);
    EXPECT_NE(ReadFile(dir.Path() + "stderr.txt").find("cannot play the level data/level/none.xml"),
              std::string::npos);
}

// A windowed run plays through OpenAL Soft's real-time output, here its file
// writer in place of a sound card: the music playlist and the board's sounds
// must reach it.
TEST(LevelRunTest, RealTimeDeviceCarriesMusicAndEffects)
{
    ScratchDir dir;
    WriteFile(dir.Path() + "alsoft.conf",
              "[general]\ndrivers = wave\nsample-type = float32\nchannels = stereo\n[wave]\nfile = " + dir.Path() +
                  "out.wav\n");
    const std::string command = "cd " BSH_SOURCE_DIR " && XDG_DATA_HOME=" + dir.Path() +
                                "xdg SDL_VIDEODRIVER=dummy ALSOFT_CONF=" + dir.Path() +
                                "alsoft.conf ALSOFT_DRIVERS=wave " BSH_EXECUTABLE
                                " --seed 2 --level data/level/sample/04.xml --autoplay --frames 400 >/dev/null 2>" +
                                dir.Path() + "stderr.txt";
    ASSERT_EQ(RunCommand(command), 0) << ReadFile(dir.Path() + "stderr.txt");
    EXPECT_EQ(ReadFile(dir.Path() + "stderr.txt").find("Error:"), std::string::npos)
        << ReadFile(dir.Path() + "stderr.txt");

    // The writer's file: a RIFF header with an extensible format, then 32-bit float samples.
    const std::string wav = ReadFile(dir.Path() + "out.wav");
    const size_t data = wav.find("data");
    ASSERT_NE(data, std::string::npos);
    const size_t count = (wav.size() - data - 8) / sizeof(float);
    ASSERT_GT(count, 44100u); // at least half a second of stereo
    double energy = 0;
    for (size_t i = 0; i < count; ++i) {
        float sample = 0;
        std::memcpy(&sample, wav.data() + data + 8 + i * sizeof(float), sizeof sample);
        energy += static_cast<double>(sample) * sample;
    }
    EXPECT_GT(energy / static_cast<double>(count), 1e-4); // clearly audible, not silence
}

// --clock relaxed: the clock never runs out. A level of five seconds is
// still on after ten, its time left at the limit, its time played counting.
TEST(LevelRunTest, ARelaxedClockNeverRunsOut)
{
    ScratchDir dir;
    WriteFile(dir.Path() + "short.xml", "<level><time>5000</time><colors>1234</colors>"
                                        "<alias><char>x</char><type>jewel</type></alias>"
                                        "<playfield>\nxxxxx\nxxxxx\nxxxxx\n</playfield>"
                                        "<fill>\n11111\n11111\n11111\n</fill></level>");
    for (const char* clock : {"relaxed", "timed"}) {
        SCOPED_TRACE(clock);
        WriteFile(dir.Path() + "run.script", "at 10000 dump " + dir.Path() + "dump.txt\nat 10100 quit\n");
        ASSERT_EQ(RunLevel(dir, std::string("--no-render --seed 1 --clock ") + clock + " --level " + dir.Path() +
                                    "short.xml --script " + dir.Path() + "run.script"),
                  0)
            << ReadFile(dir.Path() + "stderr.txt");
        const std::string dump = ReadFile(dir.Path() + "dump.txt");
        if (std::strcmp(clock, "relaxed") == 0) {
            EXPECT_NE(dump.find("time 5000 5000 99"), std::string::npos) << dump; // ten seconds played
        } else {
            EXPECT_TRUE(dump.empty() || dump.find("time 0 5000") != std::string::npos) << dump; // over, or ran out
        }
        std::remove((dir.Path() + "dump.txt").c_str());
    }
    EXPECT_NE(RunLevel(dir, "--clock sometimes --level " + dir.Path() + "short.xml"), 0);
}

} // namespace
} // namespace e2e
