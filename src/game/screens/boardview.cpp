#include "game/screens/boardview.h"

#include "engine/runtime/application.h"
#include "engine/scene/nodelibrary.h"
#include "engine/scene/frameloop.h"
#include "game/screens/gamemedia.h"
#include "game/screens/piecepictures.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

namespace bsh {

namespace {

constexpr float kCellDepth = 0.5f;
constexpr float kMarkDepth = -0.1f;
constexpr float kPieceDepth = 0.0f;
// Effects over a cell show in front of everything on the board; the
// rainbow's pull sits between the pieces and those.
constexpr float kEffectDepth = -5.0f;
constexpr float kPullDepth = -1.1f;
constexpr float kFireballDepth = -0.1f;
constexpr float kFireballSize = 64.0f;
constexpr float kKeyGlowSize = 128.0f;
constexpr int64_t kKeyGlowMs = 500;
constexpr int64_t kReshuffleOutMs = 600;
constexpr int64_t kShakePeriodMs = 50;   // a new wobble offset 20 times a second
constexpr float kShakeAmplitude = 10.0f; // 5 pixels each way
constexpr uint32_t kEvenCellColour = 0x63000000; // translucent black chequerboard
constexpr uint32_t kOddCellColour = 0x7F000000;
constexpr float kPi = 3.14159265f;
constexpr float kHalfPi = 1.5707964f;
// Dynamite's flames: decoration thrown outwards from the blast.
constexpr float kFlameSize = 80.0f;
constexpr float kFlameSpeed = 160.0f;
constexpr float kFlameGrowth = 1.8f;
constexpr int64_t kFlameLifeMs = 700;

// An effect over a cell in front of the board, one on a piece at the piece's depth.
tsv::Vec3 Place(const BoardSpot& spot) { return {spot.x, spot.y, spot.IsCell() ? kEffectDepth : kPieceDepth}; }

int64_t GameNow() { return tsv::Application::Instance().GetTimer().GetTime(); }

tsv::SceneNodePtr Picture(const std::string& texture, const tsv::Mesh& mesh, float depth)
{
    tsv::SceneNodePtr node = tsv::MakeIntrusive<tsv::SceneNode>();
    node->SetMesh(mesh);
    node->SetTexture(texture);
    node->SetPosition({0, 0, depth}, tsv::Transform::Later);
    return node;
}

} // namespace

BoardView::BoardView(GameState& state, GameMedia* media) : m_scoring(state), m_media(media) {}

BoardView::~BoardView()
{
    for (PieceNode& entry : m_pieces) {
        entry.node->Expire();
    }
    for (FireballNode& entry : m_fireballs) {
        entry.node->Expire();
    }
    for (const tsv::SceneNodePtr& node : m_cells) {
        if (node) {
            node->Expire();
        }
    }
    for (const tsv::SceneNodePtr& node : m_frame) {
        node->Expire();
    }
}

tsv::SceneNodePtr BoardView::MakePieceNode(const Piece& piece) const
{
    const PieceShape& shape = piece.Shape();
    const PiecePictures pictures = PicturesOf(piece);
    tsv::SceneNodePtr node = tsv::MakeIntrusive<tsv::SceneNode>();
    tsv::SceneNodePtr sprite = Picture(pictures.texture, shape.mesh, kPieceDepth);
    sprite->SetRotation(shape.rotation, tsv::Transform::Later);
    node->AddChild(sprite);
    if (!pictures.markTexture.empty()) {
        node->AddChild(Picture(pictures.markTexture, tsv::Mesh(pictures.markSize, pictures.markSize), kMarkDepth));
    }
    node->SetPosition(piece.GetPosition(), tsv::Transform::Now);
    return node;
}

std::vector<BoardView::PieceNode>::iterator BoardView::Find(const Piece& piece)
{
    for (auto it = m_pieces.begin(); it != m_pieces.end(); ++it) {
        if (it->piece.Get() == &piece) {
            return it;
        }
    }
    return m_pieces.end();
}

void BoardView::OnPieceAdded(Piece& piece)
{
    PieceNode entry{PiecePtr(&piece), MakePieceNode(piece), piece.GetPosition(), false};
    tsv::AddGameNode(entry.node, kBoardLayer);
    m_pieces.push_back(std::move(entry));
}

void BoardView::OnPieceRemoved(Piece& piece, PieceExit exit)
{
    auto it = Find(piece);
    if (it == m_pieces.end()) {
        return;
    }
    tsv::SceneNodePtr node = it->node;
    m_pieces.erase(it);
    if (exit != PieceExit::Reshuffled) {
        node->Expire();
        return;
    }
    // Swept off the board: it drops a board's height out of sight.
    node->RemoveNoise();
    const int64_t now = GameNow();
    const tsv::Vec3 from = piece.GetPosition();
    node->SetPosition(from, tsv::Transform::Now);
    tsv::KeyframePtr gone = tsv::MakeIntrusive<tsv::Keyframe>(now + kReshuffleOutMs);
    gone->hasPosition = true;
    gone->position = {from.x, from.y + kBoardHeight, from.z};
    node->AddKeyframe(gone);
    node->SetExpiry(now + kReshuffleOutMs);
}

void BoardView::Sync(const PlayField& board)
{
    const int64_t now = GameNow();
    // A new piece falls in from above its column's top square: it shows only
    // as it passes the board's frame, fading in over one square's fall.
    std::array<float, kBoardColumns> topY{};
    for (int x = 0; x < kBoardColumns; ++x) {
        topY[static_cast<size_t>(x)] = RowY(0);
        for (int y = 0; y < kBoardRows; ++y) {
            if (board.CellExists(x, y)) {
                topY[static_cast<size_t>(x)] = RowY(y);
                break;
            }
        }
    }
    for (PieceNode& entry : m_pieces) {
        const Piece& piece = *entry.piece;
        if (!piece.IsVisible() && entry.node->IsVisible()) {
            entry.node->SetVisible(false, tsv::Scope::Subtree);
        }
        if (piece.IsShaking() != entry.shaking) {
            entry.shaking = piece.IsShaking();
            if (entry.shaking) {
                tsv::Noise noise;
                noise.timeBegin = now;
                noise.timeEnd = piece.ShakeUntil();
                noise.period = kShakePeriodMs;
                noise.positionAmplitude = {kShakeAmplitude, kShakeAmplitude, 0};
                entry.node->SetNoise(noise);
            } else {
                entry.node->RemoveNoise();
                entry.shown = {};
            }
        }
        const tsv::Vec3 position = piece.GetPosition();
        if (!(position == entry.shown)) {
            entry.shown = position;
            entry.node->SetPosition(position, tsv::Transform::Now);
            const int column = std::clamp(static_cast<int>(std::lround((position.x - ColumnX(0)) / kCellSize)), 0,
                                          kBoardColumns - 1);
            const float top = topY[static_cast<size_t>(column)];
            if (position.y < top) {
                const float shown = std::clamp((position.y - (top - kCellSize)) / kCellSize, 0.0f, 1.0f);
                entry.node->SetColor((static_cast<uint32_t>(shown * 255.0f) << 24) | 0x00FFFFFF);
                entry.entering = true;
            } else if (entry.entering) {
                entry.node->SetColor(0xFFFFFFFF);
                entry.entering = false;
            }
        }
    }
    for (FireballNode& entry : m_fireballs) {
        for (const Fireball& fireball : board.Fireballs()) {
            if (fireball.id == entry.id) {
                entry.node->SetPosition({fireball.x, fireball.y, kFireballDepth}, tsv::Transform::Now);
            }
        }
    }
}

void BoardView::ApplyCellLook(int x, int y, CellKind kind)
{
    tsv::SceneNodePtr& cell = m_cells[CellIndex(x, y)];
    m_cellKinds[CellIndex(x, y)] = kind;
    if (!cell && kind != CellKind::None) {
        cell = tsv::MakeIntrusive<tsv::SceneNode>();
        cell->SetMesh(tsv::Mesh(static_cast<float>(kCellSize), static_cast<float>(kCellSize)));
        cell->SetPosition({ColumnX(x), RowY(y), kCellDepth}, tsv::Transform::Now);
        tsv::AddGameNode(cell, kBoardLayer);
    }
    if (!cell) {
        return;
    }
    switch (kind) {
    case CellKind::Normal:
        cell->SetTexture("");
        cell->SetColor((x + y) % 2 == 0 ? kEvenCellColour : kOddCellColour);
        break;
    case CellKind::Wood:
        cell->SetTexture("/texture/playfield/cell-wood.png");
        cell->SetColor(0xFFFFFFFF);
        break;
    case CellKind::Iron:
        cell->SetTexture("/texture/playfield/cell-iron.png");
        cell->SetColor(0xFFFFFFFF);
        break;
    default:
        break;
    }
    cell->SetVisible(kind != CellKind::None, tsv::Scope::Subtree);
}

void BoardView::OnCellChanged(int x, int y, CellKind kind) { ApplyCellLook(x, y, kind); }

void BoardView::AddFrameNode(const std::string& texture, float x, float y, float angle)
{
    tsv::SceneNodePtr node = tsv::MakeIntrusive<tsv::SceneNode>();
    node->SetMesh(tsv::Mesh(static_cast<float>(kCellSize), static_cast<float>(kCellSize)));
    node->SetTexture(texture);
    node->SetPosition({x, y, kCellDepth}, tsv::Transform::Later);
    node->SetRotation(angle, tsv::Transform::Now);
    tsv::AddGameNode(node, kBoardLayer);
    m_frame.push_back(node);
}

void BoardView::BuildFrame()
{
    for (const tsv::SceneNodePtr& node : m_frame) {
        node->Expire();
    }
    m_frame.clear();
    const auto exists = [this](int x, int y) { return InGrid(x, y) && m_cellKinds[CellIndex(x, y)] != CellKind::None; };
    // The line picture runs along the bottom edge of its square; turned, it faces
    // the existing neighbour. Decorations mark the corners where the edge turns.
    for (int x = -1; x <= kBoardColumns; ++x) {
        for (int y = -1; y <= kBoardRows; ++y) {
            if (exists(x, y)) {
                continue;
            }
            const float px = ColumnX(x);
            const float py = RowY(y);
            const bool below = exists(x, y + 1);
            const bool above = exists(x, y - 1);
            const bool left = exists(x - 1, y);
            const bool right = exists(x + 1, y);
            if (below) {
                AddFrameNode("/texture/playfield/frame-line.png", px, py, 0.0f);
            }
            if (above) {
                AddFrameNode("/texture/playfield/frame-line.png", px, py, kPi);
            }
            if (left) {
                AddFrameNode("/texture/playfield/frame-line.png", px, py, kHalfPi);
            }
            if (right) {
                AddFrameNode("/texture/playfield/frame-line.png", px, py, -kHalfPi);
            }
            // Corner pictures show the board diagonally below right at
            // angle 0 and are turned to face the cells they border.
            const auto cornerAngle = [](int dx, int dy) {
                return dx > 0 ? (dy > 0 ? 0.0f : -kHalfPi) : (dy > 0 ? kHalfPi : kPi);
            };
            if ((below || above) && (left || right)) {
                // Inner corner: the frame turns around this square.
                AddFrameNode("/texture/playfield/frame-deco2.png", px, py,
                             cornerAngle(right ? 1 : -1, below ? 1 : -1));
            } else if (!below && !above && !left && !right) {
                // Outer corner: only a diagonal neighbour exists.
                for (const auto& [dx, dy] : {std::pair(-1, -1), std::pair(1, -1), std::pair(-1, 1), std::pair(1, 1)}) {
                    if (exists(x + dx, y + dy)) {
                        AddFrameNode("/texture/playfield/frame-deco1.png", px, py, cornerAngle(dx, dy));
                    }
                }
            }
        }
    }
}

void BoardView::OnSound(BoardSound sound)
{
    if (m_media) {
        m_media->Play(sound);
    }
}

void BoardView::OnEffect(GameEffect effect, const BoardSpot& spot)
{
    if (m_media) {
        tsv::Vec3 position = Place(spot);
        if (effect == GameEffect::Rainbow || effect == GameEffect::RainbowSuck) {
            position.z = kPullDepth;
        }
        m_media->Effects().FireEffect(effect, position, kEffectLayer);
    }
}

void BoardView::OnFragments(const std::string& style, const BoardSpot& spot)
{
    if (m_media) {
        m_media->Effects().FireStyle(style, Place(spot), kEffectLayer);
    }
}

void BoardView::OnDynamiteFlames(const BoardSpot& spot)
{
    const tsv::Vec3 position = Place(spot);
    const int64_t now = GameNow();
    for (int i = 0; i < 4; ++i) {
        const float angle = kHalfPi * static_cast<float>(i);
        tsv::SceneNodePtr flame = Picture("/texture/effect/flame.png", tsv::Mesh(kFlameSize, kFlameSize), 0.0f);
        flame->SetPosition(position, tsv::Transform::Later);
        flame->SetRotation(angle, tsv::Transform::Later);
        flame->SetVelocity({std::cos(angle) * kFlameSpeed, std::sin(angle) * kFlameSpeed, 0});
        tsv::KeyframePtr grown = tsv::MakeIntrusive<tsv::Keyframe>(now + kFlameLifeMs);
        grown->hasScale = true;
        grown->scale = {kFlameGrowth, kFlameGrowth};
        flame->AddKeyframe(grown);
        flame->SetAlphaFade(true, now, now + kFlameLifeMs, 255, 0);
        tsv::AddGameNode(flame, kBoardLayer);
        flame->SetLifetime(kFlameLifeMs);
    }
}

void BoardView::OnFireballLaunched(const Fireball& fireball)
{
    tsv::SceneNodePtr node =
        Picture("/texture/effect/fireball.png", tsv::Mesh(kFireballSize, kFireballSize), kFireballDepth);
    node->SetPosition({fireball.x, fireball.y, kFireballDepth}, tsv::Transform::Later);
    node->SetRotation(std::atan2(fireball.vy, fireball.vx), tsv::Transform::Now);
    tsv::AddGameNode(node, kBoardLayer);
    m_fireballs.push_back({fireball.id, node});
    if (m_media) {
        if (tsv::SceneNodePtr smoke = tsv::NodeLibrary::Instance().CreateNode("/object/game/cannonsmoke.xml")) {
            smoke->SetPosition({fireball.x, fireball.y, kEffectDepth}, tsv::Transform::Now);
            tsv::AddGameNode(smoke, kEffectLayer);
            smoke->Fire(0, tsv::FireDelay::OnNode);
        }
    }
}

void BoardView::OnFireballGone(const Fireball& fireball)
{
    for (auto it = m_fireballs.begin(); it != m_fireballs.end(); ++it) {
        if (it->id == fireball.id) {
            it->node->Expire();
            m_fireballs.erase(it);
            return;
        }
    }
}

void BoardView::OnKeyGlow(const BoardSpot& from, const BoardSpot& to)
{
    tsv::SceneNodePtr glow = Picture("/texture/piece/key-glowing.png", tsv::Mesh(kKeyGlowSize, kKeyGlowSize), 0.1f);
    glow->SetPosition({from.x, from.y, 0.1f}, tsv::Transform::Later);
    const float seconds = static_cast<float>(kKeyGlowMs) / 1000.0f;
    glow->SetVelocity({(to.x - from.x) / seconds, (to.y - from.y) / seconds, -0.4f / seconds});
    tsv::AddGameNode(glow, kBoardLayer);
    glow->SetLifetime(kKeyGlowMs);
}

} // namespace bsh
