#include "game/screens/gamescreen.h"

#include "engine/core/log.h"
#include "engine/core/util/file/recordio.h"
#include "engine/core/textformat.h"
#include "engine/gui/languagemanager.h"
#include "engine/gui/screenstack.h"
#include "engine/gui/standarddialog.h"
#include "engine/platform/keynames.h"
#include "engine/runtime/application.h"
#include "engine/scene/inputmanager.h"
#include "engine/scene/nodelibrary.h"
#include "engine/scene/frameloop.h"
#include "engine/sound/soundmanager.h"
#include "game/progress/gamestate.h"
#include "game/progress/endlessrun.h"
#include "game/progress/levelplay.h"
#include "game/screens/gamemedia.h"
#include "game/screens/pausescreen.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace bsh {

using tsv::EndL;
using tsv::GetLog;
using tsv::GUIComponent;

namespace {

constexpr int64_t kHintArrowsMs = 2500;
// The effects sit above the pieces and the marks.
constexpr int32_t kHoverEffectLayer = kBoardLayer + 2;
constexpr int32_t kBackdropLayer = 0;
constexpr int32_t kMessageLayer = 6;
constexpr float kPi = 3.14159265358979f;
constexpr uint32_t kMessageColour = 0xFFFFF2C8;
constexpr int64_t kMessageFadeMs = 400;
// The circle round a piece a tutorial text talks about.
constexpr float kCircleSize = 56.0f;

} // namespace

int64_t HintDelayFor(const GameState& state)
{
    tsv::IntrusivePtr<Profile> profile = state.CurrentProfile();
    int32_t tutorials = 0;
    if (profile) {
        for (int hint = 0; hint < HintRecord::kFlagCount; ++hint) {
            tutorials += profile->Awards().GetHintCounter(hint);
        }
    }
    return tutorials > 2 ? LevelSession::kHintDelayTutorial : LevelSession::kHintDelayQuiet;
}

GameScreen::GameScreen(GameState& state, std::string levelPath, GameMode mode, LevelSession::Player player,
                       GameMedia* media, Showing showing)
    : m_state(state), m_media(media), m_levelPath(std::move(levelPath)), m_mode(mode),
      m_preview(showing == Showing::Preview), m_endless(showing == Showing::Endless), m_player(player),
      m_input({[this] { return IsInputAllowed(); },
               [this](int x, int y) { return m_board->IsSelectable(x, y); },
               [this](int x, int y) { return m_board->TypeAt(x, y) == PieceJewel && m_board->IsSelectable(x, y); },
               [this](int x, int y) { FireEffect(EffectJewelGlitter, x, y); },
               [this](int x1, int y1, int x2, int y2) { m_session->TrySwap(x1, y1, x2, y2); }}),
      m_hud(state, media)
{
    // The arrows, Space, Return and Escape belong to the board; Tab reaches the HUD's buttons.
    SetKeyNavigation(KeyNavigation::Tab);
}

GameScreen::~GameScreen()
{
    if (m_board) {
        m_state.SetBoardSnapshotHooks({}, {});
    }
    if (m_hintBox) {
        m_hintBox->Dismiss();
    }
    m_session.reset();
    m_board = nullptr;
    m_view.reset();
    m_input.RemoveMarks();
    for (tsv::SceneNodePtr* node : {&m_backdrop, &m_hintArrows, &m_message}) {
        if (*node) {
            (*node)->Expire();
        }
    }
    for (const tsv::SceneNodePtr& node : m_decoration) {
        node->Expire();
    }
    for (const tsv::SceneNodePtr& node : m_circles) {
        node->Expire();
    }
    m_state.Profiles().Save();
}

int64_t GameScreen::Now() const { return tsv::Application::Instance().GetTimer().GetTime(); }

