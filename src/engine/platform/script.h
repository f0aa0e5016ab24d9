#pragma once
// Scripted input for headless and repeatable runs: one "at MS COMMAND ARGS" per line.

#include <cstdint>
#include <string>
#include <vector>

namespace tsv {

struct ScriptCommand {
    enum class Kind { Move, Down, Up, Click, Key, KeyDown, KeyUp, Type, Text, Screenshot, Dump, Quit, Window, Pad, Custom };
    // What a Window or Pad command does.
    enum class Action { Resize, Minimize, Restore, Blur, Focus, Connect, Disconnect, Press, Hold, Release, Stick };
    int64_t atMs = 0;
    Kind kind = Kind::Quit;
    Action action = Action::Resize;
    float x = 0, y = 0;  // Move, Click (window pixels); window size; stick position
    int padButton = 0;   // Pad press, hold, release: a PadButton
    int button = 0;      // Down, Up: platform mouse button code
    int keyCode = 0;     // Key, KeyDown, KeyUp: engine key code
    std::string text;    // Type and Text text, Screenshot/Dump path; Custom: the command's name
    std::vector<std::string> args; // Custom
    int line = 0;
};

// Commands that higher layers add (the GUI's "ui" and "press"); they parse as
// Custom with exactly `argCount` words and are carried out by whoever registered them.
void RegisterScriptCommand(const std::string& name, size_t argCount);

// Parses a script; on a malformed line returns false with "FILE:LINE: reason" in `error`.
bool ParseScript(const std::string& text, const std::string& fileName, std::vector<ScriptCommand>& out,
                 std::string& error);

} // namespace tsv
