#include "engine/scene/scriptplayer.h"

#include <cctype>

#include "engine/core/log.h"
#include "engine/platform/keynames.h"
#include "engine/runtime/application.h"

#include <algorithm>
#include <cstdio>
#include <map>

namespace tsv {

namespace {
ScriptPlayer::DumpProvider g_dumpProvider;

// Bytes of the first UTF-8 character: typing goes one character per frame.
size_t Utf8Length(const std::string& text)
{
    const auto lead = static_cast<unsigned char>(text[0]);
    const size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    return std::min(length, text.size());
}

std::map<std::string, ScriptPlayer::CommandHandler>& Handlers()
{
    static std::map<std::string, ScriptPlayer::CommandHandler> s_handlers;
    return s_handlers;
}
} // namespace

void ScriptPlayer::SetCommandHandler(const std::string& name, CommandHandler handler)
{
    Handlers()[name] = std::move(handler);
}

void ScriptPlayer::SetDumpProvider(DumpProvider provider) { g_dumpProvider = std::move(provider); }

ScriptPlayer::ScriptPlayer(Platform& platform, std::vector<ScriptCommand> commands)
    : m_platform(platform), m_commands(std::move(commands))
{
    std::stable_sort(m_commands.begin(), m_commands.end(),
                     [](const ScriptCommand& a, const ScriptCommand& b) { return a.atMs < b.atMs; });
}

void ScriptPlayer::Apply(int64_t nowMs)
{
    for (int key : m_releases) {
        m_platform.InjectKeyState(key, false);
    }
    m_releases.clear();
    for (PadButton button : m_padReleases) {
        m_platform.PadSetVirtualButton(button, false);
    }
    m_padReleases.clear();
    if (!m_typing.empty()) {
        const size_t length = Utf8Length(m_typing);
        m_platform.InjectText(m_typing.substr(0, length));
        m_typing.erase(0, length);
    }
    while (m_next < m_commands.size() && m_commands[m_next].atMs <= nowMs) {
        const ScriptCommand& cmd = m_commands[m_next++];
        switch (cmd.kind) {
        case ScriptCommand::Kind::Move:
            m_platform.InjectMouseMove(cmd.x, cmd.y);
            break;
        case ScriptCommand::Kind::Down:
            m_platform.InjectKeyState(cmd.button, true);
            break;
        case ScriptCommand::Kind::Up:
            m_platform.InjectKeyState(cmd.button, false);
            break;
        case ScriptCommand::Kind::Click:
            m_platform.InjectMouseMove(cmd.x, cmd.y);
            m_platform.InjectKeyState(kMouseLeft, true);
            m_releases.push_back(kMouseLeft);
            break;
        case ScriptCommand::Kind::Key:
            m_platform.InjectKeyState(PlatformKeyFromKeyCode(cmd.keyCode), true);
            m_releases.push_back(PlatformKeyFromKeyCode(cmd.keyCode));
            break;
        case ScriptCommand::Kind::KeyDown:
            m_platform.InjectKeyState(PlatformKeyFromKeyCode(cmd.keyCode), true);
            break;
        case ScriptCommand::Kind::KeyUp:
            m_platform.InjectKeyState(PlatformKeyFromKeyCode(cmd.keyCode), false);
            break;
        case ScriptCommand::Kind::Type:
            if (m_typing.empty()) {
                const size_t length = Utf8Length(cmd.text);
                m_platform.InjectText(cmd.text.substr(0, length));
                m_typing = cmd.text.substr(length);
            } else {
                m_typing += cmd.text;
            }
            break;
        case ScriptCommand::Kind::Text:
            TypeAtOnce(cmd.text);
            break;
        case ScriptCommand::Kind::Screenshot:
            m_platform.RequestScreenshot(cmd.text);
            break;
        case ScriptCommand::Kind::Dump: {
            std::string text = g_dumpProvider ? g_dumpProvider() : std::string();
            if (text.empty()) {
                text = "no board\n";
            }
            if (FILE* f = std::fopen(cmd.text.c_str(), "wb")) {
                std::fwrite(text.data(), 1, text.size(), f);
                std::fclose(f);
            } else {
                GetLog() << Error << "Failed to open file \"" << cmd.text << "\"." << EndL;
            }
            break;
        }
        case ScriptCommand::Kind::Quit:
            Application::Instance().Exit(0);
            break;
        case ScriptCommand::Kind::Window:
            ApplyWindow(cmd);
            break;
        case ScriptCommand::Kind::Pad:
            ApplyPad(cmd);
            break;
        case ScriptCommand::Kind::Custom:
            if (auto handler = Handlers().find(cmd.text); handler != Handlers().end() && handler->second) {
                handler->second(cmd, *this);
            } else {
                GetLog() << Warning << "script: nothing handles \"" << cmd.text << "\"" << EndL;
            }
            break;
        }
    }
}

void ScriptPlayer::TypeAtOnce(const std::string& text)
{
    // As a fast typist's keys arrive: each key down, its character, the key
    // up; a character without a key of its own comes as an input method
    // sends it, as text alone.
    for (size_t i = 0; i < text.size();) {
        const size_t length = std::max<size_t>(1, Utf8Length(text.substr(i)));
        const std::string character = text.substr(i, length);
        i += length;
        int key = 0;
        if (character.size() == 1) {
            const char c = character[0];
            std::string name;
            if (std::isalnum(static_cast<unsigned char>(c))) {
                name = std::string("KEY_") + static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
            } else if (c == ' ') {
                name = "KEY_SPACE";
            }
            key = name.empty() ? 0 : PlatformKeyFromKeyCode(KeyCodeFromName(name));
        }
        if (key != 0) {
            m_platform.InjectKeyState(key, true);
        }
        m_platform.InjectText(character);
        if (key != 0) {
            m_platform.InjectKeyState(key, false);
        }
    }
}

void ScriptPlayer::ApplyWindow(const ScriptCommand& cmd)
{
    switch (cmd.action) {
    case ScriptCommand::Action::Resize:
        m_platform.InjectWindowSize(static_cast<int>(cmd.x), static_cast<int>(cmd.y));
        break;
    case ScriptCommand::Action::Minimize: m_platform.InjectWindowEvent(WindowEvent::Minimize); break;
    case ScriptCommand::Action::Restore: m_platform.InjectWindowEvent(WindowEvent::Restore); break;
    case ScriptCommand::Action::Blur: m_platform.InjectWindowEvent(WindowEvent::Blur); break;
    case ScriptCommand::Action::Focus: m_platform.InjectWindowEvent(WindowEvent::Focus); break;
    default: break;
    }
}

void ScriptPlayer::ApplyPad(const ScriptCommand& cmd)
{
    const auto button = static_cast<PadButton>(cmd.padButton);
    switch (cmd.action) {
    case ScriptCommand::Action::Connect:
        if (!m_platform.PadAttachVirtual()) {
            GetLog() << Warning << "script: line " << cmd.line << ": no virtual gamepad on this system" << EndL;
        }
        break;
    case ScriptCommand::Action::Disconnect: m_platform.PadDetachVirtual(); break;
    case ScriptCommand::Action::Press:
        m_platform.PadSetVirtualButton(button, true);
        m_padReleases.push_back(button);
        break;
    case ScriptCommand::Action::Hold: m_platform.PadSetVirtualButton(button, true); break;
    case ScriptCommand::Action::Release: m_platform.PadSetVirtualButton(button, false); break;
    case ScriptCommand::Action::Stick: m_platform.PadSetVirtualStick(cmd.x, cmd.y); break;
    default: break;
    }
}

} // namespace tsv
