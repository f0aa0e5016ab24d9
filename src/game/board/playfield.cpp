#include "game/board/playfield.h"

#include "engine/core/log.h"
#include "engine/core/random.h"
#include "game/progress/gamestate.h"
#include "engine/runtime/application.h"
#include "engine/scene/nodelibrary.h"
#include "engine/scene/scenemanager.h"

#include <algorithm>
#include <utility>
#include <cmath>
#include <cstring>
#include <sstream>

namespace bsh {

using tsv::EndL;
using tsv::GetLog;

namespace {

constexpr int64_t kSwapMs = 150;
constexpr int64_t kSlideMs = 150;
constexpr int64_t kPullMs = 500;
constexpr int64_t kReshuffleOutMs = 600;
constexpr int64_t kReshuffleInMs = 900;
constexpr int64_t kShakeMs = 3000;
constexpr int64_t kShakePeriodMs = 50; // a new wobble offset 20 times a second
constexpr float kShakeAmplitude = 10.0f; // 5 pixels each way
constexpr float kRefillStartY = -410.0f; // the lowest new jewel of a column starts here
constexpr float kCellDepth = 0.5f;
constexpr float kEffectDepth = -5.0f;
constexpr float kPullDepth = -1.1f;
constexpr float kFireballDepth = -0.1f;
constexpr float kFireballSize = 64.0f;
constexpr float kFireballSpeed = 250.0f;
constexpr float kKeyGlowSize = 128.0f;
constexpr int64_t kKeyGlowMs = 500;
constexpr int kRandomColourTries = 32;
// A fireball is done once it leaves this rectangle.
constexpr float kFlightHalfWidth = 420.0f;
constexpr float kFlightHalfHeight = 320.0f;
constexpr uint32_t kEvenCellColour = 0x63000000; // translucent black chequerboard
constexpr uint32_t kOddCellColour = 0x7F000000;
constexpr float kPi = 3.14159265f;
constexpr float kHalfPi = 1.5707964f;
constexpr size_t kMeshBytes = 100;

// Run points.
constexpr int32_t kCornerPoints = 25;
constexpr int32_t kTPoints = 30;
constexpr int32_t kFivePoints = 20;
constexpr int32_t kFourPoints = 10;
constexpr int32_t kThreePoints = 5;

bool IsFixedKind(int32_t type) { return type >= PieceKey && type <= PieceArtifact; }
bool IsSwapType(int32_t type) { return type >= PieceJewel && type <= PieceRainbow; }
bool IsMatchType(int32_t type) { return type >= PieceJewel && type <= PieceArtifact && type != PieceLock; }
bool IsFallType(int32_t type) { return (type >= PieceJewel && type <= PieceRainbow) || type == PieceBlock; }

void WriteInt64(RecordWriter& out, int64_t value)
{
    const auto bits = static_cast<uint64_t>(value);
    out.WriteInt32(static_cast<int32_t>(static_cast<uint32_t>(bits)));
    out.WriteInt32(static_cast<int32_t>(static_cast<uint32_t>(bits >> 32)));
}

int64_t ReadInt64(RecordReader& in)
{
    const auto low = static_cast<uint32_t>(in.ReadInt32());
    const auto high = static_cast<uint32_t>(in.ReadInt32());
    return static_cast<int64_t>((static_cast<uint64_t>(high) << 32) | low);
}

void WriteFloat(RecordWriter& out, float value)
{
    uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    out.WriteInt32(static_cast<int32_t>(bits));
}

float ReadFloat(RecordReader& in)
{
    const auto bits = static_cast<uint32_t>(in.ReadInt32());
    float value = 0;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

// The mesh as 100 bytes: the rectangle, anchor, corner colours, flags, drawn
// size and the four corner vertices.
void WriteMesh(RecordWriter& out, const tsv::Mesh& mesh)
{
    const size_t start = out.Bytes().size();
    for (float v : {mesh.width, mesh.height, mesh.textureOffsetX, mesh.textureOffsetY, mesh.anchorX, mesh.anchorY}) {
        WriteFloat(out, v);
    }
    for (uint32_t c : mesh.colors) {
        out.WriteInt32(static_cast<int32_t>(c));
    }
    out.WriteByte(mesh.flipHorizontal ? 1 : 0);
    out.WriteByte(mesh.flipVertical ? 1 : 0);
    out.WriteByte(mesh.colorAppliesToChild ? 1 : 0);
    out.WriteByte(0);
    WriteFloat(out, mesh.boundWidth);
    WriteFloat(out, mesh.boundHeight);
    for (const tsv::Vec3& v : mesh.vertices) {
        WriteFloat(out, v.x);
        WriteFloat(out, v.y);
        WriteFloat(out, v.z);
    }
    while (out.Bytes().size() - start < kMeshBytes) {
        out.WriteByte(0);
    }
}

tsv::Mesh ReadMesh(RecordReader& in)
{
    tsv::Mesh mesh;
    float* fields[] = {&mesh.width, &mesh.height, &mesh.textureOffsetX, &mesh.textureOffsetY, &mesh.anchorX, &mesh.anchorY};
    for (float* f : fields) {
        *f = ReadFloat(in);
    }
    for (uint32_t& c : mesh.colors) {
        c = static_cast<uint32_t>(in.ReadInt32());
    }
    mesh.flipHorizontal = in.ReadByte() != 0;
    mesh.flipVertical = in.ReadByte() != 0;
    mesh.colorAppliesToChild = in.ReadByte() != 0;
    in.ReadByte();
    mesh.boundWidth = ReadFloat(in);
    mesh.boundHeight = ReadFloat(in);
    for (tsv::Vec3& v : mesh.vertices) {
        v.x = ReadFloat(in);
        v.y = ReadFloat(in);
        v.z = ReadFloat(in);
    }
    return mesh;
}

char PieceLetter(int32_t type)
{
    static constexpr char kLetters[kPieceTypeCount + 1] = "JBD<>^vRKOXFA";
    return type >= 0 && type < kPieceTypeCount ? kLetters[type] : '?';
}

} // namespace

PlayField::PlayField(GameState& state) : m_state(state) { m_lastFrameTime = Now(); }

PlayField::PlayField() : PlayField(GameState::Instance()) {}

PlayField::~PlayField()
{
    if (m_hooksPlugged) {
        m_state.SetBoardSnapshotHooks({}, {});
    }
    for (Cell& cell : m_cells) {
        if (cell.piece) {
            cell.piece->SetOwner(nullptr);
            cell.piece->Expire();
        }
        if (cell.background) {
            cell.background->Expire();
        }
    }
    for (const PiecePtr& piece : m_busy) {
        piece->SetOwner(nullptr);
        piece->Expire();
    }
    for (const FlyingObject& flying : m_flying) {
        flying.node->Expire();
    }
    for (const tsv::SceneNodePtr& node : m_frame) {
        node->Expire();
    }
}

namespace {

// The cell along one axis under offset `t` from the board's edge, -1 outside;
// the far edge itself (t == extent) falls outside too.
int CellAlong(float t, float extent, int count)
{
    if (t < 0.0f || t > extent) {
        return -1;
    }
    const int cell = static_cast<int>(t) / kCellSize;
    return cell < count ? cell : -1;
}

} // namespace

int PlayField::ColumnAt(float x) { return CellAlong(x + 370.0f, 720.0f, kBoardColumns); }

int PlayField::RowAt(float y) { return CellAlong(y + 280.0f, 600.0f, kBoardRows); }

int64_t PlayField::Now() const { return tsv::Application::Instance().GetTimer().GetTime(); }

void PlayField::Attach(const tsv::SceneNodePtr& node)
{
    node->SetTimer(tsv::IntrusivePtr<tsv::Timer>(&tsv::Application::Instance().GetTimer()), true, true);
    node->SetLayer(m_layer, true);
    tsv::SceneManager::Instance().AddNode(node, true, true);
}

void PlayField::PlayGroup(int group) const
{
    const tsv::IntrusivePtr<tsv::Playlist>& playlist = m_state.SoundGroup(group);
    if (playlist) {
        playlist->Play();
    }
}

// --- Cells and pieces ---------------------------------------------------------

Piece* PlayField::PieceAt(int x, int y) const { return InGrid(x, y) ? CellAt(x, y).piece.Get() : nullptr; }

int32_t PlayField::ColourAt(int x, int y) const
{
    const Piece* piece = PieceAt(x, y);
    return piece ? piece->GetColour() : 0;
}

int32_t PlayField::TypeAt(int x, int y) const
{
    const Piece* piece = PieceAt(x, y);
    return piece ? piece->GetType() : PieceUnknown;
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

int32_t PlayField::GetRandomColor() const
{
    if (m_colours.empty()) {
        GetLog() << tsv::Error << "PlayField::GetRandomColor - no valid colors specified" << EndL;
        return 0;
    }
    const int index = tsv::RandomBelow(static_cast<int>(m_colours.size()));
    return m_colours[static_cast<size_t>(index)] - '0';
}

Piece* PlayField::NewPiece(int x, int y, int32_t colour, int32_t type, const std::string& style,
                           const std::string& texture, const tsv::Mesh* mesh, float angle)
{
    PiecePtr piece = tsv::MakeIntrusive<Piece>();
    piece->SetOwner(this);
    piece->Setup(colour, type, style, texture, mesh, angle);
    piece->SetPosition({ColumnX(x), RowY(y), 0.0f}, true);
    Attach(tsv::SceneNodePtr(piece.Get()));
    PutPiece(x, y, piece);
    return piece.Get();
}

Piece* PlayField::CreatePieceAt(int x, int y, int32_t colour, int32_t type, const std::string& style,
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
    if (type == PieceArtifact) {
        if (m_hasArtifact) {
            GetLog() << tsv::Error << "This level has artifact already." << EndL;
            return nullptr;
        }
        m_hasArtifact = true;
    }
    return piece;
}

void PlayField::PutPiece(int x, int y, const PiecePtr& piece)
{
    Cell& cell = CellRef(x, y);
    if (cell.piece && cell.piece != piece && cell.piece->GetOwner() == this) {
        // A replaced piece must not stay on screen without a cell.
        cell.piece->Expire();
    }
    cell.piece = piece;
}

void PlayField::ApplyCellLook(int x, int y)
{
    Cell& cell = CellRef(x, y);
    if (!cell.background) {
        return;
    }
    switch (cell.kind) {
    case CellNormal:
        cell.background->SetTexture("");
        cell.background->SetColor((x + y) % 2 == 0 ? kEvenCellColour : kOddCellColour);
        break;
    case CellWood:
        cell.background->SetTexture("/texture/playfield/cell-wood.png");
        cell.background->SetColor(0xFFFFFFFF);
        break;
    case CellIron:
        cell.background->SetTexture("/texture/playfield/cell-iron.png");
        cell.background->SetColor(0xFFFFFFFF);
        break;
    default:
        break;
    }
    cell.background->SetVisible(cell.kind != CellNone, true);
}

void PlayField::SetCellKind(int x, int y, int32_t kind)
{
    Cell& cell = CellRef(x, y);
    cell.kind = kind;
    if (!cell.background && kind != CellNone) {
        cell.background = tsv::MakeIntrusive<tsv::SceneNode>();
        cell.background->SetMesh(tsv::Mesh(static_cast<float>(kCellSize), static_cast<float>(kCellSize)));
        cell.background->SetPosition({ColumnX(x), RowY(y), kCellDepth}, true);
        Attach(cell.background);
    }
    ApplyCellLook(x, y);
}

void PlayField::Clear()
{
    for (int x = 0; x < kBoardColumns; ++x) {
        for (int y = 0; y < kBoardRows; ++y) {
            Cell& cell = CellRef(x, y);
            if (cell.piece) {
                cell.piece->Expire();
                cell.piece = nullptr;
            }
            SetCellKind(x, y, CellNone);
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

bool PlayField::IsSpecialDisabled(int32_t type) const
{
    return type >= PieceBomb && type <= PieceRainbow && m_disabled[static_cast<size_t>(type - PieceBomb)] != 0;
}

void PlayField::SetJewelsRequired(int32_t jewels)
{
    m_jewelsRequired = jewels;
    m_jewelsLeft = jewels;
}

void PlayField::SetTimeLimit(int64_t ms)
{
    m_timeLimit = ms;
    m_timeLeft = ms;
}

void PlayField::AddFrameNode(const std::string& texture, float x, float y, float angle)
{
    tsv::SceneNodePtr node = tsv::MakeIntrusive<tsv::SceneNode>();
    node->SetMesh(tsv::Mesh(static_cast<float>(kCellSize), static_cast<float>(kCellSize)));
    node->SetTexture(texture);
    node->SetPosition({x, y, kCellDepth}, false);
    node->SetRotation(angle, true);
    Attach(node);
    m_frame.push_back(node);
}

void PlayField::BuildFrame()
{
    for (const tsv::SceneNodePtr& node : m_frame) {
        node->Expire();
    }
    m_frame.clear();
    m_initialBlocks = 0;
    m_initialCellHits = 0;
    // The line picture runs along the bottom edge of its square; turned, it faces
    // the existing neighbour. Decorations mark the corners where the edge turns.
    for (int x = -1; x <= kBoardColumns; ++x) {
        for (int y = -1; y <= kBoardRows; ++y) {
            const float px = ColumnX(x);
            const float py = RowY(y);
            if (!CellExists(x, y)) {
                const bool below = CellExists(x, y + 1);
                const bool above = CellExists(x, y - 1);
                const bool left = CellExists(x - 1, y);
                const bool right = CellExists(x + 1, y);
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
                    AddFrameNode("/texture/playfield/frame-deco2.png", px, py, cornerAngle(right ? 1 : -1, below ? 1 : -1));
                } else if (!below && !above && !left && !right) {
                    // Outer corner: only a diagonal neighbour exists.
                    for (const auto& [dx, dy] : {std::pair(-1, -1), std::pair(1, -1), std::pair(-1, 1), std::pair(1, 1)}) {
                        if (CellExists(x + dx, y + dy)) {
                            AddFrameNode("/texture/playfield/frame-deco1.png", px, py, cornerAngle(dx, dy));
                        }
                    }
                }
                continue;
            }
            const int32_t type = TypeAt(x, y);
            if (type == PieceBlock || type == PieceFixedBlock) {
                ++m_initialBlocks;
            }
            const int32_t kind = CellAt(x, y).kind;
            m_initialCellHits += kind == CellWood ? 1 : kind == CellIron ? 2 : 0;
        }
    }
    m_blocksLeft = m_initialBlocks;
    m_cellHitsLeft = m_initialCellHits;
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
    return m_blocksLeft == 0 && m_cellHitsLeft == 0 && m_jewelsLeft == 0 && !m_hasArtifact;
}

// --- The frame ----------------------------------------------------------------

void PlayField::Step()
{
    const int64_t now = Now();
    const int64_t elapsed = now - m_lastFrameTime;
    if (!IsLevelDone()) {
        m_timePlayed += elapsed;
        m_timeLeft -= elapsed;
    }
    m_timeLeft = std::max<int64_t>(std::min(m_timeLeft, m_timeLimit), 0);
    if (!m_active) {
        return;
    }
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
    DetectObjectiveChanges();
}

void PlayField::Gravity()
{
    for (int x = 0; x < kBoardColumns; ++x) {
        for (int y = kBoardRows - 2; y >= 0; --y) {
            if (!IsReadyToFall(x, y) || !IsEmpty(x, y + 1)) {
                continue;
            }
            int target = y + 1;
            while (IsEmpty(x, target + 1)) {
                ++target;
            }
            PiecePtr piece = CellRef(x, y).piece;
            piece->FallTo(ColumnX(x), RowY(target));
            CellRef(x, target).piece = piece;
            CellRef(x, y).piece = nullptr;
        }
    }
}

void PlayField::Refill()
{
    for (int x = 0; x < kBoardColumns; ++x) {
        int top = 0;
        while (top < kBoardRows && !CellExists(x, top)) {
            ++top;
        }
        int end = top;
        while (IsEmpty(x, end)) {
            ++end;
        }
        const int last = end - 1;
        for (int y = top; y <= last; ++y) {
            Piece* piece = NewPiece(x, y, GetRandomColor(), PieceJewel, {}, {}, nullptr, 0.0f);
            piece->SetPosition({ColumnX(x), kRefillStartY - static_cast<float>(kCellSize * (last - y)), 0.0f}, true);
            piece->FallTo(ColumnX(x), RowY(y));
        }
    }
}

bool PlayField::TrySlide(int x, int y, int dx)
{
    const int side = x + dx;
    if (!IsEmpty(side, y + 1)) {
        return false;
    }
    // The piece above would drop into the hole beside it first.
    if (y > 0 && Falls(x, y - 1) && IsEmpty(side, y)) {
        return false;
    }
    // So would the first piece up the side column, when it falls.
    for (int up = y; up >= 0; --up) {
        if (IsEmpty(side, up)) {
            continue;
        }
        if (Falls(side, up)) {
            return false;
        }
        break;
    }
    PiecePtr piece = CellRef(x, y).piece;
    piece->MoveTo(ColumnX(side), RowY(y + 1), kSlideMs);
    CellRef(side, y + 1).piece = piece;
    CellRef(x, y).piece = nullptr;
    return true;
}

void PlayField::Slide()
{
    for (int x = 0; x < kBoardColumns; ++x) {
        for (int y = 0; y < kBoardRows - 1; ++y) {
            if (!IsReadyToFall(x, y) || TypeAt(x, y) == PieceBlock || IsEmpty(x, y + 1)) {
                continue;
            }
            if (x > 0 && TrySlide(x, y, -1)) {
                continue;
            }
            if (x < kBoardColumns - 1) {
                TrySlide(x, y, 1);
            }
        }
    }
}

// --- Matching -----------------------------------------------------------------

namespace {

struct ShapeRule {
    int dx1, dy1, dx2, dy2; // the two cells beyond the anchor triple
    int32_t type;           // the special it makes
    int placeDx, placeDy;   // where, from the anchor
    int32_t points;
};

// Runs along a row: the corners and Ts, in the order they are tried.
constexpr ShapeRule kRowShapes[] = {
    {0, -1, 0, -2, PieceCannonRight, 0, 0, kCornerPoints}, // stem up at the left end
    {1, -1, 1, -2, PieceDynamite, 1, 0, kTPoints},         // stem up from the middle
    {2, -1, 2, -2, PieceCannonTop, 2, 0, kCornerPoints},   // stem up at the right end
    {0, 1, 0, 2, PieceCannonBottom, 0, 0, kCornerPoints},  // stem down at the left end
    {1, 1, 1, 2, PieceDynamite, 1, 0, kTPoints},           // stem down from the middle
    {2, 1, 2, 2, PieceCannonLeft, 2, 0, kCornerPoints},    // stem down at the right end
};

// Runs down a column: only the Ts through their middle.
constexpr ShapeRule kColumnShapes[] = {
    {-1, 1, -2, 1, PieceDynamite, 0, 1, kTPoints}, // stem to the left
    {1, 1, 2, 1, PieceDynamite, 0, 1, kTPoints},   // stem to the right
};

} // namespace

void PlayField::CreateSpecial(int x, int y, int32_t type, std::vector<int>& specials)
{
    if (IsSpecialDisabled(type) || IsFixedKind(TypeAt(x, y))) {
        return;
    }
    const int32_t colour = ColourAt(x, y);
    NewPiece(x, y, colour, type, {}, {}, nullptr, 0.0f);
    specials.push_back(static_cast<int>(Index(x, y)));
    m_state.Effects().FireEffect(EffectBonusAppears, {ColumnX(x), RowY(y), kEffectDepth}, kEffectLayer);
}

bool PlayField::ResolveMatches()
{
    std::array<uint8_t, kBoardCells> matched{};
    std::vector<int> specials;
    const auto same = [this](int x, int y, int32_t colour) {
        return InGrid(x, y) && IsMatchable(x, y) && ColourAt(x, y) == colour;
    };
    const auto mark = [&matched](int x, int y) { matched[Index(x, y)] = 1; };
    int32_t points = 0;
    int popupX = 0, popupY = 0;
    const auto score = [&points, &popupX, &popupY](int32_t value, int x, int y) {
        if (points == 0) {
            points = value;
            popupX = x;
            popupY = y;
        }
    };
    const auto shapes = [&](const ShapeRule* rules, size_t count, int x, int y, int32_t colour, bool row) {
        for (size_t i = 0; i < count; ++i) {
            const ShapeRule& rule = rules[i];
            if (row && ((rule.dy1 < 0 && y < 2) || (rule.dy1 > 0 && y >= kBoardRows - 2))) {
                continue;
            }
            if (!row && ((rule.dx2 < 0 && x < 2) || (rule.dx2 > 0 && x >= kBoardColumns - 2))) {
                continue;
            }
            if (!same(x + rule.dx1, y + rule.dy1, colour) || !same(x + rule.dx2, y + rule.dy2, colour)) {
                continue;
            }
            mark(x + rule.dx1, y + rule.dy1);
            mark(x + rule.dx2, y + rule.dy2);
            CreateSpecial(x + rule.placeDx, y + rule.placeDy, rule.type, specials);
            score(rule.points, x + rule.placeDx, y + rule.placeDy);
        }
    };

    for (int x = 0; x <= kBoardColumns - 3; ++x) {
        for (int y = 0; y < kBoardRows; ++y) {
            const int32_t colour = ColourAt(x, y);
            if (!IsMatchable(x, y) || !same(x + 1, y, colour) || !same(x + 2, y, colour)) {
                continue;
            }
            points = 0;
            shapes(kRowShapes, std::size(kRowShapes), x, y, colour, true);
            if (x < kBoardColumns - 3 && same(x + 3, y, colour)) {
                if (x < kBoardColumns - 4 && same(x + 4, y, colour)) {
                    mark(x + 4, y);
                    CreateSpecial(x + 2, y, PieceRainbow, specials);
                    score(kFivePoints, x + 2, y);
                }
                if (TypeAt(x + 1, y) == PieceJewel) {
                    CreateSpecial(x + 1, y, PieceBomb, specials);
                }
                mark(x + 3, y);
                score(kFourPoints, x + 2, y);
            } else if (!matched[Index(x + 1, y)]) {
                score(kThreePoints, x + 1, y);
            }
            mark(x, y);
            mark(x + 1, y);
            mark(x + 2, y);
            if (points != 0) {
                m_state.AddScore(points, ColumnX(popupX), RowY(popupY));
            }
        }
    }

    for (int x = 0; x < kBoardColumns; ++x) {
        for (int y = 0; y <= kBoardRows - 3; ++y) {
            const int32_t colour = ColourAt(x, y);
            if (!IsMatchable(x, y) || !same(x, y + 1, colour) || !same(x, y + 2, colour)) {
                continue;
            }
            points = 0;
            shapes(kColumnShapes, std::size(kColumnShapes), x, y, colour, false);
            if (y < kBoardRows - 3 && same(x, y + 3, colour)) {
                if (y < kBoardRows - 4 && same(x, y + 4, colour)) {
                    mark(x, y + 4);
                    CreateSpecial(x, y + 2, PieceRainbow, specials);
                    score(kFivePoints, x, y + 2);
                }
                if (TypeAt(x, y + 1) == PieceJewel) {
                    CreateSpecial(x, y + 1, PieceBomb, specials);
                }
                mark(x, y + 3);
                score(kFourPoints, x, y + 1);
            } else if (!matched[Index(x, y + 1)]) {
                score(kThreePoints, x, y + 1);
            }
            mark(x, y);
            mark(x, y + 1);
            mark(x, y + 2);
            if (points != 0) {
                m_state.AddScore(points, ColumnX(popupX), RowY(popupY));
            }
        }
    }

    int32_t size = 0;
    for (int i = 0; i < kBoardCells; ++i) {
        if (matched[static_cast<size_t>(i)]) {
            ++size;
            HitCell(i / kBoardRows, i % kBoardRows);
        }
    }
    if (IsValidMode(m_state.GetMode()) && size > m_state.GetStat(m_state.GetMode(), StatMaximumMatch)) {
        m_state.SetStat(m_state.GetMode(), StatMaximumMatch, size);
    }
    for (int index : specials) {
        matched[static_cast<size_t>(index)] = 0;
    }
    bool cleared = false;
    for (int i = 0; i < kBoardCells; ++i) {
        if (!matched[static_cast<size_t>(i)]) {
            continue;
        }
        cleared = true;
        const int x = i / kBoardRows;
        const int y = i % kBoardRows;
        const int32_t colour = ColourAt(x, y);
        ExplodeCell(x, y, false);
        HitNeighbourBlock(x - 1, y, colour);
        HitNeighbourBlock(x + 1, y, colour);
        HitNeighbourBlock(x, y - 1, colour);
        HitNeighbourBlock(x, y + 1, colour);
    }
    if (cleared) {
        PlayGroup(0);
        m_state.RaiseScoreMultiplier();
    }
    return cleared;
}

void PlayField::HitCell(int x, int y)
{
    if (!InGrid(x, y)) {
        return;
    }
    const Piece* piece = PieceAt(x, y);
    const tsv::Vec3 position = piece ? piece->GetPosition() : tsv::Vec3{3000.0f, 3000.0f, 0.0f};
    const int32_t kind = CellAt(x, y).kind;
    if (kind != CellWood && kind != CellIron) {
        return;
    }
    const bool wood = kind == CellWood;
    SetCellKind(x, y, wood ? CellNormal : CellWood);
    m_state.Effects().FireEffect(wood ? EffectTileWood : EffectTileIron, position, kEffectLayer);
    m_cellHitsLeft = std::max(0, m_cellHitsLeft - 1);
    m_state.AddStat(StatCells, 1);
    m_state.AddScore(wood ? 1 : 2);
    PlayGroup(wood ? 2 : 3);
}

void PlayField::HitNeighbourBlock(int x, int y, int32_t colour)
{
    Piece* piece = PieceAt(x, y);
    if (!piece || !piece->IsAlive() || piece->GetColour() != colour ||
        (piece->GetType() != PieceBlock && piece->GetType() != PieceFixedBlock)) {
        return;
    }
    m_state.AddScore(1);
    piece->Destroy(-1, -1, 0, 0);
}

// --- Special pieces -----------------------------------------------------------

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

void PlayField::ExplodeCell(int x, int y, bool hit)
{
    if (!InGrid(x, y) || !CellAt(x, y).piece) {
        return;
    }
    PiecePtr piece = CellAt(x, y).piece;
    const int32_t type = piece->GetType();
    if (type == PieceJewel) {
        m_state.Effects().FireEffect(EffectJewelGlitter, piece->GetPosition(), kEffectLayer);
    }
    const tsv::Vec3 position{ColumnX(x), RowY(y), kEffectDepth};
    switch (type) {
    case PieceJewel:
    case PieceBlock:
    case PieceFixedBlock:
    case PieceArtifact:
        piece->Destroy(-1, -1, 0, 0);
        break;
    case PieceBomb:
    case PieceDynamite:
        m_state.Effects().FireEffect(type == PieceBomb ? EffectBomb : EffectDynamite, position, kEffectLayer);
        piece->Destroy(x, y, type == PieceBomb ? 0 : 1, 0);
        TakeOut(x, y);
        m_state.AddScore(type == PieceBomb ? 5 : 6, position.x, position.y);
        break;
    case PieceCannonLeft:
    case PieceCannonRight:
    case PieceCannonTop:
    case PieceCannonBottom:
        if (piece->IsIdle()) {
            m_state.Effects().FireEffect(EffectCannon, position, kEffectLayer);
            const float vx = type == PieceCannonLeft ? -kFireballSpeed : type == PieceCannonRight ? kFireballSpeed : 0.0f;
            const float vy = type == PieceCannonTop ? -kFireballSpeed : type == PieceCannonBottom ? kFireballSpeed : 0.0f;
            LaunchFireball(x, y, vx, vy);
            piece->Expire();
            TakeOut(x, y);
            m_state.AddScore(6);
        }
        break;
    case PieceRainbow:
        piece->Destroy(x, y, 0, 0);
        TakeOut(x, y);
        break;
    case PieceKey:
        KeyOpen(x, y, piece->GetColour(), true);
        piece->StartOpening(x, y);
        TakeOut(x, y);
        m_state.AddScore(10, position.x, position.y);
        break;
    default:
        GetLog() << tsv::Error << "ExplodeCell: piece type unknown" << EndL;
        break;
    }
    if (hit) {
        HitCell(x, y);
    }
}

void PlayField::Blast(int x, int y, int32_t kind)
{
    static constexpr int kBomb[8][2] = {{-1, -1}, {-1, 0}, {-1, 1}, {1, -1}, {1, 0}, {1, 1}, {0, -1}, {0, 1}};
    static constexpr int kDynamite[8][2] = {{-1, 0}, {1, 0}, {0, -1}, {0, 1}, {-2, 0}, {2, 0}, {0, -2}, {0, 2}};
    const auto& cells = kind == 0 ? kBomb : kDynamite;
    for (const auto& offset : cells) {
        ExplodeCell(x + offset[0], y + offset[1], true);
    }
    HitCell(x, y);
}

void PlayField::LaunchFireball(int x, int y, float vx, float vy)
{
    tsv::SceneNodePtr fireball = tsv::MakeIntrusive<tsv::SceneNode>();
    fireball->SetMesh(tsv::Mesh(kFireballSize, kFireballSize));
    fireball->SetTexture("/texture/effect/fireball.png");
    fireball->SetPosition({ColumnX(x), RowY(y), kFireballDepth}, false);
    fireball->SetRotation(std::atan2(vy, vx), true);
    fireball->SetVelocity({vx, vy, 0});
    Attach(fireball);
    if (m_state.HasMedia()) {
        tsv::SceneNodePtr smoke = tsv::NodeLibrary::Instance().CreateNode("/object/game/cannonsmoke.xml");
        if (smoke) {
            smoke->SetPosition({ColumnX(x), RowY(y), kEffectDepth}, true);
            smoke->SetTimer(tsv::IntrusivePtr<tsv::Timer>(&tsv::Application::Instance().GetTimer()), true, true);
            smoke->SetLayer(kEffectLayer, true);
            tsv::SceneManager::Instance().AddNode(smoke, true, true);
            smoke->Fire(0, false);
        }
    }
    m_flying.push_back({fireball, x, y});
}

void PlayField::StepFlying()
{
    bool changed = true;
    while (changed) {
        changed = false;
        for (FlyingObject& flying : m_flying) {
            const tsv::Vec3& p = flying.node->GetPosition();
            const int x = ColumnAt(p.x);
            const int y = RowAt(p.y);
            if (x >= 0 && y >= 0 && (x != flying.lastColumn || y != flying.lastRow)) {
                flying.lastColumn = x;
                flying.lastRow = y;
                // Exploding may launch another fireball and grow the list: stop walking it.
                ExplodeCell(x, y, true);
                changed = true;
                break;
            }
        }
    }
    for (auto it = m_flying.begin(); it != m_flying.end(); ++it) {
        const tsv::Vec3& p = it->node->GetPosition();
        if (p.x < -kFlightHalfWidth || p.x > kFlightHalfWidth || p.y < -kFlightHalfHeight || p.y > kFlightHalfHeight) {
            it->node->Expire();
            m_flying.erase(it);
            break;
        }
    }
}

void PlayField::RainbowPull(int x, int y, int32_t colour, bool starting)
{
    const tsv::Vec3 centre{ColumnX(x), RowY(y), kPullDepth};
    m_state.Effects().FireEffect(starting ? EffectRainbowSuck : EffectRainbow, centre, kEffectLayer);
    for (int cx = x - 3; cx <= x + 3; ++cx) {
        for (int cy = y - 3; cy <= y + 3; ++cy) {
            Piece* piece = PieceAt(cx, cy);
            if (!piece || piece->GetColour() != colour || !Falls(cx, cy) || !IsSwapType(piece->GetType())) {
                continue;
            }
            if (starting) {
                if (piece->IsIdle()) {
                    piece->MoveTo(centre.x, centre.y, kPullMs);
                }
            } else if (piece->IsIdle() || piece->GetState() == PieceMoving) {
                // A piece still finishing its pull this frame goes as well.
                piece->Expire();
                CellRef(cx, cy).piece = nullptr;
            }
        }
    }
}

void PlayField::KeyOpen(int x, int y, int32_t colour, bool starting)
{
    if (starting) {
        if (Piece* key = PieceAt(x, y); key && key->GetType() == PieceKey) {
            key->SetVisible(false, true);
        }
        if (m_state.HasMedia()) {
            m_state.Effects().FireStyle(std::to_string(colour), {ColumnX(x), RowY(y), kEffectDepth}, kEffectLayer);
        }
        if (m_state.BonusSound()) {
            m_state.BonusSound()->Play();
        }
    }
    for (int lx = 0; lx < kBoardColumns; ++lx) {
        for (int ly = 0; ly < kBoardRows; ++ly) {
            Piece* lock = PieceAt(lx, ly);
            if (!lock || !lock->IsAlive() || lock->GetType() != PieceLock || lock->GetColour() != colour) {
                continue;
            }
            if (starting) {
                tsv::SceneNodePtr glow = tsv::MakeIntrusive<tsv::SceneNode>();
                glow->SetMesh(tsv::Mesh(kKeyGlowSize, kKeyGlowSize));
                glow->SetTexture("/texture/piece/key-glowing.png");
                glow->SetPosition({ColumnX(x), RowY(y), 0.1f}, false);
                const float seconds = static_cast<float>(kKeyGlowMs) / 1000.0f;
                glow->SetVelocity({(ColumnX(lx) - ColumnX(x)) / seconds, (RowY(ly) - RowY(y)) / seconds, -0.4f / seconds});
                Attach(glow);
                glow->SetLifetime(kKeyGlowMs);
            } else {
                m_state.Effects().FireEffect(EffectLock, lock->GetPosition(), kEffectLayer);
                lock->Expire();
                NewPiece(lx, ly, colour, PieceJewel, {}, {}, nullptr, 0.0f);
                m_state.AddStat(StatLocks, 1);
            }
        }
    }
    if (!starting) {
        SetActive();
    }
}

void PlayField::DetectObjectiveChanges()
{
    const std::array<int32_t, 3> initial{m_initialBlocks, m_initialCellHits, m_jewelsRequired};
    const std::array<int32_t, 3> current{m_blocksLeft, m_cellHitsLeft, m_jewelsLeft};
    m_anyObjectiveChanged = false;
    for (size_t i = 0; i < 3; ++i) {
        m_objectiveChanged[i] = false;
        if (initial[i] == 0) {
            continue;
        }
        m_objectiveChanged[i] = current[i] != m_lastSeen[i];
        m_anyObjectiveChanged = m_anyObjectiveChanged || m_objectiveChanged[i];
        m_lastSeen[i] = current[i];
    }
}

// --- Moves --------------------------------------------------------------------

bool PlayField::Swap(int x1, int y1, int x2, int y2)
{
    PiecePtr p1 = PieceAt(x1, y1);
    PiecePtr p2 = PieceAt(x2, y2);
    if (!p1 || !p2) {
        return false;
    }
    if (p2->GetType() == PieceRainbow && p1->GetColour() != 0) {
        p2->Destroy(x2, y2, 0, p1->GetColour());
        RainbowPull(x2, y2, p1->GetColour(), true);
        m_state.SetScoreMultiplier(0);
        return true;
    }
    if (p1->GetType() == PieceRainbow && p2->GetColour() != 0) {
        p1->Destroy(x1, y1, 0, p2->GetColour());
        RainbowPull(x1, y1, p2->GetColour(), true);
        m_state.SetScoreMultiplier(0);
        return true;
    }
    std::swap(CellRef(x1, y1).piece, CellRef(x2, y2).piece);
    if (HasMatch()) {
        p1->MoveTo(ColumnX(x2), RowY(y2), kSwapMs);
        p2->MoveTo(ColumnX(x1), RowY(y1), kSwapMs);
        m_state.SetScoreMultiplier(0);
        return true;
    }
    std::swap(CellRef(x1, y1).piece, CellRef(x2, y2).piece);
    p1->SwapAndReturn(ColumnX(x2), RowY(y2));
    p2->SwapAndReturn(ColumnX(x1), RowY(y1));
    return false;
}

namespace {

// What the run searches need of a cell: its colour when it counts in runs
// (-1 when it does not) and its type.
struct MatchView {
    std::array<int32_t, kBoardCells> colour;
    std::array<int32_t, kBoardCells> type;
};

constexpr size_t At(int x, int y) { return static_cast<size_t>(x * kBoardRows + y); }

// The tutorial texts a run is about, from the kinds in it.
void FlagRun(const MatchView& view, size_t a, size_t b, size_t c, bool swapHint, HintRecord& hint)
{
    for (size_t i : {a, b, c}) {
        switch (view.type[i]) {
        case PieceBomb:
            hint.Set(HintRecord::Bomb);
            break;
        case PieceDynamite:
            hint.Set(HintRecord::Dynamite);
            break;
        case PieceCannonLeft:
        case PieceCannonRight:
        case PieceCannonTop:
        case PieceCannonBottom:
            hint.Set(HintRecord::Cannon);
            break;
        case PieceRainbow:
            hint.Set(HintRecord::Rainbow);
            break;
        case PieceKey:
            hint.Set(HintRecord::KeyLock);
            break;
        case PieceBlock:
        case PieceFixedBlock:
            hint.Set(HintRecord::DetonatorPart);
            break;
        default:
            break;
        }
    }
    if (swapHint) {
        hint.Set(HintRecord::SwapJewels);
    }
}

bool IsRun(const MatchView& view, size_t a, size_t b, size_t c)
{
    return view.colour[a] >= 0 && view.colour[a] == view.colour[b] && view.colour[a] == view.colour[c];
}

// Every run of three whose cells are accepted by `use`; stops at the first
// without a hint record.
template <class Use>
bool ScanRuns(const MatchView& view, Use&& use, bool swapHint, HintRecord* hint)
{
    bool found = false;
    for (int x = 0; x < kBoardColumns; ++x) {
        for (int y = 0; y < kBoardRows; ++y) {
            if (x + 2 < kBoardColumns) {
                const size_t a = At(x, y), b = At(x + 1, y), c = At(x + 2, y);
                if (use(a, b, c) && IsRun(view, a, b, c)) {
                    found = true;
                    if (!hint) {
                        return true;
                    }
                    FlagRun(view, a, b, c, swapHint, *hint);
                }
            }
            if (y + 2 < kBoardRows) {
                const size_t a = At(x, y), b = At(x, y + 1), c = At(x, y + 2);
                if (use(a, b, c) && IsRun(view, a, b, c)) {
                    found = true;
                    if (!hint) {
                        return true;
                    }
                    FlagRun(view, a, b, c, swapHint, *hint);
                }
            }
        }
    }
    return found;
}

// The runs through cell (x, y): the three row and three column triples holding it.
bool LocalRuns(const MatchView& view, int x, int y, bool swapHint, HintRecord* hint)
{
    bool found = false;
    for (int start = x - 2; start <= x; ++start) {
        if (start >= 0 && start + 2 < kBoardColumns) {
            const size_t a = At(start, y), b = At(start + 1, y), c = At(start + 2, y);
            if (IsRun(view, a, b, c)) {
                found = true;
                if (hint) {
                    FlagRun(view, a, b, c, swapHint, *hint);
                }
            }
        }
    }
    for (int start = y - 2; start <= y; ++start) {
        if (start >= 0 && start + 2 < kBoardRows) {
            const size_t a = At(x, start), b = At(x, start + 1), c = At(x, start + 2);
            if (IsRun(view, a, b, c)) {
                found = true;
                if (hint) {
                    FlagRun(view, a, b, c, swapHint, *hint);
                }
            }
        }
    }
    return found;
}

// Both searches work on a copy of the two facts a run needs, so trying an
// exchange is swapping two entries instead of two pieces. True when the
// swap-jewels tutorial text is still due.
bool FillMatchView(const PlayField& board, MatchView& view)
{
    for (int x = 0; x < kBoardColumns; ++x) {
        for (int y = 0; y < kBoardRows; ++y) {
            view.colour[At(x, y)] = board.IsMatchable(x, y) ? board.ColourAt(x, y) : -1;
            view.type[At(x, y)] = board.TypeAt(x, y);
        }
    }
    tsv::IntrusivePtr<Profile> profile = board.State().CurrentProfile();
    return profile && profile->Awards().GetHintCounter(HintRecord::SwapJewels) != 0;
}

} // namespace

bool PlayField::HasMatch(HintRecord* hint) const
{
    MatchView view;
    const bool swapHint = FillMatchView(*this, view);
    return ScanRuns(view, [](size_t, size_t, size_t) { return true; }, swapHint, hint);
}

bool PlayField::FindMove(int& x1, int& y1, int& x2, int& y2, HintRecord* hint)
{
    MatchView view;
    const bool swapHint = FillMatchView(*this, view);
    // Runs that stand already stay through every exchange that does not touch
    // them; only the triples through the two exchanged cells can change.
    std::vector<std::array<size_t, 3>> standing;
    ScanRuns(
        view,
        [&standing, &view](size_t a, size_t b, size_t c) {
            if (IsRun(view, a, b, c)) {
                standing.push_back({a, b, c});
            }
            return false;
        },
        false, nullptr);

    bool found = false;
    const auto tryMove = [&](int ax, int ay, int bx, int by) {
        if (!IsSelectable(ax, ay) || !IsSelectable(bx, by)) {
            return false;
        }
        const size_t a = At(ax, ay), b = At(bx, by);
        std::swap(view.colour[a], view.colour[b]);
        std::swap(view.type[a], view.type[b]);
        bool run = false;
        for (const auto& r : standing) {
            if (r[0] != a && r[1] != a && r[2] != a && r[0] != b && r[1] != b && r[2] != b) {
                run = true;
                if (hint) {
                    FlagRun(view, r[0], r[1], r[2], swapHint, *hint);
                }
            }
        }
        // Both calls run so that the hint record sees every run of the move.
        const bool first = LocalRuns(view, ax, ay, swapHint, hint);
        const bool second = LocalRuns(view, bx, by, swapHint, hint);
        run = run || first || second;
        std::swap(view.colour[a], view.colour[b]);
        std::swap(view.type[a], view.type[b]);
        if (!run) {
            return false;
        }
        if (!found || tsv::RandomBelow(5) == 0) {
            x1 = ax;
            y1 = ay;
            x2 = bx;
            y2 = by;
        }
        found = true;
        return hint && hint->any;
    };
    for (int x = 0; x < kBoardColumns; ++x) {
        for (int y = 0; y < kBoardRows; ++y) {
            if (x + 1 < kBoardColumns && tryMove(x, y, x + 1, y)) {
                return true;
            }
            if (y + 1 < kBoardRows && tryMove(x, y, x, y + 1)) {
                return true;
            }
        }
    }
    return found;
}

void PlayField::Reshuffle()
{
    std::array<uint8_t, kBoardCells> marked{};
    const int64_t now = Now();
    for (int x = 0; x < kBoardColumns; ++x) {
        for (int y = 0; y < kBoardRows; ++y) {
            if (!IsSwappable(x, y)) {
                continue;
            }
            PiecePtr piece = CellRef(x, y).piece;
            if (piece->HasNoise()) {
                piece->RemoveNoise();
                piece->SetPosition({ColumnX(x), RowY(y), 0.0f}, true);
            }
            piece->MoveTo(ColumnX(x), RowY(y + kBoardRows), kReshuffleOutMs);
            piece->SetExpiry(now + kReshuffleOutMs);
            piece->SetOwner(nullptr);
            CellRef(x, y).piece = nullptr;
            marked[Index(x, y)] = 1;
        }
    }
    for (int x = 0; x < kBoardColumns; ++x) {
        for (int y = 0; y < kBoardRows; ++y) {
            if (!marked[Index(x, y)] || !IsEmpty(x, y)) {
                continue;
            }
            Piece* piece = CreatePieceAt(x, y, 0, PieceJewel);
            piece->SetPosition({ColumnX(x), RowY(y - kBoardRows), 0.0f}, true);
            piece->MoveTo(ColumnX(x), RowY(y), kReshuffleInMs);
        }
    }
}

void PlayField::ShakeSwappables()
{
    const int64_t now = Now();
    for (int x = 0; x < kBoardColumns; ++x) {
        for (int y = 0; y < kBoardRows; ++y) {
            if (!IsSwappable(x, y)) {
                continue;
            }
            tsv::Noise noise;
            noise.timeBegin = now;
            noise.timeEnd = now + kShakeMs;
            noise.period = kShakePeriodMs;
            noise.positionAmplitude = {kShakeAmplitude, kShakeAmplitude, 0};
            CellRef(x, y).piece->SetNoise(noise);
        }
    }
}

// --- Snapshots ----------------------------------------------------------------

void PlayField::SaveState(RecordWriter& out) const
{
    out.WriteString(m_colours);
    for (int x = 0; x < kBoardColumns; ++x) {
        for (int y = 0; y < kBoardRows; ++y) {
            const Cell& cell = CellAt(x, y);
            const Piece* piece = cell.piece.Get();
            if (piece && !piece->IsAlive()) {
                piece = nullptr;
            }
            out.WriteByte(piece ? 1 : 0);
            if (piece) {
                out.WriteInt32(piece->GetType());
                out.WriteInt32(piece->GetColour());
                out.WriteString(piece->GetStyle());
                WriteMesh(out, piece->GetSprite()->GetMesh());
                out.WriteString(piece->GetSprite()->GetTexturePath());
                WriteFloat(out, piece->GetAngle());
            }
            out.WriteInt32(cell.kind);
        }
    }
    out.WriteByte(m_hasArtifact ? 1 : 0);
    out.WriteByte(m_artifactCollected ? 1 : 0);
    out.WriteBytes(m_disabled.data(), m_disabled.size());
    WriteInt64(out, m_timeLimit);
    WriteInt64(out, m_timeLeft);
    WriteInt64(out, m_timePlayed);
    for (int32_t v : m_lastSeen) {
        out.WriteInt32(v);
    }
    for (int32_t v : {m_initialBlocks, m_initialCellHits, m_jewelsRequired, m_blocksLeft, m_cellHitsLeft, m_jewelsLeft}) {
        out.WriteInt32(v);
    }
}

bool PlayField::LoadState(RecordReader& in)
{
    Clear();
    if (!in.ReadString(m_colours)) {
        return false;
    }
    for (int x = 0; x < kBoardColumns; ++x) {
        for (int y = 0; y < kBoardRows; ++y) {
            if (in.ReadByte() != 0) {
                const int32_t type = in.ReadInt32();
                const int32_t colour = in.ReadInt32();
                std::string style, texture;
                in.ReadString(style);
                const tsv::Mesh mesh = ReadMesh(in);
                in.ReadString(texture);
                const float angle = ReadFloat(in);
                CreatePieceAt(x, y, colour, type, style, texture, &mesh, angle);
            }
            const int32_t kind = in.ReadInt32();
            SetCellKind(x, y, kind >= CellNone && kind <= CellIron ? kind : CellNone);
            if (in.IsShort()) {
                return false;
            }
        }
    }
    BuildFrame();
    m_hasArtifact = in.ReadByte() != 0;
    m_artifactCollected = in.ReadByte() != 0;
    in.ReadBytes(m_disabled.data(), m_disabled.size());
    m_timeLimit = ReadInt64(in);
    m_timeLeft = ReadInt64(in);
    m_timePlayed = ReadInt64(in);
    for (int32_t& v : m_lastSeen) {
        v = in.ReadInt32();
    }
    for (int32_t* v : {&m_initialBlocks, &m_initialCellHits, &m_jewelsRequired, &m_blocksLeft, &m_cellHitsLeft,
                       &m_jewelsLeft}) {
        *v = in.ReadInt32();
    }
    m_lastFrameTime = Now();
    return !in.IsShort();
}

void PlayField::PlugIntoSavedGame()
{
    m_state.SetBoardSnapshotHooks([this](RecordWriter& out) { SaveState(out); },
                                  [this](RecordReader& in) { LoadState(in); });
    m_hooksPlugged = true;
}

std::string PlayField::DumpText() const
{
    std::ostringstream out;
    int32_t score = 0;
    tsv::IntrusivePtr<Profile> profile = m_state.CurrentProfile();
    if (profile && IsValidMode(m_state.GetMode())) {
        score = profile->Record().GetScore(m_state.GetMode());
    }
    const int artifact = m_artifactCollected ? 2 : m_hasArtifact ? 1 : 0;
    out << "score " << score << "\n"
        << "multiplier " << m_state.GetScoreMultiplier() << "\n"
        << "time " << m_timeLeft << " " << m_timeLimit << " " << m_timePlayed << "\n"
        << "objectives " << m_blocksLeft << " " << m_cellHitsLeft << " " << m_jewelsLeft << " " << artifact << "\n";
    for (int y = 0; y < kBoardRows; ++y) {
        for (int x = 0; x < kBoardColumns; ++x) {
            const Cell& cell = CellAt(x, y);
            const Piece* piece = cell.piece && cell.piece->IsAlive() ? cell.piece.Get() : nullptr;
            if (x > 0) {
                out << ' ';
            }
            out << static_cast<char>('0' + cell.kind);
            if (piece) {
                out << PieceLetter(piece->GetType());
                const int32_t colour = piece->GetColour();
                out << (colour >= 0 && colour <= 9 ? static_cast<char>('0' + colour) : '?');
            } else {
                out << "..";
            }
        }
        out << "\n";
    }
    return out.str();
}

} // namespace bsh