bool GameScreen::Start()
{
    m_view = std::make_unique<BoardView>(m_state, m_media);
    m_board = tsv::MakeIntrusive<PlayField>(*m_view, [] { return tsv::Application::Instance().GetTimer().GetTime(); });
    m_board->Seed(m_seed);
    PlayField* board = m_board.Get();
    if (m_replay) {
        if (!StartFromReplay()) {
            return false;
        }
    } else if (m_endless) {
        if (!StartEndless()) {
            return false;
        }
    } else if (m_levelPath.empty() ? !ResumeSavedRun()
                                   : !LoadLevelForPlay(m_state, m_levelPath, *m_board, &m_level)) {
        return false;
    }
    // A resumed run follows the clock as it is set now; the endless board has none.
    m_board->SetRelaxed(m_endless || (m_replay ? m_replay->relaxed : m_state.IsLevelRelaxed()));
    m_board->SetOpenEnded(m_endless);
    m_view->BuildFrame();
    m_view->Sync(*m_board);
    m_state.SetBoardSnapshotHooks([board](tsv::RecordWriter& out) { board->SaveState(out); },
                                  [board](tsv::RecordReader& in) { return board->LoadState(in); });
    for (const std::string& path : m_level.nodes) {
        if (tsv::SceneNodePtr node = tsv::NodeLibrary::Instance().CreateNode(path)) {
            tsv::AddGameNode(node);
            m_decoration.push_back(node);
        }
    }
    m_backdrop = tsv::NodeLibrary::Instance().CreateNode("/object/bg/gamebg2.xml");
    if (m_backdrop) {
        tsv::AddGameNode(m_backdrop, kBackdropLayer);
    }
    m_input.CreateMarks();
    m_hintArrows = MakeMark("/texture/gui/hint-arrows.png", 2 * kCellSize, kCellSize);
    BuildHud();

    // Hints: always in a preview and for a player without a profile;
    // otherwise as the profile says, never at Hard. They come sooner while
    // tutorial texts are still due.
    tsv::IntrusivePtr<Profile> profile = m_state.CurrentProfile();
    m_hintsOn = m_preview || !profile || (profile->GetHints() && profile->GetDifficulty() != DifficultyHard);
    m_session = std::make_unique<LevelSession>(*m_board, static_cast<SessionCues&>(*this), m_player,
                                               m_preview ? kPreviewHintDelayMs : HintDelayFor(m_state));
    m_session->SetOpenEnded(m_preview || m_endless);
    m_session->Start(m_levelPath);
    m_startTime = Now();
    if (m_board->GetJewelsRequired() > 0) {
        ShowMessage("jewelsRequired", 3000, m_board->GetJewelsRequired());
    }
    // The objective's tutorial text waits for the first frame, when this
    // screen is on the stack and the box can lie above it.
    m_objectiveTextDue = m_hintsOn && !m_preview;
    GetLog() << tsv::Hint << "Level started: " << m_levelPath << EndL;
    if (!m_preview && !m_replay) {
        m_recorder.Begin(m_state, {m_levelPath, m_mode, m_endless, m_player == LevelSession::Player::Bot, m_seed, m_carried},
                         *m_board, Now());
    }
    return true;
}

bool GameScreen::StartFromReplay()
{
    m_levelPath = m_replay->level;
    BoardEvents unseen;
    tsv::IntrusivePtr<PlayField> layout = tsv::MakeIntrusive<PlayField>(unseen, [] { return int64_t{0}; });
    if (!LoadLevel(m_levelPath, *layout, &m_level)) {
        return false;
    }
    tsv::RecordReader in(m_replay->board);
    if (!m_board->LoadState(in)) {
        GetLog() << tsv::Error << "The recording's board cannot be set up" << EndL;
        return false;
    }
    m_board->Random().Seed(m_replay->randomState);
    m_replayMs = m_replay->startMs;
    if (m_endless) {
        m_carried = m_replay->carried;
        m_view->Scoring().Restore(m_carried.score, m_carried.longestCascade, m_carried.piecesCleared);
    }
    return true;
}

// --- The recording ----------------------------------------------------------------

void GameScreen::NoteTutorialClosed(ReplayAction::Kind kind)
{
    m_recorder.LookAtTutorial(!ShownTutorial().empty(), kind);
}

void GameScreen::CloseTutorialNow()
{
    if (m_hintBox) {
        tsv::ScreenStack::Instance().Remove(m_hintBox.Get());
    }
}

