#pragma once
// Command-line options of a run. Without any, the program behaves as a player expects.

#include <cstdint>
#include <string>

namespace tsv {

struct RunOptions {
    bool headless = false;     // no window, no audio output; software rendering off-screen
    bool noRender = false;     // headless: skip the drawing calls
    int fixedStepMs = 0;       // > 0: a virtual clock advancing this much per frame
    bool hasSeed = false;
    uint32_t seed = 0;
    int64_t frames = -1;       // >= 0: exit after this many frames
    std::string scriptPath;    // scripted input
    int forceWindowed = -1;    // -1 keep configuration, 0 full screen, 1 windowed
    std::string audioOut;      // headless: write the rendered audio to this WAV file
    std::string scenePath;     // the node-file viewer
    std::string levelPath;     // start straight into this level
    std::string mode = "arcade";       // with levelPath: "quest" or "arcade"
    std::string difficulty = "normal"; // with levelPath in quest mode: "easy", "normal" or "hard"
    bool autoplay = false;     // with levelPath: a bot plays the level and reports it
};

// Parses argv. Returns 0 to run on, 1 when the program should exit successfully
// (help, version) and 2 for an error; `message` holds what to print.
int ParseRunOptions(int argc, char** argv, RunOptions& options, std::string& message);

RunOptions& GetRunOptions();

} // namespace tsv
