#include "game/screens/gamescreen.h"

#include "engine/core/log.h"
#include "engine/core/util/file/recordio.h"
#include "engine/gui/languagemanager.h"
#include "engine/gui/screenstack.h"
#include "engine/gui/standarddialog.h"
#include "engine/platform/keynames.h"
#include "engine/runtime/application.h"
#include "engine/scene/inputmanager.h"
#include "engine/sound/soundmanager.h"
#include "game/progress/endlessrun.h"
#include "game/progress/gamestate.h"
#include "game/progress/levelplay.h"
#include "game/screens/gamemedia.h"
#include "game/screens/pausescreen.h"

namespace bsh {

using tsv::EndL;
using tsv::GetLog;

namespace {

// The effects sit above the pieces and the marks.
constexpr int32_t kHoverEffectLayer = kBoardLayer + 2;
constexpr int64_t kObjectiveMessageMs = 3000;

// What the level file gives besides its board (the squares' frame, the
// decoration, the title), read onto a board that nothing plays.
bool ReadLevelInfo(const std::string& path, LevelInfo& info)
{
    BoardEvents unseen;
    tsv::IntrusivePtr<PlayField> layout = tsv::MakeIntrusive<PlayField>(unseen, [] { return int64_t{0}; });
    return LoadLevel(path, *layout, &info);
}

} // namespace

GameScreen::GameScreen(GameState& state, std::string levelPath, GameMode mode, LevelSession::Player player,
                       GameMedia* media, Showing showing)
    : m_state(state), m_media(media), m_levelPath(std::move(levelPath)), m_mode(mode),
      m_preview(showing == Showing::Preview), m_endless(showing == Showing::Endless), m_endlessBoard(state),
      m_player(player),
      m_input({[this] { return IsInputAllowed(); },
               [this](int x, int y) { return m_board->IsSelectable(x, y); },
               [this](int x, int y) { return m_board->TypeAt(x, y) == PieceJewel && m_board->IsSelectable(x, y); },
               [this](int x, int y) { FireEffect(EffectJewelGlitter, x, y); },
               [this](int x1, int y1, int x2, int y2) { m_session->TrySwap(x1, y1, x2, y2); }}),
      m_hud(state, media), m_tutorials(state)
{
    // The arrows, Space, Return and Escape belong to the board; Tab reaches the HUD's buttons.
    SetKeyNavigation(KeyNavigation::Tab);
}

GameScreen::~GameScreen()
{
    if (m_board) {
        m_state.SetBoardSnapshotHooks({}, {});
    }
    m_session.reset();
    m_board = nullptr;
    m_view.reset();
    m_input.RemoveMarks();
    m_state.Profiles().Save();
}

int64_t GameScreen::Now() const { return tsv::Application::Instance().GetTimer().GetTime(); }

bool GameScreen::Start()
{
    m_view = std::make_unique<BoardView>(m_state, m_media);
    m_board = tsv::MakeIntrusive<PlayField>(*m_view, [] { return tsv::Application::Instance().GetTimer().GetTime(); });
    m_board->Seed(m_seed);
    if (!SetUpBoard()) {
        return false;
    }
    // A resumed run follows the clock as it is set now; the endless board has none.
    m_board->SetRelaxed(m_endless || (m_playback ? m_playback->Recording().relaxed : m_state.IsLevelRelaxed()));
    m_board->SetOpenEnded(m_endless);
    m_view->BuildFrame();
    m_view->Sync(*m_board);
    PlayField* board = m_board.Get();
    m_state.SetBoardSnapshotHooks([board](tsv::RecordWriter& out) { board->SaveState(out); },
                                  [board](tsv::RecordReader& in) { return board->LoadState(in); });
    m_scenery.Build(m_level.nodes);
    m_input.CreateMarks();
    m_hints.CreateArrows();
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
        m_message.Show("jewelsRequired", kObjectiveMessageMs, Now(), m_board->GetJewelsRequired());
    }
    // The objective's tutorial text waits for the first frame, when this
    // screen is on the stack and the box can lie above it.
    m_tutorials.Begin(m_hintsOn && !m_preview);
    GetLog() << tsv::Hint << "Level started: " << m_levelPath << EndL;
    if (!m_preview && !m_playback) {
        m_recorder.Begin(m_state,
                         {m_levelPath, m_mode, m_endless, m_player == LevelSession::Player::Bot, m_seed,
                          m_endlessBoard.Carried()},
                         *m_board, Now());
    }
    return true;
}

