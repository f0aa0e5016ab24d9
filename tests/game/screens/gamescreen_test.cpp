// The board screen over a real board: the mouse becomes swaps, and the level
// ends as the player expects.

#include "engine/gui/screenstack.h"
#include "engine/platform/keynames.h"
#include "game/board/boardtest.h"
#include "game/progress/endlessrun.h"
#include "game/progress/replay.h"
#include "support/testsupport.h"
#include "game/screens/gamescreen.h"

#include <algorithm>
#include <random>

namespace bsh::test {
namespace {

class GameScreenTest : public BoardTest {
protected:
    void SetUp() override
    {
        BoardTest::SetUp();
        SetTutorialsDue(0); // a player who has read them all; the HUD tests hand some out
    }
    void TearDown() override
    {
        tsv::ScreenStack::Instance().Clear();
        tsv::Application::Instance().GetTimer().SetRunning(true);
        BoardTest::TearDown();
    }
    tsv::IntrusivePtr<GameScreen> Open(const std::string& level,
                                       GameScreen::Showing showing = GameScreen::Showing::Play)
    {
        storageHolder->Write("screen.xml", level);
        tsv::IntrusivePtr<GameScreen> screen(new GameScreen(*state, storageHolder->File("screen.xml"), GameMode::Arcade,
                                                            LevelSession::Player::Person, nullptr, showing));
        EXPECT_TRUE(screen->Start());
        screen->SetEndHandler([this](const BoardResult& r, GameScreen::Ending) {
            ended = true;
            result = r;
        });
        return screen;
    }
    void SetTutorialsDue(int times)
    {
        for (int hint = 0; hint < kHintCount; ++hint) {
            state->CurrentProfile()->Awards().SetHintCounter(hint, times);
        }
    }
    // Frames of 10 ms with the mouse held still at (x, y) in screen pixels.
    void Frames(GameScreen& screen, int64_t ms, float x = 0, float y = 0, bool down = false)
    {
        for (int64_t t = 0; t < ms && !ended; t += 10) {
            Advance(10);
            Scene().UpdateNodes();
            // The screens above the level (pause, tutorial texts) take their frame too.
            for (const tsv::ScreenPtr& other : std::vector<tsv::ScreenPtr>(tsv::ScreenStack::Instance().GetScreens())) {
                other->Run();
            }
            screen.Frame({{x, y, down}});
        }
    }
    static float ScreenX(int column) { return PlayField::ColumnX(column) + 400; }
    static float ScreenY(int row) { return PlayField::RowY(row) + 300; }

