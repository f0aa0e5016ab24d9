// Snapshots of the board: the saved game's bytes and the text dump.

#include "game/board/playfield.h"

#include <cstring>
#include <sstream>

namespace bsh {

namespace {

constexpr size_t kMeshBytes = 100;

void WriteFloat(tsv::RecordWriter& out, float value)
{
    uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    out.WriteInt32(static_cast<int32_t>(bits));
}

float ReadFloat(tsv::RecordReader& in)
{
    const auto bits = static_cast<uint32_t>(in.ReadInt32());
    float value = 0;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

// The mesh as 100 bytes: the rectangle, anchor, corner colours, flags, drawn
// size and the four corner vertices.
void WriteMesh(tsv::RecordWriter& out, const tsv::Mesh& mesh)
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

tsv::Mesh ReadMesh(tsv::RecordReader& in)
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

char PieceLetter(PieceType type)
{
    static constexpr char kLetters[kPieceTypeCount + 1] = "JBD<>^vRKOXFA";
    const int32_t number = PieceNumber(type);
    return number >= 0 && number < kPieceTypeCount ? kLetters[number] : '?';
}

} // namespace

// --- Snapshots ----------------------------------------------------------------

void PlayField::SaveState(tsv::RecordWriter& out) const
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
                out.WriteInt32(PieceNumber(piece->GetType()));
                out.WriteInt32(piece->GetColour());
                out.WriteString(piece->GetStyle());
                WriteMesh(out, piece->Shape().mesh);
                out.WriteString(piece->GetTexture());
                WriteFloat(out, piece->GetAngle());
            }
            out.WriteInt32(CellNumber(cell.kind));
        }
    }
    out.WriteByte(m_hasArtifact ? 1 : 0);
    out.WriteByte(m_artifactCollected ? 1 : 0);
    out.WriteBytes(m_disabled.data(), m_disabled.size());
    m_counters.Save(out);
}

bool PlayField::LoadState(tsv::RecordReader& in)
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
                const PieceType known =
                    type >= PieceNumber(PieceType::Jewel) && type < kPieceTypeCount ? static_cast<PieceType>(type) : PieceType::Unknown;
                CreatePieceAt(x, y, colour, known, style, texture, &mesh, angle);
            }
            const int32_t kind = in.ReadInt32();
            SetCellKind(x, y, kind >= CellNumber(CellKind::None) && kind <= CellNumber(CellKind::Iron) ? static_cast<CellKind>(kind) : CellKind::None);
            if (in.IsShort()) {
                return false;
            }
        }
    }
    CountObjectives();
    m_hasArtifact = in.ReadByte() != 0;
    m_artifactCollected = in.ReadByte() != 0;
    in.ReadBytes(m_disabled.data(), m_disabled.size());
    m_counters.Load(in);
    m_lastFrameTime = Now();
    return !in.IsShort();
}

std::string PlayField::DumpText() const
{
    std::ostringstream out;
    const int32_t score = m_events.RunScore();
    const int artifact = m_artifactCollected ? 2 : m_hasArtifact ? 1 : 0;
    out << "score " << score << "\n"
        << "multiplier " << m_events.Multiplier() << "\n"
        << "time " << m_counters.GetTimeLeft() << " " << m_counters.GetTimeLimit() << " "
        << m_counters.GetTimePlayed() << "\n"
        << "objectives " << m_counters.GetBlocksLeft() << " " << m_counters.GetCellHitsLeft() << " "
        << m_counters.GetJewelsLeft() << " " << artifact << "\n";
    for (int y = 0; y < kBoardRows; ++y) {
        for (int x = 0; x < kBoardColumns; ++x) {
            const Cell& cell = CellAt(x, y);
            const Piece* piece = cell.piece && cell.piece->IsAlive() ? cell.piece.Get() : nullptr;
            if (x > 0) {
                out << ' ';
            }
            out << static_cast<char>('0' + CellNumber(cell.kind));
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
