#pragma once
// Golden screenshots: a PNG the game drew compared with a reference under a
// small tolerance. BSH_UPDATE_GOLDEN=1 rewrites the reference; a mismatch
// leaves NAME.actual.png and NAME.diff.png (the pixels beyond the tolerance
// in red) beside it.

#include <string>

namespace testsupport {

struct GoldenOptions {
    // The shot is averaged over 2 x 2 pixels first, so a long series of
    // references stays small in the repository.
    bool half = false;
    // The share of pixels that may differ beyond the tolerance (edge antialiasing).
    double maxDifferent = 0.002;
};

// Compares the PNG `shot` with the PNG `reference`; adds a gtest failure
// saying how many pixels differ, by how much at worst and where the first is.
void ExpectGolden(const std::string& shot, const std::string& reference, const GoldenOptions& options = {});

} // namespace testsupport
