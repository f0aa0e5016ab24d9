#pragma once
// One square of the board: its kind (whether it exists, and how worn it is)
// and the piece standing in it.

#include "game/board/piece.h"

#include <cstdint>

namespace bsh {

enum class CellKind : int32_t {
    None = 0,   // no square: nothing stands on it or falls into it
    Normal = 1,
    Wood = 2,   // one hit makes it Normal
    Iron = 3,   // one hit makes it Wood
};
// The one place a cell kind and its number (in snapshots and dumps) meet.
inline constexpr int32_t CellNumber(CellKind kind) { return static_cast<int32_t>(kind); }

struct Cell {
    CellKind kind = CellKind::None;
    PiecePtr piece;
};

} // namespace bsh
