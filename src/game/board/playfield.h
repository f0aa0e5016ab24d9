#pragma once
// The match-three board: 18 x 15 cells, the pieces standing in them, the
// level's objectives and clock, and the rules that run once per frame (Step):
// gravity, refill, diagonal slides, matching, cascades, special pieces and
// the fireballs in flight.
//
// Coordinates: cell (x, y) has x = 0..17 left to right and y = 0..14 top to
// bottom; its centre lies at (ColumnX(x), RowY(y)) in world pixels, where
// (0, 0) is the centre of the 800 x 600 view. Times are milliseconds of the
// game timer (Application::GetTimer), so a paused game stops the board too.

#include "engine/core/intrusiveptr.h"
#include "game/board/cell.h"
#include "game/board/piece.h"
#include "engine/core/util/file/recordio.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace bsh {

class GameState;

inline constexpr int kBoardColumns = 18;
inline constexpr int kBoardRows = 15;
inline constexpr int kBoardCells = kBoardColumns * kBoardRows;
inline constexpr int kCellSize = 40;
// The specials a level may switch off: bomb .. rainbow (types 1..7).
inline constexpr int kDisableableSpecials = 7;
// The board draws its cells, frame and pieces on this layer unless told otherwise.
inline constexpr int32_t kBoardLayer = 1;

// Which tutorial texts the runs of a move would be about (FindMove, HasMatch).
struct HintRecord {
    enum Flag : int {
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

    void Set(int flag)
    {
        flags[static_cast<size_t>(flag)] = 1;
        any = 1;
    }
};

// A fireball crossing the board; it explodes every new cell its centre enters.
struct FlyingObject {
    tsv::SceneNodePtr node;
    int32_t lastColumn = -1;
    int32_t lastRow = -1;
};

class PlayField : public tsv::RefCounted {
public:
    // An empty board (every cell None) on the game's state: scores, statistics,
    // sounds and effects go through `state`.
    explicit PlayField(GameState& state);
    PlayField();
    // Expires the board's nodes (cells, frame, pieces, fireballs) and unplugs
    // the saved-game hooks when this board set them.
    ~PlayField() override;
    PlayField(const PlayField&) = delete;
    PlayField& operator=(const PlayField&) = delete;

    // --- Coordinates -------------------------------------------------------
    static constexpr float ColumnX(int column) { return static_cast<float>(kCellSize * column - 350); }
    static constexpr float RowY(int row) { return static_cast<float>(kCellSize * row - 260); }
    // The column / row under a world coordinate, -1 outside the board.
    static int ColumnAt(float x);
    static int RowAt(float y);
    static bool InGrid(int x, int y) { return x >= 0 && x < kBoardColumns && y >= 0 && y < kBoardRows; }

    // --- Frame and input (the game screen) ----------------------------------
    // Once per frame: the clock, then gravity, refill, slides, one matching
    // pass, the fireballs and the objective change flags.
    void Step();
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
    // Replaces every swappable piece with a new jewel (after the no-moves notice).
    void Reshuffle();
    // A 3000 ms wobble of every swappable piece (with the no-moves notice).
    void ShakeSwappables();

    // --- Cells and pieces ---------------------------------------------------
    const Cell& CellAt(int x, int y) const { return m_cells[Index(x, y)]; }
    // The piece standing in (x, y), null outside the grid or without one.
    Piece* PieceAt(int x, int y) const;
    bool CellExists(int x, int y) const { return InGrid(x, y) && CellAt(x, y).kind != CellNone; }
    bool IsEmpty(int x, int y) const { return CellExists(x, y) && !CellAt(x, y).piece; }
    int32_t ColourAt(int x, int y) const; // 0 without a piece
    int32_t TypeAt(int x, int y) const;   // -1 without a piece
    // Traits: alive, idle (or charging) and of the named types.
    bool IsSelectable(int x, int y) const; // the player may pick it (types 0..7)
    bool IsSwappable(int x, int y) const;  // the reshuffle replaces it (types 0..7)
    bool IsMatchable(int x, int y) const;  // counts in runs (every type but lock)
    bool Falls(int x, int y) const;        // alive, types 0..7 and block
    bool IsReadyToFall(int x, int y) const;

    // --- Building a board (the level reader, the saved game) ---------------
    // A new piece in (x, y); colour 0 draws one that differs from the four
    // neighbours. Null for a second artifact (the piece still stands there).
    Piece* CreatePieceAt(int x, int y, int32_t colour, int32_t type, const std::string& style = {},
                         const std::string& texture = {}, const tsv::Mesh* mesh = nullptr, float angle = 0.0f);
    void PutPiece(int x, int y, const PiecePtr& piece);
    void SetCellKind(int x, int y, int32_t kind);
    // Removes every piece and makes every cell None.
    void Clear();
    // Frame pictures around the existing cells; counts blocks and cell hits.
    void BuildFrame();
    // A colour from the level's list (0, logged, when the list is empty).
    int32_t GetRandomColor() const;
    void SetColours(const std::string& colours) { m_colours = colours; }
    const std::string& GetColours() const { return m_colours; }
    // Index 0..6 is bomb .. rainbow.
    void SetSpecialDisabled(int index, bool disabled);
    bool IsSpecialDisabled(int32_t type) const;
    void SetJewelsRequired(int32_t jewels);
    void SetTimeLimit(int64_t ms);

