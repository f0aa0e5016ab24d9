#include "game/progress/gamestate.h"

#include "support/bytes.h"
#include "support/recordfilereader.h"
#include "support/scratchstorage.h"

#include <gtest/gtest.h>

#include <memory>

namespace bsh {
namespace {

using tsv::IntrusivePtr;

const std::string kL1 = "/level/original/001.xml";
const std::string kL2 = "/level/original/002.xml";
const std::string kL3 = "/level/original/003.xml";

// A scratch folder with a three-level quest map and four arcade sets, and a
// game state over it whose current profile is "Ann".
class GameStateTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        storage.Write("map.xml", "<map>\n"
                                 "  <level><source>/level/original/001.xml</source><x>0</x></level>\n"
                                 "  <text>not a level</text>\n"
                                 "  <level><source>/level/original/002.xml</source></level>\n"
                                 "  <level><source>/level/original/003.xml</source><bonus/></level>\n"
                                 "</map>\n");
        storage.Write("set1.xml", "<set><l>/original/001</l><l>/original/002</l></set>");
        storage.Write("set2.xml", "<set><l>/original/003</l></set>");
        storage.Write("set3.xml", "<set><l>/original/040</l></set>");
        storage.Write("set4.xml", "<set><l>/original/041</l></set>");
        state = std::make_unique<GameState>(Paths());
        state->Profiles().Add(IntrusivePtr<Profile>(new Profile("Ann")));
    }

    // The current player ("Ann" unless a test adds another).
    Profile& Ann() { return *state->CurrentProfile(); }

    GameStatePaths Paths() const { return {storage.File("map.xml"), storage.Path() + "set%d.xml"}; }

    // Plays a level to the end: the board's part is the time left and used.
    LevelOutcome Finish(const std::string& level, GameMode mode, bool won, int32_t timeUsed, int64_t secondsLeft,
                        const std::string& awardKey = "")
    {
        state->PrepareLevel(level, mode);
        state->SetAwardKey(awardKey);
        state->SetStat64(mode, StatCounter::TimeLeft, secondsLeft);
        state->SetTimeUsed(timeUsed);
        state->SetWon(won);
        return state->RecordLevelResult();
    }

    test::ScratchStorage storage;
    std::unique_ptr<GameState> state;
};

// At any difficulty a quest win is fast with at most half of the time used.
TEST_F(GameStateTest, QuestWinsAtEachDifficulty)
{
    struct Case {
        Difficulty difficulty;
        int32_t timeUsed;
        LevelState state;
    };
    const Case cases[] = {
        {Difficulty::Easy, 50, LevelState::CompletedFast},  {Difficulty::Easy, 51, LevelState::Completed},
        {Difficulty::Normal, 10, LevelState::CompletedFast}, {Difficulty::Normal, 99, LevelState::Completed},
        {Difficulty::Hard, 40, LevelState::CompletedFast}, {Difficulty::Hard, 60, LevelState::Completed},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "difficulty " << DifficultyName(c.difficulty) << ", time used " << c.timeUsed);
        Ann().SetDifficulty(c.difficulty);
        ProgressRecord& record = Ann().Record();
        record.ClearLevels(GameMode::Quest);
        Ann().Record(Difficulty::Normal).ClearLevels(GameMode::Arcade);

        LevelOutcome outcome = Finish(kL2, GameMode::Quest, true, c.timeUsed, 10);
        EXPECT_EQ(outcome.fast, c.state == LevelState::CompletedFast);
        EXPECT_EQ(record.GetState(GameMode::Quest, kL2), c.state);
        // Winning in the quest opens the level in the arcade, which is kept at Normal.
        EXPECT_EQ(Ann().Record(Difficulty::Normal).GetState(GameMode::Arcade, kL2), LevelState::Open);
    }
    // An arcade entry that already exists is left alone.
    Ann().Record(Difficulty::Normal).SetState(GameMode::Arcade, kL3, LevelState::Completed);
    Finish(kL3, GameMode::Quest, true, 10, 10);
    EXPECT_EQ(Ann().Record(Difficulty::Normal).GetState(GameMode::Arcade, kL3), LevelState::Completed);

    // A lost level changes nothing.
    Ann().SetDifficulty(Difficulty::Hard);
    int32_t score = Ann().Record().GetScore(GameMode::Quest);
    LevelOutcome lost = Finish(kL2, GameMode::Quest, false, 10, 10);
    EXPECT_EQ(Ann().Record().GetScore(GameMode::Quest), score);
    EXPECT_EQ(Ann().Record().GetState(GameMode::Quest, kL2), LevelState::Completed);
    EXPECT_FALSE(lost.fast);
    EXPECT_EQ(lost.newAwardIndex, -1);
}

