#include "game/progress/endlessrun.h"

#include "engine/core/log.h"
#include "engine/core/storage.h"
#include "engine/core/util/file/damagedfile.h"
#include "engine/core/util/file/filestream.h"
#include "engine/core/util/file/recordio.h"
#include "engine/core/util/file/resourcepath.h"
#include "game/board/playfield.h"
#include "game/progress/gamestate.h"

#include <algorithm>
#include <cstdio>
#include <limits>

namespace bsh {

namespace {

constexpr const char kSignature[] = "BSHE";

int32_t ClampToInt32(int64_t value)
{
    return static_cast<int32_t>(std::clamp<int64_t>(value, 0, std::numeric_limits<int32_t>::max()));
}

} // namespace

std::string EndlessRun::PathFor(const std::string& player)
{
    return tsv::GetStoragePath() + SavedRunFileName("endless", player);
}

std::string EndlessRun::Serialise(const EndlessTally& tally, const PlayField& board)
{
    tsv::RecordWriter out;
    out.WriteBytes(kSignature, 4);
    out.WriteInt32(kVersion);
    const auto score = static_cast<uint64_t>(tally.score);
    out.WriteInt32(static_cast<int32_t>(static_cast<uint32_t>(score)));
    out.WriteInt32(static_cast<int32_t>(static_cast<uint32_t>(score >> 32)));
    out.WriteInt32(tally.moves);
    out.WriteInt32(tally.longestCascade);
    out.WriteInt32(tally.piecesCleared);
    board.SaveState(out);
    return out.Bytes();
}

bool EndlessRun::Parse(const std::string& bytes, EndlessTally& tally, PlayField& board)
{
    tsv::RecordReader in(bytes);
    char signature[4] = {};
    in.ReadBytes(signature, 4);
    const int32_t version = in.ReadInt32();
    const auto low = static_cast<uint32_t>(in.ReadInt32());
    const auto high = static_cast<uint32_t>(in.ReadInt32());
    tally.score = static_cast<int64_t>(static_cast<uint64_t>(high) << 32 | low);
    tally.moves = in.ReadInt32();
    tally.longestCascade = in.ReadInt32();
    tally.piecesCleared = in.ReadInt32();
    if (in.IsShort() || std::string(signature, 4) != kSignature || version != kVersion || tally.score < 0 ||
        tally.moves < 0 || tally.longestCascade < 0 || tally.piecesCleared < 0) {
        return false;
    }
    return board.LoadState(in) && !in.IsShort() && in.AtEnd();
}

EndlessRun::Read EndlessRun::Load(const std::string& path, EndlessTally& tally, PlayField& board)
{
    std::string bytes;
    switch (tsv::ReadPlayerFile(path, bytes)) {
    case tsv::EPlayerFileRead::Missing:
        return Read::Missing;
    case tsv::EPlayerFileRead::Unreadable:
        return Read::Unreadable;
    case tsv::EPlayerFileRead::Read:
        break;
    }
    if (!Parse(bytes, tally, board)) {
        tsv::GetLog() << tsv::Warning << path << ": the endless board is damaged; a new one starts" << tsv::EndL;
        tally = {};
        tsv::KeepDamagedFile(tsv::ResolveResourcePath(path));
        return Read::Damaged;
    }
    return Read::Loaded;
}

bool EndlessRun::Save(const std::string& path, const EndlessTally& tally, const PlayField& board)
{
    if (!tsv::WriteFileAtomically(path, Serialise(tally, board))) {
        tsv::GetLog() << tsv::Error << path << ": the endless board could not be saved" << tsv::EndL;
        return false;
    }
    return true;
}

bool RaiseEndlessBests(PlayerExtra& extra, const EndlessTally& tally)
{
    const PlayerExtra before = extra;
    extra.bestScore = std::max(extra.bestScore, ClampToInt32(tally.score));
    extra.bestCascade = std::max(extra.bestCascade, tally.longestCascade);
    extra.bestPieces = std::max(extra.bestPieces, tally.piecesCleared);
    return !(extra == before);
}

std::string FormatEndlessJson(const EndlessTally& tally)
{
    char line[200];
    std::snprintf(line, sizeof line,
                  "{\"mode\": \"endless\", \"score\": %lld, \"moves\": %d, \"longest_cascade\": %d, "
                  "\"pieces_cleared\": %d}",
                  static_cast<long long>(tally.score), tally.moves, tally.longestCascade, tally.piecesCleared);
    return line;
}

} // namespace bsh
