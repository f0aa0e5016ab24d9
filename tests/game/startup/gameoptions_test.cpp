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

    // The status of a parse into fresh options.
    const auto status = [&message](const std::vector<const char*>& args) {
        tsv::RunOptions o;
        GameOptions g;
        return Parse(args, o, g, message);
    };
    const std::vector<std::vector<const char*>> bad = {
        {"--simulate"},                      // nothing to play
        {"--level", "a.xml", "--mode", "story"},
        {"--level", "a.xml", "--difficulty", "expert"},
        {"--level", "a.xml", "--autoplay", "--simulate"},
        {"--level"},
        {"--bogus"},
    };
    for (const auto& args : bad) {
        EXPECT_EQ(status(args), 2) << args.front();
    }
    EXPECT_EQ(status({"--autoplay"}), 0); // alone, the bot plays whatever the menus start
    ASSERT_EQ(status({"--help"}), 1);
    EXPECT_NE(message.find("--simulate"), std::string::npos);
    EXPECT_NE(message.find("--headless"), std::string::npos);
}

} // namespace
} // namespace bsh::test
