#include "game/board/piece.h"

#include "game/progress/gamestate.h"
#include "game/board/playfield.h"
#include "engine/runtime/application.h"
#include "engine/scene/scenemanager.h"
#include "engine/sound/soundmanager.h"

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
constexpr float kMarkDepth = -0.1f;
constexpr float kEffectDepth = -5.0f;
constexpr float kHalfPi = 1.5707964f;
// Dynamite's flames: decoration thrown outwards from the blast.
constexpr float kFlameSize = 80.0f;
constexpr float kFlameSpeed = 160.0f;
constexpr float kFlameGrowth = 1.8f;
constexpr int64_t kFlameLifeMs = 700;

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

tsv::IntrusivePtr<tsv::Timer> GameTimer() { return tsv::IntrusivePtr<tsv::Timer>(&tsv::Application::Instance().GetTimer()); }

bool HasColourPicture(int32_t colour) { return colour >= 1 && colour <= 8; }

} // namespace

int32_t PieceTypeFromName(const std::string& name)
{
    for (int32_t type = 0; type < kPieceTypeCount; ++type) {
        if (name == kTypeNames[type]) {
            return type;
        }
    }
    return PieceUnknown;
}

Piece::Piece() { SetTimer(GameTimer(), false, true); }

Piece::~Piece() = default;

tsv::SceneNodePtr Piece::AddPicture(const std::string& texture, float size, float depth)
{
    tsv::SceneNodePtr node = tsv::MakeIntrusive<tsv::SceneNode>();
    node->SetTimer(GetTimer(), false, true);
    node->SetMesh(tsv::Mesh(size, size));
    node->SetTexture(texture);
    node->SetPosition({0, 0, depth}, false);
    AddChild(node);
    return node;
}

void Piece::Setup(int32_t colour, int32_t type, const std::string& style, const std::string& texture,
                  const tsv::Mesh* mesh, float angle)
{
    m_type = type;
    m_colour = type == PieceRainbow ? 0 : colour;
    m_angle = angle;
    if (!style.empty()) {
        m_style = style;
    }
    if (type == PieceJewel && HasColourPicture(m_colour)) {
        m_style = std::to_string(m_colour);
    }

    float kindAngle = 0.0f;
    bool mirrored = false;
    std::string picture;
    float size = kPieceSize;
    switch (type) {
    case PieceJewel:
    case PieceKey:
    case PieceLock:
        if (HasColourPicture(m_colour)) {
            picture = JewelTexture(m_colour, "normal");
        } else if (type != PieceJewel) {
            picture = type == PieceKey ? "/texture/piece/key.png" : "/texture/piece/lock.png";
        }
        break;
    case PieceBomb:
        picture = "/texture/piece/bomb.png";
        size = kSpecialSize;
        break;
    case PieceDynamite:
        picture = "/texture/piece/dynamite.png";
        size = kSpecialSize;
        break;
    case PieceCannonLeft:
    case PieceCannonRight:
    case PieceCannonTop:
    case PieceCannonBottom:
        picture = "/texture/piece/cannon.png";
        size = kSpecialSize;
        mirrored = type == PieceCannonLeft;
        kindAngle = type == PieceCannonTop ? -kHalfPi : type == PieceCannonBottom ? kHalfPi : 0.0f;
        break;
    case PieceRainbow:
        picture = "/texture/piece/rainbow.png";
        size = kSpecialSize;
        break;
    default: // block, fixed block, artifact: the level's picture
        picture = texture;
        break;
    }

    if (m_sprite) {
        RemoveChild(m_sprite.Get(), true);
    }
    m_sprite = AddPicture(picture, size, 0.0f);
    if (mesh) {
        m_sprite->SetMesh(*mesh);
    } else if (mirrored) {
        tsv::Mesh flipped(size, size);
        flipped.flipHorizontal = true;
        m_sprite->SetMesh(flipped);
    }
    m_sprite->SetRotation(kindAngle + angle, false);

    if (type >= PieceBomb && type <= PieceArtifact && HasColourPicture(m_colour)) {
        if (type == PieceKey) {
            AddPicture("/texture/piece/key.png", kPieceSize, kMarkDepth);
        } else if (type == PieceLock) {
            AddPicture("/texture/piece/lock.png", kPieceSize, kMarkDepth);
        } else {
            AddPicture(JewelTexture(m_colour, "small"), kMarkSize, kMarkDepth);
        }
    }
    UpdateWorldTransform();
}

