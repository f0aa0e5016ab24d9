#pragma once
// Golden screenshots: a PNG the game drew compared with a reference under a
// small tolerance. BSH_UPDATE_GOLDEN=1 rewrites the reference; a mismatch
// leaves NAME.actual.png beside it.

#include <string>

namespace testsupport {

// Compares `shot` with `reference` (a PNG path); on failure the message says
// how many pixels differ. Adds a gtest failure itself.
void ExpectGolden(const std::string& shot, const std::string& reference);

// The same at half the size: the shot is averaged over 2 x 2 pixels first,
// so a long series of references stays small in the repository.
void ExpectGoldenHalf(const std::string& shot, const std::string& reference);

} // namespace testsupport
