#include "game/screens/boardscreen.h"

#include "engine/core/log.h"
#include "game/progress/gamestate.h"
#include "engine/runtime/application.h"
#include "engine/scene/inputmanager.h"
#include "engine/scene/nodelibrary.h"
#include "engine/scene/scenemanager.h"
#include "engine/sound/soundmanager.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace bsh {

using tsv::EndL;
using tsv::GetLog;

namespace {

// A press and release this close together is a click.
constexpr float kClickTolerance = 5.0f;
// Fewer cells than this still needing work glitter at hint time.
constexpr int kGlitterBelow = 10;
constexpr int64_t kHintDelayTutorial = 3000;
constexpr int64_t kHintDelayQuiet = 10000;
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
    node->SetTimer(tsv::IntrusivePtr<tsv::Timer>(&tsv::Application::Instance().GetTimer()), true, true);
    node->SetLayer(kMarkLayer, true);
    node->SetVisible(false, true);
    tsv::SceneManager::Instance().AddNode(node, true, true);
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
    mark->SetPosition({PlayField::ColumnX(x), PlayField::RowY(y), 0}, true);
    mark->SetVisible(true, true);
}

void AppendJsonString(std::string& out, const std::string& text)
{
    out += '"';
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            out += escaped;
        } else {
            out += static_cast<char>(c);
        }
    }
    out += '"';
}

} // namespace

std::string FormatResultJson(const BoardResult& result, uint32_t seed)
{
    std::string out = "{\"level\": ";
    AppendJsonString(out, result.level);
    char rest[256];
    std::snprintf(rest, sizeof rest,
                  ", \"won\": %s, \"score\": %lld, \"time_played_ms\": %lld, \"time_left_ms\": %lld, "
                  "\"moves\": %d, \"reshuffles\": %d, \"seed\": %u}",
                  result.won ? "true" : "false", static_cast<long long>(result.score),
                  static_cast<long long>(result.timePlayedMs), static_cast<long long>(result.timeLeftMs), result.moves,
                  result.reshuffles, seed);
    return out + rest;
}

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

BoardScreen::BoardScreen(GameState& state, std::string levelPath, int32_t mode, bool autoplay)
    : m_state(state), m_levelPath(std::move(levelPath)), m_mode(mode), m_autoplay(autoplay)
{
}

BoardScreen::~BoardScreen()
{
    for (tsv::SceneNodePtr* node : {&m_backdrop, &m_selection, &m_pressMark, &m_hintArrows, &m_message}) {
        if (*node) {
            (*node)->Expire();
        }
    }
    for (const tsv::SceneNodePtr& node : m_level.nodes) {
        node->Expire();
    }
}

int64_t BoardScreen::Now() const { return tsv::Application::Instance().GetTimer().GetTime(); }

bool BoardScreen::Start()
{
    m_board = tsv::MakeIntrusive<PlayField>(m_state);
    if (!LoadLevel(m_levelPath, *m_board, &m_level)) {
        return false;
    }
    m_board->PlugIntoSavedGame();
    m_result.level = m_levelPath;

    m_backdrop = tsv::NodeLibrary::Instance().CreateNode("/object/bg/gamebg2.xml");
    if (m_backdrop) {
        m_backdrop->SetTimer(tsv::IntrusivePtr<tsv::Timer>(&tsv::Application::Instance().GetTimer()), true, true);
        m_backdrop->SetLayer(kBackdropLayer, true);
        tsv::SceneManager::Instance().AddNode(m_backdrop, true, true);
    }
    m_selection = MakeMark("/texture/playfield/select.png", kCellSize, kCellSize);
    m_pressMark = MakeMark("/texture/playfield/select.png", kCellSize, kCellSize);
    m_pressMark->SetColor(kPressMarkColour);
    m_hintArrows = MakeMark("/texture/gui/hint-arrows.png", 2 * kCellSize, kCellSize);

    m_font = tsv::MakeIntrusive<tsv::Font>();
    if (!m_font->Load(kMessageFont)) {
        m_font = nullptr;
    }

    m_startTime = Now();
    m_board->SetLastMatchTime(m_startTime);
    m_nextDoneCheck = m_startTime + kDoneCheckMs;

    // Hints: always for a player without a profile; otherwise as the profile
    // says, never at Hard. They come sooner while tutorial texts are still due.
    tsv::IntrusivePtr<Profile> profile = m_state.CurrentProfile();
    m_hintsOn = !profile || (profile->GetHints() && profile->GetDifficulty() != DifficultyHard);
    int32_t tutorials = 0;
    if (profile) {
        for (int hint = 0; hint < HintRecord::kFlagCount; ++hint) {
            tutorials += profile->Awards().GetHintCounter(hint);
        }
    }
    m_hintDelay = tutorials > 2 ? kHintDelayTutorial : kHintDelayQuiet;
    GetLog() << tsv::Hint << "Level started: " << m_levelPath << EndL;
    return true;
}