bool GameScreen::SetUpBoard()
{
    if (m_playback) {
        m_levelPath = m_playback->Recording().level;
        if (!ReadLevelInfo(m_levelPath, m_level) || !m_playback->SetUpBoard(*m_board)) {
            return false;
        }
        if (m_endless) {
            m_endlessBoard.Carry(m_playback->Recording().carried, m_view->Scoring());
        }
        return true;
    }
    if (m_endless) {
        if (m_levelPath.empty()) {
            m_levelPath = kEndlessLevel;
        }
        // The level file gives the squares' frame and decoration, and a new board.
        return ReadLevelInfo(m_levelPath, m_level) &&
               m_endlessBoard.Start(m_levelPath, m_level, *m_board, m_view->Scoring());
    }
    return m_levelPath.empty() ? ResumeSavedRun() : LoadLevelForPlay(m_state, m_levelPath, *m_board, &m_level);
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
    if (!ReadLevelInfo(m_levelPath, m_level)) {
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
    if (!m_playback || !m_session || m_ended) {
        return;
    }
    const std::vector<tsv::InputManager::PointerState> pointer = m_playback->Play(
        frame, {[this](int keyCode) {
                    if (m_player == LevelSession::Player::Person) {
                        m_input.Key(keyCode);
                    }
                },
                [this] { Leave(); }, [this] { m_tutorials.CloseNow(); }});
    Frame(pointer, &frame);
}

EndlessTally GameScreen::Tally() const
{
    return m_endlessBoard.Tally(m_view ? &m_view->Scoring() : nullptr, m_session ? m_session->Result().moves : 0);
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

// --- The frame ------------------------------------------------------------------

void GameScreen::Run()
{
    tsv::Screen::Run();
    if (m_playback) {
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
    m_recorder.LookAtTutorial(!ShownTutorial().empty(), ReplayAction::Kind::TutorialClosed);
    // The objective's banner goes first; the text about it follows, beside the board.
    if (!m_message.IsShowing()) {
        m_tutorials.ShowObjectiveText(*m_board);
    }
    if (m_player == LevelSession::Player::Bot && !replay) {
        m_tutorials.DismissWhenClosable();
    }
    if (replay && ReplayPlayback::BotClosedTutorial(*replay)) {
        m_tutorials.CloseNow();
    }
    m_recorder.LookAtTutorial(!ShownTutorial().empty(), ReplayAction::Kind::TutorialClosedByBot);
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
        if (IsInputAllowed()) {
            m_tutorials.ShowStartTexts(*m_board, now - m_startTime, now);
        }
    }
    if (!m_endless) {
        m_hud.UpdateTime(*m_board, now);
    }
    m_hints.Update(now, m_input.SelectedX() >= 0);
    if (m_player == LevelSession::Player::Person) {
        for (const tsv::InputManager::PointerState& state : pointer) {
            m_recorder.Pointer(state.x, state.y, state.leftDown);
            m_input.Pointer(state.x, state.y, state.leftDown);
        }
    }
    m_recorder.SeeTutorial(!ShownTutorial().empty());
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
    m_message.Show("gameOver", LevelSession::kGameOverDelayMs, Now());
    if (m_media) {
        tsv::SoundManager::Instance().Play("/sound/gameover.wav");
    }
}

void GameScreen::OnLevelComplete()
{
    m_message.Show("levelComplete", LevelSession::kCompleteDelayMs + 1000, Now());
    if (m_media) {
        m_media->Effects().FireGuiEffect(GuiEffectLevelCompleteIcon, {0, 0, 0}, kHoverEffectLayer);
    }
}

void GameScreen::OnInputStopped() { m_input.Drop(); }

void GameScreen::OnHint(int x1, int y1, int x2, int y2, const HintRecord& about,
                        const std::vector<std::pair<int, int>>& work)
{
    // The last few cells that still need work glitter.
    m_hints.Glitter(work, [this](int x, int y) { FireEffect(EffectBlockGlitter, x, y); });
    if (x1 < 0) {
        return;
    }
    m_tutorials.ShowHintText(*m_board, x1, y1, x2, y2, about, work.size());
    if (m_hintsOn && m_player == LevelSession::Player::Person) {
        m_hints.ShowArrows(x1, y1, x2, y2, Now());
    }
}

void GameScreen::OnNoMovesNotice()
{
    m_message.Show("noMoves", LevelSession::kNoMovesReshuffleMs - LevelSession::kNoMovesNoticeMs, Now());
}

void GameScreen::OnMove(int, int, int, int) { m_hints.HideArrows(); }

void GameScreen::OnFinished(BoardResult& result)
{
    RecordLevelEnd(m_state, m_mode, m_session->TimeUsedPercent(), m_view->Scoring().Points(), result);
    m_recorder.End(FormatResultJson(result, m_seed));
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
    if (m_preview || m_playback || m_ended || !tsv::Application::Instance().GetTimer().IsRunning()) {
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
        m_recorder.End(ResultLineNow()); // whoever played, the level so far is kept
    }
    // Only a player's level still undecided: a preview, the bot, a level won
    // or lost, or one already left have nothing (more) to keep.
    if (m_endless) {
        if (m_ended || !m_session || !KeepsEndlessBoard()) {
            return false;
        }
        m_ended = true;
        return m_endlessBoard.Save("The game closed on the endless board", Tally(), *m_board);
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
    m_recorder.End(ResultLineNow());
    if (ending == Ending::Left && KeepsEndlessBoard()) {
        m_endlessBoard.Save("Endless board left", Tally(), *m_board);
    } else if (ending == Ending::Left && !m_endless) {
        SaveRun("Level left");
    }
    m_ended = true;
    if (m_onEnd) {
        m_onEnd(result, ending);
    }
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
