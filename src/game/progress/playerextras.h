#pragma once
// What the game keeps for each player beyond the profiles file, in a file of
// its own ("extras.dat" in the storage folder), so that the profiles, the
// highscores and the saved runs keep their formats byte for byte: how the
// player likes the clock, and the endless mode's personal bests.
//
// The file: the signature "BSHX", a version (1), the number of players, then
// for each the name (a counted string), flags (bit 0: relaxed clock) and the
// three bests (score, longest cascade, pieces cleared), little-endian 32-bit
// numbers throughout. A later version may append fields to each player; a
// reader of this one reads what it knows. Written through a temporary file and
// a rename; a file that does not read back whole is moved aside and the game
// plays on with defaults.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace bsh {

struct PlayerExtra {
    bool relaxedClock = false;
    int32_t bestScore = 0;
    int32_t bestCascade = 0;
    int32_t bestPieces = 0;

    bool operator==(const PlayerExtra&) const = default;
};

class PlayerExtras {
public:
    static constexpr const char* kFileName = "extras.dat";
    static constexpr int32_t kVersion = 1;
    static std::string FilePath();

    // Reads the file: missing means defaults; unreadable is left alone (and
    // never written over); damaged is moved aside.
    void Load();
    // False (logged) when it could not be written.
    bool Save() const;

    // The player's extras; defaults for a player the file does not know.
    PlayerExtra Get(const std::string& name) const;
    void Set(const std::string& name, const PlayerExtra& extra);
    // Players no longer among `names` are dropped (a deleted profile); true
    // when there were any.
    bool KeepOnly(const std::vector<std::string>& names);

    std::string Serialise() const;
    // False when `bytes` is not a whole file of this format.
    bool Parse(const std::string& bytes);

private:
    std::map<std::string, PlayerExtra> m_players;
    bool m_untouchable = false;
};

} // namespace bsh