TEST_F(GameStateTest, LevelScoreRoundsTowardZero)
{
    auto scoreFor = [&](GameMode mode, Difficulty difficulty, int64_t seconds) {
        Ann().SetDifficulty(difficulty);
        state->SetMode(mode);
        state->SetStat64(mode, StatCounter::TimeLeft, seconds);
        return state->LevelScore();
    };
    EXPECT_EQ(scoreFor(GameMode::Quest, Difficulty::Easy, 7), 43);   // 350 / 8
    EXPECT_EQ(scoreFor(GameMode::Quest, Difficulty::Easy, -7), -43); // not -44
    EXPECT_EQ(scoreFor(GameMode::Quest, Difficulty::Normal, 3), 75);
    EXPECT_EQ(scoreFor(GameMode::Quest, Difficulty::Hard, 3), 300);
    EXPECT_EQ(scoreFor(GameMode::Arcade, Difficulty::Hard, 7), 175);
    // Only the low half of the time left counts.
    EXPECT_EQ(scoreFor(GameMode::Arcade, Difficulty::Normal, (int64_t{1} << 32) + 2), 50);
    state->SetMode(GameMode::None);
    EXPECT_EQ(state->LevelScore(), 0);
}

TEST_F(GameStateTest, ArcadeRatingsByTimeUsedRaiseTheBestOnly)
{
    const std::pair<int32_t, int32_t> ratings[] = {{0, 6},  {25, 6}, {26, 5}, {33, 5}, {34, 4},
                                                   {50, 4}, {51, 3}, {75, 3}, {76, 2}, {100, 2}};
    for (auto [timeUsed, rating] : ratings) {
        state->SetTimeUsed(timeUsed);
        EXPECT_EQ(state->Rating(), rating) << "time used " << timeUsed;
    }
    Ann().SetDifficulty(Difficulty::Hard);
    Finish(kL1, GameMode::Arcade, true, 60, 0);
    EXPECT_EQ(Ann().GetDifficulty(), Difficulty::Normal); // the arcade is played at Normal
    const LevelEntry* entry = Ann().Record(Difficulty::Normal).GetEntry(GameMode::Arcade, kL1);
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->state, LevelState::Completed);
    EXPECT_EQ(entry->best, 3);
    Finish(kL1, GameMode::Arcade, true, 30, 0);
    EXPECT_EQ(entry->state, LevelState::CompletedFast);
    EXPECT_EQ(entry->best, 5);
    Finish(kL1, GameMode::Arcade, true, 90, 0);
    EXPECT_EQ(entry->state, LevelState::Completed);
    EXPECT_EQ(entry->best, 5);
}

TEST_F(GameStateTest, SetAwardsCompleteAndBestInOnePass)
{
    // Level 002 is open in the arcade but never won: the first set earns nothing.
    Finish(kL2, GameMode::Quest, true, 60, 0);
    LevelOutcome outcome = Finish(kL1, GameMode::Arcade, true, 10, 0);
    EXPECT_EQ(outcome.newAwardIndex, -1);
    for (int award = 0; award < kAwardCount; ++award) {
        EXPECT_FALSE(Ann().Awards().IsPending(award)) << award;
    }

    // The last level of the set at the top rating. The level's own award was
    // presented before, so the set's complete award supplies the new-award index;
    // with the other sets' best awards in hand, the all-sets award follows.
    AwardBlock& awards = Ann().Awards();
    awards.SetEarned(AwardIndex("quest_map1"));
    awards.SetEarned(13);
    awards.SetEarned(14);
    awards.SetPending(15);
    outcome = Finish(kL2, GameMode::Arcade, true, 20, 0, "quest_map1");
    EXPECT_EQ(outcome.newAwardIndex, AwardIndex("arcade_complete1"));
    EXPECT_FALSE(awards.IsPending(AwardIndex("quest_map1")));
    EXPECT_TRUE(awards.IsPending(AwardIndex("arcade_complete1")));
    EXPECT_TRUE(awards.IsPending(AwardIndex("arcade_best1")));
    EXPECT_TRUE(awards.IsPending(AwardIndex("arcade_complete_all")));
    EXPECT_FALSE(awards.IsPending(AwardIndex("arcade_complete2")));
    EXPECT_FALSE(awards.IsPending(AwardIndex("total_complete")));

    // Once presented, winning again grants nothing new.
    for (int award : {8, 12, 17}) {
        awards.SetPending(award, false);
        awards.SetEarned(award);
    }
    EXPECT_EQ(Finish(kL2, GameMode::Arcade, true, 20, 0).newAwardIndex, -1);

    // The lowest rating, 2 (most of the time used), still completes the set,
    // without the best award.
    Finish(kL3, GameMode::Quest, true, 60, 0);
    EXPECT_EQ(Finish(kL3, GameMode::Arcade, true, 90, 0).newAwardIndex, AwardIndex("arcade_complete2"));
    EXPECT_EQ(Ann().Record(Difficulty::Normal).GetEntry(GameMode::Arcade, kL3)->best, 2);
    EXPECT_FALSE(awards.IsPending(AwardIndex("arcade_best2")));
}

