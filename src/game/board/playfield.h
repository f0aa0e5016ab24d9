#pragma once
// The match-three board: 18 x 15 cells, the pieces standing in them, the
// level's objectives and clock, and the rules that run once per frame (Step):
// the pieces' motions and timers, gravity, refill, diagonal slides, matching,
// cascades, special pieces and the fireballs in flight.
//
// The board is a plain model: it reads the time from its clock, draws random
// numbers from its own source and reports what happens through BoardEvents.
// It needs no scene, so a bot can play a level on the rules alone. The
// source files split it along its seams: playfield.cpp (cells, pieces, the
// frame), gravity.cpp, matching.cpp, specials.cpp, movefinder.cpp and
// snapshot.cpp.

#include "engine/core/intrusiveptr.h"
#include "engine/core/random.h"
#include "engine/core/util/file/recordio.h"
#include "game/board/boardevents.h"
#include "game/board/boardgeometry.h"
#include "game/board/cell.h"
#include "game/board/levelcounters.h"
#include "game/board/piece.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace bsh {

// The specials a level may switch off: bomb .. rainbow.
inline constexpr int kDisableableSpecials = 7;

// Which tutorial texts the runs of a move would be about (FindMove, HasMatch).
struct HintRecord {
    enum class Flag : int {
        SwapJewels = 0,
        CellsMode = 1,
        JewelsMode = 2,
        BonusLevel = 3,
        OnePieceLeft = 4,
        KeyLock = 5,
        Bomb = 6,
        Cannon = 7,
        Dynamite = 8,
        Rainbow = 9,
        DetonatorPart = 10,
    };
    static constexpr int kFlagCount = 11;
    std::array<uint8_t, kFlagCount> flags{};
    uint8_t any = 0; // set together with any flag

    void Set(Flag flag);
};

// The hint a flag stands for: the flags are the first of the tutorial hints,
// in order, so a flag's number is its hint's index (HintKey, the profile's
// hint counters, the flags above).
inline constexpr int HintIndex(HintRecord::Flag flag) { return static_cast<int>(flag); }

inline void HintRecord::Set(Flag flag)
{
    flags[static_cast<size_t>(HintIndex(flag))] = 1;
    any = 1;
}

// An exchange that makes a run (or fires a rainbow), with the cells of the
// runs it would make (board indices, CellIndex).
struct BoardMove {
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    std::vector<size_t> cells;
};

// Whether a hit wears the cell under the piece as well.
enum class CellHit { Spare, Wear };

class PlayField : public tsv::RefCounted {
public:
    // Milliseconds of the game clock.
    using Clock = std::function<int64_t()>;

    // An empty board (every cell None) reporting to `events` and reading `clock`.
    PlayField(BoardEvents& events, Clock clock);
    // Removes every piece (each reported as Removed).
    ~PlayField() override;
    PlayField(const PlayField&) = delete;
    PlayField& operator=(const PlayField&) = delete;

    static constexpr float ColumnX(int column) { return bsh::ColumnX(column); }
    static constexpr float RowY(int row) { return bsh::RowY(row); }
    static int ColumnAt(float x) { return bsh::ColumnAt(x); }
    static int RowAt(float y) { return bsh::RowAt(y); }
    static constexpr bool InGrid(int x, int y) { return bsh::InGrid(x, y); }

    // The board's own random source (colours, refills, the move search's choice).
    void Seed(uint32_t seed) { m_random.Seed(seed); }
    tsv::RandomSource& Random() { return m_random; }
    uint32_t RandomState() const { return m_random.State(); }

    // --- The frame -----------------------------------------------------------
    // Once per frame: the clock, the pieces' motions and timers, then gravity,
    // refill, slides, one matching pass, the fireballs and the objective flags.
    void Step();
    // The pieces' motions and timers alone (what Step does first).
    void AdvancePieces();
    // The player's exchange of two neighbouring selectable pieces (the caller
    // checks both). A rainbow swapped with a coloured piece pulls that colour
    // in instead. Returns true when the exchange stays (a run formed, or a
    // rainbow fired); false when the pieces bounce back.
    bool Swap(int x1, int y1, int x2, int y2);
    // True when no piece is busy and no fireball flies: the moment to look for
    // moves, give hints and check for the end of the level.
    bool IsSettled() const;
    // Blocks, cell hits and jewels all done with no artifact on the board, or
    // the artifact collected. The clock stops once this holds.
    bool IsLevelDone() const;
    // True when some run of three stands on the board; fills `hint` from the runs.
    bool HasMatch(HintRecord* hint = nullptr) const;
    // A move that makes a run: (x1, y1) and (x2, y2) are neighbours. Moves whose
    // runs concern a tutorial text are preferred; among the others a later one
    // replaces the first found one time in five.
    bool FindMove(int& x1, int& y1, int& x2, int& y2, HintRecord* hint = nullptr);
    // Every move on the board, in board order (the bot weighs them).
    std::vector<BoardMove> ListMoves() const;
    // Replaces every swappable piece with a new jewel (after the no-moves notice).
    void Reshuffle();
    // A 3000 ms wobble of every swappable piece (with the no-moves notice).
    void ShakeSwappables();