void GameScreen::EndRecording(const std::string& resultLine)
{
    m_resultLine = resultLine;
    if (m_recorder.IsRecording()) {
        m_recordingPath = m_recorder.End(resultLine);
    }
}

std::string GameScreen::ResultLineNow() const
{
    if (m_endless) {
        return FormatEndlessJson(Tally());
    }
    BoardResult result = Result();
    if (m_board) {
        result.timePlayedMs = m_board->GetTimePlayed();
        result.timeLeftMs = m_board->GetTimeLeft();
    }
    return FormatResultJson(result, m_seed);
}

void GameScreen::PlayReplayFrame(const ReplayFrame& frame)
{
    if (!m_replay || !m_session || m_ended) {
        return;
    }
    // The game clock as it was: everything the board and its session time
    // reads it.
    tsv::Timer& clock = tsv::Application::Instance().GetTimer();
    m_replayMs += frame.stepMs;
    clock.Set(m_replayMs);
    clock.SetRunning(frame.running);
    std::vector<tsv::InputManager::PointerState> pointer;
    for (const ReplayAction& action : frame.actions) {
        switch (action.kind) {
        case ReplayAction::Kind::Key:
            if (m_player == LevelSession::Player::Person) {
                m_input.Key(tsv::KeyCodeFromName(action.key));
            }
            break;
        case ReplayAction::Kind::Leave:
            Leave();
            break;
        case ReplayAction::Kind::TutorialClosed:
            CloseTutorialNow();
            break;
        case ReplayAction::Kind::Pointer:
            pointer.push_back({action.x, action.y, action.down});
            break;
        case ReplayAction::Kind::TutorialClosedByBot:
            break; // within the frame
        }
    }
    Frame(pointer, &frame);
}

bool GameScreen::KeepsEndlessBoard() const
{
    return m_endless && m_keepEndless && m_state.CurrentProfile();
}

bool GameScreen::StartEndless()
{
    if (m_levelPath.empty()) {
        m_levelPath = kEndlessLevel;
    }
    // The level file gives the squares' frame and decoration, and a new board.
    BoardEvents unseen;
    tsv::IntrusivePtr<PlayField> layout = tsv::MakeIntrusive<PlayField>(unseen, [] { return int64_t{0}; });
    if (!LoadLevel(m_levelPath, *layout, &m_level)) {
        return false;
    }
    if (KeepsEndlessBoard()) {
        // A kept board is read once aside, so a damaged one never leaves
        // half a board behind, then into the board that is played.
        const std::string path = EndlessRun::PathFor(m_state.CurrentProfile()->GetName());
        EndlessTally tally;
        tsv::IntrusivePtr<PlayField> probe = tsv::MakeIntrusive<PlayField>(unseen, [] { return int64_t{0}; });
        if (EndlessRun::Load(path, tally, *probe) == EndlessRun::Read::Loaded &&
            EndlessRun::Load(path, m_carried, *m_board) == EndlessRun::Read::Loaded) {
            m_view->Scoring().Restore(m_carried.score, m_carried.longestCascade, m_carried.piecesCleared);
            GetLog() << tsv::Hint << "Endless board found again: " << path << EndL;
            return true;
        }
        m_carried = {};
    }
    if (!LoadLevel(m_levelPath, *m_board)) {
        return false;
    }
    m_board->SetTimeLimit(m_level.time);
    return true;
}

EndlessTally GameScreen::Tally() const
{
    EndlessTally tally;
    if (m_view) {
        tally.score = m_view->Scoring().Points();
        tally.longestCascade = m_view->Scoring().LongestCascade();
        tally.piecesCleared = m_view->Scoring().PiecesCleared();
    }
    tally.moves = m_carried.moves + (m_session ? m_session->Result().moves : 0);
    return tally;
}

