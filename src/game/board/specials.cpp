// Special pieces: bombs and dynamite with their blasts, cannons and their
// fireballs, the rainbow's pull, and keys opening their locks.

#include "game/board/playfield.h"

#include "engine/core/log.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace bsh {

using tsv::EndL;
using tsv::GetLog;

namespace {

constexpr int64_t kPullMs = 500;
constexpr float kFireballSpeed = 250.0f;
// A fireball is done once it leaves this rectangle.
constexpr float kFlightHalfWidth = 420.0f;
constexpr float kFlightHalfHeight = 320.0f;
constexpr int32_t kBombPoints = 5;
constexpr int32_t kDynamitePoints = 6;
constexpr int32_t kCannonPoints = 6;
constexpr int32_t kKeyPoints = 10;

} // namespace

void PlayField::ExplodeCell(int x, int y, CellHit hit)
{
    if (!InGrid(x, y) || !CellAt(x, y).piece) {
        return;
    }
    m_now = Now();
    PiecePtr piece = CellAt(x, y).piece;
    const PieceType type = piece->GetType();
    if (type == PieceType::Jewel) {
        m_events.OnEffect(GameEffect::JewelGlitter, BoardSpot::Point(piece->GetPosition()));
    }
    const BoardSpot position = BoardSpot::Cell(x, y);
    switch (type) {
    case PieceType::Jewel:
    case PieceType::Block:
    case PieceType::FixedBlock:
    case PieceType::Artifact:
        DestroyPiece(*piece, -1, -1, BlastKind::Bomb, 0);
        break;
    case PieceType::Bomb:
    case PieceType::Dynamite: {
        const bool bomb = type == PieceType::Bomb;
        m_events.OnEffect(bomb ? GameEffect::Bomb : GameEffect::Dynamite, position);
        DestroyPiece(*piece, x, y, bomb ? BlastKind::Bomb : BlastKind::Dynamite, 0);
        TakeOut(x, y);
        m_events.OnScore(bomb ? kBombPoints : kDynamitePoints, position.x, position.y);
        break;
    }
    case PieceType::CannonLeft:
    case PieceType::CannonRight:
    case PieceType::CannonTop:
    case PieceType::CannonBottom:
        if (piece->IsIdle()) {
            m_events.OnEffect(GameEffect::Cannon, position);
            const float vx = type == PieceType::CannonLeft ? -kFireballSpeed : type == PieceType::CannonRight ? kFireballSpeed : 0.0f;
            const float vy = type == PieceType::CannonTop ? -kFireballSpeed : type == PieceType::CannonBottom ? kFireballSpeed : 0.0f;
            LaunchFireball(x, y, vx, vy);
            RetirePiece(*piece, PieceExit::Cleared);
            TakeOut(x, y);
            m_events.OnScore(kCannonPoints, kNoPopupPosition, kNoPopupPosition);
        }
        break;
    case PieceType::Rainbow:
        DestroyPiece(*piece, x, y, BlastKind::Bomb, 0);
        TakeOut(x, y);
        break;
    case PieceType::Key:
        KeyOpen(x, y, piece->GetColour(), Phase::Starting);
        piece->StartTimer(PieceState::Opening, x, y, 0, m_now);
        TakeOut(x, y);
        m_events.OnScore(kKeyPoints, position.x, position.y);
        break;
    default:
        GetLog() << tsv::Error << "ExplodeCell: piece type unknown" << EndL;
        break;
    }
    if (hit == CellHit::Wear) {
        HitCell(x, y);
    }
}

void PlayField::Blast(int x, int y, BlastKind kind)
{
    static constexpr int kBomb[8][2] = {{-1, -1}, {-1, 0}, {-1, 1}, {1, -1}, {1, 0}, {1, 1}, {0, -1}, {0, 1}};
    static constexpr int kDynamite[8][2] = {{-1, 0}, {1, 0}, {0, -1}, {0, 1}, {-2, 0}, {2, 0}, {0, -2}, {0, 2}};
    const auto& cells = kind == BlastKind::Bomb ? kBomb : kDynamite;
    for (const auto& offset : cells) {
        ExplodeCell(x + offset[0], y + offset[1], CellHit::Wear);
    }
    HitCell(x, y);
}

