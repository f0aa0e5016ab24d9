#include "engine/platform/script.h"

#include "engine/platform/keynames.h"
#include "engine/platform/platform.h"

#include <cstdlib>
#include <map>
#include <sstream>

namespace tsv {

namespace {

bool ToFloat(const std::string& s, float& out)
{
    char* end = nullptr;
    out = std::strtof(s.c_str(), &end);
    return !s.empty() && end && *end == '\0';
}

// "a", "b", "start", "back", "up", "down", "left", "right"; -1 otherwise.
int PadButtonFromName(const std::string& name)
{
    static const char* const kNames[kPadButtonCount] = {"a", "b", "start", "back", "up", "down", "left", "right"};
    for (int i = 0; i < kPadButtonCount; ++i) {
        if (name == kNames[i]) {
            return i;
        }
    }
    return -1;
}

std::map<std::string, size_t>& CustomCommands()
{
    static std::map<std::string, size_t> s_commands;
    return s_commands;
}

} // namespace

void RegisterScriptCommand(const std::string& name, size_t argCount) { CustomCommands()[name] = argCount; }

bool ParseScript(const std::string& text, const std::string& fileName, std::vector<ScriptCommand>& out,
                 std::string& error)
{
    std::istringstream in(text);
    std::string line;
    int lineNo = 0;
    while (std::getline(in, line)) {
        ++lineNo;
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        size_t first = line.find_first_not_of(" \t");
        if (first == std::string::npos || line[first] == '#') {
            continue;
        }
        auto fail = [&](const std::string& why) {
            error = fileName + ":" + std::to_string(lineNo) + ": " + why;
            return false;
        };
        std::istringstream words(line);
        std::string at, ms, command;
        words >> at >> ms >> command;
        char* end = nullptr;
        long long atMs = std::strtoll(ms.c_str(), &end, 10);
        if (at != "at" || ms.empty() || *end != '\0' || atMs < 0 || command.empty()) {
            return fail("expected \"at MS COMMAND ARGS\"");
        }
        ScriptCommand cmd;
        cmd.atMs = atMs;
        cmd.line = lineNo;
        std::vector<std::string> args;
        for (std::string w; words >> w;) {
            args.push_back(w);
        }
        auto needArgs = [&](size_t n) { return args.size() == n; };
        if (command == "move" || command == "click") {
            if (!needArgs(2) || !ToFloat(args[0], cmd.x) || !ToFloat(args[1], cmd.y)) {
                return fail(command + " needs X Y");
            }
            cmd.kind = command == "move" ? ScriptCommand::Kind::Move : ScriptCommand::Kind::Click;
        } else if (command == "down" || command == "up") {
            if (!needArgs(1) || (args[0] != "left" && args[0] != "right")) {
                return fail(command + " needs left or right");
            }
            cmd.kind = command == "down" ? ScriptCommand::Kind::Down : ScriptCommand::Kind::Up;
            cmd.button = args[0] == "left" ? kMouseLeft : kMouseRight;
        } else if (command == "key" || command == "keydown" || command == "keyup") {
            if (!needArgs(1) || (cmd.keyCode = KeyCodeFromName(args[0])) == 0) {
                return fail(command + " needs a key name such as KEY_RETURN");
            }
            cmd.kind = command == "key" ? ScriptCommand::Kind::Key
                       : command == "keydown" ? ScriptCommand::Kind::KeyDown : ScriptCommand::Kind::KeyUp;
        } else if (command == "type" || command == "text") {
            size_t at2 = line.find(command);
            std::string rest = line.substr(at2 + command.size());
            size_t b = rest.find_first_not_of(" \t");
            if (b == std::string::npos) {
                return fail(command + " needs TEXT");
            }
            cmd.kind = command == "type" ? ScriptCommand::Kind::Type : ScriptCommand::Kind::Text;
            cmd.text = rest.substr(b);
        } else if (command == "screenshot" || command == "dump") {
            if (!needArgs(1)) {
                return fail(command + " needs PATH");
            }
            cmd.kind = command == "screenshot" ? ScriptCommand::Kind::Screenshot : ScriptCommand::Kind::Dump;
            cmd.text = args[0];
        } else if (command == "window") {
            static const std::map<std::string, ScriptCommand::Action> kChanges = {
                {"minimize", ScriptCommand::Action::Minimize}, {"restore", ScriptCommand::Action::Restore},
                {"blur", ScriptCommand::Action::Blur}, {"focus", ScriptCommand::Action::Focus}};
            cmd.kind = ScriptCommand::Kind::Window;
            if (needArgs(2) && ToFloat(args[0], cmd.x) && ToFloat(args[1], cmd.y) && cmd.x >= 1 && cmd.y >= 1 &&
                cmd.x <= 16384 && cmd.y <= 16384) {
                cmd.action = ScriptCommand::Action::Resize;
            } else if (needArgs(1) && kChanges.count(args[0])) {
                cmd.action = kChanges.at(args[0]);
            } else {
                return fail("window needs W H, or minimize, restore, blur or focus");
            }
        } else if (command == "pad") {
            cmd.kind = ScriptCommand::Kind::Pad;
            const std::string what = args.empty() ? std::string() : args[0];
            if (needArgs(1) && (what == "connect" || what == "disconnect")) {
                cmd.action = what == "connect" ? ScriptCommand::Action::Connect : ScriptCommand::Action::Disconnect;
            } else if (needArgs(2) && (what == "press" || what == "hold" || what == "release") &&
                       (cmd.padButton = PadButtonFromName(args[1])) >= 0) {
                cmd.action = what == "press" ? ScriptCommand::Action::Press
                             : what == "hold" ? ScriptCommand::Action::Hold
                                              : ScriptCommand::Action::Release;
            } else if (needArgs(3) && what == "stick" && ToFloat(args[1], cmd.x) && ToFloat(args[2], cmd.y) &&
                       cmd.x >= -1 && cmd.x <= 1 && cmd.y >= -1 && cmd.y <= 1) {
                cmd.action = ScriptCommand::Action::Stick;
            } else {
                return fail("pad needs connect, disconnect, press|hold|release BUTTON or stick X Y");
            }
        } else if (command == "quit") {
            if (!needArgs(0)) {
                return fail("quit takes no arguments");
            }
            cmd.kind = ScriptCommand::Kind::Quit;
        } else if (auto custom = CustomCommands().find(command); custom != CustomCommands().end()) {
            if (!needArgs(custom->second)) {
                return fail(command + " takes " + std::to_string(custom->second) + " argument(s)");
            }
            cmd.kind = ScriptCommand::Kind::Custom;
            cmd.text = command;
            cmd.args = args;
        } else {
            return fail("unknown command \"" + command + "\"");
        }
        out.push_back(cmd);
    }
    return true;
}

} // namespace tsv
