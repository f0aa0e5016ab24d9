#pragma once
// What the board's rules tell the rest of the game: points, statistics,
// sounds, effects and the pieces that come and go. The game-wide state keeps
// the score; the board's view turns the rest into pictures and sound. Every
// call has an empty default, so a listener takes only what it needs.

#include "engine/core/mesh.h"
#include "game/board/boardgeometry.h"
#include "game/board/cell.h"
#include "game/board/piece.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace bsh {

// A score added at or beyond this position has no popup.
inline constexpr float kNoPopupPosition = 2000.0f;

// The statistics counters the board adds to (numbered as a mode's statistics block).
enum class BoardStat : int32_t {
    Jewels = 0,
    Blocks = 1,
    Cells = 2,
    Explosions = 3,
    Cannons = 4,
    Locks = 5,
};

// The board's sound groups and single sounds.
enum class BoardSound : int32_t {
    Jewels = 0, // a run cleared, a jewel destroyed
    Stone = 1,  // a block destroyed
    Wood = 2,   // a wooden cell worn
    Iron = 3,   // an iron cell worn
    Landing,    // a fast fall ends
    Artifact,   // the artifact found
    Bonus,      // a key turns
};

// The board's effects, by index into the effect table.
enum class GameEffect : int {
    TileWood = 0,
    TileIron = 1,
    BonusAppears = 2,
    BlockGlitter = 3,
    Bomb = 4,
    Dynamite = 5,
    Cannon = 6,
    JewelGlitter = 7,
    Key = 8,
    Lock = 9,
    Rainbow = 10,
    RainbowSuck = 11,
};
inline constexpr int kGameEffectCount = 12;
// The one place an effect becomes the index of its picture.
inline constexpr size_t EffectIndex(GameEffect effect) { return static_cast<size_t>(effect); }

enum class MultiplierChange { Reset, Raise };

// Why a piece left the board.
enum class PieceExit {
    Cleared,    // matched, blasted, collected
    Replaced,   // a special or an opened lock took its cell
    Reshuffled, // swept off by the no-moves reshuffle; it falls out of sight
    Removed,    // the board was cleared or destroyed
};

// Where on the board something happens, in the board's pixels: at a cell's
// centre, or at a point such as a piece on its way between cells. How deep it
// is drawn is the view's choice.
struct BoardSpot {
    float x = 0, y = 0;
    int32_t column = -1, row = -1; // the cell; -1 for a point

    bool IsCell() const { return column >= 0; }
    static BoardSpot Cell(int column, int row) { return {ColumnX(column), RowY(row), column, row}; }
    static BoardSpot Point(const tsv::Vec3& position) { return {position.x, position.y, -1, -1}; }
};

// A fireball crossing the board; it explodes every new cell its centre enters.
struct Fireball {
    float x = 0, y = 0;
    float vx = 0, vy = 0;
    int64_t lastMotion = 0;
    int32_t lastColumn = -1;
    int32_t lastRow = -1;
    int32_t id = 0;
};

class BoardEvents {
public:
    virtual ~BoardEvents() = default;

    // Points (times the multiplier, where the score is kept) with a popup at (x, y).
    virtual void OnScore(int32_t /*points*/, float /*x*/, float /*y*/) {}
    virtual void OnMultiplier(MultiplierChange) {}
    virtual void OnStat(BoardStat, int32_t /*delta*/) {}
    // The cells one matching pass cleared.
    virtual void OnMatchSize(int32_t /*cells*/) {}
    virtual void OnSound(BoardSound) {}
    virtual void OnEffect(GameEffect, const BoardSpot&) {}
    // The shards of a destroyed piece in its fragment style.
    virtual void OnFragments(const std::string& /*style*/, const BoardSpot&) {}

    virtual void OnPieceAdded(Piece&) {}
    virtual void OnPieceRemoved(Piece&, PieceExit) {}
    virtual void OnCellChanged(int /*x*/, int /*y*/, CellKind /*kind*/) {}
    virtual void OnDynamiteFlames(const BoardSpot&) {}
    virtual void OnFireballLaunched(const Fireball&) {}
    virtual void OnFireballGone(const Fireball&) {}
    // A key's glow flies from the key's cell to each lock of its colour.
    virtual void OnKeyGlow(const BoardSpot& /*from*/, const BoardSpot& /*to*/) {}

    // Whether the swap-jewels tutorial text is still due (the move search
    // prefers the moves that text is about).
    virtual bool IsSwapHintDue() const { return false; }
    // The run's score and multiplier, for the board's text dump.
    virtual int32_t RunScore() const { return 0; }
    virtual int32_t Multiplier() const { return 0; }
};

} // namespace bsh
