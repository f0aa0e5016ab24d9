#include "engine/platform/runoptions.h"

#include <cerrno>
#include <cstdlib>

namespace tsv {

RunOptions& GetRunOptions()
{
    static RunOptions s_options;
    return s_options;
}

namespace {

bool ParseNumber(const char* text, long long& out)
{
    if (!text || !*text) {
        return false;
    }
    errno = 0;
    char* end = nullptr;
    out = std::strtoll(text, &end, 10);
    return end && *end == '\0' && errno == 0;
}

// The ranges of the numeric options: a step of a second at most, any 32-bit
// seed, a run of at most about eleven days of 10 ms frames.
constexpr long long kMaxFixedStepMs = 1000;
constexpr long long kMaxSeed = 0xFFFFFFFFLL;
constexpr long long kMaxFrames = 100'000'000;

const char* const kUsage =
    "Usage: brinestoneharbour [options]\n"
    "  --headless           run without a window or sound output (software rendering)\n"
    "  --no-render          with --headless: skip drawing\n"
    "  --fixed-step MS      advance a virtual clock by MS milliseconds per frame\n"
    "  --seed N             seed the random source\n"
    "  --frames N           exit after N frames\n"
    "  --script FILE        play scripted input from FILE\n"
    "  --audio-out PATH     with --headless: write the rendered audio to a WAV file\n"
    "  --scene PATH         show a node file instead of the game\n"
    "  --screen PATH        show a screen file over the menu backdrop\n"
    "  --language NAME      use this language for this run only\n"
    "  --windowed           run in a window this time\n"
    "  --fullscreen         run full screen this time\n"
    "  --help, --version\n";

} // namespace

int ParseRunOptions(int argc, char** argv, RunOptions& options, std::string& message, RunOptionExtension* extension)
{
    const std::string usage = std::string(kUsage) + (extension ? extension->Usage() : std::string());
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        auto value = [&](const char* what) -> const char* {
            if (i + 1 >= argc) {
                message = "brinestoneharbour: " + arg + " needs " + what + "\n";
                return nullptr;
            }
            return argv[++i];
        };
        long long number = 0;
        if (arg == "--help") {
            message = usage;
            return 1;
        } else if (arg == "--version") {
            message = "Brinestoneharbour 1.91\n";
            return 1;
        } else if (arg == "--headless") {
            options.headless = true;
        } else if (arg == "--no-render") {
            options.noRender = true;
        } else if (arg == "--windowed") {
            options.forceWindowed = 1;
        } else if (arg == "--fullscreen") {
            options.forceWindowed = 0;
        } else if (arg == "--fixed-step" || arg == "--seed" || arg == "--frames") {
            const char* text = value("a number");
            if (!text) {
                return 2;
            }
            const long long low = arg == "--seed" ? 0 : 1;
            const long long high = arg == "--fixed-step" ? kMaxFixedStepMs : arg == "--seed" ? kMaxSeed : kMaxFrames;
            if (!ParseNumber(text, number) || number < low || number > high) {
                message = "brinestoneharbour: bad value for " + arg + ": " + text + " (" + std::to_string(low) +
                          " to " + std::to_string(high) + ")\n";
                return 2;
            }
            if (arg == "--fixed-step") {
                options.fixedStepMs = static_cast<int>(number);
            } else if (arg == "--seed") {
                options.hasSeed = true;
                options.seed = static_cast<uint32_t>(number);
            } else {
                options.frames = number;
            }
        } else if (arg == "--script" || arg == "--audio-out" || arg == "--scene" || arg == "--screen") {
            const char* text = value("a path");
            if (!text) {
                return 2;
            }
            if (!*text) {
                message = "brinestoneharbour: " + arg + " needs a path, not an empty value\n";
                return 2;
            }
            (arg == "--script"      ? options.scriptPath
             : arg == "--audio-out" ? options.audioOut
             : arg == "--scene"     ? options.scenePath
                                    : options.screenPath) = text;
        } else if (arg == "--language") {
            const char* text = value("a language name");
            if (!text) {
                return 2;
            }
            options.language = text;
        } else {
            const RunOptionExtension::Result result =
                extension ? extension->Parse(arg, value, message) : RunOptionExtension::Result::Unknown;
            if (result == RunOptionExtension::Result::Failed) {
                return 2;
            }
            if (result == RunOptionExtension::Result::Unknown) {
                message = "brinestoneharbour: unknown option " + arg + "\n" + usage;
                return 2;
            }
        }
    }
    if (extension && !extension->Check(options, message)) {
        return 2;
    }
    if (options.noRender && !options.headless) {
        message = "brinestoneharbour: --no-render needs --headless\n";
        return 2;
    }
    return 0;
}

} // namespace tsv