TEST_F(GameStateTest, LevelAwardAndTheWholeQuest)
{
    EXPECT_EQ(Finish(kL1, GameMode::Quest, true, 80, 0, "quest_map2").newAwardIndex, 1);
    EXPECT_FALSE(state->IsQuestComplete());

    Finish(kL2, GameMode::Quest, true, 60, 0);
    EXPECT_EQ(Ann().Awards().IsPending(AwardSlot(Award::TotalComplete)), false);
    LevelOutcome outcome = Finish(kL3, GameMode::Quest, true, 10, 0);
    EXPECT_TRUE(state->IsQuestComplete());
    EXPECT_EQ(outcome.newAwardIndex, AwardSlot(Award::TotalComplete));
    // Another difficulty has its own quest.
    Ann().SetDifficulty(Difficulty::Easy);
    EXPECT_FALSE(state->IsQuestComplete());
}

TEST_F(GameStateTest, NextScreenDecisions)
{
    auto scoreOfAnn = [&](GameMode table) {
        for (const auto& entry : state->Highscores().EntriesOf(table)) {
            if (entry->GetName() == "Ann") {
                return entry->GetScore();
            }
        }
        return -1;
    };
    auto decide = [&](GameMode mode, bool won, int32_t runScore, LevelOutcome outcome = {}) {
        state->PrepareLevel(kL1, mode);
        state->SetWon(won);
        Ann().Record().SetScore(mode, runScore);
        state->SetStat(mode, StatCounter::Jewels, 9);
        return state->DecideNextScreen(outcome);
    };

    // A new award goes to the treasury; nobody enters a table.
    EXPECT_EQ(decide(GameMode::Quest, true, 500000, {3, true}).screen, NextScreen::Treasury);
    EXPECT_EQ(scoreOfAnn(GameMode::Quest), -1);

    NextScreenDecision map = decide(GameMode::Quest, true, 500000, {-1, true});
    EXPECT_EQ(map.screen, NextScreen::QuestMap);
    EXPECT_EQ(map.completedLevel, kL1);
    EXPECT_TRUE(map.completedFast);
    EXPECT_EQ(scoreOfAnn(GameMode::Quest), -1);

    // A lost run enters its mode's table and ends, whether it made the table or not.
    NextScreenDecision lost = decide(GameMode::Quest, false, 500000);
    EXPECT_EQ(lost.screen, NextScreen::Highscore);
    EXPECT_EQ(scoreOfAnn(GameMode::Quest), 500000);
    EXPECT_EQ(Ann().Record().GetScore(GameMode::Quest), 0);
    EXPECT_EQ(state->GetStat(GameMode::Quest, StatCounter::Jewels), 0);
    lost = decide(GameMode::Arcade, false, 5);
    EXPECT_EQ(lost.screen, NextScreen::MainMenu); // too small for the table, and over all the same
    EXPECT_EQ(Ann().Record().GetScore(GameMode::Arcade), 0);

    // A won arcade level offers the run to the arcade table and keeps it going.
    NextScreenDecision arcade = decide(GameMode::Arcade, true, 7);
    EXPECT_EQ(arcade.screen, NextScreen::ArcadeSelection);
    EXPECT_EQ(Ann().Record().GetScore(GameMode::Arcade), 7);
    EXPECT_EQ(decide(GameMode::Arcade, true, 70000).screen, NextScreen::Highscore);
    EXPECT_EQ(scoreOfAnn(GameMode::Arcade), 70000);
}

