#include "game/board/boardgeometry.h"

namespace bsh {

namespace {

// The cell along one axis under offset `t` from the board's edge, -1 outside.
int CellAlong(float t, float extent, int count)
{
    if (t < 0.0f || t > extent) {
        return -1;
    }
    const int cell = static_cast<int>(t) / kCellSize;
    return cell < count ? cell : -1;
}

} // namespace

int ColumnAt(float x) { return CellAlong(x - kBoardLeft, kBoardWidth, kBoardColumns); }

int RowAt(float y) { return CellAlong(y - kBoardTop, kBoardHeight, kBoardRows); }

} // namespace bsh
