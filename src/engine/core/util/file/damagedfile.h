#pragma once
// A player's file that cannot be read whole is never overwritten: it is moved
// aside under a dated name before anything writes a new one, and the log says
// where it went.

#include <string>

namespace tsv {

// Renames `path` to `path` + ".damaged-YYYYMMDD-HHMMSS" (with "-2", "-3" ...
// when that name is taken) and logs a Warning naming both. Returns the new
// path, or "" when the file does not exist or cannot be moved (logged too).
std::string KeepDamagedFile(const std::string& path);

} // namespace tsv
