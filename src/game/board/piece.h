#pragma once
// A piece on the board as the rules see it: kind, colour, where it is and
// how it moves. Motions are data advanced on the game clock by the board
// (Advance); the board's view draws whatever the pieces say.

#include "engine/core/intrusiveptr.h"
#include "engine/core/mesh.h"

#include <cstdint>
#include <optional>
#include <string>

namespace bsh {

enum class PieceType : int32_t {
    Unknown = -1, // a level named a type that does not exist
    Jewel = 0,
    Bomb = 1,
    Dynamite = 2,
    CannonLeft = 3,
    CannonRight = 4,
    CannonTop = 5,
    CannonBottom = 6,
    Rainbow = 7,
    Key = 8,
    Lock = 9,
    Block = 10,
    FixedBlock = 11,
    Artifact = 12,
};
// The one place a piece type and its number (in snapshots, and as an index
// into per-type tables) meet.
inline constexpr int32_t PieceNumber(PieceType type) { return static_cast<int32_t>(type); }
inline constexpr int kPieceTypeCount = 13;

enum class PieceState : int32_t {
    Idle = 0,
    Moving = 1,     // straight line from (a, b) to (c, d) over the duration
    Swapping = 2,   // out to (c, d) and back to (a, b), 150 ms each way
    Detonating = 3, // 150 ms, then the blast around cell (a, b)
    Falling = 5,    // accelerating towards (c, d)
    Charging = 6,   // rainbow: 500 ms, then the pull of its colour around (a, b)
    Opening = 8,    // key: 500 ms, then the locks of its colour open
};

// What a bomb or dynamite blasts when it goes off.
enum class BlastKind : int32_t {
    Bomb = 0,     // the eight neighbours
    Dynamite = 1, // two cells each way in a cross
};

// The type named by a level file ("jewel" .. "artifact"); PieceType::Unknown otherwise.
PieceType PieceTypeFromName(const std::string& name);
// Colours 1 .. 8 have pictures of their own (and jewels of them a fragment
// style); other colours still match, drawn with the kind's plain picture.
bool HasColourPicture(int32_t colour);
inline bool IsSwapType(PieceType type) { return type >= PieceType::Jewel && type <= PieceType::Rainbow; }
inline bool IsMatchType(PieceType type) { return type >= PieceType::Jewel && type <= PieceType::Artifact && type != PieceType::Lock; }
inline bool IsFallType(PieceType type) { return IsSwapType(type) || type == PieceType::Block; }
inline bool IsFixedType(PieceType type) { return type >= PieceType::Key && type <= PieceType::Artifact; }
inline bool IsCannon(PieceType type) { return type >= PieceType::CannonLeft && type <= PieceType::CannonBottom; }

// A piece's outline on the board, as the level and the saved game describe
// it: its mesh (size, mirroring) and turn. Which pictures fill it is the
// view's choice.
struct PieceShape {
    tsv::Mesh mesh;
    float rotation = 0.0f; // the kind's turn plus the level's angle
};

class Piece : public tsv::RefCounted {
public:
    // A rainbow has no colour. `texture` and `mesh` are the level's picture
    // for blocks, fixed blocks and the artifact (and a mesh for any kind).
    Piece(int32_t colour, PieceType type, const std::string& style, const std::string& texture,
          const tsv::Mesh* mesh, float angle);

    PieceType GetType() const { return m_type; }
    int32_t GetColour() const { return m_colour; }
    PieceState GetState() const { return m_state; }
    const std::string& GetStyle() const { return m_style; }
    float GetAngle() const { return m_angle; }
    const PieceShape& Shape() const { return m_shape; }
    // The level's own picture, for the kinds that take one (blocks, fixed
    // blocks, the artifact); "" for the others.
    const std::string& GetTexture() const { return m_texture; }
    // Idle pieces (and a charging rainbow, which is already out of the way) take part in runs.
    bool IsIdle() const { return m_state == PieceState::Idle || m_state == PieceState::Charging; }
    // False once the piece has left play; its cell lets go of it on the next step.
    bool IsAlive() const { return m_alive; }
    // Detonating and charging pieces are out of sight while their timer runs.
    bool IsVisible() const { return m_visible; }
    // The no-moves wobble: the view shakes the picture until this time.
    int64_t ShakeUntil() const { return m_shakeUntil; }
    bool IsShaking() const { return m_shakeUntil != 0; }

    tsv::Vec3 GetPosition() const { return {m_x, m_y, 0.0f}; }
    tsv::Vec3 GetVelocity() const { return {m_vx, m_vy, 0.0f}; }
    void SetPosition(float x, float y);

    // Straight move from the present position over `durationMs`.
    void MoveTo(float x, float y, int64_t durationMs, int64_t now);
    // 150 ms out to (x, y) and 150 ms back.
    void SwapAndReturn(float x, float y, int64_t now);
    // Accelerated fall from the present position.
    void FallTo(float x, float y, int64_t now);
    void StartTimer(PieceState state, int32_t column, int32_t row, int32_t extra, int64_t now);
    void Hide() { m_visible = false; }
    void Shake(int64_t until) { m_shakeUntil = until; }
    void StopShaking() { m_shakeUntil = 0; }
    void Kill() { m_alive = false; }

    // One frame of motion; returns what finished in it, so that the board
    // can act on it in a fixed order.
    enum class Finished { Nothing, Move, Landing, FastLanding, Timer };
    Finished Advance(int64_t now);

    // The timer's cell and what it carries: the blast kind of a detonation,
    // the colour of a charge.
    int32_t TimerColumn() const { return m_a; }
    int32_t TimerRow() const { return m_b; }
    int32_t TimerExtra() const { return m_c; }

private:
    PieceType m_type;
    int32_t m_colour;
    float m_angle;
    std::string m_style;
    PieceShape m_shape;
    std::string m_texture;
    PieceState m_state = PieceState::Idle;
    bool m_alive = true;
    bool m_visible = true;
    int64_t m_shakeUntil = 0;
    float m_x = 0, m_y = 0;
    float m_vx = 0, m_vy = 0, m_ay = 0;
    int64_t m_lastMotion = 0; // the first frame of a motion only starts its clock
    int32_t m_a = 0, m_b = 0, m_c = 0, m_d = 0;
    int64_t m_startTime = 0;
    int64_t m_duration = 0;
};

using PiecePtr = tsv::IntrusivePtr<Piece>;

} // namespace bsh