void PlayField::LaunchFireball(int x, int y, float vx, float vy)
{
    Fireball fireball;
    fireball.x = ColumnX(x);
    fireball.y = RowY(y);
    fireball.vx = vx;
    fireball.vy = vy;
    fireball.lastColumn = x;
    fireball.lastRow = y;
    fireball.id = m_nextFireballId++;
    m_flying.push_back(fireball);
    m_events.OnFireballLaunched(fireball);
}

void PlayField::StepFlying()
{
    bool changed = true;
    while (changed) {
        changed = false;
        for (size_t i = 0; i < m_flying.size(); ++i) {
            Fireball& flying = m_flying[i];
            const int x = ColumnAt(flying.x);
            const int y = RowAt(flying.y);
            if (x >= 0 && y >= 0 && (x != flying.lastColumn || y != flying.lastRow)) {
                flying.lastColumn = x;
                flying.lastRow = y;
                // Exploding may launch another fireball and grow the list: stop walking it.
                ExplodeCell(x, y, CellHit::Wear);
                changed = true;
                break;
            }
        }
    }
    for (auto it = m_flying.begin(); it != m_flying.end(); ++it) {
        if (it->x < -kFlightHalfWidth || it->x > kFlightHalfWidth || it->y < -kFlightHalfHeight ||
            it->y > kFlightHalfHeight) {
            const Fireball gone = *it;
            m_flying.erase(it);
            m_events.OnFireballGone(gone);
            break;
        }
    }
}

void PlayField::RainbowPull(int x, int y, int32_t colour, Phase phase)
{
    const BoardSpot centre = BoardSpot::Cell(x, y);
    m_events.OnEffect(phase == Phase::Starting ? GameEffect::RainbowSuck : GameEffect::Rainbow, centre);
    for (int cx = x - 3; cx <= x + 3; ++cx) {
        for (int cy = y - 3; cy <= y + 3; ++cy) {
            Piece* piece = PieceAt(cx, cy);
            if (!piece || piece->GetColour() != colour || !Falls(cx, cy) || !IsSwapType(piece->GetType())) {
                continue;
            }
            if (phase == Phase::Starting) {
                if (piece->IsIdle()) {
                    piece->MoveTo(centre.x, centre.y, kPullMs, m_now);
                }
            } else if (piece->IsIdle() || piece->GetState() == PieceState::Moving) {
                // A piece still finishing its pull this frame goes as well.
                RetirePiece(*piece, PieceExit::Cleared);
                CellRef(cx, cy).piece = nullptr;
            }
        }
    }
}

void PlayField::KeyOpen(int x, int y, int32_t colour, Phase phase)
{
    const bool starting = phase == Phase::Starting;
    if (starting) {
        if (Piece* key = PieceAt(x, y); key && key->GetType() == PieceType::Key) {
            key->Hide();
        }
        m_events.OnFragments(std::to_string(colour), BoardSpot::Cell(x, y));
        m_events.OnSound(BoardSound::Bonus);
    }
    for (int lx = 0; lx < kBoardColumns; ++lx) {
        for (int ly = 0; ly < kBoardRows; ++ly) {
            Piece* lock = PieceAt(lx, ly);
            if (!lock || !lock->IsAlive() || lock->GetType() != PieceType::Lock || lock->GetColour() != colour) {
                continue;
            }
            if (starting) {
                m_events.OnKeyGlow(BoardSpot::Cell(x, y), BoardSpot::Cell(lx, ly));
            } else {
                m_events.OnEffect(GameEffect::Lock, BoardSpot::Point(lock->GetPosition()));
                NewPiece(lx, ly, colour, PieceType::Jewel);
                m_events.OnStat(BoardStat::Locks, 1);
            }
        }
    }
}

} // namespace bsh
