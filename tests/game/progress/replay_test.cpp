// The recording's file: what is written reads back the same, what is not a
// whole recording of this version is refused with the line at fault, and the
// shelf keeps the newest thirty.

#include "game/progress/replay.h"
#include "support/scratchstorage.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>

namespace bsh {
namespace {

Replay Sample()
{
    Replay replay;
    replay.game = "1.91";
    replay.level = "/level/original/001.xml";
    replay.levelSha256 = std::string(64, 'a');
    replay.mode = "endless";
    replay.difficulty = "hard";
    replay.relaxed = true;
    replay.bot = true;
    replay.profile = false;
    replay.seed = 4000000000u;
    replay.randomState = 12345;
    replay.hints = false;
    replay.tutorials[3] = 2;
    replay.runScore = 700;
    replay.multiplier = 3;
    replay.carried = {5'000'000'000LL, 40, 6, 900};
    replay.startMs = 123456;
    replay.board = std::string("\0\x01\xff board", 9);
    replay.frames = {{16, true, {}},
                     {33, true, {{ReplayAction::Kind::Pointer, 101.25f, -3.5f, true, {}},
                                 {ReplayAction::Kind::Key, 0, 0, false, "KEY_LEFT"}}},
                     {0, false, {{ReplayAction::Kind::TutorialClosed, 0, 0, false, {}},
                                 {ReplayAction::Kind::TutorialClosedByBot, 0, 0, false, {}},
                                 {ReplayAction::Kind::Leave, 0, 0, false, {}}}}};
    replay.result = "{\"mode\": \"endless\", \"score\": 1}";
    return replay;
}

TEST(ReplayFileTest, WhatIsWrittenReadsBack)
{
    const Replay sample = Sample();
    Replay read;
    std::string why;
    ASSERT_EQ(ParseReplay(FormatReplay(sample), read, why), ReplayRead::Read) << why;
    EXPECT_EQ(read, sample);
}

TEST(ReplayFileTest, WhatIsNoWholeRecordingIsRefusedWithItsLine)
{
    const std::string good = FormatReplay(Sample());
    const auto replaced = [&good](const std::string& what, const std::string& with) {
        std::string text = good;
        text.replace(text.find(what), what.size(), with);
        return text;
    };
    const struct {
        std::string text;
        ReplayRead expected;
        const char* why;
    } cases[] = {
        {"", ReplayRead::NotAReplay, "empty"},
        {"BSH-REPLAY\n", ReplayRead::NotAReplay, "does not start"},
        {replaced("BSH-REPLAY 1", "BSH-REPLAY 7"), ReplayRead::Newer, "newer version"},
        {replaced("BSH-REPLAY 1", "BSH-REPLAY 0"), ReplayRead::Damaged, "line 1"},
        {replaced("mode endless", "mode survival"), ReplayRead::Damaged, "\"mode\""},
        {replaced("seed 4000000000", "seed 5000000000"), ReplayRead::Damaged, "\"seed\""},
        {replaced("hints off\n", ""), ReplayRead::Damaged, "\"hints\" is missing"},
        {replaced("hints off\n", "hints off\nhints on\n"), ReplayRead::Damaged, "given twice"},
        {replaced("hints off\n", "hints off\ncolour blue\n"), ReplayRead::Damaged, "does not know"},
        {replaced("board 0001ff", "board 0g01ff"), ReplayRead::Damaged, "\"board\""},
        {replaced("frames 3", "frames 4"), ReplayRead::Damaged, "line 23: this is no frame"},
        {replaced("frames 3", "frames 99999999999"), ReplayRead::Damaged, "\"frames\""},
        {replaced("33 1 p", "33 2 p"), ReplayRead::Damaged, "line 21: this is no frame"},
        {replaced("k KEY_LEFT", "k left"), ReplayRead::Damaged, "no frame"},
        {replaced("p 101.25", "p nan"), ReplayRead::Damaged, "no frame"},
        {replaced("16 1", "-16 1"), ReplayRead::Damaged, "no frame"},
        {good.substr(0, good.find("result")), ReplayRead::Damaged, "the result line"},
        {good + "more\n", ReplayRead::Damaged, "after the result line"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        Replay read;
        std::string why;
        EXPECT_EQ(ParseReplay(c.text, read, why), c.expected);
        EXPECT_NE(why.find(c.why), std::string::npos) << why;
    }
}

TEST(ReplayFileTest, TheShelfKeepsTheNewestThirty)
{
    test::ScratchStorage storage;
    Replay replay = Sample();
    std::vector<std::string> kept;
    for (int i = 0; i < 32; ++i) {
        replay.level = "/level/original/" + std::to_string(100 + i) + ".xml";
        kept.push_back(ReplayShelf::Keep(replay));
        ASSERT_FALSE(kept.back().empty());
    }
    using Files = std::filesystem::directory_iterator;
    EXPECT_EQ(static_cast<size_t>(std::distance(Files(ReplayShelf::Folder()), Files())), ReplayShelf::kKeep);
    EXPECT_TRUE(std::filesystem::exists(kept.back()));
    // Written in one second, the files are told apart by their level's name.
    EXPECT_NE(kept.back().find("_131.replay"), std::string::npos);
}

} // namespace
} // namespace bsh
