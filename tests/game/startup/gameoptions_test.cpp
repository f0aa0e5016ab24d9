// The game's run options ride on the engine's parser: one pass, one usage text.

#include "game/startup/gameoptions.h"

#include <gtest/gtest.h>

#include <vector>

namespace bsh::test {
namespace {

int Parse(std::vector<const char*> args, tsv::RunOptions& options, GameOptions& game, std::string& message)
{
    args.insert(args.begin(), "brinestoneharbour");
    return tsv::ParseRunOptions(static_cast<int>(args.size()), const_cast<char**>(args.data()), options, message,
                                &game);
}

TEST(GameOptionsTest, LevelRunsParseAndRejectNonsense)
{
    tsv::RunOptions options;
    GameOptions level;
    std::string message;
    ASSERT_EQ(Parse({"--level", "/level/a.xml", "--mode", "quest", "--difficulty", "hard", "--autoplay", "--seed", "3"},
                    options, level, message),
              0);
    EXPECT_EQ(level.levelPath, "/level/a.xml");
    EXPECT_EQ(level.mode, "quest");
    EXPECT_EQ(level.difficulty, "hard");
    EXPECT_TRUE(level.autoplay);
    EXPECT_EQ(options.seed, 3u); // the engine's options still reach the engine

    const std::vector<std::vector<const char*>> bad = {
        {"--simulate"},                      // nothing to play
        {"--level", "a.xml", "--mode", "story"},
        {"--level", "a.xml", "--difficulty", "expert"},
        {"--level", "a.xml", "--autoplay", "--simulate"},
        {"--level"},
        {"--bogus"},
    };
    for (const auto& args : bad) {
        tsv::RunOptions o;
        GameOptions g;
        EXPECT_EQ(Parse(args, o, g, message), 2) << args.front();
    }

    // Alone, the bot plays whatever the menus start.
    {
        tsv::RunOptions o;
        GameOptions g;
        EXPECT_EQ(Parse({"--autoplay"}, o, g, message), 0);
    }

    tsv::RunOptions o;
    GameOptions g;
    ASSERT_EQ(Parse({"--help"}, o, g, message), 1);
    EXPECT_NE(message.find("--simulate"), std::string::npos);
    EXPECT_NE(message.find("--headless"), std::string::npos);
}

} // namespace
} // namespace bsh::test