void Piece::MoveTo(float x, float y, int64_t durationMs)
{
    m_state = PieceMoving;
    m_a = static_cast<int32_t>(GetPosition().x);
    m_b = static_cast<int32_t>(GetPosition().y);
    m_c = static_cast<int32_t>(x);
    m_d = static_cast<int32_t>(y);
    m_startTime = GetTime();
    m_duration = durationMs > 0 ? durationMs : 1;
}

void Piece::SwapAndReturn(float x, float y)
{
    MoveTo(x, y, kSwapLegMs);
    m_state = PieceSwapping;
}

void Piece::FallTo(float x, float y)
{
    m_state = PieceFalling;
    m_c = static_cast<int32_t>(x);
    m_d = static_cast<int32_t>(y);
    m_startTime = GetTime();
    const float dx = x - GetPosition().x;
    const float dy = y - GetPosition().y;
    const float length = std::sqrt(dx * dx + dy * dy);
    if (length > 0.0f) {
        SetVelocity({dx / length * kFallSpeed, dy / length * kFallSpeed, 0});
    } else {
        SetVelocity({0, kFallSpeed, 0});
    }
    SetAcceleration({0, kFallAcceleration, 0});
}

void Piece::StartOpening(int32_t column, int32_t row)
{
    m_state = PieceOpening;
    m_a = column;
    m_b = row;
    m_startTime = GetTime();
}

void Piece::Finish()
{
    m_state = PieceIdle;
    if (m_owner) {
        m_owner->SetActive();
    }
}

void Piece::Destroy(int32_t column, int32_t row, int32_t kind, int32_t colour)
{
    GameState* state = m_owner ? &m_owner->State() : nullptr;
    if (IsAlive() && m_owner && m_state != PieceDetonating) {
        if (m_type == PieceBlock || m_type == PieceFixedBlock) {
            m_owner->m_blocksLeft = std::max(0, m_owner->m_blocksLeft - 1);
            state->AddStat(StatBlocks, 1);
        } else if (m_type == PieceBomb || m_type == PieceDynamite) {
            state->AddStat(StatExplosions, 1);
        } else {
            if (m_owner->m_jewelsLeft > 0) {
                --m_owner->m_jewelsLeft;
            }
            state->AddStat(StatJewels, 1);
        }
    }

    const tsv::Vec3 position = column < 0 ? GetPosition()
                                          : tsv::Vec3{PlayField::ColumnX(column), PlayField::RowY(row), kEffectDepth};

    if (m_type == PieceArtifact && m_owner) {
        m_owner->m_artifactCollected = true;
        if (state->ArtifactSound()) {
            state->ArtifactSound()->Play();
        }
    }

    if (m_type == PieceRainbow && colour != 0) {
        m_state = PieceCharging;
        m_a = column;
        m_b = row;
        m_c = colour;
        m_startTime = GetTime();
        SetVisible(false, true);
    } else if (m_type == PieceBomb || m_type == PieceDynamite) {
        m_state = PieceDetonating;
        m_a = column;
        m_b = row;
        m_d = kind;
        m_startTime = GetTime();
        SetVisible(false, true);
    } else {
        Expire();
    }

    if (m_type != PieceRainbow && !m_style.empty() && state && state->HasMedia()) {
        state->Effects().FireStyle(m_style, position, kEffectLayer);
    }

    if (m_type == PieceDynamite && m_owner) {
        for (int i = 0; i < 4; ++i) {
            const float angle = kHalfPi * static_cast<float>(i);
            tsv::SceneNodePtr flame = tsv::MakeIntrusive<tsv::SceneNode>();
            flame->SetTimer(GetTimer(), false, true);
            flame->SetMesh(tsv::Mesh(kFlameSize, kFlameSize));
            flame->SetTexture("/texture/effect/flame.png");
            flame->SetPosition(position, false);
            flame->SetRotation(angle, false);
            flame->SetVelocity({std::cos(angle) * kFlameSpeed, std::sin(angle) * kFlameSpeed, 0});
            const int64_t now = GetTime();
            tsv::KeyframePtr grown = tsv::MakeIntrusive<tsv::Keyframe>(now + kFlameLifeMs);
            grown->hasScale = true;
            grown->scale = {kFlameGrowth, kFlameGrowth};
            flame->AddKeyframe(grown);
            flame->SetAlphaFade(true, now, now + kFlameLifeMs, 255, 0);
            flame->SetLifetime(kFlameLifeMs);
            m_owner->Attach(flame);
        }
    }

    if (state) {
        if (m_type == PieceJewel) {
            m_owner->PlayGroup(0);
        } else if (m_type == PieceBlock || m_type == PieceFixedBlock) {
            m_owner->PlayGroup(1);
        }
    }
}

