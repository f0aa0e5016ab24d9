// Every level played is recorded in the storage folder's replays/ and plays
// back to the same result line with --replay: a quest level won through the
// menus, a level left, a level lost, the endless board, a level played with a
// gamepad; recordings that cannot be played are refused with exit status 2,
// and one that plays otherwise than recorded ends with status 3.

#include "e2e/scriptedrun.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

namespace e2e {
namespace {

namespace fs = std::filesystem;

// The recordings in DIR's storage folder, oldest first.
std::vector<std::string> Recordings(const ScratchDir& dir)
{
    std::vector<std::string> found;
    std::error_code error;
    for (fs::directory_iterator it(Storage(dir) + "replays", error), end; !error && it != end; ++it) {
        found.push_back(it->path().string());
    }
    std::sort(found.begin(), found.end());
    return found;
}

// The last line of a recording, past "result ".
std::string RecordedResult(const std::string& path)
{
    const std::string text = ReadFile(path);
    const size_t at = text.rfind("\nresult ");
    return at == std::string::npos ? std::string() : text.substr(at + 8, text.size() - at - 9);
}

// Runs the game headless with ARGS, as fast as it goes on the fixed step; the exit status.
int RunFast(const ScratchDir& dir, const std::string& args)
{
    return RunProgram(dir, "--headless --no-render --fixed-step 10 " + args);
}

// Plays RECORDING back headless as fast as it goes; the exit status.
int Replay(const ScratchDir& dir, const std::string& recording)
{
    return RunProgram(dir, "--headless --no-render --replay " + recording);
}

// The one recording made since `before` was listed ("" unless exactly one).
std::string NewRecording(const ScratchDir& dir, const std::vector<std::string>& before)
{
    std::vector<std::string> made;
    for (const std::string& path : Recordings(dir)) {
        if (std::find(before.begin(), before.end(), path) == before.end()) {
            made.push_back(path);
        }
    }
    return made.size() == 1 ? made[0] : std::string();
}

// Plays `recording` back and expects its own result line.
void ExpectReplays(const ScratchDir& dir, const std::string& recording)
{
    ASSERT_FALSE(recording.empty()) << ReadFile(dir.Path() + "stderr.txt");
    const std::string recorded = RecordedResult(recording);
    ASSERT_FALSE(recorded.empty());
    EXPECT_EQ(Replay(dir, recording), 0) << ReadFile(dir.Path() + "stderr.txt");
    EXPECT_EQ(ReadFile(dir.Path() + "stdout.txt"), recorded + "\n");
}

// Through the menus: only the level is in the recording, which names the
// quest's level file and ends with what the bot's report said.
TEST(ReplayTest, AQuestLevelWonThroughTheMenus)
{
    ScratchDir dir;
    ASSERT_EQ(RunPastIntro(dir, kNameAnn + "at 4000 press questbutton\nat 5500 press playbutton\nat 60000 quit\n",
                           "--seed 2 --autoplay"),
              0)
        << ReadFile(dir.Path() + "stderr.txt");
    const std::vector<std::string> recordings = Recordings(dir);
    ASSERT_EQ(recordings.size(), 1u);
    const std::string text = ReadFile(recordings[0]);
    EXPECT_NE(text.find("\nlevel /level/original/001.xml\nsha256 "), std::string::npos);
    EXPECT_NE(text.find("\nmode quest\n"), std::string::npos);
    EXPECT_NE(RecordedResult(recordings[0]).find("\"won\": true"), std::string::npos);
    EXPECT_NE(ReadFile(dir.Path() + "stdout.txt").find(RecordedResult(recordings[0])), std::string::npos);
    ExpectReplays(dir, recordings[0]);
}

// A level the player leaves, and one the bot loses on time.
TEST(ReplayTest, ALeftLevelAndALostLevel)
{
    ScratchDir dir;
    ASSERT_EQ(RunPastIntro(dir, kNameAnn +
                                    "at 4000 press questbutton\n"
                                    "at 5500 press playbutton\n"
                                    "at 9000 click 250 200\nat 9500 click 290 200\nat 10000 click 290 240\n"
                                    "at 12000 press closebutton\n"
                                    "at 12300 press yesbutton\n"
                                    "at 14000 quit\n"),
              0)
        << ReadFile(dir.Path() + "stderr.txt");
    const std::string left = NewRecording(dir, {});
    ExpectReplays(dir, left);
    EXPECT_NE(RecordedResult(left).find("\"won\": false"), std::string::npos);

    WriteFile(dir.Path() + "short.xml", "<level><time>4000</time><colors>1234</colors>"
                                        "<alias><char>x</char><type>jewel</type></alias>"
                                        "<playfield>\nxxxxx\nxxxxx\nxxxxx\n</playfield>"
                                        "<fill>\n11111\n11111\n11111\n</fill></level>");
    ASSERT_EQ(RunFast(dir, "--seed 3 --autoplay --level " + dir.Path() + "short.xml"), 0);
    const std::string lost = NewRecording(dir, {left});
    EXPECT_NE(RecordedResult(lost).find("\"won\": false"), std::string::npos) << RecordedResult(lost);
    EXPECT_NE(RecordedResult(lost).find("\"time_left_ms\": 0,"), std::string::npos) << RecordedResult(lost);
    ExpectReplays(dir, lost);
}

TEST(ReplayTest, TheEndlessBoardAndALevelPlayedWithAGamepad)
{
    ScratchDir dir;
    ASSERT_EQ(RunFast(dir, "--seed 5 --mode endless --autoplay --frames 3000"), 0);
    const std::string endless = NewRecording(dir, {});
    EXPECT_NE(RecordedResult(endless).find("{\"mode\": \"endless\""), std::string::npos);
    ExpectReplays(dir, endless);

    // The pad's d-pad and A work the board's cursor; Start pauses, and the
    // window closes on the paused level.
    std::string script = "at 500 pad connect\n";
    int at = 1000;
    for (const char* button : {"right", "down", "a", "right", "a", "down", "down", "a", "left", "a", "up", "a",
                               "down", "a", "start"}) {
        script += "at " + std::to_string(at) + " pad press " + button + "\n";
        at += 700;
    }
    WriteFile(dir.Path() + "pad.script", script + "at 14000 quit\n");
    ASSERT_EQ(RunFast(dir, "--seed 6 --level data/level/original/002.xml --script " + dir.Path() + "pad.script"), 0)
        << ReadFile(dir.Path() + "stderr.txt");
    const std::string pad = NewRecording(dir, {endless});
    const std::string text = ReadFile(pad);
    EXPECT_NE(text.find(" k KEY_RETURN"), std::string::npos);
    EXPECT_NE(text.find(" k KEY_DOWN"), std::string::npos);
    EXPECT_NE(text.find("\n0 0\n"), std::string::npos); // paused frames: the clock stood still
    ExpectReplays(dir, pad);
}

// Refused with status 2 and one line that says why: a changed level file, a
// newer recording, one cut short, no recording at all; a recording whose
// result was not what the game plays ends with status 3.
TEST(ReplayTest, RecordingsThatCannotBePlayedAreRefused)
{
    ScratchDir dir;
    const std::string p = dir.Path();
    WriteFile(p + "level.xml", ReadFile(BSH_SOURCE_DIR "/data/level/original/001.xml"));
    ASSERT_EQ(RunFast(dir, "--seed 4 --autoplay --level " + p + "level.xml"), 0);
    const std::string recording = Recordings(dir).back();
    const std::string text = ReadFile(recording);

    const auto refused = [&](const std::string& file, const std::string& why) {
        SCOPED_TRACE(why);
        EXPECT_EQ(Replay(dir, file), 2);
        const std::string said = ReadFile(p + "stderr.txt");
        EXPECT_NE(said.find("cannot play the recording " + file + ": "), std::string::npos) << said;
        EXPECT_NE(said.find(why), std::string::npos) << said;
        EXPECT_EQ(ReadFile(p + "stdout.txt"), "");
    };
    WriteFile(p + "newer.replay", "BSH-REPLAY 2" + text.substr(text.find('\n')));
    refused(p + "newer.replay", "recorded by a newer version of the game");
    WriteFile(p + "short.replay", text.substr(0, text.size() / 2));
    refused(p + "short.replay", "the file ends");
    refused(p + "level.xml", "it does not start with \"BSH-REPLAY\"");
    refused(p + "nothing.replay", "it cannot be opened");
    WriteFile(p + "level.xml", ReadFile(p + "level.xml") + "<!-- changed -->\n");
    refused(recording, "has changed since it was recorded");
    WriteFile(p + "level.xml", ReadFile(BSH_SOURCE_DIR "/data/level/original/001.xml"));

    std::string other = text;
    other.replace(other.find("\"moves\": "), 9, "\"moves\": 9");
    WriteFile(p + "other.replay", other);
    EXPECT_EQ(Replay(dir, p + "other.replay"), 3);
    EXPECT_NE(ReadFile(p + "stderr.txt").find("the replay did not play as it was recorded"), std::string::npos);
    EXPECT_EQ(ReadFile(p + "stdout.txt"), RecordedResult(recording) + "\n");
}

} // namespace
} // namespace e2e
