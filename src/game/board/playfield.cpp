#include "game/board/playfield.h"

#include "engine/core/log.h"

#include <algorithm>

namespace bsh {

using tsv::EndL;
using tsv::GetLog;

namespace {

constexpr int64_t kSwapMs = 150;
constexpr int64_t kReshuffleInMs = 900;
constexpr int64_t kShakeMs = 3000;
constexpr int kRandomColourTries = 32;

} // namespace

PlayField::PlayField(BoardEvents& events, Clock clock) : m_events(events), m_clock(std::move(clock))
{
    m_now = Now();
    m_lastFrameTime = m_now;
}

PlayField::~PlayField()
{
    for (Cell& cell : m_cells) {
        if (cell.piece && cell.piece->IsAlive()) {
            RetirePiece(*cell.piece, PieceExit::Removed);
        }
    }
    for (const PiecePtr& piece : m_busy) {
        if (piece->IsAlive()) {
            RetirePiece(*piece, PieceExit::Removed);
        }
    }
    for (const Fireball& fireball : m_flying) {
        m_events.OnFireballGone(fireball);
    }
}

// --- Cells and pieces ---------------------------------------------------------

int32_t PlayField::ColourAt(int x, int y) const
{
    const Piece* piece = PieceAt(x, y);
    return piece ? piece->GetColour() : 0;
}

PieceType PlayField::TypeAt(int x, int y) const
{
    const Piece* piece = PieceAt(x, y);
    return piece ? piece->GetType() : PieceType::Unknown;
}

bool PlayField::IsSelectable(int x, int y) const
{
    const Piece* piece = PieceAt(x, y);
    return piece && piece->IsAlive() && piece->IsIdle() && IsSwapType(piece->GetType());
}

bool PlayField::IsSwappable(int x, int y) const { return IsSelectable(x, y); }

bool PlayField::IsMatchable(int x, int y) const
{
    const Piece* piece = PieceAt(x, y);
    return piece && piece->IsAlive() && piece->IsIdle() && IsMatchType(piece->GetType());
}

bool PlayField::Falls(int x, int y) const
{
    const Piece* piece = PieceAt(x, y);
    return piece && piece->IsAlive() && IsFallType(piece->GetType());
}

bool PlayField::IsReadyToFall(int x, int y) const { return Falls(x, y) && PieceAt(x, y)->IsIdle(); }

int32_t PlayField::GetRandomColor()
{
    if (m_colours.empty()) {
        if (!m_colourErrorLogged) {
            GetLog() << tsv::Error << "PlayField::GetRandomColor - no valid colors specified" << EndL;
            m_colourErrorLogged = true;
        }
        return 0;
    }
    const int index = m_random.Below(static_cast<int>(m_colours.size()));
    return m_colours[static_cast<size_t>(index)] - '0';
}

void PlayField::RetirePiece(Piece& piece, PieceExit exit)
{
    if (piece.IsAlive()) {
        piece.Kill();
        m_events.OnPieceRemoved(piece, exit);
    }
}

Piece* PlayField::NewPiece(int x, int y, int32_t colour, PieceType type, const std::string& style,
                           const std::string& texture, const tsv::Mesh* mesh, float angle)
{
    PiecePtr piece = tsv::MakeIntrusive<Piece>(colour, type, style, texture, mesh, angle);
    piece->SetPosition(ColumnX(x), RowY(y));
    PutPiece(x, y, piece, PieceExit::Replaced);
    m_events.OnPieceAdded(*piece);
    return piece.Get();
}

Piece* PlayField::CreatePieceAt(int x, int y, int32_t colour, PieceType type, const std::string& style,
                                const std::string& texture, const tsv::Mesh* mesh, float angle)
{
    if (colour == 0) {
        const int32_t left = x > 0 ? ColourAt(x - 1, y) : 0;
        const int32_t above = y > 0 ? ColourAt(x, y - 1) : 0;
        const int32_t right = x < kBoardColumns - 1 ? ColourAt(x + 1, y) : 0;
        const int32_t below = y < kBoardRows - 1 ? ColourAt(x, y + 1) : 0;
        // A list with too few colours for the neighbours would never end: take the last draw.
        for (int tries = 0; tries < kRandomColourTries; ++tries) {
            colour = GetRandomColor();
            if (colour != left && colour != above && colour != right && colour != below) {
                break;
            }
        }
    }
    Piece* piece = NewPiece(x, y, colour, type, style, texture, mesh, angle);
    if (type == PieceType::Artifact) {
        if (m_hasArtifact) {
            GetLog() << tsv::Error << "This level has artifact already." << EndL;
            return nullptr;
        }
        m_hasArtifact = true;
    }
    return piece;
}

void PlayField::PutPiece(int x, int y, const PiecePtr& piece, PieceExit exit)
{
    Cell& cell = CellRef(x, y);
    if (cell.piece && cell.piece != piece) {
        // A replaced piece must not stay on screen without a cell.
        RetirePiece(*cell.piece, exit);
    }
    cell.piece = piece;
}

void PlayField::SetCellKind(int x, int y, CellKind kind)
{
    Cell& cell = CellRef(x, y);
    if (cell.kind != kind) {
        cell.kind = kind;
        m_events.OnCellChanged(x, y, kind);
    }
}

void PlayField::Clear()
{
    for (int x = 0; x < kBoardColumns; ++x) {
        for (int y = 0; y < kBoardRows; ++y) {
            Cell& cell = CellRef(x, y);
            if (cell.piece) {
                RetirePiece(*cell.piece, PieceExit::Removed);
                cell.piece = nullptr;
            }
            SetCellKind(x, y, CellKind::None);
        }
    }
    m_hasArtifact = false;
}

void PlayField::SetSpecialDisabled(int index, bool disabled)
{
    if (index >= 0 && index < kDisableableSpecials) {
        m_disabled[static_cast<size_t>(index)] = disabled ? 1 : 0;
    }
}

bool PlayField::IsSpecialDisabled(PieceType type) const
{
    return type >= PieceType::Bomb && type <= PieceType::Rainbow && m_disabled[static_cast<size_t>(PieceNumber(type) - PieceNumber(PieceType::Bomb))] != 0;
}

void PlayField::CountObjectives()
{
    int32_t blocks = 0, cellHits = 0;
    for (int x = 0; x < kBoardColumns; ++x) {
        for (int y = 0; y < kBoardRows; ++y) {
            if (!CellExists(x, y)) {
                continue;
            }
            const PieceType type = TypeAt(x, y);
            if (type == PieceType::Block || type == PieceType::FixedBlock) {
                ++blocks;
            }
            const CellKind kind = CellAt(x, y).kind;
            cellHits += kind == CellKind::Wood ? 1 : kind == CellKind::Iron ? 2 : 0;
        }
    }
    m_counters.SetInitial(blocks, cellHits);
}

bool PlayField::IsSettled() const
{
    if (!m_flying.empty()) {
        return false;
    }
    for (const PiecePtr& piece : m_busy) {
        if (piece->IsAlive() && !piece->IsIdle()) {
            return false;
        }
    }
    for (const Cell& cell : m_cells) {
        // A piece that has left play waits in its cell for the next step.
        if (cell.piece && (!cell.piece->IsIdle() || !cell.piece->IsAlive())) {
            return false;
        }
    }
    return true;
}

bool PlayField::IsLevelDone() const
{
    if (m_artifactCollected) {
        return true;
    }
    return m_counters.AllCleared() && !m_hasArtifact;
}

// --- The frame ----------------------------------------------------------------

void PlayField::AdvancePieces()
{
    m_now = Now();
    // Motions first, everywhere; then what finished, in board order, so that
    // one piece's blast never depends on whether its neighbour moved first.
    std::vector<PiecePtr> timers;
    const auto advance = [&](const PiecePtr& piece) {
        switch (piece->Advance(m_now)) {
        case Piece::Finished::FastLanding:
            m_events.OnSound(BoardSound::Landing);
            break;
        case Piece::Finished::Timer:
            timers.push_back(piece);
            break;
        default:
            break;
        }
    };
    for (const Cell& cell : m_cells) {
        if (cell.piece) {
            advance(cell.piece);
        }
    }
    for (size_t i = 0; i < m_busy.size(); ++i) {
        advance(m_busy[i]);
    }
    for (Fireball& fireball : m_flying) {
        if (fireball.lastMotion != 0) {
            const float dt = static_cast<float>(m_now - fireball.lastMotion) * 0.001f;
            fireball.x += fireball.vx * dt;
            fireball.y += fireball.vy * dt;
        }
        fireball.lastMotion = m_now;
    }
    for (const PiecePtr& piece : timers) {
        if (piece->IsAlive()) {
            FinishTimer(*piece);
        }
    }
}

void PlayField::FinishTimer(Piece& piece)
{
    const PieceState state = piece.GetState();
    RetirePiece(piece, PieceExit::Cleared);
    switch (state) {
    case PieceState::Detonating:
        Blast(piece.TimerColumn(), piece.TimerRow(), static_cast<BlastKind>(piece.TimerExtra()));
        break;
    case PieceState::Charging:
        RainbowPull(piece.TimerColumn(), piece.TimerRow(), piece.TimerExtra(), Phase::Finishing);
        break;
    case PieceState::Opening:
        m_events.OnEffect(GameEffect::Key, BoardSpot::Point(piece.GetPosition()));
        KeyOpen(0, 0, piece.GetColour(), Phase::Finishing);
        break;
    default:
        break;
    }
}

void PlayField::Step()
{
    AdvancePieces();
    const int64_t now = m_now;
    const int64_t elapsed = now - m_lastFrameTime;
    m_counters.RunClock(elapsed, m_openEnded || !IsLevelDone() ? LevelClock::Running : LevelClock::Stopped);
    m_lastFrameTime = now;

    for (Cell& cell : m_cells) {
        if (cell.piece && !cell.piece->IsAlive()) {
            cell.piece = nullptr;
        }
    }
    std::erase_if(m_busy, [](const PiecePtr& piece) { return !piece->IsAlive() || piece->IsIdle(); });

    Gravity();
    Refill();
    Slide();
    if (ResolveMatches()) {
        m_lastMatchTime = now;
    }
    StepFlying();
    m_counters.DetectChanges();
}

// --- Moves --------------------------------------------------------------------

bool PlayField::Swap(int x1, int y1, int x2, int y2)
{
    m_now = Now();
    PiecePtr p1 = PieceAt(x1, y1);
    PiecePtr p2 = PieceAt(x2, y2);
    if (!p1 || !p2) {
        return false;
    }
    if (p2->GetType() == PieceType::Rainbow && p1->GetColour() != 0) {
        DestroyPiece(*p2, x2, y2, BlastKind::Bomb, p1->GetColour());
        RainbowPull(x2, y2, p1->GetColour(), Phase::Starting);
        m_events.OnMultiplier(MultiplierChange::Reset);
        return true;
    }
    if (p1->GetType() == PieceType::Rainbow && p2->GetColour() != 0) {
        DestroyPiece(*p1, x1, y1, BlastKind::Bomb, p2->GetColour());
        RainbowPull(x1, y1, p2->GetColour(), Phase::Starting);
        m_events.OnMultiplier(MultiplierChange::Reset);
        return true;
    }
    std::swap(CellRef(x1, y1).piece, CellRef(x2, y2).piece);
    if (HasMatch()) {
        p1->MoveTo(ColumnX(x2), RowY(y2), kSwapMs, m_now);
        p2->MoveTo(ColumnX(x1), RowY(y1), kSwapMs, m_now);
        m_events.OnMultiplier(MultiplierChange::Reset);
        return true;
    }
    std::swap(CellRef(x1, y1).piece, CellRef(x2, y2).piece);
    p1->SwapAndReturn(ColumnX(x2), RowY(y2), m_now);
    p2->SwapAndReturn(ColumnX(x1), RowY(y1), m_now);
    return false;
}

void PlayField::Reshuffle()
{
    m_now = Now();
    std::array<uint8_t, kBoardCells> marked{};
    for (int x = 0; x < kBoardColumns; ++x) {
        for (int y = 0; y < kBoardRows; ++y) {
            if (!IsSwappable(x, y)) {
                continue;
            }
            PiecePtr piece = CellRef(x, y).piece;
            // The view lets it fall out of sight over kReshuffleOutMs.
            piece->StopShaking();
            RetirePiece(*piece, PieceExit::Reshuffled);
            CellRef(x, y).piece = nullptr;
            marked[CellIndex(x, y)] = 1;
        }
    }
    for (int x = 0; x < kBoardColumns; ++x) {
        for (int y = 0; y < kBoardRows; ++y) {
            if (!marked[CellIndex(x, y)] || !IsEmpty(x, y)) {
                continue;
            }
            Piece* piece = CreatePieceAt(x, y, 0, PieceType::Jewel);
            piece->SetPosition(ColumnX(x), RowY(y - kBoardRows));
            piece->MoveTo(ColumnX(x), RowY(y), kReshuffleInMs, m_now);
        }
    }
}

void PlayField::ShakeSwappables()
{
    m_now = Now();
    for (int x = 0; x < kBoardColumns; ++x) {
        for (int y = 0; y < kBoardRows; ++y) {
            if (IsSwappable(x, y)) {
                CellRef(x, y).piece->Shake(m_now + kShakeMs);
            }
        }
    }
}

// --- Taking pieces out ----------------------------------------------------------

void PlayField::TakeOut(int x, int y)
{
    Cell& cell = CellRef(x, y);
    if (cell.piece) {
        if (cell.piece->IsAlive() && !cell.piece->IsIdle()) {
            m_busy.push_back(cell.piece);
        }
        cell.piece = nullptr;
    }
}

void PlayField::DestroyPiece(Piece& piece, int32_t column, int32_t row, BlastKind kind, int32_t colour)
{
    const PieceType type = piece.GetType();
    if (piece.IsAlive() && piece.GetState() != PieceState::Detonating) {
        if (type == PieceType::Block || type == PieceType::FixedBlock) {
            m_counters.BlockCleared();
            m_events.OnStat(BoardStat::Blocks, 1);
        } else if (type == PieceType::Bomb || type == PieceType::Dynamite) {
            m_events.OnStat(BoardStat::Explosions, 1);
        } else {
            m_counters.JewelCleared();
            m_events.OnStat(BoardStat::Jewels, 1);
        }
    }

    const BoardSpot position = column < 0 ? BoardSpot::Point(piece.GetPosition()) : BoardSpot::Cell(column, row);
    if (type == PieceType::Artifact) {
        m_artifactCollected = true;
        m_events.OnSound(BoardSound::Artifact);
    }

    if (type == PieceType::Rainbow && colour != 0) {
        piece.StartTimer(PieceState::Charging, column, row, colour, m_now);
        piece.Hide();
    } else if (type == PieceType::Bomb || type == PieceType::Dynamite) {
        piece.StartTimer(PieceState::Detonating, column, row, static_cast<int32_t>(kind), m_now);
        piece.Hide();
    } else {
        RetirePiece(piece, PieceExit::Cleared);
    }

    if (type != PieceType::Rainbow && !piece.GetStyle().empty()) {
        m_events.OnFragments(piece.GetStyle(), position);
    }
    if (type == PieceType::Dynamite) {
        m_events.OnDynamiteFlames(position);
    }
    if (type == PieceType::Jewel) {
        m_events.OnSound(BoardSound::Jewels);
    } else if (type == PieceType::Block || type == PieceType::FixedBlock) {
        m_events.OnSound(BoardSound::Stone);
    }
}

} // namespace bsh
