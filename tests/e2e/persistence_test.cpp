// A scratch storage folder written by the game-wide state, read back by the
// independent reader of the record files and compared field by field.

#include "game/progress/gamestate.h"

#include "support/recordfilereader.h"
#include "support/scratchstorage.h"

#include <gtest/gtest.h>

#include <memory>

namespace bsh {
namespace {

using tsv::IntrusivePtr;

void ExpectSameProfile(const Profile& profile, const test::RawProfile& raw)
{
    SCOPED_TRACE("profile " + profile.GetName());
    EXPECT_EQ(raw.name, profile.GetName());
    EXPECT_EQ(raw.difficulty, static_cast<int32_t>(profile.GetDifficulty())); // the file's number
    EXPECT_EQ(raw.hints, profile.GetHints() ? 1 : 0);
    for (Difficulty difficulty : kDifficulties) {
        const ProgressRecord& record = profile.Record(difficulty);
        const test::RawRecord& rawRecord = raw.records[DifficultyIndex(difficulty)];
        for (GameMode mode : kKeptModes) {
            SCOPED_TRACE(testing::Message() << "difficulty " << DifficultyName(difficulty) << " mode " << ModeName(mode));
            EXPECT_EQ(rawRecord.score[ModeIndex(mode)], record.GetScore(mode));
            EXPECT_EQ(rawRecord.seconds[ModeIndex(mode)], record.GetSeconds(mode));
            const auto& rawLevels = rawRecord.levels[ModeIndex(mode)];
            ASSERT_EQ(rawLevels.size(), record.Levels(mode).size());
            for (const test::RawLevel& level : rawLevels) {
                const LevelEntry* entry = record.GetEntry(mode, level.path);
                ASSERT_NE(entry, nullptr) << level.path;
                EXPECT_EQ(level.state, static_cast<int32_t>(entry->state)) << level.path;
                EXPECT_EQ(level.best, entry->best) << level.path;
            }
        }
        EXPECT_EQ(rawRecord.mapPage, record.GetMapPage());
        EXPECT_EQ(rawRecord.reserved, record.GetReserved());
    }
    for (int award = 0; award < kAwardCount; ++award) {
        EXPECT_EQ(raw.pending[static_cast<size_t>(award)], profile.Awards().IsPending(award) ? 1 : 0) << award;
        EXPECT_EQ(raw.earned[static_cast<size_t>(award)], profile.Awards().IsEarned(award) ? 1 : 0) << award;
    }
    for (int hint = 0; hint < kHintCount; ++hint) {
        EXPECT_EQ(raw.hintCounters[static_cast<size_t>(hint)], profile.Awards().GetHintCounter(hint)) << hint;
    }
}

TEST(Persistence, ScratchFolderReadsBackFieldByField)
{
    test::ScratchStorage storage;
    storage.Write("map.xml", "<map><level><source>/level/original/001.xml</source></level>"
                             "<level><source>/level/original/002.xml</source></level></map>");
    storage.Write("set1.xml", "<set><l>/original/001</l><l>/original/002</l></set>");
    const GameStatePaths paths{storage.File("map.xml"), storage.Path() + "set%d.xml"};

    const std::string board = std::string("\x12\x00\x00\x00snapshot\xFF", 13);
    std::vector<IntrusivePtr<Profile>> expectedProfiles;
    std::vector<HighscoreTable::Pair> expectedScores;
    std::string savedPath;
    {
        auto state = std::make_unique<GameState>(paths);
        state->Profiles().Add(IntrusivePtr<Profile>(new Profile("Zed")));
        state->Profiles().Add(IntrusivePtr<Profile>(new Profile("Ren\xE9")));
        Profile& ren = *state->CurrentProfile();
        ren.SetHints(false);
        ren.Awards().TakeHint(0);
        ren.Awards().SetEarned(5);
        // A byte above 0x7F sorts after every ASCII path in the file.
        ren.Record(Difficulty::Hard).SetState(GameMode::Quest, "/level/original/\xE9.xml", LevelState::Open);

        // Two quest wins at Hard, one of them fast, then an arcade win rated 6.
        ren.SetDifficulty(Difficulty::Hard);
        for (const char* level : {"/level/original/002.xml", "/level/original/001.xml"}) {
            state->PrepareLevel(level, GameMode::Quest);
            state->AddScore(120, 0, 0);
            state->SetStat64(GameMode::Quest, StatCounter::TimeLeft, 30);
            state->SetTimeUsed(level[18] == '1' ? 30 : 70);
            state->SetWon(true);
            state->RecordLevelResult();
        }
        state->ResetLevelStats();
        state->PrepareLevel("/level/original/002.xml", GameMode::Arcade);
        state->SetAwardKey("quest_map3");
        state->SetTimeUsed(20);
        state->SetWon(true);
        LevelOutcome outcome = state->RecordLevelResult();
        EXPECT_EQ(outcome.newAwardIndex, 2);
        // A lost arcade run then enters the arcade table.
        state->AddScore(90000);
        state->SetWon(false);
        EXPECT_EQ(state->DecideNextScreen({-1, false}).screen, NextScreen::Highscore); // made the table

        // Leaving a level unfinished keeps the run in a saved game.
        state->SetBoardSnapshotHooks([&](tsv::RecordWriter& out) { out.WriteBytes(board.data(), board.size()); },
                                     nullptr);
        state->PrepareLevel("/level/original/001.xml", GameMode::Quest);
        state->SetAwardKey("quest_map1");
        for (int counter = 0; counter < kStatCount; ++counter) {
            state->SetStat(GameMode::Quest, StatAt(static_cast<size_t>(counter)), counter + 1);
            state->SetStat(GameMode::Arcade, StatAt(static_cast<size_t>(counter)), -counter);
        }
        ASSERT_TRUE(state->SaveGame());
        savedPath = state->SavedGamePath(GameMode::Quest);

        expectedProfiles = state->Profiles().Profiles();
        expectedScores = state->Highscores().Pairs();
        // Destruction is the end of the process: profiles and highscores are written.
    }
    EXPECT_EQ(storage.List(), (std::vector<std::string>{"highscore.dat", "map.xml", "profiles.dat",
                                                        "quest-52656EFFFFFFE9.dat", "set1.xml"}));

    std::string why;
    auto profiles = test::ParseProfiles(storage.Read("profiles.dat"), &why);
    ASSERT_TRUE(profiles) << why;
    ASSERT_EQ(profiles->size(), expectedProfiles.size());
    for (size_t i = 0; i < profiles->size(); ++i) {
        ExpectSameProfile(*expectedProfiles[i], (*profiles)[i]);
    }
    // What the play left, read from the bytes alone.
    const test::RawProfile& ren = (*profiles)[0];
    EXPECT_EQ(ren.name, "Ren\xE9");
    EXPECT_EQ(ren.hints, 0);
    EXPECT_EQ(static_cast<Difficulty>(ren.difficulty), Difficulty::Normal); // the arcade level set it
    EXPECT_EQ(ren.records[2].score[0], 2 * (120 + 30 * 50 * 2));
    ASSERT_EQ(ren.records[2].levels[0].size(), 3u);
    EXPECT_EQ(static_cast<LevelState>(ren.records[2].levels[0][0].state), LevelState::CompletedFast);
    EXPECT_EQ(static_cast<LevelState>(ren.records[2].levels[0][1].state), LevelState::Completed);
    EXPECT_EQ(ren.records[2].levels[0][2].path, "/level/original/\xE9.xml");
    ASSERT_EQ(ren.records[1].levels[1].size(), 2u);
    EXPECT_EQ(ren.records[1].levels[1][1].path, "/level/original/002.xml");
    EXPECT_EQ(ren.records[1].levels[1][1].best, 6);
    EXPECT_EQ(ren.records[1].score[1], 0); // the lost run ended
    EXPECT_EQ(ren.pending[2], 1);
    EXPECT_EQ(ren.earned[5], 1);
    EXPECT_EQ(ren.hintCounters[0], 0);
    EXPECT_EQ(ren.hintCounters[1], 1);

    auto scores = test::ParseHighscores(storage.Read("highscore.dat"), &why);
    ASSERT_TRUE(scores) << why;
    ASSERT_EQ(scores->size(), expectedScores.size());
    ASSERT_EQ(scores->size(), 20u);
    for (size_t i = 0; i < scores->size(); ++i) {
        EXPECT_EQ((*scores)[i].table, static_cast<int32_t>(expectedScores[i].first)) << i;
        EXPECT_EQ((*scores)[i].name, expectedScores[i].second->GetName()) << i;
        EXPECT_EQ((*scores)[i].score, expectedScores[i].second->GetScore()) << i;
    }
    EXPECT_EQ((*scores)[12].table, 1); // below 100000 and the older, equal 90000
    EXPECT_EQ((*scores)[12].name, "Ren\xE9");
    EXPECT_EQ((*scores)[12].score, 90000);

    auto saved = test::ParseSavedGame(storage.Read("quest-52656EFFFFFFE9.dat"), &why);
    ASSERT_TRUE(saved) << why;
    EXPECT_EQ(saved->levelPath, "/level/original/001.xml");
    EXPECT_EQ(saved->awardKey, "quest_map1");
    for (int counter = 0; counter < kStatCount; ++counter) {
        EXPECT_EQ(saved->stats[0][static_cast<size_t>(counter)], counter + 1);
        EXPECT_EQ(saved->stats[1][static_cast<size_t>(counter)], -counter);
    }
    EXPECT_EQ(saved->board, board);

    // The next start reads the same state back.
    GameState next(paths);
    ASSERT_EQ(next.Profiles().Count(), 2);
    ExpectSameProfile(*next.CurrentProfile(), ren);
    EXPECT_TRUE(next.SavedGameExists(GameMode::Quest));
}

} // namespace
} // namespace bsh
