#include "game/screens/savedrun.h"

#include <gtest/gtest.h>

namespace bsh {
namespace {

TEST(SavedRunTest, ClosingKeepsOnlyAPlayersUndecidedLevelOrAKeptEndlessBoard)
{
    struct Case {
        const char* what;
        LevelAtClose level;
        KeptOnClose kept;
    };
    auto with = [](LevelAtClose level, bool LevelAtClose::*field, bool value) {
        level.*field = value;
        return level;
    };
    // A player's quest level in the middle of play: the one case that keeps a run.
    const LevelAtClose player{.started = true, .person = true, .validMode = true, .profile = true};
    const LevelAtClose endless{.endless = true, .keepsEndlessBoard = true, .started = true};
    const Case cases[] = {
        {"a player's level in play", player, KeptOnClose::Run},
        {"a preview", with(player, &LevelAtClose::preview, true), KeptOnClose::Nothing},
        {"already ended", with(player, &LevelAtClose::ended, true), KeptOnClose::Nothing},
        {"not started", with(player, &LevelAtClose::started, false), KeptOnClose::Nothing},
        {"the bot", with(player, &LevelAtClose::person, false), KeptOnClose::Nothing},
        {"no valid mode", with(player, &LevelAtClose::validMode, false), KeptOnClose::Nothing},
        {"decided", with(player, &LevelAtClose::decided, true), KeptOnClose::Nothing},
        {"won", with(player, &LevelAtClose::won, true), KeptOnClose::Nothing},
        {"no profile", with(player, &LevelAtClose::profile, false), KeptOnClose::Nothing},
        // The endless board is kept by whoever plays it, decided or not.
        {"the endless board", endless, KeptOnClose::EndlessBoard},
        {"the endless board, the bot", with(endless, &LevelAtClose::person, false), KeptOnClose::EndlessBoard},
        {"the endless board, no profile", with(endless, &LevelAtClose::profile, false), KeptOnClose::EndlessBoard},
        {"the endless board not kept", with(endless, &LevelAtClose::keepsEndlessBoard, false), KeptOnClose::Nothing},
        {"the endless board left", with(endless, &LevelAtClose::ended, true), KeptOnClose::Nothing},
        {"the endless board not started", with(endless, &LevelAtClose::started, false), KeptOnClose::Nothing},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DecideKeptOnClose(c.level), c.kept) << c.what;
    }
}

} // namespace
} // namespace bsh
