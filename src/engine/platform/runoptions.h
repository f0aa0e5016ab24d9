#pragma once
// Command-line options of a run. Without any, the program behaves as a player expects.

#include <cstdint>
#include <functional>
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
    std::string screenPath;    // the screen-file viewer
    std::string language;      // a language for this run only (not saved)
};

// The options of the program built on the engine, parsed in the same pass.
class RunOptionExtension {
public:
    enum class Result { Unknown, Consumed, Failed };
    virtual ~RunOptionExtension() = default;
    // Lines appended to the usage text.
    virtual std::string Usage() const = 0;
    // Takes `arg` when it is one of these options; `value` takes the argument
    // that follows (null, with `message` set, when there is none).
    virtual Result Parse(const std::string& arg, const std::function<const char*(const char* what)>& value,
                         std::string& message) = 0;
    // Once every argument is read: false, with `message` set, for options that do not go together.
    virtual bool Check(const RunOptions& options, std::string& message) const = 0;
};

// Parses argv. Returns 0 to run on, 1 when the program should exit successfully
// (help, version) and 2 for an error; `message` holds what to print.
int ParseRunOptions(int argc, char** argv, RunOptions& options, std::string& message,
                    RunOptionExtension* extension = nullptr);

RunOptions& GetRunOptions();

} // namespace tsv