bool BoardScreen::IsInputAllowed() const
{
    return m_completionTime == 0 && m_gameOverTime == 0 && m_noMovesStart == 0 && !m_state.IsWon() && !m_handedOver;
}

void BoardScreen::Run()
{
    tsv::InputManager& input = tsv::InputManager::Instance();
    Frame(input.GetMouseX(), input.GetMouseY(), input.IsLeftButtonDown());
}

void BoardScreen::Frame(float mouseX, float mouseY, bool leftDown)
{
    if (m_handedOver || !m_board) {
        return;
    }
    const int64_t now = Now();
    m_board->Step();

    // The level is rated by the share of its time used.
    const int64_t limit = m_board->GetTimeLimit();
    const double fraction =
        limit > 0 ? std::clamp(static_cast<double>(m_board->GetTimeLeft()) / static_cast<double>(limit), 0.0, 1.0)
                  : 0.0;
    m_state.SetTimeUsed(static_cast<int32_t>((1.0 - fraction) * 100.0));

    UpdateLevelEnd(now);
    if (m_handedOver) {
        return;
    }
    if (m_completionTime == 0) {
        UpdateHints(now);
        UpdateNoMoves(now);
    }
    if (m_autoplay) {
        UpdateBot(now);
    } else {
        HandleMouse(mouseX, mouseY, leftDown);
    }
}

void BoardScreen::UpdateLevelEnd(int64_t now)
{
    // Time up: the level is lost, whatever the board is still doing.
    if (m_board->GetTimeLeft() == 0 && m_completionTime == 0) {
        if (m_gameOverTime == 0) {
            m_gameOverTime = now;
            GetLog() << tsv::Hint << "Game over: the time is up" << EndL;
            ShowMessage("Time is up", kGameOverDelayMs);
            tsv::SoundManager::Instance().Play("/sound/gameover.wav");
            Select(-1, -1);
            PlaceMark(m_pressMark, -1, -1);
        } else if (now - m_gameOverTime >= kGameOverDelayMs) {
            Finish(false);
        }
        return;
    }
    if (m_completionTime == 0) {
        if (now >= m_nextDoneCheck) {
            m_nextDoneCheck = now + kDoneCheckMs;
            if (m_board->IsLevelDone()) {
                m_completionTime = now;
                GetLog() << tsv::Hint << "Level complete" << EndL;
                ShowMessage("Level complete", kCompleteDelayMs + 1000);
                m_state.Effects().FireGuiEffect(GuiEffectLevelCompleteIcon, {0, 0, 0}, kHoverEffectLayer);
                Select(-1, -1);
                PlaceMark(m_pressMark, -1, -1);
            }
        }
        return;
    }
    if (now - m_completionTime >= kCompleteDelayMs) {
        Finish(true);
    }
}

void BoardScreen::UpdateHints(int64_t now)
{
    if (now > m_board->GetLastMatchTime() + m_hintDelay && m_board->IsSettled() && IsInputAllowed()) {
        GiveHint(now);
        m_board->SetLastMatchTime(now);
    }
    if (m_hintArrows && m_hintArrows->IsVisible() && (now >= m_hintArrowsUntil || m_selX >= 0)) {
        m_hintArrows->SetVisible(false, true);
    }
}

void BoardScreen::GiveHint(int64_t now)
{
    // The last few cells that still need work glitter.
    std::vector<std::pair<int, int>> work;
    for (int x = 0; x < kBoardColumns; ++x) {
        for (int y = 0; y < kBoardRows; ++y) {
            const int32_t kind = m_board->CellAt(x, y).kind;
            const int32_t type = m_board->TypeAt(x, y);
            if (kind == CellWood || kind == CellIron || type == PieceBlock) {
                work.emplace_back(x, y);
            }
        }
    }
    if (static_cast<int>(work.size()) < kGlitterBelow) {
        for (const auto& [x, y] : work) {
            m_state.Effects().FireEffect(EffectBlockGlitter, {PlayField::ColumnX(x), PlayField::RowY(y), 0},
                                         kHoverEffectLayer);
        }
    }
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    HintRecord hint;
    if (!m_board->FindMove(x1, y1, x2, y2, &hint)) {
        StartNoMoves(now);
        return;
    }
    m_noMovesStart = 0;
    m_noMovesNoticeShown = false;
    if (m_hintsOn && !m_autoplay) {
        ShowHintArrows(x1, y1, x2, y2, now);
    }
}

