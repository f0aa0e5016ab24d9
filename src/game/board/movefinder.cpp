// The move search and the run test: both work on a plain copy of the board.

#include "game/board/playfield.h"

#include <algorithm>
#include <utility>

namespace bsh {

namespace {

// What the run searches need of a cell: its colour when it counts in runs
// (-1 when it does not) and its type.
struct MatchView {
    std::array<int32_t, kBoardCells> colour;
    std::array<PieceType, kBoardCells> type;
};

constexpr size_t At(int x, int y) { return CellIndex(x, y); }

// The tutorial texts a run is about, from the kinds in it.
void FlagRun(const MatchView& view, size_t a, size_t b, size_t c, bool swapHint, HintRecord& hint)
{
    for (size_t i : {a, b, c}) {
        switch (view.type[i]) {
        case PieceType::Bomb:
            hint.Set(HintRecord::Flag::Bomb);
            break;
        case PieceType::Dynamite:
            hint.Set(HintRecord::Flag::Dynamite);
            break;
        case PieceType::CannonLeft:
        case PieceType::CannonRight:
        case PieceType::CannonTop:
        case PieceType::CannonBottom:
            hint.Set(HintRecord::Flag::Cannon);
            break;
        case PieceType::Rainbow:
            hint.Set(HintRecord::Flag::Rainbow);
            break;
        case PieceType::Key:
            hint.Set(HintRecord::Flag::KeyLock);
            break;
        case PieceType::Block:
        case PieceType::FixedBlock:
            hint.Set(HintRecord::Flag::DetonatorPart);
            break;
        default:
            break;
        }
    }
    if (swapHint) {
        hint.Set(HintRecord::Flag::SwapJewels);
    }
}

bool IsRun(const MatchView& view, size_t a, size_t b, size_t c)
{
    return view.colour[a] >= 0 && view.colour[a] == view.colour[b] && view.colour[a] == view.colour[c];
}

// Every run of three whose cells are accepted by `use`; stops at the first
// without a hint record.
template <class Use>
bool ScanRuns(const MatchView& view, Use&& use, bool swapHint, HintRecord* hint)
{
    bool found = false;
    for (int x = 0; x < kBoardColumns; ++x) {
        for (int y = 0; y < kBoardRows; ++y) {
            if (x + 2 < kBoardColumns) {
                const size_t a = At(x, y), b = At(x + 1, y), c = At(x + 2, y);
                if (use(a, b, c) && IsRun(view, a, b, c)) {
                    found = true;
                    if (!hint) {
                        return true;
                    }
                    FlagRun(view, a, b, c, swapHint, *hint);
                }
            }
            if (y + 2 < kBoardRows) {
                const size_t a = At(x, y), b = At(x, y + 1), c = At(x, y + 2);
                if (use(a, b, c) && IsRun(view, a, b, c)) {
                    found = true;
                    if (!hint) {
                        return true;
                    }
                    FlagRun(view, a, b, c, swapHint, *hint);
                }
            }
        }
    }
    return found;
}

// The runs through cell (x, y): the three row and three column triples holding it.
bool LocalRuns(const MatchView& view, int x, int y, bool swapHint, HintRecord* hint)
{
    bool found = false;
    for (int start = x - 2; start <= x; ++start) {
        if (start >= 0 && start + 2 < kBoardColumns) {
            const size_t a = At(start, y), b = At(start + 1, y), c = At(start + 2, y);
            if (IsRun(view, a, b, c)) {
                found = true;
                if (hint) {
                    FlagRun(view, a, b, c, swapHint, *hint);
                }
            }
        }
    }
    for (int start = y - 2; start <= y; ++start) {
        if (start >= 0 && start + 2 < kBoardRows) {
            const size_t a = At(x, start), b = At(x, start + 1), c = At(x, start + 2);
            if (IsRun(view, a, b, c)) {
                found = true;
                if (hint) {
                    FlagRun(view, a, b, c, swapHint, *hint);
                }
            }
        }
    }
    return found;
}

// Both searches work on a copy of the two facts a run needs, so trying an
// exchange is swapping two entries instead of two pieces. True when the
// swap-jewels tutorial text is still due.
bool FillMatchView(const PlayField& board, const BoardEvents& events, MatchView& view)
{
    for (int x = 0; x < kBoardColumns; ++x) {
        for (int y = 0; y < kBoardRows; ++y) {
            const int32_t colour = board.ColourAt(x, y);
            view.colour[At(x, y)] = board.IsMatchable(x, y) && colour != 0 ? colour : -1;
            view.type[At(x, y)] = board.TypeAt(x, y);
        }
    }
    return events.IsSwapHintDue();
}

} // namespace

bool PlayField::HasMatch(HintRecord* hint) const
{
    MatchView view;
    const bool swapHint = FillMatchView(*this, m_events, view);
    return ScanRuns(view, [](size_t, size_t, size_t) { return true; }, swapHint, hint);
}

bool PlayField::FindMove(int& x1, int& y1, int& x2, int& y2, HintRecord* hint)
{
    MatchView view;
    const bool swapHint = FillMatchView(*this, m_events, view);
    // Runs that stand already stay through every exchange that does not touch
    // them; only the triples through the two exchanged cells can change.
    std::vector<std::array<size_t, 3>> standing;
    ScanRuns(
        view,
        [&standing, &view](size_t a, size_t b, size_t c) {
            if (IsRun(view, a, b, c)) {
                standing.push_back({a, b, c});
            }
            return false;
        },
        false, nullptr);

    bool found = false;
    const auto tryMove = [&](int ax, int ay, int bx, int by) {
        if (!IsSelectable(ax, ay) || !IsSelectable(bx, by)) {
            return false;
        }
        const size_t a = At(ax, ay), b = At(bx, by);
        std::swap(view.colour[a], view.colour[b]);
        std::swap(view.type[a], view.type[b]);
        bool run = false;
        for (const auto& r : standing) {
            if (r[0] != a && r[1] != a && r[2] != a && r[0] != b && r[1] != b && r[2] != b) {
                run = true;
                if (hint) {
                    FlagRun(view, r[0], r[1], r[2], swapHint, *hint);
                }
            }
        }
        // Both calls run so that the hint record sees every run of the move.
        const bool first = LocalRuns(view, ax, ay, swapHint, hint);
        const bool second = LocalRuns(view, bx, by, swapHint, hint);
        run = run || first || second;
        std::swap(view.colour[a], view.colour[b]);
        std::swap(view.type[a], view.type[b]);
        if (!run) {
            return false;
        }
        if (!found || m_random.Below(5) == 0) {
            x1 = ax;
            y1 = ay;
            x2 = bx;
            y2 = by;
        }
        found = true;
        return hint && hint->any;
    };
    for (int x = 0; x < kBoardColumns; ++x) {
        for (int y = 0; y < kBoardRows; ++y) {
            if (x + 1 < kBoardColumns && tryMove(x, y, x + 1, y)) {
                return true;
            }
            if (y + 1 < kBoardRows && tryMove(x, y, x, y + 1)) {
                return true;
            }
        }
    }
    return found;
}

namespace {

// The cells of the runs through (x, y) in the view, added to `cells`.
void CollectRunCells(const MatchView& view, int x, int y, std::vector<size_t>& cells)
{
    for (int start = x - 2; start <= x; ++start) {
        if (start >= 0 && start + 2 < kBoardColumns) {
            const size_t a = At(start, y), b = At(start + 1, y), c = At(start + 2, y);
            if (IsRun(view, a, b, c)) {
                cells.insert(cells.end(), {a, b, c});
            }
        }
    }
    for (int start = y - 2; start <= y; ++start) {
        if (start >= 0 && start + 2 < kBoardRows) {
            const size_t a = At(x, start), b = At(x, start + 1), c = At(x, start + 2);
            if (IsRun(view, a, b, c)) {
                cells.insert(cells.end(), {a, b, c});
            }
        }
    }
}

} // namespace

std::vector<BoardMove> PlayField::ListMoves() const
{
    MatchView view;
    FillMatchView(*this, m_events, view);
    std::vector<BoardMove> moves;
    const auto tryMove = [&](int ax, int ay, int bx, int by) {
        if (!IsSelectable(ax, ay) || !IsSelectable(bx, by)) {
            return;
        }
        const size_t a = At(ax, ay), b = At(bx, by);
        std::swap(view.colour[a], view.colour[b]);
        std::swap(view.type[a], view.type[b]);
        BoardMove move{ax, ay, bx, by, {}};
        CollectRunCells(view, ax, ay, move.cells);
        CollectRunCells(view, bx, by, move.cells);
        std::swap(view.colour[a], view.colour[b]);
        std::swap(view.type[a], view.type[b]);
        // A rainbow exchanged with a coloured piece fires without a run.
        const bool rainbow = (view.type[a] == PieceType::Rainbow && ColourAt(bx, by) != 0) ||
                             (view.type[b] == PieceType::Rainbow && ColourAt(ax, ay) != 0);
        if (!move.cells.empty() || rainbow) {
            std::sort(move.cells.begin(), move.cells.end());
            move.cells.erase(std::unique(move.cells.begin(), move.cells.end()), move.cells.end());
            moves.push_back(std::move(move));
        }
    };
    for (int x = 0; x < kBoardColumns; ++x) {
        for (int y = 0; y < kBoardRows; ++y) {
            if (x + 1 < kBoardColumns) {
                tryMove(x, y, x + 1, y);
            }
            if (y + 1 < kBoardRows) {
                tryMove(x, y, x, y + 1);
            }
        }
    }
    return moves;
}

} // namespace bsh
