#include "game/screens/boardscreen.h"

#include "engine/core/log.h"
#include "engine/core/random.h"
#include "engine/runtime/application.h"
#include "engine/scene/inputmanager.h"
#include "engine/scene/nodelibrary.h"
#include "engine/scene/scenemanager.h"
#include "engine/sound/soundmanager.h"
#include "game/progress/gamestate.h"
#include "game/progress/levelplay.h"
#include "game/screens/gamemedia.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace bsh {

using tsv::EndL;
using tsv::GetLog;

namespace {

// A press and release this close together is a click.
constexpr float kClickTolerance = 5.0f;
// Fewer cells than this still needing work glitter at hint time.
constexpr int kGlitterBelow = 10;
constexpr int64_t kHintArrowsMs = 2500;
// The selection and press marks sit above the pieces, the effects above them.
constexpr int32_t kMarkLayer = kBoardLayer + 1;
constexpr int32_t kHoverEffectLayer = kBoardLayer + 2;
constexpr int32_t kBackdropLayer = 0;
constexpr uint32_t kPressMarkColour = 0x80FFFFFF;
constexpr float kPi = 3.14159265358979f;
constexpr int32_t kMessageLayer = kBoardLayer + 3;
constexpr uint32_t kMessageColour = 0xFFFFF2C8;
constexpr int64_t kMessageFadeMs = 400;
// Until the texts come from the language files, the board speaks English.
constexpr const char* kMessageFont = "/font/title-1252.xml";

tsv::SceneNodePtr MakeMark(const std::string& texture, float w, float h)
{
    tsv::SceneNodePtr node = tsv::MakeIntrusive<tsv::SceneNode>();
    node->SetMesh(tsv::Mesh(w, h));
    node->SetTexture(texture);
    tsv::AddGameNode(node, kMarkLayer);
    node->SetVisible(false, true);
    return node;
}

void PlaceMark(const tsv::SceneNodePtr& mark, int x, int y)
{
    if (!mark) {
        return;
    }
    if (x < 0 || y < 0) {
        mark->SetVisible(false, true);
        return;
    }
    mark->SetPosition({ColumnX(x), RowY(y), 0}, true);
    mark->SetVisible(true, true);
}

} // namespace

ReleaseAction DecideRelease(int pressX, int pressY, float dx, float dy, int releaseX, int releaseY, int selX,
                            int selY, const std::function<bool(int, int)>& selectable)
{
    ReleaseAction action;
    if (std::fabs(dx) <= kClickTolerance && std::fabs(dy) <= kClickTolerance) {
        if (releaseX < 0 || releaseY < 0) {
            return action;
        }
        if (selX < 0) {
            if (selectable(releaseX, releaseY)) {
                action = {ReleaseAction::Select, releaseX, releaseY, -1, -1};
            }
            return action;
        }
        if (releaseX == selX && releaseY == selY) {
            action.kind = ReleaseAction::Deselect;
            return action;
        }
        if (std::abs(releaseX - selX) + std::abs(releaseY - selY) == 1) {
            if (selectable(selX, selY) && selectable(releaseX, releaseY)) {
                action = {ReleaseAction::Swap, selX, selY, releaseX, releaseY};
            } else {
                action.kind = ReleaseAction::Deselect;
            }
            return action;
        }
        if (selectable(releaseX, releaseY)) {
            action = {ReleaseAction::Select, releaseX, releaseY, -1, -1};
        }
        return action;
    }
    // A drag: toward the neighbour in the dominant direction.
    int tx = pressX;
    int ty = pressY;
    if (std::fabs(dy) >= std::fabs(dx)) {
        ty += dy < 0 ? -1 : 1;
    } else {
        tx += dx < 0 ? -1 : 1;
    }
    if (PlayField::InGrid(tx, ty) && selectable(pressX, pressY) && selectable(tx, ty)) {
        action = {ReleaseAction::Swap, pressX, pressY, tx, ty};
    }
    return action;
}

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

BoardScreen::BoardScreen(GameState& state, std::string levelPath, int32_t mode, LevelSession::Player player,
                         GameMedia* media)
    : m_state(state), m_media(media), m_levelPath(std::move(levelPath)), m_mode(mode), m_player(player)
{
}

BoardScreen::~BoardScreen()
{
    if (m_board) {
        m_state.SetBoardSnapshotHooks({}, {});
    }
    m_session.reset();
    m_board = nullptr;
    m_view.reset();
    for (tsv::SceneNodePtr* node : {&m_backdrop, &m_selection, &m_pressMark, &m_hintArrows, &m_message}) {
        if (*node) {
            (*node)->Expire();
        }
    }
    for (const tsv::SceneNodePtr& node : m_decoration) {
        node->Expire();
    }
}