    // Three 1s come together when (2, 0) and (3, 0) change places.
    const std::vector<std::string> rows = {"1121", "3434", "4343"};
    bool ended = false;
    BoardResult result;
};

TEST_F(GameScreenTest, DragSwapsWithTheNeighbourAndTheRunClears)
{
    auto screen = Open(Level(rows, {}, {}, "<jewelsrequired>500</jewelsrequired>"));
    Frames(*screen, 50);
    Frames(*screen, 10, ScreenX(2), ScreenY(0), true);
    Frames(*screen, 10, ScreenX(2) + 12, ScreenY(0) + 3, true);
    Frames(*screen, 10, ScreenX(2) + 12, ScreenY(0) + 3, false);
    Frames(*screen, 1500);
    EXPECT_EQ(screen->Result().moves, 1);
    EXPECT_GE(Stat(StatCounter::Jewels), 3);
    EXPECT_GT(Score(), 0);
}

TEST_F(GameScreenTest, ClicksSelectMoveTheSelectionAndSwap)
{
    auto screen = Open(Level(rows, {}, {}, "<jewelsrequired>500</jewelsrequired>"));
    auto click = [&](int x, int y) {
        Frames(*screen, 10, ScreenX(x), ScreenY(y), true);
        Frames(*screen, 10, ScreenX(x) + 5, ScreenY(y) - 5, false); // 5 pixels is still a click
    };
    click(2, 0);
    EXPECT_EQ(screen->SelectedX(), 2);
    click(3, 1); // diagonal: the selection moves
    EXPECT_EQ(screen->SelectedX(), 3);
    EXPECT_EQ(screen->SelectedY(), 1);
    EXPECT_EQ(screen->Result().moves, 0);
    click(3, 1); // again: cleared
    EXPECT_EQ(screen->SelectedX(), -1);
    click(2, 0);
    click(3, 0); // a neighbour: swapped
    EXPECT_EQ(screen->SelectedX(), -1);
    EXPECT_EQ(screen->Result().moves, 1);
    Frames(*screen, 1500);
    EXPECT_GE(Stat(StatCounter::Jewels), 3);
}

TEST_F(GameScreenTest, MetObjectivesEndTheLevelAtTheNextCheckAsAWinButNotAPreviewsWithoutScore)
{
    // Nothing to do: done from the start, but a preview shows the board and never ends.
    auto screen = Open(Level(rows), GameScreen::Showing::Preview);
    ASSERT_TRUE(screen->Score());
    EXPECT_FALSE(screen->Score()->Node()->IsVisible());
    Frames(*screen, LevelSession::kDoneCheckMs + LevelSession::kCompleteDelayMs + 500);
    EXPECT_FALSE(ended);
    EXPECT_FALSE(state->IsWon());

    screen = Open(Level(rows));
    Frames(*screen, LevelSession::kDoneCheckMs + LevelSession::kCompleteDelayMs - 100);
    EXPECT_FALSE(ended);
    EXPECT_FALSE(screen->IsInputAllowed());
    Frames(*screen, 200);
    ASSERT_TRUE(ended);
    EXPECT_TRUE(result.won);
    EXPECT_TRUE(state->IsWon());
    EXPECT_GT(result.timeLeftMs, 50000);
    EXPECT_EQ(state->GetStat64(GameMode::Arcade, StatCounter::TimeLeft), result.timeLeftMs / 1000);
}

TEST_F(GameScreenTest, GlitterMarksNineCellsButNotTen)
{
    for (int wood : {9, 10}) {
        SCOPED_TRACE(wood);
        ended = false;
        // `wood` wooden cells on a board with a move (the 1s of the first row).
        std::vector<std::string> fill = {"0000", "0000", "0000"};
        for (int i = 0; i < wood; ++i) {
            fill[static_cast<size_t>(i / 4)][static_cast<size_t>(i % 4)] = '1';
        }
        auto screen = Open(Level(rows, {}, fill));
        Frames(*screen, LevelSession::kHintDelayQuiet + 200);
        EXPECT_EQ(screen->LastGlitterCount(), wood < 10 ? wood : 0);
        tsv::ScreenStack::Instance().Clear();
    }
}

TEST_F(GameScreenTest, TheHeartbeatQuickensAsTheTimeRunsOutAndTimeUpEndsTheLevelFourSecondsLaterAsALoss)
{
    auto screen = Open(Level(rows, {}, {}, "<jewelsrequired>500</jewelsrequired>"));
    std::vector<std::pair<int64_t, int64_t>> beats; // (when, time left then)
    for (int64_t t = 0; t < 60000 && !ended; t += 10) {
        Frames(*screen, 10);
        if (screen->LastHeartbeat() != 0 && (beats.empty() || beats.back().first != screen->LastHeartbeat())) {
            beats.emplace_back(screen->LastHeartbeat(), screen->Board().GetTimeLeft());
        }
    }
    ASSERT_GE(beats.size(), 6u);
    // None while more than a fifth of the time is left.
    EXPECT_LT(beats.front().second, 12000);
    EXPECT_GT(beats.front().second, 11000);
    // Each gap is more than 500 + 4000 x the fraction left, so the gaps shrink.
    for (size_t i = 1; i < beats.size(); ++i) {
        const int64_t gap = beats[i].first - beats[i - 1].first;
        EXPECT_GE(gap, 500 + 4000 * beats[i].second / 60000) << i;
        EXPECT_LE(gap, 500 + 4000 * beats[i - 1].second / 60000 + 10) << i;
    }
    EXPECT_LT(beats.back().first - beats[beats.size() - 2].first, beats[1].first - beats[0].first);

    EXPECT_FALSE(ended);
    EXPECT_FALSE(screen->IsInputAllowed());
    Frames(*screen, LevelSession::kGameOverDelayMs + 100);
    ASSERT_TRUE(ended);
    EXPECT_FALSE(result.won);
    EXPECT_EQ(result.timeLeftMs, 0);
    EXPECT_EQ(state->GetStat64(GameMode::Arcade, StatCounter::TimePlayed), result.timePlayedMs / 1000);
    EXPECT_GE(result.timePlayedMs, 60000 + LevelSession::kGameOverDelayMs);
}

TEST_F(GameScreenTest, TutorialTextsShowOnceEachAndTheyAndThePauseStopTheClock)
{
    SetTutorialsDue(1);
    auto screen = Open(Level(rows, {}, {}, "<jewelsrequired>500</jewelsrequired>"));
    Frames(*screen, 10); // the objective's text comes with the first frame
    EXPECT_EQ(screen->ShownTutorial(), "Hints.jewelsMode");
    EXPECT_EQ(state->CurrentProfile()->Awards().GetHintCounter(HintIndex(HintRecord::Flag::JewelsMode)), 0);
    // After half a second of reading, the level's clock stands still.
    Frames(*screen, 600);
    const int64_t left = screen->Board().GetTimeLeft();
    Frames(*screen, 1000);
    EXPECT_EQ(screen->Board().GetTimeLeft(), left);
    EXPECT_FALSE(tsv::Application::Instance().GetTimer().IsRunning());
    tsv::ScreenStack::Instance().Clear(); // the player closes it
    EXPECT_TRUE(tsv::Application::Instance().GetTimer().IsRunning());

    // A second level with the same objective shows no text: the counter is spent,
    // and the profile keeps it.
    screen = Open(Level(rows, {}, {}, "<jewelsrequired>500</jewelsrequired>"));
    EXPECT_EQ(screen->ShownTutorial(), "");
    EXPECT_EQ(state->CurrentProfile()->Awards().GetHintCounter(HintIndex(HintRecord::Flag::JewelsMode)), 0);

    // The pause stops the clock until it goes.
    Frames(*screen, 100);
    screen->OpenPause();
    ASSERT_EQ(tsv::ScreenStack::Instance().Count(), 1u); // the game screen is not on the stack in this test
    const int64_t paused = screen->Board().GetTimeLeft();
    Frames(*screen, 3000);
    EXPECT_EQ(screen->Board().GetTimeLeft(), paused);
    tsv::ScreenStack::Instance().Clear();
    Frames(*screen, 1000);
    EXPECT_LT(screen->Board().GetTimeLeft(), paused);
}

TEST_F(GameScreenTest, ABonusLevelsArtifactGetsItsTextAndACircleThatFades)
{
    state->CurrentProfile()->Awards().SetHintCounter(HintIndex(HintRecord::Flag::BonusLevel), 1);
    auto screen = Open(Level({"1121", "34A4", "4343"}, Alias('A', "artifact", 2)));
    Frames(*screen, 3100);
    EXPECT_EQ(screen->ShownTutorial(), "Hints.bonusLevel");
    ASSERT_EQ(screen->HintCircles().size(), 1u);
    const tsv::SceneNodePtr circle = screen->HintCircles().front();
    EXPECT_EQ(circle->GetPosition().x, PlayField::ColumnX(2)); // around the artifact
    EXPECT_EQ(circle->GetPosition().y, PlayField::RowY(1));
    EXPECT_TRUE(circle->IsVisible());
    tsv::ScreenStack::Instance().Clear(); // the text read
    Frames(*screen, 4100);
    EXPECT_LE(circle->GetExpiry(), Now()); // gone with its fade
}

TEST_F(GameScreenTest, ABoardWithoutMovesSaysSoAndReshuffles)
{
    // No colour three times: no swap can make a run.
    auto screen = Open(Level({"1234", "5678", "3456"}, {}, {"1111", "1111", "1111"})); // wood: an objective
    // Found when the hint is due, said three seconds later while the pieces shake.
    Frames(*screen, LevelSession::kHintDelayQuiet + 100);
    EXPECT_TRUE(screen->IsNoMovesPending());
    EXPECT_EQ(screen->ShownMessage(), "");
    Frames(*screen, LevelSession::kNoMovesNoticeMs);
    EXPECT_EQ(screen->ShownMessage(), "noMoves");
    Frames(*screen, LevelSession::kNoMovesReshuffleMs - LevelSession::kNoMovesNoticeMs + 1000);
    EXPECT_FALSE(screen->IsNoMovesPending());
    EXPECT_EQ(screen->Result().reshuffles, 1);
    EXPECT_FALSE(ended);
}

TEST_F(GameScreenTest, TheEndlessBoardReshufflesWhereALevelWouldEndAndIsKeptWithItsBests)
{
    // No objective and no move: a level is won, the endless board deals anew.
    const std::string stuck = Level({"1234", "5678", "3456"});
    auto level = Open(stuck);
    Frames(*level, LevelSession::kDoneCheckMs + LevelSession::kCompleteDelayMs + 100);
    EXPECT_TRUE(ended);
    ended = false;

    // The same board kept as the player's endless board, with the figures it was left with.
    ASSERT_TRUE(Load(stuck));
    const EndlessTally kept{1234, 40, 3, 250};
    const std::string path = EndlessRun::PathFor("Ann");
    ASSERT_TRUE(EndlessRun::Save(path, kept, *board));
    auto endless = Open(stuck, GameScreen::Showing::Endless);
    EXPECT_EQ(endless->Tally(), kept);
    EXPECT_EQ(endless->Board().ColourAt(1, 1), 6);
    Frames(*endless, LevelSession::kHintDelayQuiet + LevelSession::kNoMovesReshuffleMs + 1000);
    EXPECT_EQ(endless->Result().reshuffles, 1);
    EXPECT_FALSE(ended);
    EXPECT_EQ(endless->Board().GetTimeLeft(), endless->Board().GetTimeLimit()); // no clock runs down
    EXPECT_GT(endless->Board().GetTimePlayed(), LevelSession::kHintDelayQuiet);

    // Leaving keeps the board as it is now and raises the bests it passed.
    state->Extras().Set("Ann", {false, 1000, 5, 100});
    endless->Leave();
    Frames(*endless, 100);
    ASSERT_TRUE(ended);
    EndlessTally saved;
    PlayFieldPtr again = NewBoard();
    ASSERT_EQ(EndlessRun::Load(path, saved, *again), EndlessRun::Read::Loaded);
    EXPECT_EQ(saved, endless->Tally());
    EXPECT_EQ(again->DumpText(), endless->Board().DumpText());
    EXPECT_EQ(state->Extras().Get("Ann"), (PlayerExtra{false, 1234, 5, 250}));
}

// A level played with uneven frames (1 to 50 ms), drags, clicks and keys,
// tutorial texts read and closed and the clock stopped a while, is recorded
// when it is left; played back, the board and the tutorial text shown are
// the same at every frame and the result line is the recorded one.
TEST_F(GameScreenTest, APlayedLevelPlaysBackFrameForFrame)
{
    SetTutorialsDue(1);
    std::string jewels, fill;
    for (int y = 0; y < 8; ++y) {
        jewels += "xxxxxxxx\n";
        fill += "00000000\n";
    }
    const std::string text = "<level><time>90000</time><colors>1234</colors><jewelsrequired>900</jewelsrequired>"
                             "<alias><char>x</char><color>random</color><type>jewel</type></alias><playfield>\n" +
                             jewels + "</playfield><fill>\n" + fill + "</fill></level>";
    auto screen = Open(text);
    std::mt19937 random(7);
    std::vector<std::string> boards;
    int dragStep = -1;
    BoardMove drag;
    for (int frame = 0; frame < 2500 && !screen->HasEnded(); ++frame) {
        const int64_t step = std::uniform_int_distribution<int64_t>(1, 50)(random);
        Advance(step);
        Scene().UpdateNodes();
        for (const tsv::ScreenPtr& other : std::vector<tsv::ScreenPtr>(tsv::ScreenStack::Instance().GetScreens())) {
            other->Run();
        }
        // The player reads a tutorial text a while, then clicks it away.
        const auto& screens = tsv::ScreenStack::Instance().GetScreens();
        if (!screens.empty() && frame % 60 == 59) {
            if (auto* box = dynamic_cast<HintBox*>(screens.back().Get())) {
                box->Dismiss();
            }
        }
        if (frame == 900 || frame == 960) { // a pause
            tsv::Application::Instance().GetTimer().SetRunning(frame == 960);
        }
        std::vector<tsv::InputManager::PointerState> pointer;
        if (dragStep < 0 && frame % 25 == 0 && screen->IsInputAllowed() && screen->Board().IsSettled()) {
            const std::vector<BoardMove> moves = screen->Board().ListMoves();
            if (!moves.empty()) {
                drag = moves[random() % moves.size()];
                dragStep = 0;
            }
        }
        if (dragStep >= 0) {
            // Down on one jewel, along towards its neighbour, up: a drag.
            const float x = ScreenX(drag.x1) + (ScreenX(drag.x2) - ScreenX(drag.x1)) * 0.4f * dragStep;
            const float y = ScreenY(drag.y1) + (ScreenY(drag.y2) - ScreenY(drag.y1)) * 0.4f * dragStep;
            pointer.push_back({x, y, dragStep < 2});
            dragStep = dragStep < 2 ? dragStep + 1 : -1;
        } else if (frame % 97 == 0) {
            screen->HandleKey(tsv::KeyCodeFromName(frame % 2 ? "KEY_LEFT" : "KEY_DOWN"));
            screen->HandleKey(tsv::KeyCode(tsv::KeyId::Space));
        }
        if (frame == 2400) {
            screen->Leave();
        }
        screen->Frame(pointer);
        boards.push_back(screen->Board().DumpText() + "tutorial " + screen->ShownTutorial());
    }
    ASSERT_TRUE(ended);
    ASSERT_GT(screen->Result().moves, 10);
    ASSERT_FALSE(screen->RecordingPath().empty());
    Replay replay;
    std::string why;
    ASSERT_EQ(ParseReplay(testsupport::ReadFile(screen->RecordingPath()), replay, why), ReplayRead::Read) << why;
    EXPECT_EQ(replay.frames.size(), boards.size());
    EXPECT_EQ(replay.result, screen->ResultLine());
    EXPECT_EQ(replay.tutorials[HintIndex(HintRecord::Flag::SwapJewels)], 1); // as the level began
    const std::string played = screen->ResultLine();
    screen = nullptr;
    tsv::ScreenStack::Instance().Clear();

    // The same start, then the recorded frames.
    for (int hint = 0; hint < kHintCount; ++hint) {
        state->CurrentProfile()->Awards().SetHintCounter(hint, replay.tutorials[static_cast<size_t>(hint)]);
    }
    state->CurrentProfile()->Record().SetScore(GameMode::Arcade, replay.runScore);
    state->SetScoreMultiplier(replay.multiplier);
    tsv::Application::Instance().GetTimer().Set(replay.startMs);
    tsv::IntrusivePtr<GameScreen> again(new GameScreen(*state, replay.level, GameMode::Arcade,
                                                       LevelSession::Player::Person, nullptr));
    again->SetSeed(replay.seed);
    again->SetReplay(replay);
    ASSERT_TRUE(again->Start());
    for (size_t i = 0; i < replay.frames.size(); ++i) {
        Scene().UpdateNodes();
        again->PlayReplayFrame(replay.frames[i]);
        ASSERT_EQ(again->Board().DumpText() + "tutorial " + again->ShownTutorial(), boards[i]) << "frame " << i;
    }
    EXPECT_TRUE(again->HasEnded());
    EXPECT_EQ(again->ResultLine(), played);
    EXPECT_TRUE(again->RecordingPath().empty()); // a playback records nothing
}

TEST_F(GameScreenTest, TheKeyboardMovesACursorAndSwaps)
{
    auto screen = Open(Level(rows, {}, {}, "<jewelsrequired>500</jewelsrequired>"));
    Frames(*screen, 50);
    const int left = tsv::KeyCode(tsv::KeyId::Left), up = tsv::KeyCode(tsv::KeyId::Up);
    screen->HandleKey(left); // shows the cursor mid-board, clamped to the rows in use
    for (int i = 0; i < 20; ++i) {
        screen->HandleKey(left);
        screen->HandleKey(up);
    }
    EXPECT_EQ(screen->CursorX(), 0);
    EXPECT_EQ(screen->CursorY(), 0);
    screen->HandleKey(tsv::KeyCode(tsv::KeyId::Right));
    screen->HandleKey(tsv::KeyCode(tsv::KeyId::Right));
    screen->HandleKey(tsv::KeyCode(tsv::KeyId::Space));
    EXPECT_EQ(screen->SelectedX(), 2);
    screen->HandleKey(tsv::KeyCode(tsv::KeyId::Right));
    screen->HandleKey(tsv::KeyCode(tsv::KeyId::Return)); // (2,0) with (3,0): three 1s
    EXPECT_EQ(screen->Result().moves, 1);
    EXPECT_EQ(screen->SelectedX(), -1);
}

} // namespace
} // namespace bsh::test