    // The board snapshot of a saved game.
    void SaveState(RecordWriter& out) const;
    bool LoadState(RecordReader& in);
    // Makes the saved game of `GameState` carry this board.
    void PlugIntoSavedGame();

    // --- Objectives, clock, flags ------------------------------------------
    int64_t GetTimeLimit() const { return m_timeLimit; }
    int64_t GetTimeLeft() const { return m_timeLeft; }
    int64_t GetTimePlayed() const { return m_timePlayed; }
    int32_t GetInitialBlocks() const { return m_initialBlocks; }
    int32_t GetInitialCellHits() const { return m_initialCellHits; }
    int32_t GetJewelsRequired() const { return m_jewelsRequired; }
    int32_t GetBlocksLeft() const { return m_blocksLeft; }
    int32_t GetCellHitsLeft() const { return m_cellHitsLeft; }
    int32_t GetJewelsLeft() const { return m_jewelsLeft; }
    bool HasArtifact() const { return m_hasArtifact; }
    bool IsArtifactCollected() const { return m_artifactCollected; }
    // Set by the last Step: which objective counters changed (0 blocks, 1 cell
    // hits, 2 jewels), and whether any did.
    bool ObjectiveChanged(int objective) const { return m_objectiveChanged[static_cast<size_t>(objective)]; }
    bool AnyObjectiveChanged() const { return m_anyObjectiveChanged; }
    int64_t GetLastMatchTime() const { return m_lastMatchTime; }
    void SetLastMatchTime(int64_t ms) { m_lastMatchTime = ms; }
    size_t GetFlyingCount() const { return m_flying.size(); }
    void SetLayer(int32_t layer) { m_layer = layer; }
    int32_t GetLayer() const { return m_layer; }

    // The text snapshot of the board: score, multiplier, time, objectives and
    // one line of 18 three-character tokens per row.
    std::string DumpText() const;

    // --- Rules shared with the pieces ---------------------------------------
    // One matching pass; true when some cell was cleared by a run.
    bool ResolveMatches();
    // Explodes whatever stands in (x, y); `hit` also wears the cell.
    void ExplodeCell(int x, int y, bool hit);
    // Wood becomes Normal, Iron becomes Wood.
    void HitCell(int x, int y);
    // A block or fixed block of exactly `colour` in (x, y) is destroyed.
    void HitNeighbourBlock(int x, int y, int32_t colour);
    // The rainbow's pull of `colour` in the 7 x 7 square around (x, y):
    // starting draws the pieces in, afterwards they go.
    void RainbowPull(int x, int y, int32_t colour, bool starting);
    // The key of `colour`: starting shows the glow flying to each lock,
    // afterwards every lock of the colour becomes a jewel.
    void KeyOpen(int x, int y, int32_t colour, bool starting);
    void LaunchFireball(int x, int y, float vx, float vy);
    // The blast of a bomb (kind 0: the eight neighbours) or dynamite (kind 1:
    // two cells each way in a cross) around (x, y), which is hit as well.
    void Blast(int x, int y, int32_t kind);

    GameState& State() const { return m_state; }
    int64_t Now() const;
    void SetActive() { m_active = true; }

private:
    friend class Piece;

    static size_t Index(int x, int y) { return static_cast<size_t>(x * kBoardRows + y); }
    Cell& CellRef(int x, int y) { return m_cells[Index(x, y)]; }
    // Adds a node of the board to the scene on the board's layer and clock.
    void Attach(const tsv::SceneNodePtr& node);
    void ApplyCellLook(int x, int y);
    void Gravity();
    void Refill();
    void Slide();
    bool TrySlide(int x, int y, int dx);
    void StepFlying();
    void DetectObjectiveChanges();
    void CreateSpecial(int x, int y, int32_t type, std::vector<int>& specials);
    void PlayGroup(int group) const;
    void AddFrameNode(const std::string& texture, float x, float y, float angle);
    // A piece set up and standing in (x, y), with the colour exactly as given.
    Piece* NewPiece(int x, int y, int32_t colour, int32_t type, const std::string& style,
                    const std::string& texture, const tsv::Mesh* mesh, float angle);
    // Takes a piece out of its cell that still has work to do (a detonating
    // bomb, an opening key): the board is not settled until it is done.
    void TakeOut(int x, int y);

    GameState& m_state;
    bool m_hasArtifact = false;
    bool m_artifactCollected = false;
    int64_t m_timeLimit = 0;
    int64_t m_timeLeft = 0;
    int64_t m_timePlayed = 0;
    std::string m_colours;
    std::array<uint8_t, kDisableableSpecials> m_disabled{};
    int32_t m_initialBlocks = 0, m_initialCellHits = 0, m_jewelsRequired = 0;
    int32_t m_blocksLeft = 0, m_cellHitsLeft = 0, m_jewelsLeft = 0;
    std::array<int32_t, 3> m_lastSeen{};
    std::array<bool, 3> m_objectiveChanged{};
    bool m_anyObjectiveChanged = false;
    int64_t m_lastFrameTime = 0;
    int64_t m_lastMatchTime = 0;
    std::array<Cell, kBoardCells> m_cells;
    bool m_active = true;
    std::vector<FlyingObject> m_flying;
    std::vector<PiecePtr> m_busy;
    std::vector<tsv::SceneNodePtr> m_frame;
    int32_t m_layer = kBoardLayer;
    bool m_hooksPlugged = false;
};

using PlayFieldPtr = tsv::IntrusivePtr<PlayField>;

} // namespace bsh
