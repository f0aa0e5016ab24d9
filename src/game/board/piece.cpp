#include "game/board/piece.h"

#include <cmath>
#include <cstdio>

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
constexpr float kMarkSize = 24.0f;
constexpr float kHalfPi = 1.5707964f;

constexpr const char* kTypeNames[kPieceTypeCount] = {
    "jewel", "bomb", "dynamite", "cannonleft", "cannonright", "cannontop", "cannonbottom",
    "rainbow", "key", "lock", "block", "fixedblock", "artifact",
};

std::string JewelTexture(int32_t colour, const char* size)
{
    char path[64];
    std::snprintf(path, sizeof path, "/texture/piece/piece%d-%s.png", colour, size);
    return path;
}

PieceLook DescribeLook(int32_t colour, PieceType type, const std::string& texture, const tsv::Mesh* mesh, float angle)
{
    PieceLook look;
    float kindAngle = 0.0f;
    bool mirrored = false;
    float size = kPieceSize;
    switch (type) {
    case PieceJewel:
    case PieceKey:
    case PieceLock:
        if (HasColourPicture(colour)) {
            look.texture = JewelTexture(colour, "normal");
        } else if (type != PieceJewel) {
            look.texture = type == PieceKey ? "/texture/piece/key.png" : "/texture/piece/lock.png";
        }
        break;
    case PieceBomb:
        look.texture = "/texture/piece/bomb.png";
        size = kSpecialSize;
        break;
    case PieceDynamite:
        look.texture = "/texture/piece/dynamite.png";
        size = kSpecialSize;
        break;
    case PieceCannonLeft:
    case PieceCannonRight:
    case PieceCannonTop:
    case PieceCannonBottom:
        look.texture = "/texture/piece/cannon.png";
        size = kSpecialSize;
        mirrored = type == PieceCannonLeft;
        kindAngle = type == PieceCannonTop ? -kHalfPi : type == PieceCannonBottom ? kHalfPi : 0.0f;
        break;
    case PieceRainbow:
        look.texture = "/texture/piece/rainbow.png";
        size = kSpecialSize;
        break;
    default: // block, fixed block, artifact: the level's picture
        look.texture = texture;
        break;
    }
    look.mesh = tsv::Mesh(size, size);
    if (mesh) {
        look.mesh = *mesh;
    } else if (mirrored) {
        look.mesh.flipHorizontal = true;
    }
    look.rotation = kindAngle + angle;
    if (type >= PieceBomb && type <= PieceArtifact && HasColourPicture(colour)) {
        if (type == PieceKey || type == PieceLock) {
            look.markTexture = type == PieceKey ? "/texture/piece/key.png" : "/texture/piece/lock.png";
            look.markSize = kPieceSize;
        } else {
            look.markTexture = JewelTexture(colour, "small");
            look.markSize = kMarkSize;
        }
    }
    return look;
}

} // namespace

PieceType PieceTypeFromName(const std::string& name)
{
    for (int32_t type = 0; type < kPieceTypeCount; ++type) {
        if (name == kTypeNames[type]) {
            return static_cast<PieceType>(type);
        }
    }
    return PieceUnknown;
}

bool HasColourPicture(int32_t colour) { return colour >= 1 && colour <= 8; }

Piece::Piece(int32_t colour, PieceType type, const std::string& style, const std::string& texture,
             const tsv::Mesh* mesh, float angle)
    : m_type(type), m_colour(type == PieceRainbow ? 0 : colour), m_angle(angle), m_style(style)
{
    if (type == PieceJewel && HasColourPicture(m_colour)) {
        m_style = std::to_string(m_colour);
    }
    m_look = DescribeLook(m_colour, type, texture, mesh, angle);
}

void Piece::SetPosition(float x, float y)
{
    m_x = x;
    m_y = y;
}

void Piece::MoveTo(float x, float y, int64_t durationMs, int64_t now)
{
    m_state = PieceMoving;
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
    m_state = PieceSwapping;
}

void Piece::FallTo(float x, float y, int64_t now)
{
    m_state = PieceFalling;
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
    case PieceMoving:
        if (t >= m_duration) {
            SetPosition(static_cast<float>(m_c), static_cast<float>(m_d));
            m_state = PieceIdle;
            return Finished::Move;
        }
        SetPosition(static_cast<float>(m_a + (m_c - m_a) * t / m_duration),
                    static_cast<float>(m_b + (m_d - m_b) * t / m_duration));
        return Finished::Nothing;
    case PieceSwapping:
        if (t >= 2 * kSwapLegMs) {
            SetPosition(static_cast<float>(m_a), static_cast<float>(m_b));
            m_state = PieceIdle;
        } else if (t >= kSwapLegMs) {
            const int64_t back = t - kSwapLegMs;
            SetPosition(static_cast<float>(m_c + (m_a - m_c) * back / kSwapLegMs),
                        static_cast<float>(m_d + (m_b - m_d) * back / kSwapLegMs));
        } else {
            SetPosition(static_cast<float>(m_a + (m_c - m_a) * t / kSwapLegMs),
                        static_cast<float>(m_b + (m_d - m_b) * t / kSwapLegMs));
        }
        return Finished::Nothing;
    case PieceFalling:
        if (m_y > static_cast<float>(m_d)) {
            const bool fast = m_vy >= kLandingSoundSpeed;
            SetPosition(static_cast<float>(m_c), static_cast<float>(m_d));
            m_vx = m_vy = m_ay = 0;
            m_state = PieceIdle;
            return fast ? Finished::FastLanding : Finished::Landing;
        }
        return Finished::Nothing;
    case PieceDetonating:
    case PieceCharging:
    case PieceOpening: {
        const int64_t delay = m_state == PieceDetonating ? kDetonationDelayMs
                              : m_state == PieceCharging ? kChargeMs
                                                         : kOpeningMs;
        return t >= delay ? Finished::Timer : Finished::Nothing;
    }
    default:
        return Finished::Nothing;
    }
}

} // namespace bsh
