#pragma once
// Where the board lies in the world: 18 x 15 cells of 40 pixels; (0, 0) is the
// centre of the 800 x 600 view, so cell (c, r) is centred at (40c - 350, 40r - 260)
// and the grid's outer edges are 370 pixels left and 280 pixels up from it.

#include <cstddef>
#include <cstdint>

namespace bsh {

inline constexpr int kBoardColumns = 18;
inline constexpr int kBoardRows = 15;
inline constexpr int kBoardCells = kBoardColumns * kBoardRows;
inline constexpr int kCellSize = 40;
// The top left corner of cell (0, 0).
inline constexpr float kBoardLeft = -370.0f;
inline constexpr float kBoardTop = -280.0f;
inline constexpr float kBoardWidth = static_cast<float>(kBoardColumns * kCellSize);
inline constexpr float kBoardHeight = static_cast<float>(kBoardRows * kCellSize);

constexpr float ColumnX(int column) { return kBoardLeft + static_cast<float>(kCellSize * column + kCellSize / 2); }
constexpr float RowY(int row) { return kBoardTop + static_cast<float>(kCellSize * row + kCellSize / 2); }
// The column / row under a world coordinate, -1 outside the board (the far
// edge itself is outside).
int ColumnAt(float x);
int RowAt(float y);
constexpr bool InGrid(int x, int y) { return x >= 0 && x < kBoardColumns && y >= 0 && y < kBoardRows; }
constexpr size_t CellIndex(int x, int y) { return static_cast<size_t>(x * kBoardRows + y); }

static_assert(ColumnX(0) == -350.0f && RowY(0) == -260.0f);

} // namespace bsh