TEST_F(GameStateTest, DecliningAResumeOffersTheRunToTheTableAndDropsTheSavedGame)
{
    state->PrepareLevel(kL1, GameMode::Quest);
    ASSERT_TRUE(state->SaveGame());
    Ann().Record().SetScore(GameMode::Quest, 5);
    NextScreenDecision small = state->DeclineResume(GameMode::Quest);
    EXPECT_FALSE(state->SavedGameExists(GameMode::Quest));
    EXPECT_EQ(small.screen, NextScreen::QuestMap);
    EXPECT_EQ(small.highscoreReturn, GameMode::None);
    EXPECT_EQ(Ann().Record().GetScore(GameMode::Quest), 0); // the run is over

    // A run good enough for the table is shown there first; the highscore
    // screen then clears it and returns to the arcade selection.
    state->PrepareLevel(kL1, GameMode::Arcade);
    ASSERT_TRUE(state->SaveGame());
    Ann().Record().SetScore(GameMode::Arcade, 900000);
    NextScreenDecision big = state->DeclineResume(GameMode::Arcade);
    EXPECT_FALSE(state->SavedGameExists(GameMode::Arcade));
    EXPECT_EQ(big.screen, NextScreen::Highscore);
    EXPECT_EQ(big.highscoreReturn, GameMode::Arcade);
    EXPECT_EQ(Ann().Record().GetScore(GameMode::Arcade), 900000);
}

TEST_F(GameStateTest, AddScoreFollowsTheMultiplierAndNeverGoesBelowZero)
{
    std::vector<ScoreEvent> events;
    state->SetScoreListener([&](const ScoreEvent& event) { events.push_back(event); });
    state->AddScore(100, 10, 10);
    EXPECT_TRUE(events.empty()); // no mode yet

    state->PrepareLevel(kL1, GameMode::Quest);
    state->AddScore(25, -30, 40);
    state->SetScoreMultiplier(3);
    state->AddScore(10);
    EXPECT_EQ(Ann().Record().GetScore(GameMode::Quest), 55);
    state->AddScore(-1000, 0, 0);
    EXPECT_EQ(Ann().Record().GetScore(GameMode::Quest), 0);
    EXPECT_EQ(Ann().Record().GetScore(GameMode::Arcade), 0);

    ASSERT_EQ(events.size(), 3u);
    EXPECT_TRUE(events[0].popup);
    EXPECT_EQ(events[0].points, 25);
    EXPECT_FLOAT_EQ(events[0].x, -30.0f);
    EXPECT_FALSE(events[1].popup); // the (2000, 2000) call
    EXPECT_EQ(events[1].points, 30);
    EXPECT_EQ(events[1].multiplier, 3);
    EXPECT_EQ(events[1].runScore, 55);
    EXPECT_EQ(events[2].runScore, 0);

    state->SetScoreMultiplier(9);
    state->RaiseScoreMultiplier();
    EXPECT_EQ(state->GetScoreMultiplier(), 10);
    state->RaiseScoreMultiplier();
    EXPECT_EQ(state->GetScoreMultiplier(), 0);
}

