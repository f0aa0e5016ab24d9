// Matching: runs of three and more along rows and columns, the corner and T
// shapes that make specials, points, and the wear of the cells under a run.

#include "game/board/playfield.h"

#include <algorithm>
#include <iterator>

namespace bsh {

namespace {

// Run points.
constexpr int32_t kCornerPoints = 25;
constexpr int32_t kTPoints = 30;
constexpr int32_t kFivePoints = 20;
constexpr int32_t kFourPoints = 10;
constexpr int32_t kThreePoints = 5;

} // namespace

namespace {

struct ShapeRule {
    int dx1, dy1, dx2, dy2; // the two cells beyond the anchor triple
    PieceType type;         // the special it makes
    int placeDx, placeDy;   // where, from the anchor
    int32_t points;
};

// Runs along a row: the corners and Ts, in the order they are tried.
constexpr ShapeRule kRowShapes[] = {
    {0, -1, 0, -2, PieceType::CannonRight, 0, 0, kCornerPoints}, // stem up at the left end
    {1, -1, 1, -2, PieceType::Dynamite, 1, 0, kTPoints},         // stem up from the middle
    {2, -1, 2, -2, PieceType::CannonTop, 2, 0, kCornerPoints},   // stem up at the right end
    {0, 1, 0, 2, PieceType::CannonBottom, 0, 0, kCornerPoints},  // stem down at the left end
    {1, 1, 1, 2, PieceType::Dynamite, 1, 0, kTPoints},           // stem down from the middle
    {2, 1, 2, 2, PieceType::CannonLeft, 2, 0, kCornerPoints},    // stem down at the right end
};

// Runs down a column: only the Ts through their middle.
constexpr ShapeRule kColumnShapes[] = {
    {-1, 1, -2, 1, PieceType::Dynamite, 0, 1, kTPoints}, // stem to the left
    {1, 1, 2, 1, PieceType::Dynamite, 0, 1, kTPoints},   // stem to the right
};

} // namespace

void PlayField::CreateSpecial(int x, int y, PieceType type, std::vector<int>& specials)
{
    if (IsSpecialDisabled(type) || IsFixedType(TypeAt(x, y))) {
        return;
    }
    const int32_t colour = ColourAt(x, y);
    NewPiece(x, y, colour, type);
    specials.push_back(static_cast<int>(CellIndex(x, y)));
    m_events.OnEffect(GameEffect::BonusAppears, BoardSpot::Cell(x, y));
}

bool PlayField::ResolveMatches()
{
    std::array<uint8_t, kBoardCells> matched{};
    std::vector<int> specials;
    // Colourless pieces (a rainbow, a jewel of a level without colours) never make a run.
    const auto same = [this](int x, int y, int32_t colour) {
        return colour != 0 && InGrid(x, y) && IsMatchable(x, y) && ColourAt(x, y) == colour;
    };
    const auto mark = [&matched](int x, int y) { matched[CellIndex(x, y)] = 1; };
    int32_t points = 0;
    int popupX = 0, popupY = 0;
    const auto score = [&points, &popupX, &popupY](int32_t value, int x, int y) {
        if (points == 0) {
            points = value;
            popupX = x;
            popupY = y;
        }
    };
    const auto shapes = [&](const ShapeRule* rules, size_t count, int x, int y, int32_t colour, bool row) {
        for (size_t i = 0; i < count; ++i) {
            const ShapeRule& rule = rules[i];
            if (row && ((rule.dy1 < 0 && y < 2) || (rule.dy1 > 0 && y >= kBoardRows - 2))) {
                continue;
            }
            if (!row && ((rule.dx2 < 0 && x < 2) || (rule.dx2 > 0 && x >= kBoardColumns - 2))) {
                continue;
            }
            if (!same(x + rule.dx1, y + rule.dy1, colour) || !same(x + rule.dx2, y + rule.dy2, colour)) {
                continue;
            }
            mark(x + rule.dx1, y + rule.dy1);
            mark(x + rule.dx2, y + rule.dy2);
            CreateSpecial(x + rule.placeDx, y + rule.placeDy, rule.type, specials);
            score(rule.points, x + rule.placeDx, y + rule.placeDy);
        }
    };

    for (int x = 0; x <= kBoardColumns - 3; ++x) {
        for (int y = 0; y < kBoardRows; ++y) {
            const int32_t colour = ColourAt(x, y);
            if (!same(x, y, colour) || !same(x + 1, y, colour) || !same(x + 2, y, colour)) {
                continue;
            }
            points = 0;
            shapes(kRowShapes, std::size(kRowShapes), x, y, colour, true);
            if (x < kBoardColumns - 3 && same(x + 3, y, colour)) {
                if (x < kBoardColumns - 4 && same(x + 4, y, colour)) {
                    mark(x + 4, y);
                    CreateSpecial(x + 2, y, PieceType::Rainbow, specials);
                    score(kFivePoints, x + 2, y);
                }
                if (TypeAt(x + 1, y) == PieceType::Jewel) {
                    CreateSpecial(x + 1, y, PieceType::Bomb, specials);
                }
                mark(x + 3, y);
                score(kFourPoints, x + 2, y);
            } else if (!matched[CellIndex(x + 1, y)]) {
                score(kThreePoints, x + 1, y);
            }
            mark(x, y);
            mark(x + 1, y);
            mark(x + 2, y);
            if (points != 0) {
                m_events.OnScore(points, ColumnX(popupX), RowY(popupY));
            }
        }
    }

    for (int x = 0; x < kBoardColumns; ++x) {
        for (int y = 0; y <= kBoardRows - 3; ++y) {
            const int32_t colour = ColourAt(x, y);
            if (!same(x, y, colour) || !same(x, y + 1, colour) || !same(x, y + 2, colour)) {
                continue;
            }
            points = 0;
            shapes(kColumnShapes, std::size(kColumnShapes), x, y, colour, false);
            if (y < kBoardRows - 3 && same(x, y + 3, colour)) {
                if (y < kBoardRows - 4 && same(x, y + 4, colour)) {
                    mark(x, y + 4);
                    CreateSpecial(x, y + 2, PieceType::Rainbow, specials);
                    score(kFivePoints, x, y + 2);
                }
                if (TypeAt(x, y + 1) == PieceType::Jewel) {
                    CreateSpecial(x, y + 1, PieceType::Bomb, specials);
                }
                mark(x, y + 3);
                score(kFourPoints, x, y + 1);
            } else if (!matched[CellIndex(x, y + 1)]) {
                score(kThreePoints, x, y + 1);
            }
            mark(x, y);
            mark(x, y + 1);
            mark(x, y + 2);
            if (points != 0) {
                m_events.OnScore(points, ColumnX(popupX), RowY(popupY));
            }
        }
    }

    int32_t size = 0;
    for (int i = 0; i < kBoardCells; ++i) {
        if (matched[static_cast<size_t>(i)]) {
            ++size;
            HitCell(i / kBoardRows, i % kBoardRows);
        }
    }
    m_events.OnMatchSize(size);
    for (int index : specials) {
        matched[static_cast<size_t>(index)] = 0;
    }
    bool cleared = false;
    for (int i = 0; i < kBoardCells; ++i) {
        if (!matched[static_cast<size_t>(i)]) {
            continue;
        }
        cleared = true;
        const int x = i / kBoardRows;
        const int y = i % kBoardRows;
        const int32_t colour = ColourAt(x, y);
        ExplodeCell(x, y, CellHit::Spare);
        HitNeighbourBlock(x - 1, y, colour);
        HitNeighbourBlock(x + 1, y, colour);
        HitNeighbourBlock(x, y - 1, colour);
        HitNeighbourBlock(x, y + 1, colour);
    }
    if (cleared) {
        m_events.OnSound(BoardSound::Jewels);
        m_events.OnMultiplier(MultiplierChange::Raise);
    }
    return cleared;
}

void PlayField::HitCell(int x, int y)
{
    if (!InGrid(x, y)) {
        return;
    }
    const Piece* piece = PieceAt(x, y);
    // With no piece on the cell the wear shows nowhere on screen.
    const BoardSpot position = BoardSpot::Point(piece ? piece->GetPosition() : tsv::Vec3{3000.0f, 3000.0f, 0.0f});
    const CellKind kind = CellAt(x, y).kind;
    if (kind != CellKind::Wood && kind != CellKind::Iron) {
        return;
    }
    const bool wood = kind == CellKind::Wood;
    SetCellKind(x, y, wood ? CellKind::Normal : CellKind::Wood);
    m_events.OnEffect(wood ? GameEffect::TileWood : GameEffect::TileIron, position);
    m_counters.CellWorn();
    m_events.OnStat(BoardStat::Cells, 1);
    m_events.OnScore(wood ? 1 : 2, kNoPopupPosition, kNoPopupPosition);
    m_events.OnSound(wood ? BoardSound::Wood : BoardSound::Iron);
}

void PlayField::HitNeighbourBlock(int x, int y, int32_t colour)
{
    Piece* piece = PieceAt(x, y);
    if (!piece || !piece->IsAlive() || piece->GetColour() != colour ||
        (piece->GetType() != PieceType::Block && piece->GetType() != PieceType::FixedBlock)) {
        return;
    }
    m_events.OnScore(1, kNoPopupPosition, kNoPopupPosition);
    DestroyPiece(*piece, -1, -1, BlastKind::Bomb, 0);
}

} // namespace bsh
