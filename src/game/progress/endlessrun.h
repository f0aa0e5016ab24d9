#pragma once
// The endless board: one square board of six colours, no objective and no
// clock, played for as long as the player likes. What a player has done on it
// (its tally) and the board itself are kept per player in a file of their own
// ("endless-" and the name as saved runs name it, in the storage folder), so
// leaving and coming back goes on where it stopped; the personal bests live in
// the players' extras.
//
// The file: the signature "BSHE", a version (1), the score as two 32-bit
// halves (low first), the moves, the longest cascade and the pieces cleared,
// then the board's snapshot as a saved run holds it; little-endian throughout.
// A later version may append fields; a reader of this one refuses what it does
// not know. Written through a temporary file and a rename; a file that does
// not read back whole is moved aside and the board starts afresh.

#include "game/progress/playerextras.h"

#include <cstdint>
#include <string>

namespace bsh {

class PlayField;

// The level file the endless board starts from.
inline constexpr const char* kEndlessLevel = "/level/endless.xml";

struct EndlessTally {
    int64_t score = 0;
    int32_t moves = 0;
    int32_t longestCascade = 0; // the most runs one move set off, one after another
    int32_t piecesCleared = 0;

    bool operator==(const EndlessTally&) const = default;
};

class EndlessRun {
public:
    static constexpr int32_t kVersion = 1;
    // The endless file of `player` in the storage folder.
    static std::string PathFor(const std::string& player);

    static std::string Serialise(const EndlessTally& tally, const PlayField& board);
    // False when `bytes` is not a whole file of this format; `board` may then
    // hold part of it and is to be thrown away.
    static bool Parse(const std::string& bytes, EndlessTally& tally, PlayField& board);

    enum class Read { Missing, Loaded, Damaged, Unreadable };
    // Reads the player's board into a freshly made `board`. A damaged file is
    // moved aside (logged); an unreadable one is left be.
    static Read Load(const std::string& path, EndlessTally& tally, PlayField& board);
    // False (logged) when it could not be written.
    static bool Save(const std::string& path, const EndlessTally& tally, const PlayField& board);
};

// Raises the bests in `extra` to the tally's; true when any rose.
bool RaiseEndlessBests(PlayerExtra& extra, const EndlessTally& tally);

// One JSON object on one line: {"mode": "endless", "score": ..., "moves": ...,
// "longest_cascade": ..., "pieces_cleared": ...}.
std::string FormatEndlessJson(const EndlessTally& tally);

} // namespace bsh
