#include "game/progress/playerextras.h"

#include "engine/core/log.h"
#include "engine/core/storage.h"
#include "engine/core/util/file/damagedfile.h"
#include "engine/core/util/file/filestream.h"
#include "engine/core/util/file/recordio.h"

#include <algorithm>

namespace bsh {

namespace {

constexpr const char kSignature[] = "BSHX";
constexpr int32_t kMaxPlayers = 64; // far more than the profiles file holds
constexpr int32_t kRelaxedFlag = 1;

} // namespace

std::string PlayerExtras::FilePath() { return tsv::GetStoragePath() + kFileName; }

PlayerExtra PlayerExtras::Get(const std::string& name) const
{
    const auto found = m_players.find(name);
    return found == m_players.end() ? PlayerExtra{} : found->second;
}

void PlayerExtras::Set(const std::string& name, const PlayerExtra& extra) { m_players[name] = extra; }

bool PlayerExtras::KeepOnly(const std::vector<std::string>& names)
{
    return std::erase_if(m_players, [&names](const auto& entry) {
               return std::find(names.begin(), names.end(), entry.first) == names.end();
           }) > 0;
}

std::string PlayerExtras::Serialise() const
{
    tsv::RecordWriter out;
    out.WriteBytes(kSignature, 4);
    out.WriteInt32(kVersion);
    out.WriteInt32(static_cast<int32_t>(m_players.size()));
    for (const auto& [name, extra] : m_players) {
        out.WriteString(name);
        out.WriteInt32(extra.relaxedClock ? kRelaxedFlag : 0);
        out.WriteInt32(extra.bestScore);
        out.WriteInt32(extra.bestCascade);
        out.WriteInt32(extra.bestPieces);
    }
    return out.Bytes();
}

bool PlayerExtras::Parse(const std::string& bytes)
{
    m_players.clear();
    tsv::RecordReader in(bytes);
    char signature[4] = {};
    in.ReadBytes(signature, 4);
    const int32_t version = in.ReadInt32();
    const int32_t count = in.ReadInt32();
    if (std::string(signature, 4) != kSignature || version != kVersion || count < 0 || count > kMaxPlayers ||
        in.IsShort()) {
        return false;
    }
    for (int32_t i = 0; i < count; ++i) {
        std::string name;
        PlayerExtra extra;
        const bool named = in.ReadString(name);
        const int32_t flags = in.ReadInt32();
        extra.relaxedClock = (flags & kRelaxedFlag) != 0;
        extra.bestScore = in.ReadInt32();
        extra.bestCascade = in.ReadInt32();
        extra.bestPieces = in.ReadInt32();
        if (!named || in.IsShort() || name.empty() || (flags & ~kRelaxedFlag) != 0 || extra.bestScore < 0 ||
            extra.bestCascade < 0 || extra.bestPieces < 0) {
            return false;
        }
        m_players[name] = extra;
    }
    return in.AtEnd();
}

void PlayerExtras::Load()
{
    std::string bytes;
    switch (tsv::ReadPlayerFile(FilePath(), bytes)) {
    case tsv::EPlayerFileRead::Missing:
        return;
    case tsv::EPlayerFileRead::Unreadable:
        m_untouchable = true;
        return;
    case tsv::EPlayerFileRead::Read:
        break;
    }
    // A file the game would not write back byte for byte is damaged.
    if (!Parse(bytes) || Serialise() != bytes) {
        tsv::GetLog() << tsv::Warning << FilePath() << ": the players' extras are damaged; defaults are used"
                      << tsv::EndL;
        m_players.clear();
        tsv::KeepDamagedFile(FilePath());
    }
}

bool PlayerExtras::Save() const
{
    if (m_untouchable) {
        tsv::GetLog() << tsv::Warning << FilePath() << ": not written, the file there could not be read"
                      << tsv::EndL;
        return false;
    }
    return tsv::WriteFileAtomically(FilePath(), Serialise());
}

} // namespace bsh
