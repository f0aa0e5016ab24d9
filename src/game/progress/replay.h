#pragma once
// A recording of one level as it was played: what the level started from (the
// level file and its SHA-256, the board, its random stream, the player's
// settings and tutorial texts due, the game clock) and then, frame by frame of
// the board, how far the game clock moved, whether it ran, and what the player
// did to the board, ending with the level's result line. The board is the same
// for the same start and the same frames, so playing the frames back gives
// the same game, in a window or headless.
//
// The file is text, one field a line:
//
//   BSH-REPLAY 1
//   game 1.91
//   level /level/original/001.xml
//   sha256 <64 hex digits>
//   mode quest|arcade|endless
//   difficulty easy|normal|hard
//   clock timed|relaxed
//   player person|bot
//   profile yes|no            whether a player's profile was in play
//   seed <n>                  the level's random seed
//   random <n>                its random stream where the play began
//   hints on|off
//   tutorials <13 counters>   the tutorial texts still due
//   score <n>                 the run's score before the level
//   multiplier <n>
//   carried <score> <moves> <cascade> <pieces>   the endless board's figures
//   time <ms>                 the game clock when the level began
//   board <hex>               the board's snapshot, as a saved run holds it
//   frames <n>
//   <step ms> <1|0 the clock ran> [p X Y 1|0] [k KEY_NAME] [l] [c] [b] ...
//   ...                       one line a frame: pointer states, board keys,
//                             leave, a tutorial text closed before the frame
//                             (c) or by the bot within it (b), in their order
//   result <the JSON line>
//
// A later version may add header lines before "frames"; a reader of this
// version refuses a file whose version is higher than its own.

#include "game/progress/endlessrun.h"
#include "game/progress/progression.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace bsh {

struct ReplayAction {
    enum class Kind { Pointer, Key, Leave, TutorialClosed, TutorialClosedByBot };
    Kind kind = Kind::Pointer;
    float x = 0, y = 0; // Pointer: the view's pixels
    bool down = false;  // Pointer: the left button
    std::string key;    // Key: its name ("KEY_LEFT")

    bool operator==(const ReplayAction&) const = default;
};

struct ReplayFrame {
    int32_t stepMs = 0; // the game clock's move since the previous frame
    bool running = true;
    std::vector<ReplayAction> actions;

    bool operator==(const ReplayFrame&) const = default;
};

struct Replay {
    static constexpr int kVersion = 1;
    static constexpr const char* kSignature = "BSH-REPLAY";
    // Far beyond any level played (a frame is some 20 bytes; an hour at 60
    // frames a second some 5 MB): a longer file is hostile, not a game.
    static constexpr size_t kMaxBytes = 32u << 20;
    static constexpr int64_t kMaxFrames = 2'000'000;

    int version = kVersion;
    std::string game;        // the game's version
    std::string level;       // the level file's path as the game opened it
    std::string levelSha256; // of the level file's bytes
    std::string mode = "arcade";
    std::string difficulty = "normal";
    bool relaxed = false;
    bool bot = false;
    bool profile = true;
    uint32_t seed = 0;
    uint32_t randomState = 0;
    bool hints = true;
    std::array<int32_t, kHintCount> tutorials{};
    int32_t runScore = 0;
    int32_t multiplier = 0;
    EndlessTally carried;
    int64_t startMs = 0;
    std::string board; // the snapshot's bytes
    std::vector<ReplayFrame> frames;
    std::string result;

    bool operator==(const Replay&) const = default;
};

std::string FormatReplay(const Replay& replay);

enum class ReplayRead { Read, NotAReplay, Newer, Damaged };
// Reads a recording; on failure `why` says what is wrong with it, for the
// player (the line and what was expected).
ReplayRead ParseReplay(const std::string& text, Replay& out, std::string& why);

// The recordings kept in the storage folder's "replays/" folder: the file of
// a level played now ("2026-12-07_14-03-22_001.replay"), written through a
// temporary file and a rename; the newest kKeep are kept and older ones
// deleted. The path written, "" when it could not be (logged).
class ReplayShelf {
public:
    static constexpr size_t kKeep = 30;
    static std::string Folder();
    static std::string Keep(const Replay& replay);
};

} // namespace bsh