int64_t BoardScreen::Now() const { return tsv::Application::Instance().GetTimer().GetTime(); }

bool BoardScreen::Start()
{
    m_view = std::make_unique<BoardView>(m_state, m_media);
    m_board = tsv::MakeIntrusive<PlayField>(*m_view, [] { return tsv::Application::Instance().GetTimer().GetTime(); });
    m_board->Seed(m_seed);
    if (!LoadLevelForPlay(m_state, m_levelPath, *m_board, &m_level)) {
        return false;
    }
    m_view->BuildFrame();
    m_view->Sync(*m_board);
    PlayField* board = m_board.Get();
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
    m_selection = MakeMark("/texture/playfield/select.png", kCellSize, kCellSize);
    m_pressMark = MakeMark("/texture/playfield/select.png", kCellSize, kCellSize);
    m_pressMark->SetColor(kPressMarkColour);
    m_hintArrows = MakeMark("/texture/gui/hint-arrows.png", 2 * kCellSize, kCellSize);

    m_font = tsv::MakeIntrusive<tsv::Font>();
    if (!m_font->Load(kMessageFont)) {
        m_font = nullptr;
    }

    // Hints: always for a player without a profile; otherwise as the profile
    // says, never at Hard. They come sooner while tutorial texts are still due.
    tsv::IntrusivePtr<Profile> profile = m_state.CurrentProfile();
    m_hintsOn = !profile || (profile->GetHints() && profile->GetDifficulty() != DifficultyHard);
    m_session = std::make_unique<LevelSession>(*m_board, static_cast<SessionCues&>(*this), m_player, HintDelayFor(m_state));
    m_session->Start(m_levelPath);
    GetLog() << tsv::Hint << "Level started: " << m_levelPath << EndL;
    return true;
}

bool BoardScreen::IsInputAllowed() const { return m_session && m_session->IsInputAllowed(); }

const BoardResult& BoardScreen::Result() const
{
    static const BoardResult s_none;
    return m_session ? m_session->Result() : s_none;
}

void BoardScreen::Run()
{
    tsv::InputManager& input = tsv::InputManager::Instance();
    Frame(input.GetMouseX(), input.GetMouseY(), input.IsLeftButtonDown());
}

void BoardScreen::Frame(float mouseX, float mouseY, bool leftDown)
{
    if (!m_session || m_session->HasEnded()) {
        return;
    }
    const bool running = m_session->Frame();
    m_view->Sync(*m_board);
    m_state.SetTimeUsed(m_session->TimeUsedPercent());
    if (!running) {
        return;
    }
    const int64_t now = Now();
    if (m_hintArrows && m_hintArrows->IsVisible() && (now >= m_hintArrowsUntil || m_selX >= 0)) {
        m_hintArrows->SetVisible(false, true);
    }
    if (m_player == LevelSession::Player::Person) {
        HandleMouse(mouseX, mouseY, leftDown);
    }
}

void BoardScreen::FireEffect(GameEffect effect, int x, int y)
{
    if (m_media) {
        m_media->Effects().FireEffect(effect, {ColumnX(x), RowY(y), 0}, kHoverEffectLayer);
    }
}

void BoardScreen::OnTimeUp()
{
    ShowMessage("Time is up", LevelSession::kGameOverDelayMs);
    if (m_media) {
        tsv::SoundManager::Instance().Play("/sound/gameover.wav");
    }
}

void BoardScreen::OnLevelComplete()
{
    ShowMessage("Level complete", LevelSession::kCompleteDelayMs + 1000);
    if (m_media) {
        m_media->Effects().FireGuiEffect(GuiEffectLevelCompleteIcon, {0, 0, 0}, kHoverEffectLayer);
    }
}

void BoardScreen::OnInputStopped()
{
    Select(-1, -1);
    PlaceMark(m_pressMark, -1, -1);
}

void BoardScreen::OnHint(int x1, int y1, int x2, int y2, const std::vector<std::pair<int, int>>& work)
{
    // The last few cells that still need work glitter.
    if (static_cast<int>(work.size()) < kGlitterBelow) {
        for (const auto& [x, y] : work) {
            FireEffect(EffectBlockGlitter, x, y);
        }
    }
    if (x1 >= 0 && m_hintsOn && m_player == LevelSession::Player::Person) {
        ShowHintArrows(x1, y1, x2, y2, Now());
    }
}