bool GameScreen::SaveEndless(const char* why)
{
    const std::string name = m_state.CurrentProfile()->GetName();
    const EndlessTally tally = Tally();
    PlayerExtra extra = m_state.Extras().Get(name);
    if (RaiseEndlessBests(extra, tally)) {
        m_state.Extras().Set(name, extra);
        m_state.Extras().Save();
    }
    if (EndlessRun::Save(EndlessRun::PathFor(name), tally, *m_board)) {
        GetLog() << tsv::Hint << why << ", the endless board is kept" << EndL;
        return true;
    }
    return false;
}

bool GameScreen::ResumeSavedRun()
{
    // The board comes back from the saved run as it was left; the level's
    // own file still gives what the run does not hold (decoration, title).
    PlayField* board = m_board.Get();
    m_state.SetBoardSnapshotHooks({}, [board](tsv::RecordReader& in) { return board->LoadState(in); });
    if (!m_state.LoadGame()) {
        return false;
    }
    m_levelPath = m_state.GetLevelPath();
    BoardEvents unseen;
    tsv::IntrusivePtr<PlayField> layout = tsv::MakeIntrusive<PlayField>(unseen, [] { return int64_t{0}; });
    if (!LoadLevel(m_levelPath, *layout, &m_level)) {
        // Kept aside, never deleted: a level file put back brings it back.
        GetLog() << tsv::Error << "The saved run's level cannot be played; the run is moved aside: " << m_levelPath
                 << EndL;
        m_state.SetAsideSavedGame(m_mode);
        return false;
    }
    m_resumed = true;
    GetLog() << tsv::Hint << "Saved run resumed: " << m_levelPath << EndL;
    return true;
}

void GameScreen::BuildHud()
{
    if (LoadScreenFile(m_endless ? "/gui/endlessscreen.xml" : "/gui/gamescreen.xml")) {
        SetHandler("pausebutton", tsv::EventClick, [this](tsv::GUIComponent&) { OpenPause(); });
        SetHandler("closebutton", tsv::EventClick, [this](tsv::GUIComponent&) { AskToLeave(); });
    }
    if (m_endless) {
        tsv::IntrusivePtr<Profile> profile = m_state.CurrentProfile();
        m_endlessHud.Build(GetRoot(), profile ? m_state.Extras().Get(profile->GetName()) : PlayerExtra{});
        m_endlessHud.Show(Tally());
        return;
    }
    m_hud.Build(GetRoot(), m_mode, m_preview);
    m_hud.RefreshPanels(*m_board, LevelHud::Refresh::All);
}

bool GameScreen::IsInputAllowed() const
{
    return m_session && m_session->IsInputAllowed() && !m_leaving && !m_state.IsWon();
}

const BoardResult& GameScreen::Result() const
{
    static const BoardResult s_none;
    return m_session ? m_session->Result() : s_none;
}

std::string GameScreen::ShownTutorial() const
{
    return m_hintBox && tsv::ScreenStack::Instance().Contains(m_hintBox.Get()) ? m_hintBox->GetKey() : std::string();
}

// --- The frame ------------------------------------------------------------------

void GameScreen::Run()
{
    tsv::Screen::Run();
    if (m_replay) {
        return; // the recording's frames come from whoever plays it back
    }
    tsv::InputManager& input = tsv::InputManager::Instance();
    // Only the newest screen reads the board's input: not under a dialog,
    // the pause or a tutorial text.
    const auto& screens = tsv::ScreenStack::Instance().GetScreens();
    const bool onTop = screens.empty() || screens.back().Get() == this;
    if (onTop) {
        for (int key : input.GetPressedKeys()) {
            // Keys that worked the HUD's buttons are not the board's.
            if (!IsKeyFocusShown() && !KeyTakenByFocus(key)) {
                HandleKey(key);
            }
        }
    }
    std::vector<tsv::InputManager::PointerState> pointer = input.GetPointerStates();
    if (!onTop) {
        pointer = {{pointer.back().x, pointer.back().y, false}};
    }
    Frame(pointer);
}

