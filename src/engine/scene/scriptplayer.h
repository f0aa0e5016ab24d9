#pragma once
// Plays a parsed input script into the platform, one frame at a time.

#include "engine/platform/platform.h"
#include "engine/platform/script.h"

#include <functional>
#include <string>
#include <vector>

namespace tsv {

class ScriptPlayer {
public:
    ScriptPlayer(Platform& platform, std::vector<ScriptCommand> commands);

    // Runs every command due at `nowMs` (ms since the start of the run) and
    // finishes the one-frame actions of the previous frame.
    void Apply(int64_t nowMs);
    bool Finished() const { return m_next >= m_commands.size() && m_releases.empty() && m_padReleases.empty(); }

    // What "dump" writes: the board snapshot of the board in play. Without a
    // provider (or when it returns "") the file says "no board".
    using DumpProvider = std::function<std::string()>;
    static void SetDumpProvider(DumpProvider provider);

    // Carries out a command that a higher layer registered with RegisterScriptCommand.
    using CommandHandler = std::function<void(const ScriptCommand& command, ScriptPlayer& player)>;
    static void SetCommandHandler(const std::string& name, CommandHandler handler);

    Platform& GetPlatform() { return m_platform; }
    // Lets go of a key (or mouse button) at the start of the next frame.
    void ReleaseNextFrame(int platformKey) { m_releases.push_back(platformKey); }

private:
    void ApplyWindow(const ScriptCommand& cmd);
    void ApplyPad(const ScriptCommand& cmd);
    // The whole text within this frame (the "text" command).
    void TypeAtOnce(const std::string& text);

    Platform& m_platform;
    std::vector<ScriptCommand> m_commands;
    size_t m_next = 0;
    std::vector<int> m_releases; // platform keys to release on the next frame
    std::vector<PadButton> m_padReleases; // buttons of the virtual pad, likewise
    std::string m_typing;        // characters still to type, one per frame
};

} // namespace tsv