TEST_F(GameStateTest, SavedGameResumesWithTheBoardSnapshotAndStaysUntilDeleted)
{
    EXPECT_EQ(state->SavedGamePath(GameMode::Quest), storage.File("quest-416E6E.dat"));
    state->Profiles().Add(IntrusivePtr<Profile>(new Profile("Ren\xE9")));
    EXPECT_EQ(state->SavedGamePath(GameMode::Arcade), storage.File("survival-52656EFFFFFFE9.dat"));
    {
        // Twenty double-byte characters would make a name of over 300 bytes:
        // a short, stable digest stands in, and a saved run fits the file system.
        std::string longName;
        for (int i = 0; i < 20; ++i) {
            longName += "\x93\xFA";
        }
        GameState other(Paths());
        other.Profiles().Add(IntrusivePtr<Profile>(new Profile(longName)));
        const std::string path = other.SavedGamePath(GameMode::Quest);
        const std::string file = path.substr(path.find_last_of('/') + 1);
        EXPECT_LE(file.size(), GameState::kMaxSavedGameNameBytes);
        EXPECT_EQ(file.rfind("quest-N", 0), 0u) << file;
        EXPECT_EQ(other.SavedGamePath(GameMode::Quest), path);
        other.Profiles().Add(IntrusivePtr<Profile>(new Profile(longName + "x")));
        other.Profiles().Select(longName + "x");
        EXPECT_NE(other.SavedGamePath(GameMode::Quest), path);
    }

    std::string boardSeen;
    state->SetBoardSnapshotHooks([](tsv::RecordWriter& out) { out.WriteString("board"); },
                                 [&](tsv::RecordReader& in) { return in.ReadString(boardSeen); });
    state->PrepareLevel(kL2, GameMode::Arcade);
    state->SetAwardKey("arcade_best2");
    state->SetStat(GameMode::Quest, StatCounter::Jewels, 11);
    state->SetStat64(GameMode::Arcade, StatCounter::TimePlayed, int64_t{5} << 32 | 9);
    ASSERT_TRUE(state->SaveGame());
    EXPECT_TRUE(state->SavedGameExists(GameMode::Arcade));
    EXPECT_FALSE(state->SavedGameExists(GameMode::Quest));

    state->ResetLevelStats();
    state->PrepareLevel("", GameMode::Arcade); // an empty path resumes
    ASSERT_TRUE(state->LoadGame());
    EXPECT_EQ(boardSeen, "board");
    EXPECT_EQ(state->GetLevelPath(), kL2);
    EXPECT_EQ(state->GetAwardKey(), "arcade_best2");
    EXPECT_EQ(state->GetStat(GameMode::Quest, StatCounter::Jewels), 11);
    EXPECT_EQ(state->GetStat64(GameMode::Arcade, StatCounter::TimePlayed), int64_t{5} << 32 | 9);
    // Resuming keeps the file until the level ends: a crash meanwhile loses nothing.
    EXPECT_TRUE(state->SavedGameExists(GameMode::Arcade));
    boardSeen.clear();
    EXPECT_TRUE(state->LoadGame());
    EXPECT_EQ(boardSeen, "board");
    EXPECT_EQ(state->GetLevelPath(), kL2);

    // A run cut short does not resume, and its bytes are kept aside.
    std::string cut = storage.Read("survival-52656EFFFFFFE9.dat");
    cut.resize(cut.size() - 10);
    storage.Write("survival-52656EFFFFFFE9.dat", cut);
    EXPECT_FALSE(state->LoadGame());
    EXPECT_EQ(storage.ReadDamaged("survival-52656EFFFFFFE9.dat"), cut);

    ASSERT_TRUE(state->SaveGame());
    state->DeleteSavedGame(GameMode::Arcade);
    EXPECT_FALSE(state->SavedGameExists(GameMode::Arcade));
}

TEST(GameStateStartUp, GeneratesEmptyTablesAndSavesAtTheEnd)
{
    test::ScratchStorage storage;
    storage.Write("highscore.dat", test::Le32(1) + test::Le32(1) + test::Str("Solo") + test::Le32(77));
    {
        GameState state(GameStatePaths{storage.File("none.xml"), storage.Path() + "none%d.xml"});
        EXPECT_EQ(state.Profiles().Count(), 0);
        EXPECT_EQ(state.Highscores().CountOf(GameMode::Quest), 10);
        ASSERT_EQ(state.Highscores().CountOf(GameMode::Arcade), 1);
        EXPECT_EQ(state.Highscores().EntriesOf(GameMode::Arcade).front()->GetName(), "Solo");
        EXPECT_EQ(state.GetMode(), GameMode::None);
        EXPECT_TRUE(state.ArcadeSet(0).empty());
        EXPECT_FALSE(storage.Exists("profiles.dat"));
    }
    // Destruction wrote both files.
    auto scores = test::ParseHighscores(storage.Read("highscore.dat"));
    ASSERT_TRUE(scores);
    EXPECT_EQ(scores->size(), 11u);
    EXPECT_EQ(scores->back().name, "Solo");
    EXPECT_EQ(storage.Read("profiles.dat"), test::Le32(0));
}