void Piece::Update()
{
    tsv::SceneNode::Update();
    const int64_t now = GetTime();
    const int64_t t = now - m_startTime;
    switch (m_state) {
    case PieceMoving:
        if (t >= m_duration) {
            SetPosition({static_cast<float>(m_c), static_cast<float>(m_d), GetPosition().z}, true);
            Finish();
        } else {
            SetPosition({static_cast<float>(m_a + (m_c - m_a) * t / m_duration),
                         static_cast<float>(m_b + (m_d - m_b) * t / m_duration), GetPosition().z},
                        true);
        }
        break;
    case PieceSwapping:
        if (t >= 2 * kSwapLegMs) {
            SetPosition({static_cast<float>(m_a), static_cast<float>(m_b), GetPosition().z}, true);
            m_state = PieceIdle;
        } else if (t >= kSwapLegMs) {
            const int64_t back = t - kSwapLegMs;
            SetPosition({static_cast<float>(m_c + (m_a - m_c) * back / kSwapLegMs),
                         static_cast<float>(m_d + (m_b - m_d) * back / kSwapLegMs), GetPosition().z},
                        true);
        } else {
            SetPosition({static_cast<float>(m_a + (m_c - m_a) * t / kSwapLegMs),
                         static_cast<float>(m_b + (m_d - m_b) * t / kSwapLegMs), GetPosition().z},
                        true);
        }
        break;
    case PieceFalling:
        if (GetPosition().y > static_cast<float>(m_d)) {
            if (GetVelocity().y >= kLandingSoundSpeed && m_owner && m_owner->State().HasMedia()) {
                tsv::SoundManager::Instance().Play("/sound/glassdrop.wav");
            }
            SetPosition({static_cast<float>(m_c), static_cast<float>(m_d), GetPosition().z}, true);
            SetVelocity({});
            SetAcceleration({});
            Finish();
        }
        break;
    case PieceDetonating:
        if (t >= kDetonationDelayMs) {
            Expire();
            m_state = PieceIdle;
            if (m_owner) {
                m_owner->SetActive();
                m_owner->Blast(m_a, m_b, m_d);
            }
        }
        break;
    case PieceCharging:
        if (t >= kChargeMs) {
            Expire();
            m_state = PieceIdle;
            if (m_owner) {
                m_owner->SetActive();
                m_owner->RainbowPull(m_a, m_b, m_c, false);
            }
        }
        break;
    case PieceOpening:
        if (t >= kOpeningMs) {
            Expire();
            m_state = PieceIdle;
            if (m_owner) {
                m_owner->State().Effects().FireEffect(EffectKey, GetPosition(), kEffectLayer);
                m_owner->KeyOpen(0, 0, m_colour, false);
                m_owner->SetActive();
            }
        }
        break;
    default:
        break;
    }
}

} // namespace bsh
