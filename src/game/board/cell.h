#pragma once
// One square of the board: its kind (whether it exists, and how worn it is)
// and the piece standing in it.

#include "game/board/piece.h"

#include <cstdint>

namespace bsh {

enum CellKind : int32_t {
    CellNone = 0,   // no square: nothing stands on it or falls into it
    CellNormal = 1,
    CellWood = 2,   // one hit makes it Normal
    CellIron = 3,   // one hit makes it Wood
};

struct Cell {
    CellKind kind = CellNone;
    PiecePtr piece;
};

} // namespace bsh