void GameScreen::Frame(const std::vector<tsv::InputManager::PointerState>& pointer, const ReplayFrame* replay)
{
    if (!m_session || m_session->HasEnded() || m_ended) {
        return;
    }
    NoteTutorialClosed(ReplayAction::Kind::TutorialClosed);
    // The objective's banner goes first; the text about it follows, beside the board.
    if (m_objectiveTextDue && !(m_message && m_message->IsAlive())) {
        m_objectiveTextDue = false;
        if (m_board->GetJewelsRequired() > 0) {
            ShowTutorialBeside(HintRecord::JewelsMode, BoardRect());
        }
        if (m_board->GetInitialCellHits() > 0) {
            ShowTutorialBeside(HintRecord::CellsMode, BoardRect());
        }
    }
    if (m_player == LevelSession::Player::Bot && !replay) {
        UpdateBotDialogs();
    }
    if (replay && std::any_of(replay->actions.begin(), replay->actions.end(), [](const ReplayAction& action) {
            return action.kind == ReplayAction::Kind::TutorialClosedByBot;
        })) {
        CloseTutorialNow();
    }
    NoteTutorialClosed(ReplayAction::Kind::TutorialClosedByBot);
    // The level stands still while the game's clock does (pause, dialogs, tutorial texts).
    const bool clockRuns = tsv::Application::Instance().GetTimer().IsRunning();
    m_recorder.Frame(clockRuns, Now());
    if (!clockRuns) {
        return;
    }
    const bool running = m_session->Frame();
    m_recorder.SeeTutorial(!ShownTutorial().empty());
    m_view->Sync(*m_board);
    m_state.SetTimeUsed(m_session->TimeUsedPercent());
    if (!running) {
        return;
    }
    if (m_leaving && m_board->GetFlyingCount() == 0) {
        EndLevel(Ending::Left);
        return;
    }
    const int64_t now = Now();
    if (!m_session->IsCompleting()) {
        if (m_endless) {
            m_endlessHud.Show(Tally());
        } else if (!m_preview) {
            m_hud.RefreshPanels(*m_board, LevelHud::Refresh::Changed);
        }
        UpdateStartTutorials(now);
    }
    if (!m_endless) {
        m_hud.UpdateTime(*m_board, now);
    }
    if (m_hintArrows && m_hintArrows->IsVisible() && (now >= m_hintArrowsUntil || m_input.SelectedX() >= 0)) {
        m_hintArrows->SetVisible(false, tsv::Scope::Subtree);
    }
    if (m_player == LevelSession::Player::Person) {
        for (const tsv::InputManager::PointerState& state : pointer) {
            m_recorder.Pointer(state.x, state.y, state.leftDown);
            m_input.Pointer(state.x, state.y, state.leftDown);
        }
    }
    m_recorder.SeeTutorial(!ShownTutorial().empty());
}

void GameScreen::UpdateBotDialogs()
{
    // The bot reads a tutorial text as long as it must, then clicks it away.
    if (m_hintBox && m_hintBox->IsClosable()) {
        m_hintBox->Dismiss();
    }
}

// --- Tutorial texts ---------------------------------------------------------------

bool GameScreen::ShowTutorial(int hint, float x, float y)
{
    tsv::IntrusivePtr<Profile> profile = m_state.CurrentProfile();
    if (m_preview || !m_hintsOn || !profile || ShownTutorial() != "") {
        return false;
    }
    AwardBlock& awards = profile->Awards();
    if (awards.GetHintCounter(hint) <= 0) {
        return false;
    }
    awards.SetHintCounter(hint, awards.GetHintCounter(hint) - 1);
    m_hintBox = tsv::MakeIntrusive<HintBox>();
    m_hintBox->Place(kTutorialWidth, HintKey(hint), x, y);
    tsv::ScreenStack::Instance().Push(tsv::ScreenPtr(m_hintBox.Get()));
    return true;
}

bool GameScreen::ShowTutorialBeside(int hint, const ViewRect& about)
{
    if (!ShowTutorial(hint, 0, 0)) {
        return false;
    }
    m_hintBox->PlaceBesideCells(kTutorialWidth, HintKey(hint), about, BoardRect());
    return true;
}

ViewRect GameScreen::CellsRect(int x1, int y1, int x2, int y2)
{
    const float half = kCellSize * 0.5f;
    return {ColumnX(std::min(x1, x2)) - half, RowY(std::min(y1, y2)) - half, ColumnX(std::max(x1, x2)) + half,
            RowY(std::max(y1, y2)) + half};
}

