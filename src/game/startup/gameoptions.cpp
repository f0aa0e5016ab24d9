#include "game/startup/gameoptions.h"

#include <cstdlib>

namespace bsh {

GameOptions& GetGameOptions()
{
    static GameOptions s_options;
    return s_options;
}

std::string GameOptions::Usage() const
{
    return "  --level PATH         play this level file straight away\n"
           "  --mode quest|arcade|endless   with --level: the mode (default arcade); endless\n"
           "                       plays the endless board straight away, without --level\n"
           "  --difficulty easy|normal|hard   with --level in quest mode (default normal)\n"
           "  --autoplay           a bot plays the level of --level, or every level started\n"
           "                       from the menus, and prints each result as JSON\n"
           "  --simulate           with --level: the bot plays on the rules alone (no window,\n"
           "                       scene or sound) and prints the same JSON line\n"
           "  --soak MINUTES       the bot plays the quest's levels and a while of the endless\n"
           "                       board one after another through the screens for MINUTES\n"
           "                       of game time and reports memory\n"
           "  --clock timed|relaxed   levels with their time limit, or with a clock that never\n"
           "                       runs out, for this run (default: the player's setting)\n"
           "  --replay FILE        play a level's recording back (in a window: keys 1, 2, 4\n"
           "                       for the speed, Escape to stop); prints its result line and\n"
           "                       exits 3 when it differs from the recorded one, 2 when the\n"
           "                       recording cannot be played\n";
}

GameOptions::Result GameOptions::Parse(const std::string& arg,
                                       const std::function<const char*(const char* what)>& value,
                                       std::string& message)
{
    if (arg == "--level" || arg == "--replay") {
        const char* text = value(arg == "--level" ? "a path" : "a recording's path");
        if (!text) {
            return Result::Failed;
        }
        if (!*text) {
            message = "brinestoneharbour: " + arg + " needs a path, not an empty value\n";
            return Result::Failed;
        }
        (arg == "--level" ? levelPath : replayPath) = text;
        return Result::Consumed;
    }
    if (arg == "--clock") {
        const char* text = value("timed or relaxed");
        if (!text) {
            return Result::Failed;
        }
        if (std::string(text) != "timed" && std::string(text) != "relaxed") {
            message = std::string("brinestoneharbour: bad value for --clock: ") + text + " (timed or relaxed)\n";
            return Result::Failed;
        }
        clock = text;
        return Result::Consumed;
    }
    if (arg == "--mode" || arg == "--difficulty") {
        const char* text = value("a name");
        if (!text) {
            return Result::Failed;
        }
        const std::string name = text;
        const bool known = arg == "--mode" ? (name == "quest" || name == "arcade" || name == "endless")
                                           : (name == "easy" || name == "normal" || name == "hard");
        if (!known) {
            message = "brinestoneharbour: bad value for " + arg + ": " + name + "\n";
            return Result::Failed;
        }
        (arg == "--mode" ? mode : difficulty) = name;
        return Result::Consumed;
    }
    if (arg == "--soak") {
        const char* text = value("a number of minutes");
        if (!text) {
            return Result::Failed;
        }
        char* end = nullptr;
        const long long minutes = std::strtoll(text, &end, 10);
        if (!*text || *end != '\0' || minutes < 1 || minutes > 100000) {
            message = std::string("brinestoneharbour: bad value for --soak: ") + text + " (1 to 100000)\n";
            return Result::Failed;
        }
        soakMinutes = minutes;
        return Result::Consumed;
    }
    if (arg == "--autoplay" || arg == "--simulate") {
        (arg == "--autoplay" ? autoplay : simulate) = true;
        return Result::Consumed;
    }
    return Result::Unknown;
}

bool GameOptions::Check(const tsv::RunOptions&, std::string& message) const
{
    if (simulate && levelPath.empty()) {
        message = "brinestoneharbour: --simulate needs --level\n";
        return false;
    }
    if (!replayPath.empty() && (!levelPath.empty() || simulate || soakMinutes > 0 || autoplay || IsEndless())) {
        message = "brinestoneharbour: --replay plays its recording alone: no --level, --mode endless, --autoplay, "
                  "--simulate or --soak\n";
        return false;
    }
    if (mode == "endless" && (!levelPath.empty() || simulate || soakMinutes > 0)) {
        message = "brinestoneharbour: --mode endless plays its own board: no --level, --simulate or --soak\n";
        return false;
    }
    if (autoplay && simulate) {
        message = "brinestoneharbour: --autoplay and --simulate exclude each other\n";
        return false;
    }
    return true;
}

} // namespace bsh
