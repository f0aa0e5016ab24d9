#pragma once
// The board's input: a player's mouse and keys turned into selections and
// swaps. The mouse presses, hovers, clicks and drags; the arrows move a cursor
// over the cells and Space or Return act on its cell as a click would. Each
// release (or key) is decided by DecideRelease and carried out in one place.

#include "engine/scene/scenenode.h"

#include <functional>
#include <string>

namespace bsh {

// Where a release of the left button leads, given the pressed cell, the
// selection and how far the mouse moved since the press.
struct ReleaseAction {
    enum class Kind { None, Select, Deselect, Swap } kind = Kind::None;
    int x = -1, y = -1;   // Select: the new selection; Swap: the first cell
    int tx = -1, ty = -1; // Swap: the second cell
};
// A move of at most 5 pixels each way is a click on the cell under the mouse;
// anything longer is a drag from the pressed cell toward its neighbour in the
// dominant direction (vertical when |dy| >= |dx|). `selectable` says whether
// the player may pick the piece in a cell.
ReleaseAction DecideRelease(int pressX, int pressY, float dx, float dy, int releaseX, int releaseY, int selX,
                            int selY, const std::function<bool(int, int)>& selectable);

// A picture over a cell of the board (the selection, the press, the cursor,
// hints), hidden until placed; on the marks' layer.
tsv::SceneNodePtr MakeMark(const std::string& texture, float w, float h);
// Centres `mark` on cell (x, y); a negative cell hides it.
void PlaceMark(const tsv::SceneNodePtr& mark, int x, int y);

class BoardInput {
public:
    // What the input acts on and asks about.
    struct Board {
        std::function<bool()> inputAllowed;
        std::function<bool(int, int)> selectable;
        // A jewel that glitters when the mouse comes over it.
        std::function<bool(int, int)> glitters;
        std::function<void(int, int)> glitter;
        std::function<void(int, int, int, int)> swap;
    };

    explicit BoardInput(Board board);

    // The marks it places: the selection, the press and the keyboard's cursor.
    void CreateMarks();
    void RemoveMarks();

    // The arrows, Space and Return (other keys are not the board's).
    void Key(int keyCode);
    // The mouse at view pixel (x, y), the left button down or up.
    void Pointer(float viewX, float viewY, bool leftDown);
    void Select(int x, int y);
    // Input stopped (the level's end, a reshuffle): no selection, no press.
    void Drop();

    int SelectedX() const { return m_selX; }
    int SelectedY() const { return m_selY; }
    int CursorX() const { return m_cursorX; }
    int CursorY() const { return m_cursorY; }

private:
    void Apply(const ReleaseAction& action);
    void PlaceCursor(int x, int y);

    Board m_board;
    tsv::SceneNodePtr m_selection, m_pressMark, m_cursorMark;
    int m_selX = -1, m_selY = -1;
    int m_pressX = -1, m_pressY = -1;
    float m_pressMouseX = 0, m_pressMouseY = 0;
    int m_hoverX = -1, m_hoverY = -1;
    int m_cursorX = -1, m_cursorY = -1;
    bool m_leftWasDown = false;
};

} // namespace bsh
