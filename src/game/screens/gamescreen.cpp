#include "game/screens/gamescreen.h"

#include "engine/core/log.h"
#include "engine/core/util/file/recordio.h"
#include "engine/gui/screenstack.h"
#include "engine/platform/keynames.h"
#include "engine/runtime/application.h"
#include "engine/scene/inputmanager.h"
#include "game/progress/endlessrun.h"
#include "game/progress/gamestate.h"
#include "game/progress/levelplay.h"
#include "game/screens/gamemedia.h"
#include "game/screens/leavedialog.h"
#include "game/screens/levelreport.h"
#include "game/screens/pausescreen.h"

namespace bsh {

using tsv::EndL;
using tsv::GetLog;

namespace {

constexpr int64_t kObjectiveMessageMs = 3000;

} // namespace

GameScreen::GameScreen(GameState& state, std::string levelPath, GameMode mode, LevelSession::Player player,
                       GameMedia* media, Showing showing)
    : m_state(state), m_media(media), m_levelPath(std::move(levelPath)), m_mode(mode),
      m_preview(showing == Showing::Preview), m_endless(showing == Showing::Endless), m_endlessBoard(state),
      m_savedRun(state, mode),
      m_player(player),
      m_input({[this] { return IsInputAllowed(); },
               [this](int x, int y) { return m_board->IsSelectable(x, y); },
               [this](int x, int y) { return m_board->TypeAt(x, y) == PieceType::Jewel && m_board->IsSelectable(x, y); },
               [this](int x, int y) { m_cues.FireEffect(GameEffect::JewelGlitter, x, y); },
               [this](int x1, int y1, int x2, int y2) { m_session->TrySwap(x1, y1, x2, y2); }}),
      m_hud(state, media), m_tutorials(state),
      m_cues(media, m_input, m_tutorials, [this](BoardResult& result) { Finish(result); })
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

    // Hints: always in a preview and for a player without a profile;
    // otherwise as the profile says, never at Hard. They come sooner while
    // tutorial texts are still due.
    tsv::IntrusivePtr<Profile> profile = m_state.CurrentProfile();
    const bool hintsOn =
        m_preview || !profile || (profile->GetHints() && profile->GetDifficulty() != Difficulty::Hard);
    m_cues.Begin(*m_board, hintsOn && m_player == LevelSession::Player::Person);
    BuildHud();
    m_session = std::make_unique<LevelSession>(*m_board, m_cues, m_player,
                                               m_preview ? kPreviewHintDelayMs : HintDelayFor(m_state));
    m_session->SetOpenEnded(m_preview || m_endless);
    m_session->Start(m_levelPath);
    m_startTime = Now();
    if (m_board->GetJewelsRequired() > 0) {
        m_cues.Message().Show("jewelsRequired", kObjectiveMessageMs, Now(), m_board->GetJewelsRequired());
    }
    // The objective's tutorial text waits for the first frame, when this
    // screen is on the stack and the box can lie above it.
    m_tutorials.Begin(hintsOn && !m_preview);
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
    if (m_levelPath.empty()) {
        return m_savedRun.Resume(*m_board, m_levelPath, m_level);
    }
    return LoadLevelForPlay(m_state, m_levelPath, *m_board, &m_level);
}

std::string GameScreen::ResultLineNow() const
{
    return m_endless ? FormatEndlessJson(Tally()) : FormatResultJson(WithBoardClock(Result(), m_board.Get()), m_seed);
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
        SetHandler("pausebutton", tsv::GuiEvent::Click, [this](tsv::GUIComponent&) { OpenPause(); });
        SetHandler("closebutton", tsv::GuiEvent::Click, [this](tsv::GUIComponent&) { AskToLeave(); });
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
    if (!m_cues.Message().IsShowing()) {
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
    m_cues.Hints().Update(now, m_input.SelectedX() >= 0);
    if (m_player == LevelSession::Player::Person) {
        for (const tsv::InputManager::PointerState& state : pointer) {
            m_recorder.Pointer(state.x, state.y, state.leftDown);
            m_input.Pointer(state.x, state.y, state.leftDown);
        }
    }
    m_recorder.SeeTutorial(!ShownTutorial().empty());
}

// --- The end of the level ---------------------------------------------------------

void GameScreen::Finish(BoardResult& result)
{
    RecordLevelEnd(m_state, m_mode, m_session->TimeUsedPercent(), m_view->Scoring().Points(), result);
    m_recorder.End(FormatResultJson(result, m_seed));
    m_savedRun.Finish();
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

bool GameScreen::SaveOnClose()
{
    if (!m_ended && m_session && !m_session->HasEnded()) {
        m_recorder.End(ResultLineNow()); // whoever played, the level so far is kept
    }
    const bool started = m_session != nullptr;
    const KeptOnClose kept = DecideKeptOnClose(
        {m_endless, KeepsEndlessBoard(), m_preview, m_ended, started, m_player == LevelSession::Player::Person,
         IsValidMode(m_mode), started && m_session->IsDecided(), m_state.IsWon(), m_state.CurrentProfile() != nullptr});
    if (kept == KeptOnClose::Nothing) {
        return false;
    }
    m_ended = true;
    return kept == KeptOnClose::EndlessBoard
               ? m_endlessBoard.Save("The game closed on the endless board", Tally(), *m_board)
               : m_savedRun.Save("The game closed during a level", m_levelPath);
}

void GameScreen::AskToLeave()
{
    if (!m_leaving && !m_ended) {
        AskToLeaveLevel(m_endless ? "$Screen.Endless.leaveQuestion" : "$Screen.Game.leaveQuestion", [this] { Leave(); });
    }
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
    const BoardResult result = WithBoardClock(m_session->Result(), m_board.Get());
    if (IsValidMode(m_mode)) {
        m_state.SetStat64(m_mode, StatCounter::TimePlayed, result.timePlayedMs / 1000);
    }
    m_recorder.End(ResultLineNow());
    if (ending == Ending::Left && KeepsEndlessBoard()) {
        m_endlessBoard.Save("Endless board left", Tally(), *m_board);
    } else if (ending == Ending::Left && !m_endless) {
        m_savedRun.Save("Level left", m_levelPath);
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
    const EndlessTally tally = Tally();
    return FormatLevelDump(m_board.Get(), m_input.SelectedX(), m_input.SelectedY(), m_endless ? &tally : nullptr);
}

} // namespace bsh