ViewRect GameScreen::BoardRect() const
{
    int x1 = kBoardColumns, y1 = kBoardRows, x2 = -1, y2 = -1;
    for (int x = 0; m_board && x < kBoardColumns; ++x) {
        for (int y = 0; y < kBoardRows; ++y) {
            if (m_board->CellExists(x, y)) {
                x1 = std::min(x1, x);
                y1 = std::min(y1, y);
                x2 = std::max(x2, x);
                y2 = std::max(y2, y);
            }
        }
    }
    return x2 < 0 ? ViewRect{} : CellsRect(x1, y1, x2, y2);
}

void GameScreen::Circle(int x, int y)
{
    tsv::SceneNodePtr circle = MakeMark("/texture/gui/hint-circle.png", kCircleSize, kCircleSize);
    PlaceMark(circle, x, y);
    const int64_t now = Now();
    circle->SetAlphaFade(true, now + 3000, now + 4000, 255, 0);
    circle->SetExpiry(now + 4000);
    m_circles.push_back(circle);
}

void GameScreen::UpdateStartTutorials(int64_t now)
{
    if (m_preview || !m_hintsOn || !IsInputAllowed()) {
        return;
    }
    for (const TutorialCue& cue : DueStartTutorials(*m_board, now - m_startTime, !ShownTutorial().empty(),
                                                    m_startTutorials)) {
        if (ShowTutorialBeside(cue.hint, CellsRect(cue.x, cue.y, cue.x, cue.y))) {
            Circle(cue.x, cue.y);
        }
    }
}

// --- Session cues -------------------------------------------------------------------

void GameScreen::FireEffect(GameEffect effect, int x, int y)
{
    if (m_media) {
        m_media->Effects().FireEffect(effect, {ColumnX(x), RowY(y), 0}, kHoverEffectLayer);
    }
}

void GameScreen::OnTimeUp()
{
    ShowMessage("gameOver", LevelSession::kGameOverDelayMs);
    if (m_media) {
        tsv::SoundManager::Instance().Play("/sound/gameover.wav");
    }
}

void GameScreen::OnLevelComplete()
{
    ShowMessage("levelComplete", LevelSession::kCompleteDelayMs + 1000);
    if (m_media) {
        m_media->Effects().FireGuiEffect(GuiEffectLevelCompleteIcon, {0, 0, 0}, kHoverEffectLayer);
    }
}

void GameScreen::OnInputStopped() { m_input.Drop(); }

void GameScreen::OnHint(int x1, int y1, int x2, int y2, const HintRecord& about,
                        const std::vector<std::pair<int, int>>& work)
{
    // The last few cells that still need work glitter.
    m_lastGlitter = 0;
    if (static_cast<int>(work.size()) < kGlitterBelow) {
        for (const auto& [x, y] : work) {
            FireEffect(EffectBlockGlitter, x, y);
            ++m_lastGlitter;
        }
    }
    if (x1 < 0) {
        return;
    }
    bool shown = false;
    for (int hint = 0; hint < HintRecord::kFlagCount && !shown; ++hint) {
        if (about.flags[static_cast<size_t>(hint)]) {
            shown = ShowTutorialBeside(hint, CellsRect(x1, y1, x2, y2));
        }
    }
    // Once the swap text is used up, one piece or square left to work on
    // earns a word of encouragement, at the top of the board where it hides
    // nothing that matters.
    tsv::IntrusivePtr<Profile> profile = m_state.CurrentProfile();
    if (!shown && work.size() == 1 && profile && profile->Awards().GetHintCounter(HintRecord::SwapJewels) <= 0) {
        ShowTutorial(HintRecord::OnePieceLeft, 0, -250);
    }
    if (m_hintsOn && m_player == LevelSession::Player::Person) {
        ShowHintArrows(x1, y1, x2, y2, Now());
    }
}

void GameScreen::OnNoMovesNotice()
{
    ShowMessage("noMoves", LevelSession::kNoMovesReshuffleMs - LevelSession::kNoMovesNoticeMs);
}