void BoardScreen::ShowHintArrows(int x1, int y1, int x2, int y2, int64_t now)
{
    if (!m_hintArrows) {
        return;
    }
    const float cx = (PlayField::ColumnX(x1) + PlayField::ColumnX(x2)) * 0.5f;
    const float cy = (PlayField::RowY(y1) + PlayField::RowY(y2)) * 0.5f;
    m_hintArrows->SetRotation(x1 == x2 ? kPi * 0.5f : 0.0f, false);
    m_hintArrows->SetPosition({cx, cy, 0}, true);
    m_hintArrows->SetVisible(true, true);
    // The arrows fade, so the two jewels they point at show again.
    m_hintArrows->SetAlphaFade(true, now, now + kHintArrowsMs, 240, 0);
    m_hintArrowsUntil = now + kHintArrowsMs;
}

void BoardScreen::StartNoMoves(int64_t now)
{
    if (m_noMovesStart == 0) {
        m_noMovesStart = now;
        m_noMovesNoticeShown = false;
        Select(-1, -1);
    }
}

void BoardScreen::UpdateNoMoves(int64_t now)
{
    if (m_noMovesStart == 0) {
        return;
    }
    if (!m_noMovesNoticeShown && now - m_noMovesStart >= kNoMovesNoticeMs) {
        m_noMovesNoticeShown = true;
        GetLog() << tsv::Hint << "No more moves: the board reshuffles" << EndL;
        ShowMessage("No more moves", kNoMovesReshuffleMs - kNoMovesNoticeMs);
        m_board->ShakeSwappables();
    }
    if (now - m_noMovesStart >= kNoMovesReshuffleMs) {
        m_noMovesStart = 0;
        m_noMovesNoticeShown = false;
        m_board->Reshuffle();
        ++m_result.reshuffles;
    }
}

void BoardScreen::UpdateBot(int64_t now)
{
    if (!m_board->IsSettled() || !IsInputAllowed()) {
        m_settledSince = 0;
        return;
    }
    if (m_settledSince == 0) {
        m_settledSince = now;
        return;
    }
    if (now - m_settledSince < kBotThinkMs) {
        return;
    }
    m_settledSince = 0;
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    if (m_board->FindMove(x1, y1, x2, y2)) {
        TrySwap(x1, y1, x2, y2);
    } else {
        StartNoMoves(now);
    }
}

void BoardScreen::TrySwap(int x1, int y1, int x2, int y2)
{
    ++m_result.moves;
    m_board->Swap(x1, y1, x2, y2);
    if (m_hintArrows) {
        m_hintArrows->SetVisible(false, true);
    }
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
        m_state.Effects().FireEffect(EffectJewelGlitter, {PlayField::ColumnX(cx), PlayField::RowY(cy), 0},
                                     kHoverEffectLayer);
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
                TrySwap(action.x, action.y, action.tx, action.ty);
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

void BoardScreen::Finish(bool won)
{
    m_handedOver = true;
    const int64_t played = m_board->GetTimePlayed();
    const int64_t left = m_board->GetTimeLeft();
    if (IsValidMode(m_mode)) {
        m_state.SetStat64(m_mode, StatTimePlayed, played / 1000);
        if (won) {
            m_state.SetStat64(m_mode, StatTimeLeft, left / 1000);
        }
    }
    m_state.SetWon(won);

    m_result.won = won;
    m_result.timePlayedMs = played;
    m_result.timeLeftMs = left;
    tsv::IntrusivePtr<Profile> profile = m_state.CurrentProfile();
    m_result.score = profile && IsValidMode(m_mode) ? profile->Record().GetScore(m_mode) : 0;
    GetLog() << tsv::Hint << (won ? "Level won: " : "Level lost: ") << m_levelPath << EndL;
    m_ended = true;
    if (m_onEnd) {
        m_onEnd(m_result);
    }
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
    m_message->SetLayer(kMessageLayer, false);
    m_font->LayText(text, *m_message, kMessageColour);
    m_message->SetTimer(tsv::IntrusivePtr<tsv::Timer>(&tsv::Application::Instance().GetTimer()), true, true);
    m_message->SetScale(1.5f, 1.5f, false);
    m_message->SetPosition({-size.x * 0.75f, -size.y * 0.75f, 0}, true);
    m_message->SetAlphaFade(true, now + ms - kMessageFadeMs, now + ms, 255, 0);
    m_message->SetExpiry(now + ms);
    tsv::SceneManager::Instance().AddNode(m_message, true, true);
}

std::string BoardScreen::Dump() const { return m_board ? m_board->DumpText() : std::string("no board"); }

} // namespace bsh
