#pragma once
// The per-user storage folder where the program writes its log, settings,
// profiles and highscores.

#include <string>

namespace tsv {

// Picks the first writable candidate: $XDG_DATA_HOME/<subfolder>/ (when set and
// absolute), $HOME/.local/share/<subfolder>/, then "data/". Missing folders are
// created. The result ends with "/"; it is empty when nothing is writable (the
// start-up then tells the player and runs on without saving).
std::string FindStorageFolder(const std::string& subfolder);

// The storage folder of this run, settled once by the start-up; "" until then.
void SetStoragePath(const std::string& path);
const std::string& GetStoragePath();

// Base folder + each "/"- or "\"-separated component of subfolder, created as needed.
// The result ends with "/"; empty base gives "".
std::string GetShellFolder(const std::string& base, const std::string& subfolder);

// Creates folder + "writetest.dat", writes 5 bytes and removes it again.
bool PassesWriteTest(const std::string& folder);

} // namespace tsv
