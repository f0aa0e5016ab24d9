// Gravity, refill and the diagonal slides past holes.

#include "game/board/playfield.h"

namespace bsh {

namespace {
constexpr int64_t kSlideMs = 150;
constexpr float kRefillStartY = -410.0f; // the lowest new jewel of a column starts here
} // namespace

void PlayField::Gravity()
{
    for (int x = 0; x < kBoardColumns; ++x) {
        for (int y = kBoardRows - 2; y >= 0; --y) {
            if (!IsReadyToFall(x, y) || !IsEmpty(x, y + 1)) {
                continue;
            }
            int target = y + 1;
            while (IsEmpty(x, target + 1)) {
                ++target;
            }
            PiecePtr piece = CellRef(x, y).piece;
            piece->FallTo(ColumnX(x), RowY(target), m_now);
            CellRef(x, target).piece = piece;
            CellRef(x, y).piece = nullptr;
        }
    }
}

void PlayField::Refill()
{
    for (int x = 0; x < kBoardColumns; ++x) {
        int top = 0;
        while (top < kBoardRows && !CellExists(x, top)) {
            ++top;
        }
        int end = top;
        while (IsEmpty(x, end)) {
            ++end;
        }
        const int last = end - 1;
        for (int y = top; y <= last; ++y) {
            Piece* piece = NewPiece(x, y, GetRandomColor(), PieceType::Jewel);
            piece->SetPosition(ColumnX(x), kRefillStartY - static_cast<float>(kCellSize * (last - y)));
            piece->FallTo(ColumnX(x), RowY(y), m_now);
        }
    }
}

bool PlayField::TrySlide(int x, int y, int dx)
{
    const int side = x + dx;
    if (!IsEmpty(side, y + 1)) {
        return false;
    }
    // The piece above would drop into the hole beside it first.
    if (y > 0 && Falls(x, y - 1) && IsEmpty(side, y)) {
        return false;
    }
    // So would the first piece up the side column, when it falls.
    for (int up = y; up >= 0; --up) {
        if (IsEmpty(side, up)) {
            continue;
        }
        if (Falls(side, up)) {
            return false;
        }
        break;
    }
    PiecePtr piece = CellRef(x, y).piece;
    piece->MoveTo(ColumnX(side), RowY(y + 1), kSlideMs, m_now);
    CellRef(side, y + 1).piece = piece;
    CellRef(x, y).piece = nullptr;
    return true;
}

void PlayField::Slide()
{
    for (int x = 0; x < kBoardColumns; ++x) {
        for (int y = 0; y < kBoardRows - 1; ++y) {
            if (!IsReadyToFall(x, y) || TypeAt(x, y) == PieceType::Block || IsEmpty(x, y + 1)) {
                continue;
            }
            if (x > 0 && TrySlide(x, y, -1)) {
                continue;
            }
            if (x < kBoardColumns - 1) {
                TrySlide(x, y, 1);
            }
        }
    }
}

} // namespace bsh