void GameScreen::OnMove(int, int, int, int)
{
    if (m_hintArrows) {
        m_hintArrows->SetVisible(false, tsv::Scope::Subtree);
    }
}

void GameScreen::OnFinished(BoardResult& result)
{
    RecordLevelEnd(m_state, m_mode, m_session->TimeUsedPercent(), m_view->Scoring().Points(), result);
    EndRecording(FormatResultJson(result, m_seed));
    if (m_resumed) {
        // Won or lost, the resumed run is over; the profiles hold its outcome.
        m_state.DeleteSavedGame(m_mode);
    }
    m_ended = true;
    if (m_onEnd) {
        m_onEnd(result, Ending::Played);
    }
}

// --- Pause and leaving ----------------------------------------------------------------

void GameScreen::OpenPause()
{
    if (m_preview || m_replay || m_ended || !tsv::Application::Instance().GetTimer().IsRunning()) {
        return;
    }
    tsv::ScreenStack::Instance().Push(tsv::MakeIntrusive<PauseScreen>());
}

void PauseLevelInPlay()
{
    const auto& screens = tsv::ScreenStack::Instance().GetScreens();
    for (auto it = screens.rbegin(); it != screens.rend(); ++it) {
        if (auto* game = dynamic_cast<GameScreen*>(it->Get())) {
            game->OpenPause();
            return;
        }
    }
}

void SaveLevelInPlay()
{
    for (const tsv::ScreenPtr& screen : tsv::ScreenStack::Instance().GetScreens()) {
        if (auto* game = dynamic_cast<GameScreen*>(screen.Get())) {
            game->SaveOnClose();
        }
    }
}

bool GameScreen::SaveRun(const char* why)
{
    if (m_state.SaveGame()) {
        GetLog() << tsv::Hint << why << ", the run is saved: " << m_levelPath << EndL;
        return true;
    }
    GetLog() << tsv::Error << why << ", but the run could not be saved: " << m_levelPath << EndL;
    return false;
}

bool GameScreen::SaveOnClose()
{
    if (!m_ended && m_session && !m_session->HasEnded()) {
        EndRecording(ResultLineNow()); // whoever played, the level so far is kept
    }
    // Only a player's level still undecided: a preview, the bot, a level won
    // or lost, or one already left have nothing (more) to keep.
    if (m_endless) {
        if (m_ended || !m_session || !KeepsEndlessBoard()) {
            return false;
        }
        m_ended = true;
        return SaveEndless("The game closed on the endless board");
    }
    if (m_preview || m_ended || m_player != LevelSession::Player::Person || !IsValidMode(m_mode) || !m_session ||
        m_session->IsDecided() || m_state.IsWon() || !m_state.CurrentProfile()) {
        return false;
    }
    m_ended = true;
    return SaveRun("The game closed during a level");
}

void GameScreen::AskToLeave()
{
    if (m_leaving || m_ended) {
        return;
    }
    tsv::Timer& game = tsv::Application::Instance().GetTimer();
    game.SetRunning(false);
    tsv::StandardDialogPtr dialog = tsv::MakeIntrusive<tsv::StandardDialog>(
        tsv::LanguageManager::Instance().GetText(m_endless ? "$Screen.Endless.leaveQuestion"
                                                            : "$Screen.Game.leaveQuestion"),
        tsv::DialogConfirm);
    dialog->SetOnClosed([this](tsv::Screen& screen) {
        tsv::Application::Instance().GetTimer().SetRunning(true);
        if (static_cast<tsv::StandardDialog&>(screen).GetResult() == tsv::StandardDialog::kYes) {
            Leave();
        }
    });
    tsv::ScreenStack::Instance().Push(tsv::ScreenPtr(dialog.Get()));
}

void GameScreen::Leave()
{
    m_recorder.Action({ReplayAction::Kind::Leave, 0, 0, false, {}});
    m_leaving = true;
}

