// The board's searches on a full 18 x 15 board: FindMove where no move exists
// (every exchange is tried, the worst case) and one matching pass, both on a
// board without runs (the per-frame cost) and on one with runs to clear.

#include "game/board/playfield.h"

#include <benchmark/benchmark.h>

namespace {

using namespace bsh;

// The rules alone: nothing listens, and the clock stands still.
BoardEvents& Quiet()
{
    static BoardEvents s_events;
    return s_events;
}

PlayFieldPtr NewBoard() { return tsv::MakeIntrusive<PlayField>(Quiet(), [] { return int64_t{1}; }); }

// Three colours on diagonals: no run, and no exchange makes one.
void FillWithoutMoves(PlayField& board)
{
    board.SetColours("123");
    for (int x = 0; x < kBoardColumns; ++x) {
        for (int y = 0; y < kBoardRows; ++y) {
            board.SetCellKind(x, y, CellKind::Normal);
            board.CreatePieceAt(x, y, 1 + (x + y) % 3, PieceType::Jewel);
        }
    }
}

void BM_FindMoveNoMove(benchmark::State& st)
{
    PlayFieldPtr board = NewBoard();
    FillWithoutMoves(*board);
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    for (auto _ : st) {
        benchmark::DoNotOptimize(board->FindMove(x1, y1, x2, y2));
    }
}
BENCHMARK(BM_FindMoveNoMove)->Unit(benchmark::kMicrosecond);

void BM_ResolveMatchesNoRun(benchmark::State& st)
{
    PlayFieldPtr board = NewBoard();
    FillWithoutMoves(*board);
    for (auto _ : st) {
        benchmark::DoNotOptimize(board->ResolveMatches());
    }
}
BENCHMARK(BM_ResolveMatchesNoRun)->Unit(benchmark::kMicrosecond);

void BM_ResolveMatchesWithRuns(benchmark::State& st)
{
    PlayFieldPtr board = NewBoard();
    FillWithoutMoves(*board);
    for (auto _ : st) {
        st.PauseTiming();
        // Every third row becomes one colour: six runs of three per row.
        for (int y = 0; y < kBoardRows; y += 3) {
            for (int x = 0; x < kBoardColumns; ++x) {
                board->CreatePieceAt(x, y, 1 + y % 2, PieceType::Jewel);
            }
        }
        st.ResumeTiming();
        benchmark::DoNotOptimize(board->ResolveMatches());
    }
}
BENCHMARK(BM_ResolveMatchesWithRuns)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