// What a win records, timed and relaxed: a relaxed win opens what any win
// opens and may earn its level's award, but earns no time bonus, is never
// fast (no bonus level), gives no arcade rating and enters no table.
TEST_F(GameStateTest, ARelaxedWinRecordsTheWinButNoSpeed)
{
    struct Case {
        const char* name;
        GameMode mode;
        bool relaxed;
        int32_t scoreAdded;      // the time bonus of 40 s left at Normal
        LevelState state;        // the level's state afterwards
        int32_t best;            // arcade: the rating kept
        NextScreen next;
    };
    const Case cases[] = {
        {"quest, timed", GameMode::Quest, false, 1000, LevelState::CompletedFast, -1, NextScreen::QuestMap},
        {"quest, relaxed", GameMode::Quest, true, 0, LevelState::Completed, -1, NextScreen::QuestMap},
        {"arcade, timed", GameMode::Arcade, false, 1000, LevelState::CompletedFast, 6, NextScreen::Highscore},
        {"arcade, relaxed", GameMode::Arcade, true, 0, LevelState::Completed, 0, NextScreen::ArcadeSelection},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        state->Profiles().Add(IntrusivePtr<Profile>(new Profile(c.name))); // a fresh player each
        Ann().Record().SetScore(c.mode, 900000); // enough for any table
        state->SetClockOverride(c.relaxed ? GameState::ClockOverride::Relaxed : GameState::ClockOverride::Timed);
        const int32_t before = Ann().Record().GetScore(c.mode);
        const LevelOutcome outcome = Finish(kL1, c.mode, true, 10, 40, "quest_map1");
        EXPECT_EQ(state->IsLevelRelaxed(), c.relaxed);
        EXPECT_EQ(state->LevelScore(), c.scoreAdded); // what the summary shows as the time bonus
        EXPECT_EQ(Ann().Record().GetScore(c.mode) - before, c.scoreAdded);
        EXPECT_EQ(outcome.fast, !c.relaxed);
        EXPECT_EQ(Ann().Record().GetState(c.mode, kL1), c.state);
        EXPECT_NE(outcome.newAwardIndex, -1); // the level's award does not depend on speed
        if (c.best >= 0) {
            EXPECT_EQ(Ann().Record(Difficulty::Normal).GetEntry(GameMode::Arcade, kL1)->best, c.best);
        }
        EXPECT_EQ(state->DecideNextScreen({-1, outcome.fast}).screen, c.next);
    }
}

// The clock is the player's own, kept in a file of its own beside the
// profiles; a damaged one means defaults and nothing else is touched.
TEST_F(GameStateTest, TheClockIsEachPlayersOwnAndADamagedExtrasFileLosesNothingElse)
{
    state->Profiles().Add(IntrusivePtr<Profile>(new Profile("Bo")));
    EXPECT_FALSE(state->IsClockRelaxed());
    state->SetClockRelaxed(true);
    EXPECT_TRUE(state->IsClockRelaxed());
    state->Profiles().Select("Ann");
    EXPECT_FALSE(state->IsClockRelaxed());
    state->SetClockOverride(GameState::ClockOverride::Relaxed);
    EXPECT_TRUE(state->IsClockRelaxed()); // --clock for this run only
    state->SetClockOverride(GameState::ClockOverride::None);
    state->Profiles().Select("Bo");
    state.reset(); // saves

    // The file reads back; the next start knows Bo's clock.
    const std::string extras = storage.Read("extras.dat");
    ASSERT_FALSE(extras.empty());
    SetUp();
    state->Profiles().Select("Bo");
    EXPECT_TRUE(state->IsClockRelaxed());
    state.reset();

    // Damaged (a flag nobody writes): moved aside, defaults; the profiles stay.
    std::string damaged = extras;
    damaged[damaged.size() - 13] = '\x7F';
    storage.Write("extras.dat", damaged);
    const std::string profiles = storage.Read("profiles.dat");
    GameState again(GameStatePaths{storage.File("map.xml")});
    again.Profiles().Select("Bo");
    EXPECT_FALSE(again.IsClockRelaxed());
    EXPECT_EQ(storage.Read("profiles.dat"), profiles);
    EXPECT_EQ(storage.ReadDamaged("extras.dat"), damaged);
}

} // namespace
} // namespace bsh
