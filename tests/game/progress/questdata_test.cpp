// The real quest data: every level the map or an arcade set names loads into
// a playable board, the map's links only lead onwards, the awards are each
// named once, and the first levels are won by the bot.

#include "engine/core/log.h"
#include "game/board/botrun.h"
#include "game/board/levelloader.h"
#include "game/progress/arcadepage.h"
#include "game/progress/levellist.h"
#include "game/progress/questmap.h"

#include <fstream>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace bsh::test {
namespace {

// The quest's chart as the game reads it.
QuestMap RealMap()
{
    QuestMap map;
    EXPECT_TRUE(map.Load("data/level/map.xml"));
    return map;
}

// Every level path of the four arcade sets ("/original/003" names "/level/original/003.xml").
std::vector<std::string> ArcadeLevels()
{
    std::vector<std::string> paths;
    for (int n = 1; n <= 4; ++n) {
        std::vector<std::string> set;
        EXPECT_TRUE(LoadLevelList("/level/arcade/set" + std::to_string(n) + ".xml", set)) << "set " << n;
        EXPECT_LE(set.size(), 15u) << "set " << n;
        for (const std::string& entry : set) {
            paths.push_back(ArcadeLevelPath(entry));
            EXPECT_TRUE(std::ifstream("data" + ArcadeIconPath(entry)).good()) << entry << " has no picture";
        }
    }
    return paths;
}

TEST(QuestDataTest, EveryLevelOfTheMapAndTheSetsIsPlayable)
{
    ScratchStorage storage;
    GameState state(GameStatePaths{storage.File("nomap.xml"), storage.Path() + "noset%d.xml"});
    state.Profiles().Add(tsv::IntrusivePtr<Profile>(new Profile("Quill")));
    state.PrepareLevel("", GameMode::Quest);
    BoardScoring scoring(state);
    const QuestMap map = RealMap();
    std::set<std::string> paths;
    for (const QuestMapLevel& level : map.Levels()) {
        paths.insert(level.source);
    }
    ASSERT_GE(paths.size(), 60u);
    const std::vector<std::string> arcade = ArcadeLevels();
    EXPECT_EQ(arcade.size(), 60u);
    for (const std::string& path : arcade) {
        EXPECT_TRUE(paths.count(path)) << path << " is in an arcade set but not on the map";
    }

    std::map<std::string, int> awards;
    LogCapture log;
    for (const std::string& path : paths) {
        SCOPED_TRACE(path);
        PlayFieldPtr board = tsv::MakeIntrusive<PlayField>(scoring, [] { return int64_t{0}; });
        LevelInfo info;
        ASSERT_TRUE(LoadLevel(path, *board, &info));
        EXPECT_GT(info.time, 0);
        EXPECT_EQ(info.name.rfind("Levels.l", 0), 0u) << info.name;
        if (!info.awardKey.empty()) {
            ++awards[info.awardKey];
        }
        // Something to do: blocks, worn cells, jewels or the artifact.
        EXPECT_TRUE(board->GetInitialBlocks() > 0 || board->GetInitialCellHits() > 0 ||
                    board->GetJewelsLeft() > 0 || board->HasArtifact());
        EXPECT_FALSE(board->IsLevelDone());
        // Row 14 lies half below the screen's edge.
        for (int x = 0; x < kBoardColumns; ++x) {
            EXPECT_FALSE(board->CellExists(x, kBoardRows - 1)) << "column " << x;
        }
        EXPECT_FALSE(board->HasMatch()) << "a run stands before the first move";
        int x1, y1, x2, y2;
        EXPECT_TRUE(board->FindMove(x1, y1, x2, y2)) << "no first move";
    }
    for (const auto& line : log.Lines()) {
        EXPECT_LT(line.level, tsv::LogLevel::Error) << line.text;
    }

    std::map<std::string, int> expected;
    for (int i = 1; i <= 8; ++i) {
        expected["quest_map" + std::to_string(i)] = 1;
    }
    expected["finalquest_complete"] = 1;
    EXPECT_EQ(awards, expected);
}

// The map's parents name earlier levels: the chart's reader drops any other.
TEST(QuestDataTest, TheMapStartsAtTheFirstLevelAndFillsEveryPage)
{
    const QuestMap map = RealMap();
    ASSERT_FALSE(map.Levels().empty());
    EXPECT_EQ(map.Levels().front().source, "/level/original/001.xml");
    EXPECT_EQ(map.Levels().back().source, "/level/original/058-final.xml");

    std::map<int, int> perPage;
    int bonusLevels = 0;
    for (size_t i = 0; i < map.Levels().size(); ++i) {
        const QuestMapLevel& level = map.Levels()[i];
        SCOPED_TRACE(level.source);
        EXPECT_EQ(map.Find(level.source), static_cast<int>(i)) << "listed twice";
        EXPECT_TRUE(std::ifstream("data" + level.source).good()) << "no such file";
        EXPECT_EQ(level.links.empty(), i == 0);
        EXPECT_EQ(level.bonus, level.source.size() > 9 && level.source.ends_with("bonus.xml"));
        bonusLevels += level.bonus;
        ++perPage[map.PageOf(i)];
    }
    EXPECT_GE(bonusLevels, 6);
    EXPECT_EQ(perPage.count(0), 0u) << "a level lies on no page";
    for (int page = 1; page <= 4; ++page) {
        EXPECT_GE(perPage[page], 10) << "page " << page;
    }
    // The two paths the map hint speaks of.
    for (const char* fork : {"/level/original/005a.xml", "/level/original/005b.xml", "/level/original/006a.xml"}) {
        EXPECT_GE(map.Find(fork), 0) << fork;
    }
}

TEST(QuestDataTest, TheBotWinsTheFirstLevels)
{
    // Short levels only: the suite runs under the address sanitizer.
    for (const char* path : {"/level/original/001.xml", "/level/original/004.xml", "/level/original/010.xml"}) {
        const BotRun run = PlayWithBot(path, GameMode::Quest, 5);
        EXPECT_TRUE(run.result.won) << path;
        EXPECT_LT(run.timeUsedPercent, 50) << path;
    }
}

} // namespace
} // namespace bsh::test
