#include "game/board/piece.h"

#include <cmath>

namespace bsh {

namespace {

constexpr int64_t kSwapLegMs = 150;
constexpr int64_t kDetonationDelayMs = 150;
constexpr int64_t kChargeMs = 500;
constexpr int64_t kOpeningMs = 500;
constexpr float kFallSpeed = 400.0f;        // pixels per second at the start of a fall
constexpr float kFallAcceleration = 200.0f; // pixels per second squared, downwards
constexpr float kLandingSoundSpeed = 400.0f;
constexpr float kPieceSize = 40.0f;
constexpr float kSpecialSize = 64.0f; // specials overlap their neighbours
constexpr float kHalfPi = 1.5707964f;

constexpr const char* kTypeNames[kPieceTypeCount] = {
    "jewel", "bomb", "dynamite", "cannonleft", "cannonright", "cannontop", "cannonbottom",
    "rainbow", "key", "lock", "block", "fixedblock", "artifact",
};

// Whether the kind is drawn with the level's picture rather than one of its own.
bool TakesLevelPicture(PieceType type)
{
    switch (type) {
    case PieceType::Jewel:
    case PieceType::Key:
    case PieceType::Lock:
    case PieceType::Bomb:
    case PieceType::Dynamite:
    case PieceType::CannonLeft:
    case PieceType::CannonRight:
    case PieceType::CannonTop:
    case PieceType::CannonBottom:
    case PieceType::Rainbow: return false;
    default: return true;
    }
}

PieceShape DescribeShape(PieceType type, const tsv::Mesh* mesh, float angle)
{
    float kindAngle = 0.0f;
    bool mirrored = false;
    float size = kPieceSize;
    switch (type) {
    case PieceType::Bomb:
    case PieceType::Dynamite:
    case PieceType::Rainbow: size = kSpecialSize; break;
    case PieceType::CannonLeft:
    case PieceType::CannonRight:
    case PieceType::CannonTop:
    case PieceType::CannonBottom:
        size = kSpecialSize;
        mirrored = type == PieceType::CannonLeft;
        kindAngle = type == PieceType::CannonTop ? -kHalfPi : type == PieceType::CannonBottom ? kHalfPi : 0.0f;
        break;
    default: break;
    }
    PieceShape shape;
    shape.mesh = tsv::Mesh(size, size);
    if (mesh) {
        shape.mesh = *mesh;
    } else if (mirrored) {
        shape.mesh.flipHorizontal = true;
    }
    shape.rotation = kindAngle + angle;
    return shape;
}

} // namespace

PieceType PieceTypeFromName(const std::string& name)
{
    for (int32_t type = 0; type < kPieceTypeCount; ++type) {
        if (name == kTypeNames[type]) {
            return static_cast<PieceType>(type);
        }
    }
    return PieceType::Unknown;
}

bool HasColourPicture(int32_t colour) { return colour >= 1 && colour <= 8; }

Piece::Piece(int32_t colour, PieceType type, const std::string& style, const std::string& texture,
             const tsv::Mesh* mesh, float angle)
    : m_type(type), m_colour(type == PieceType::Rainbow ? 0 : colour), m_angle(angle), m_style(style)
{
    if (type == PieceType::Jewel && HasColourPicture(m_colour)) {
        m_style = std::to_string(m_colour);
    }
    m_shape = DescribeShape(type, mesh, angle);
    if (TakesLevelPicture(type)) {
        m_texture = texture;
    }
}

void Piece::SetPosition(float x, float y)
{
    m_x = x;
    m_y = y;
}

void Piece::MoveTo(float x, float y, int64_t durationMs, int64_t now)
{
    m_state = PieceState::Moving;
    m_a = static_cast<int32_t>(m_x);
    m_b = static_cast<int32_t>(m_y);
    m_c = static_cast<int32_t>(x);
    m_d = static_cast<int32_t>(y);
    m_startTime = now;
    m_duration = durationMs > 0 ? durationMs : 1;
}

void Piece::SwapAndReturn(float x, float y, int64_t now)
{
    MoveTo(x, y, kSwapLegMs, now);
    m_state = PieceState::Swapping;
}

void Piece::FallTo(float x, float y, int64_t now)
{
    m_state = PieceState::Falling;
    m_c = static_cast<int32_t>(x);
    m_d = static_cast<int32_t>(y);
    m_startTime = now;
    const float dx = x - m_x;
    const float dy = y - m_y;
    const float length = std::sqrt(dx * dx + dy * dy);
    if (length > 0.0f) {
        m_vx = dx / length * kFallSpeed;
        m_vy = dy / length * kFallSpeed;
    } else {
        m_vx = 0;
        m_vy = kFallSpeed;
    }
    m_ay = kFallAcceleration;
}

void Piece::StartTimer(PieceState state, int32_t column, int32_t row, int32_t extra, int64_t now)
{
    m_state = state;
    m_a = column;
    m_b = row;
    m_c = extra;
    m_startTime = now;
}

Piece::Finished Piece::Advance(int64_t now)
{
    // Velocity first, then position, over the time since the last frame.
    if (m_lastMotion != 0 && (m_vx != 0 || m_vy != 0 || m_ay != 0)) {
        const float dt = static_cast<float>(now - m_lastMotion) * 0.001f;
        m_vy += m_ay * dt;
        m_x += m_vx * dt;
        m_y += m_vy * dt;
    }
    m_lastMotion = now;
    if (!m_alive) {
        return Finished::Nothing;
    }

    const int64_t t = now - m_startTime;
    switch (m_state) {
    case PieceState::Moving:
        if (t >= m_duration) {
            SetPosition(static_cast<float>(m_c), static_cast<float>(m_d));
            m_state = PieceState::Idle;
            return Finished::Move;
        }
        SetPosition(static_cast<float>(m_a + (m_c - m_a) * t / m_duration),
                    static_cast<float>(m_b + (m_d - m_b) * t / m_duration));
        return Finished::Nothing;
    case PieceState::Swapping:
        if (t >= 2 * kSwapLegMs) {
            SetPosition(static_cast<float>(m_a), static_cast<float>(m_b));
            m_state = PieceState::Idle;
        } else if (t >= kSwapLegMs) {
            const int64_t back = t - kSwapLegMs;
            SetPosition(static_cast<float>(m_c + (m_a - m_c) * back / kSwapLegMs),
                        static_cast<float>(m_d + (m_b - m_d) * back / kSwapLegMs));
        } else {
            SetPosition(static_cast<float>(m_a + (m_c - m_a) * t / kSwapLegMs),
                        static_cast<float>(m_b + (m_d - m_b) * t / kSwapLegMs));
        }
        return Finished::Nothing;
    case PieceState::Falling:
        if (m_y > static_cast<float>(m_d)) {
            const bool fast = m_vy >= kLandingSoundSpeed;
            SetPosition(static_cast<float>(m_c), static_cast<float>(m_d));
            m_vx = m_vy = m_ay = 0;
            m_state = PieceState::Idle;
            return fast ? Finished::FastLanding : Finished::Landing;
        }
        return Finished::Nothing;
    case PieceState::Detonating:
    case PieceState::Charging:
    case PieceState::Opening: {
        const int64_t delay = m_state == PieceState::Detonating ? kDetonationDelayMs
                              : m_state == PieceState::Charging ? kChargeMs
                                                         : kOpeningMs;
        return t >= delay ? Finished::Timer : Finished::Nothing;
    }
    default:
        return Finished::Nothing;
    }
}

} // namespace bsh
