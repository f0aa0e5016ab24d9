#include "game/screens/boardinput.h"

#include "engine/platform/keynames.h"
#include "engine/scene/frameloop.h"
#include "game/board/playfield.h"
#include "game/screens/boardview.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace bsh {

namespace {

// A press and release this close together is a click.
constexpr float kClickTolerance = 5.0f;
// The selection and press marks sit above the pieces.
constexpr int32_t kMarkLayer = kBoardLayer + 1;
constexpr uint32_t kPressMarkColour = 0x80FFFFFF;
// The keyboard's cursor reaches a little past its square, so that its dark
// rim stands out against the neighbours too.
constexpr float kCursorSize = 44.0f;

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
                action = {ReleaseAction::Kind::Select, releaseX, releaseY, -1, -1};
            }
            return action;
        }
        if (releaseX == selX && releaseY == selY) {
            action.kind = ReleaseAction::Kind::Deselect;
            return action;
        }
        if (std::abs(releaseX - selX) + std::abs(releaseY - selY) == 1) {
            if (selectable(selX, selY) && selectable(releaseX, releaseY)) {
                action = {ReleaseAction::Kind::Swap, selX, selY, releaseX, releaseY};
            } else {
                action.kind = ReleaseAction::Kind::Deselect;
            }
            return action;
        }
        if (selectable(releaseX, releaseY)) {
            action = {ReleaseAction::Kind::Select, releaseX, releaseY, -1, -1};
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
        action = {ReleaseAction::Kind::Swap, pressX, pressY, tx, ty};
    }
    return action;
}

tsv::SceneNodePtr MakeMark(const std::string& texture, float w, float h)
{
    tsv::SceneNodePtr node = tsv::MakeIntrusive<tsv::SceneNode>();
    node->SetMesh(tsv::Mesh(w, h));
    node->SetTexture(texture);
    tsv::AddGameNode(node, kMarkLayer);
    node->SetVisible(false, tsv::Scope::Subtree);
    return node;
}

void PlaceMark(const tsv::SceneNodePtr& mark, int x, int y)
{
    if (!mark) {
        return;
    }
    if (x < 0 || y < 0) {
        mark->SetVisible(false, tsv::Scope::Subtree);
        return;
    }
    mark->SetPosition({PlayField::ColumnX(x), PlayField::RowY(y), 0}, tsv::Transform::Now);
    mark->SetVisible(true, tsv::Scope::Subtree);
}

BoardInput::BoardInput(Board board) : m_board(std::move(board)) {}

void BoardInput::CreateMarks()
{
    m_selection = MakeMark("/texture/playfield/select.png", kCellSize, kCellSize);
    m_pressMark = MakeMark("/texture/playfield/select.png", kCellSize, kCellSize);
    m_pressMark->SetColor(kPressMarkColour);
    m_cursorMark = MakeMark("/texture/playfield/keycursor.png", kCursorSize, kCursorSize);
}

void BoardInput::RemoveMarks()
{
    for (tsv::SceneNodePtr* mark : {&m_selection, &m_pressMark, &m_cursorMark}) {
        if (*mark) {
            (*mark)->Expire();
        }
    }
}

void BoardInput::Select(int x, int y)
{
    m_selX = x;
    m_selY = y;
    PlaceMark(m_selection, x, y);
}

void BoardInput::Drop()
{
    Select(-1, -1);
    PlaceMark(m_pressMark, -1, -1);
}

void BoardInput::PlaceCursor(int x, int y)
{
    m_cursorX = std::clamp(x, 0, kBoardColumns - 1);
    m_cursorY = std::clamp(y, 0, kBoardRows - 2);
    PlaceMark(m_cursorMark, m_cursorX, m_cursorY);
}

void BoardInput::Apply(const ReleaseAction& action)
{
    switch (action.kind) {
    case ReleaseAction::Kind::Select:
        Select(action.x, action.y);
        break;
    case ReleaseAction::Kind::Deselect:
        Select(-1, -1);
        break;
    case ReleaseAction::Kind::Swap:
        m_board.swap(action.x, action.y, action.tx, action.ty);
        Select(-1, -1);
        break;
    case ReleaseAction::Kind::None:
        break;
    }
}

void BoardInput::Key(int keyCode)
{
    if (!m_board.inputAllowed()) {
        return;
    }
    if (m_cursorX < 0) {
        // The first key shows the cursor where the selection is, or mid-board.
        const bool arrow = keyCode == tsv::KeyCode(tsv::KeyId::Left) || keyCode == tsv::KeyCode(tsv::KeyId::Right) || keyCode == tsv::KeyCode(tsv::KeyId::Up) ||
                           keyCode == tsv::KeyCode(tsv::KeyId::Down);
        if (arrow) {
            PlaceCursor(m_selX >= 0 ? m_selX : kBoardColumns / 2, m_selY >= 0 ? m_selY : kBoardRows / 2);
        }
        return;
    }
    if (keyCode == tsv::KeyCode(tsv::KeyId::Left)) {
        PlaceCursor(m_cursorX - 1, m_cursorY);
    } else if (keyCode == tsv::KeyCode(tsv::KeyId::Right)) {
        PlaceCursor(m_cursorX + 1, m_cursorY);
    } else if (keyCode == tsv::KeyCode(tsv::KeyId::Up)) {
        PlaceCursor(m_cursorX, m_cursorY - 1);
    } else if (keyCode == tsv::KeyCode(tsv::KeyId::Down)) {
        PlaceCursor(m_cursorX, m_cursorY + 1);
    } else if (keyCode == tsv::KeyCode(tsv::KeyId::Space) || keyCode == tsv::KeyCode(tsv::KeyId::Return)) {
        // The same decision as a click on the cursor's cell.
        Apply(DecideRelease(m_cursorX, m_cursorY, 0, 0, m_cursorX, m_cursorY, m_selX, m_selY, m_board.selectable));
    }
}

void BoardInput::Pointer(float viewX, float viewY, bool leftDown)
{
    const float bx = viewX - 400.0f;
    const float by = viewY - 300.0f;
    int cx = PlayField::ColumnAt(bx);
    int cy = PlayField::RowAt(by);
    if (cx < 0 || cy < 0) {
        cx = cy = -1;
    }
    const bool allowed = m_board.inputAllowed();

    if ((cx != m_hoverX || cy != m_hoverY) && cx >= 0 && allowed && m_board.glitters(cx, cy)) {
        m_board.glitter(cx, cy);
    }
    m_hoverX = cx;
    m_hoverY = cy;

    if (leftDown && !m_leftWasDown && allowed && cx >= 0 && m_board.selectable(cx, cy)) {
        m_pressX = cx;
        m_pressY = cy;
        m_pressMouseX = bx;
        m_pressMouseY = by;
        PlaceMark(m_pressMark, cx, cy);
    }
    if (!leftDown && m_leftWasDown && m_pressX >= 0) {
        if (allowed) {
            Apply(DecideRelease(m_pressX, m_pressY, bx - m_pressMouseX, by - m_pressMouseY, cx, cy, m_selX, m_selY,
                                m_board.selectable));
        }
        m_pressX = m_pressY = -1;
        PlaceMark(m_pressMark, -1, -1);
    }
    m_leftWasDown = leftDown;
}

} // namespace bsh