void BoardScreen::OnNoMovesNotice()
{
    ShowMessage("No more moves", LevelSession::kNoMovesReshuffleMs - LevelSession::kNoMovesNoticeMs);
}

void BoardScreen::OnMove(int, int, int, int)
{
    if (m_hintArrows) {
        m_hintArrows->SetVisible(false, true);
    }
}

void BoardScreen::OnFinished(BoardResult& result)
{
    RecordLevelEnd(m_state, m_mode, m_session->TimeUsedPercent(), result);
    m_ended = true;
    if (m_onEnd) {
        m_onEnd(result);
    }
}

void BoardScreen::ShowHintArrows(int x1, int y1, int x2, int y2, int64_t now)
{
    if (!m_hintArrows) {
        return;
    }
    const float cx = (ColumnX(x1) + ColumnX(x2)) * 0.5f;
    const float cy = (RowY(y1) + RowY(y2)) * 0.5f;
    m_hintArrows->SetRotation(x1 == x2 ? kPi * 0.5f : 0.0f, false);
    m_hintArrows->SetPosition({cx, cy, 0}, true);
    m_hintArrows->SetVisible(true, true);
    // The arrows fade, so the two jewels they point at show again.
    m_hintArrows->SetAlphaFade(true, now, now + kHintArrowsMs, 240, 0);
    m_hintArrowsUntil = now + kHintArrowsMs;
}

void BoardScreen::Select(int x, int y)
{
    m_selX = x;
    m_selY = y;
    PlaceMark(m_selection, x, y);
}

void BoardScreen::HandleMouse(float mouseX, float mouseY, bool leftDown)
{
    const float bx = mouseX - 400.0f;
    const float by = mouseY - 300.0f;
    int cx = PlayField::ColumnAt(bx);
    int cy = PlayField::RowAt(by);
    if (cx < 0 || cy < 0) {
        cx = cy = -1;
    }
    const bool allowed = IsInputAllowed();

    if ((cx != m_hoverX || cy != m_hoverY) && cx >= 0 && allowed && m_board->TypeAt(cx, cy) == PieceJewel &&
        m_board->IsSelectable(cx, cy)) {
        FireEffect(EffectJewelGlitter, cx, cy);
    }
    m_hoverX = cx;
    m_hoverY = cy;

    if (leftDown && !m_leftWasDown && allowed && cx >= 0 && m_board->IsSelectable(cx, cy)) {
        m_pressX = cx;
        m_pressY = cy;
        m_pressMouseX = bx;
        m_pressMouseY = by;
        PlaceMark(m_pressMark, cx, cy);
    }
    if (!leftDown && m_leftWasDown && m_pressX >= 0) {
        if (allowed) {
            const ReleaseAction action =
                DecideRelease(m_pressX, m_pressY, bx - m_pressMouseX, by - m_pressMouseY, cx, cy, m_selX, m_selY,
                              [this](int x, int y) { return m_board->IsSelectable(x, y); });
            switch (action.kind) {
            case ReleaseAction::Select:
                Select(action.x, action.y);
                break;
            case ReleaseAction::Deselect:
                Select(-1, -1);
                break;
            case ReleaseAction::Swap:
                m_session->TrySwap(action.x, action.y, action.tx, action.ty);
                Select(-1, -1);
                break;
            case ReleaseAction::None:
                break;
            }
        }
        m_pressX = m_pressY = -1;
        PlaceMark(m_pressMark, -1, -1);
    }
    m_leftWasDown = leftDown;
}

void BoardScreen::ShowMessage(const std::string& text, int64_t ms)
{
    if (m_message) {
        m_message->Expire();
        m_message = nullptr;
    }
    if (!m_font) {
        return;
    }
    const int64_t now = Now();
    const tsv::Vec2 size = m_font->MeasureText(text);
    m_message = tsv::MakeIntrusive<tsv::SceneNode>();
    m_font->LayText(text, *m_message, kMessageColour);
    m_message->SetScale(1.5f, 1.5f, false);
    m_message->SetPosition({-size.x * 0.75f, -size.y * 0.75f, 0}, true);
    tsv::AddGameNode(m_message, kMessageLayer);
    m_message->SetAlphaFade(true, now + ms - kMessageFadeMs, now + ms, 255, 0);
    m_message->SetExpiry(now + ms);
}

std::string BoardScreen::Dump() const { return m_board ? m_board->DumpText() : std::string("no board"); }

} // namespace bsh