void GameScreen::EndLevel(Ending ending)
{
    m_leaving = false;
    m_state.SetWon(false);
    BoardResult result = m_session->Result();
    result.timePlayedMs = m_board->GetTimePlayed();
    result.timeLeftMs = m_board->GetTimeLeft();
    if (IsValidMode(m_mode)) {
        m_state.SetStat64(m_mode, StatTimePlayed, result.timePlayedMs / 1000);
    }
    EndRecording(ResultLineNow());
    if (ending == Ending::Left && KeepsEndlessBoard()) {
        SaveEndless("Endless board left");
    } else if (ending == Ending::Left && !m_endless) {
        SaveRun("Level left");
    }
    m_ended = true;
    if (m_onEnd) {
        m_onEnd(result, ending);
    }
}

void GameScreen::ShowHintArrows(int x1, int y1, int x2, int y2, int64_t now)
{
    if (!m_hintArrows) {
        return;
    }
    const float cx = (ColumnX(x1) + ColumnX(x2)) * 0.5f;
    const float cy = (RowY(y1) + RowY(y2)) * 0.5f;
    m_hintArrows->SetRotation(x1 == x2 ? kPi * 0.5f : 0.0f, tsv::Transform::Later);
    m_hintArrows->SetPosition({cx, cy, 0}, tsv::Transform::Now);
    m_hintArrows->SetVisible(true, tsv::Scope::Subtree);
    // The arrows fade, so the two jewels they point at show again.
    m_hintArrows->SetAlphaFade(true, now, now + kHintArrowsMs, 240, 0);
    m_hintArrowsUntil = now + kHintArrowsMs;
}

void GameScreen::HandleKey(int keyCode)
{
    // Pause is also what a gamepad's Start sends.
    if (keyCode == tsv::KeyCode(tsv::KeyId::Escape) || keyCode == tsv::KeyCode(tsv::KeyId::Pause)) {
        OpenPause();
        return;
    }
    if (m_player == LevelSession::Player::Person) {
        if (const char* name = tsv::KeyNameFromCode(keyCode)) {
            m_recorder.Action({ReplayAction::Kind::Key, 0, 0, false, name});
        }
        m_input.Key(keyCode);
    }
}

void GameScreen::ShowMessage(const std::string& key, int64_t ms, int number)
{
    if (m_message) {
        m_message->Expire();
        m_message = nullptr;
    }
    const tsv::LanguageManager& language = tsv::LanguageManager::Instance();
    std::string text = language.GetText("$" + key);
    if (number >= 0) {
        text = tsv::FormatText(text, {int64_t{number}});
    }
    m_messageText = key;
    const tsv::Font* font = language.GetFont(0);
    if (!font || text.empty()) {
        return;
    }
    const int64_t now = Now();
    const tsv::Vec2 size = font->MeasureText(text);
    const float scale = std::min(1.5f, 520.0f / std::max(size.x, 1.0f));
    m_message = tsv::NodeLibrary::Instance().CreateNode("/object/panel/messageplate.xml");
    if (!m_message) {
        m_message = tsv::MakeIntrusive<tsv::SceneNode>();
    }
    tsv::SceneNodePtr words = tsv::MakeIntrusive<tsv::SceneNode>();
    font->LayText(text, *words, kMessageColour);
    words->SetScale(scale, scale, tsv::Transform::Later);
    words->SetPosition({-size.x * scale * 0.5f, -size.y * scale * 0.5f, -0.1f}, tsv::Transform::Later);
    m_message->AddChild(words);
    m_message->SetPosition({-10.0f, 0.0f, 0.0f}, tsv::Transform::Now);
    tsv::AddGameNode(m_message, kMessageLayer);
    m_message->SetAlphaFade(true, now + ms - kMessageFadeMs, now + ms, 255, 0);
    m_message->SetExpiry(now + ms);
}

std::string GameScreen::Dump() const
{
    if (!m_board) {
        return "no board";
    }
    std::string text = m_board->DumpText() + "selected " + std::to_string(m_input.SelectedX()) + " " +
                       std::to_string(m_input.SelectedY()) + "\n";
    if (m_endless) {
        text += FormatEndlessJson(Tally()) + "\n";
    }
    return text;
}

} // namespace bsh
