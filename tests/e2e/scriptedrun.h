#pragma once

// The game run as its own program by the end-to-end tests: headless, no
// picture, a fixed 10 ms step, in the scratch folder's own data folder, with
// a script and its output kept in that folder.

#include "support/testsupport.h"

#include <sstream>
#include <string>

namespace e2e {

using testsupport::ReadFile;
using testsupport::RunCommand;
using testsupport::ScratchDir;
using testsupport::UiFocus;
using testsupport::UiScreens;
using testsupport::WriteFile;

// A first start's new player, named Ann by 1500 ms past the intro.
inline const std::string kNameAnn = "at 1300 type Ann\nat 1400 press yesbutton\n";

// The data folder the game uses for DIR's runs.
inline std::string Storage(const testsupport::ScratchDir& dir) { return dir.Path() + "xdg/Tarvel/Brinestoneharbour/"; }

// The game's own command line with ENV (env's operands: "-u NAME" first,
// then assignments) before and ARGS alone after the program; standard output
// and error go to stdout.txt and stderr.txt in DIR.
inline std::string ProgramLine(const testsupport::ScratchDir& dir, const std::string& args, const std::string& env = "")
{
    return "env " + env + " XDG_DATA_HOME=" + dir.Path() +
           "xdg SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy timeout 120 " BSH_EXECUTABLE " " + args + " >" +
           dir.Path() + "stdout.txt 2>" + dir.Path() + "stderr.txt";
}

// Runs that command from the source folder; returns the exit status.
inline int RunProgram(const testsupport::ScratchDir& dir, const std::string& args, const std::string& env = "")
{
    return testsupport::RunCommand("cd " BSH_SOURCE_DIR " && " + ProgramLine(dir, args, env));
}

// The same with the common options before ARGS.
inline std::string GameLine(const testsupport::ScratchDir& dir, const std::string& args, const std::string& env = "")
{
    return ProgramLine(dir, "--headless --no-render --fixed-step 10 " + args, env);
}

// Runs SCRIPT as it stands (its times from the start) with OPTIONS alone.
inline int RunScriptWith(const testsupport::ScratchDir& dir, const std::string& options, const std::string& script,
                         const std::string& env = "")
{
    testsupport::WriteFile(dir.Path() + "run.script", script);
    return RunProgram(dir, options + " --script " + dir.Path() + "run.script", env);
}

// Runs SCRIPT as it stands (its times from the start).
inline int RunScript(const testsupport::ScratchDir& dir, const std::string& script, const std::string& args = "--seed 1",
                     const std::string& env = "")
{
    return RunScriptWith(dir, "--headless --no-render --fixed-step 10 " + args, script, env);
}

// The same drawn (headless, in a window of its own), its times from the first menu screen's first moment.
inline int RunDrawnPastIntro(const testsupport::ScratchDir& dir, const std::string& script, const std::string& args,
                             const std::string& env = "")
{
    return RunScriptWith(dir, "--headless --fixed-step 10 " + args, testsupport::PastTheIntro(script), env);
}

// A returning player's start: SCRIPT's times count from the main menu's first moment.
inline int RunReturning(const testsupport::ScratchDir& dir, const std::string& script,
                        const std::string& args = "--seed 1", const std::string& env = "")
{
    return RunScript(dir, testsupport::PastTheLoader(script), args, env);
}

// A first start: SCRIPT's times count from the first menu screen's first moment, past the intro.
inline int RunPastIntro(const testsupport::ScratchDir& dir, const std::string& script,
                        const std::string& args = "--seed 1", const std::string& env = "")
{
    return RunScript(dir, testsupport::PastTheIntro(script), args, env);
}

// The fields of component NAME in a `ui` listing past its name and type
// ("VISIBLE\tENABLED\t..."), "missing" when it is not there.
inline std::string Component(const std::string& listing, const std::string& name)
{
    std::istringstream in(listing);
    for (std::string line; std::getline(in, line);) {
        const std::string key = "\t" + name + "\t";
        const size_t at = line.find(key);
        if (line.rfind("component\t", 0) == 0 && at != std::string::npos) {
            const std::string rest = line.substr(at + key.size());
            return rest.substr(rest.find('\t') + 1);
        }
    }
    return "missing";
}

// The text of component NAME (its last field).
inline std::string Caption(const std::string& listing, const std::string& name)
{
    const std::string fields = Component(listing, name);
    return fields == "missing" ? fields : fields.substr(fields.rfind('\t') + 1);
}

} // namespace e2e