    // --- Cells and pieces ----------------------------------------------------
    const Cell& CellAt(int x, int y) const { return m_cells[CellIndex(x, y)]; }
    // The piece standing in (x, y), null outside the grid or without one.
    Piece* PieceAt(int x, int y) const { return InGrid(x, y) ? CellAt(x, y).piece.Get() : nullptr; }
    bool CellExists(int x, int y) const { return InGrid(x, y) && CellAt(x, y).kind != CellKind::None; }
    bool IsEmpty(int x, int y) const { return CellExists(x, y) && !CellAt(x, y).piece; }
    int32_t ColourAt(int x, int y) const; // 0 without a piece
    PieceType TypeAt(int x, int y) const; // PieceType::Unknown without a piece
    // Traits: alive, idle (or charging) and of the named types.
    bool IsSelectable(int x, int y) const; // the player may pick it (jewel .. rainbow)
    bool IsSwappable(int x, int y) const;  // the reshuffle replaces it (jewel .. rainbow)
    bool IsMatchable(int x, int y) const;  // counts in runs (every type but lock)
    bool Falls(int x, int y) const;        // alive, jewel .. rainbow and block
    bool IsReadyToFall(int x, int y) const;
    // Pieces that left their cell but still have work to do (a detonating
    // bomb, an opening key, a charging rainbow).
    const std::vector<PiecePtr>& BusyPieces() const { return m_busy; }
    const std::vector<Fireball>& Fireballs() const { return m_flying; }
    size_t GetFlyingCount() const { return m_flying.size(); }

    // --- Building a board (the level reader, the saved game) -----------------
    // A new piece in (x, y); colour 0 draws one that differs from the four
    // neighbours. Null for a second artifact (the piece still stands there).
    Piece* CreatePieceAt(int x, int y, int32_t colour, PieceType type, const std::string& style = {},
                         const std::string& texture = {}, const tsv::Mesh* mesh = nullptr, float angle = 0.0f);
    void SetCellKind(int x, int y, CellKind kind);
    // Removes every piece and makes every cell None.
    void Clear();
    // Counts the blocks and cell hits the level starts with.
    void CountObjectives();
    // A colour from the level's list (0, logged, when the list is empty).
    int32_t GetRandomColor();
    void SetColours(const std::string& colours) { m_colours = colours; }
    const std::string& GetColours() const { return m_colours; }
    // Index 0..6 is bomb .. rainbow.
    void SetSpecialDisabled(int index, bool disabled);
    bool IsSpecialDisabled(PieceType type) const;
    void SetJewelsRequired(int32_t jewels) { m_counters.SetJewelsRequired(jewels); }
    void SetTimeLimit(int64_t ms) { m_counters.SetTimeLimit(ms); }
    // A relaxed clock never runs out: the time left stays at the limit while
    // the time played counts on.
    void SetRelaxed(bool relaxed) { m_counters.SetRelaxed(relaxed); }
    bool IsRelaxed() const { return m_counters.IsRelaxed(); }
    // A board no objective ends (the endless board): its time played counts
    // on while it has nothing left to do. Not part of the saved state.
    void SetOpenEnded(bool openEnded) { m_openEnded = openEnded; }

    // The board snapshot of a saved game.
    void SaveState(tsv::RecordWriter& out) const;
    bool LoadState(tsv::RecordReader& in);

