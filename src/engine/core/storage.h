#pragma once
// The per-user storage folder where the program writes its log, settings,
// profiles and highscores.

#include <cstdint>
#include <string>
#include <vector>

namespace tsv {

// Where the player's files go this run.
struct StorageFolder {
    // The first writable candidate: $XDG_DATA_HOME/<subfolder>/ (when set and
    // absolute), $HOME/.local/share/<subfolder>/, then "data/". Ends with
    // "/"; empty when nothing is writable (the start-up then tells the player
    // and runs on without saving).
    std::string path;
    // The first candidate, the player's usual folder, and when it is not
    // `path`, the system's reason it could not be written.
    std::string usual;
    std::string whyNotUsual;

    bool Moved() const { return !usual.empty() && usual != path; }
};
// Missing folders are created.
StorageFolder FindStorageFolder(const std::string& subfolder);

// The storage folder of this run, settled once by the start-up; "" until then.
void SetStoragePath(const std::string& path);
const std::string& GetStoragePath();

// Base folder + each "/"- or "\"-separated component of subfolder, created as needed.
// The result ends with "/"; empty base gives "".
std::string GetShellFolder(const std::string& base, const std::string& subfolder);

// Creates folder + "writetest.dat", writes 5 bytes and removes it again;
// `why` (when given) gets the system's reason of a failure.
bool PassesWriteTest(const std::string& folder, std::string* why = nullptr);

// The game writes elsewhere this run (see StorageFolder::Moved): the player's
// usual folder is still read. Each player's file is read from whichever of the
// two folders holds the newer copy, so nothing there is taken for missing and
// what this run saves is found again.
void SetStorageReadFolder(const std::string& folder);
// The file a player's file at PATH (in the storage folder) is read from.
std::string PlayerFileSource(const std::string& path);

// Holds the storage folder for this process (an advisory lock on its
// "game.lock", kept until the process ends): two copies of the game on one
// folder would write over each other's files. False when another process
// holds it; true too when the folder cannot be locked at all (then nothing
// is protected, and the log says so).
bool LockStorageFolder(const std::string& folder);

// What reading one of the player's files found.
enum class EPlayerFileRead { Read, Missing, Unreadable };

// Reads the whole file into `bytes` (from PlayerFileSource(path)). A file that is there but cannot be read
// (no permission, a folder, not a regular file) is Unreadable, not Missing:
// the reason is logged and noted (see UnreadablePlayerFiles), and the caller
// must not write over it.
// A file larger than kMaxPlayerFileBytes is damage: it is moved aside unread
// and counts as Missing.
EPlayerFileRead ReadPlayerFile(const std::string& path, std::string& bytes);
inline constexpr int64_t kMaxPlayerFileBytes = 16 * 1024 * 1024;

// The player's files this run found but could not read, to tell the player:
// each file's name in the storage folder and the system's reason.
struct UnreadableFile {
    std::string name;
    std::string reason;
};
const std::vector<UnreadableFile>& UnreadablePlayerFiles();

} // namespace tsv