    // --- Objectives, clock, flags --------------------------------------------
    const LevelCounters& Counters() const { return m_counters; }
    int64_t GetTimeLimit() const { return m_counters.GetTimeLimit(); }
    int64_t GetTimeLeft() const { return m_counters.GetTimeLeft(); }
    int64_t GetTimePlayed() const { return m_counters.GetTimePlayed(); }
    int32_t GetInitialBlocks() const { return m_counters.GetInitialBlocks(); }
    int32_t GetInitialCellHits() const { return m_counters.GetInitialCellHits(); }
    int32_t GetJewelsRequired() const { return m_counters.GetJewelsRequired(); }
    int32_t GetBlocksLeft() const { return m_counters.GetBlocksLeft(); }
    int32_t GetCellHitsLeft() const { return m_counters.GetCellHitsLeft(); }
    int32_t GetJewelsLeft() const { return m_counters.GetJewelsLeft(); }
    bool HasArtifact() const { return m_hasArtifact; }
    bool IsArtifactCollected() const { return m_artifactCollected; }
    // Set by the last Step: which objective counters changed, and whether any did.
    bool ObjectiveChanged(Objective objective) const { return m_counters.Changed(objective); }
    bool AnyObjectiveChanged() const { return m_counters.AnyChanged(); }
    int64_t GetLastMatchTime() const { return m_lastMatchTime; }
    void SetLastMatchTime(int64_t ms) { m_lastMatchTime = ms; }
    int64_t Now() const { return m_clock(); }

    // The text snapshot of the board: score, multiplier, time, objectives and
    // one line of 18 three-character tokens per row.
    std::string DumpText() const;

    // --- Rules shared by the specials ----------------------------------------
    // One matching pass; true when some cell was cleared by a run.
    bool ResolveMatches();
    // Explodes whatever stands in (x, y); Wear also wears the cell.
    void ExplodeCell(int x, int y, CellHit hit);
    // Wood becomes Normal, Iron becomes Wood.
    void HitCell(int x, int y);
    // A block or fixed block of exactly `colour` in (x, y) is destroyed.
    void HitNeighbourBlock(int x, int y, int32_t colour);
    void LaunchFireball(int x, int y, float vx, float vy);
    // The blast of a bomb or dynamite around (x, y), which is hit as well.
    void Blast(int x, int y, BlastKind kind);

private:
    enum class Phase { Starting, Finishing };

    Cell& CellRef(int x, int y) { return m_cells[CellIndex(x, y)]; }
    // A piece set up and standing in (x, y), with the colour exactly as given.
    Piece* NewPiece(int x, int y, int32_t colour, PieceType type, const std::string& style = {},
                    const std::string& texture = {}, const tsv::Mesh* mesh = nullptr, float angle = 0.0f);
    // Puts `piece` in (x, y); a piece standing there leaves play as `exit`.
    void PutPiece(int x, int y, const PiecePtr& piece, PieceExit exit);
    // Takes a piece out of play (it stays in its cell until the next step).
    void RetirePiece(Piece& piece, PieceExit exit);
    // Takes a piece out of play, counting it: `column` < 0 means where it
    // stands; a bomb or dynamite starts its detonation, a rainbow given a
    // colour starts charging.
    void DestroyPiece(Piece& piece, int32_t column, int32_t row, BlastKind kind, int32_t colour);
    void FinishTimer(Piece& piece);
    void Gravity();
    void Refill();
    void Slide();
    bool TrySlide(int x, int y, int dx);
    void StepFlying();
    void CreateSpecial(int x, int y, PieceType type, std::vector<int>& specials);
    // The rainbow's pull of `colour` in the 7 x 7 square around (x, y):
    // starting draws the pieces in, finishing takes them.
    void RainbowPull(int x, int y, int32_t colour, Phase phase);
    // The key of `colour`: starting shows the glow flying to each lock,
    // finishing turns every lock of the colour into a jewel.
    void KeyOpen(int x, int y, int32_t colour, Phase phase);
    // Takes a piece out of its cell that still has work to do: the board is
    // not settled until it is done.
    void TakeOut(int x, int y);

    BoardEvents& m_events;
    Clock m_clock;
    tsv::RandomSource m_random;
    int64_t m_now = 0;
    bool m_hasArtifact = false;
    bool m_artifactCollected = false;
    LevelCounters m_counters;
    bool m_openEnded = false;
    std::string m_colours;
    bool m_colourErrorLogged = false; // a level without colours says so once
    std::array<uint8_t, kDisableableSpecials> m_disabled{};
    int64_t m_lastFrameTime = 0;
    int64_t m_lastMatchTime = 0;
    std::array<Cell, kBoardCells> m_cells;
    std::vector<Fireball> m_flying;
    int32_t m_nextFireballId = 1;
    std::vector<PiecePtr> m_busy;
};

using PlayFieldPtr = tsv::IntrusivePtr<PlayField>;

} // namespace bsh
