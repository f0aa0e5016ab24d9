#include "engine/gui/guiscript.h"

#include "engine/core/log.h"
#include "engine/core/util/file/textconvert.h"
#include "engine/gui/languagemanager.h"
#include "engine/gui/screenstack.h"
#include "engine/platform/script.h"
#include "engine/scene/scriptplayer.h"
#include "engine/sound/soundmanager.h"

#include <cmath>
#include <cstdio>

namespace tsv {

namespace {

std::string Escaped(const std::string& text)
{
    std::string out;
    for (char c : text) {
        if (c == '\t') {
            out += "\\t";
        } else if (c == '\n') {
            out += "\\n";
        } else if (c != '\r') {
            out += c;
        }
    }
    return out;
}

std::string Number(float value) { return std::to_string(static_cast<long>(std::lround(value))); }

} // namespace

std::string DescribeScreenStack()
{
    const uint32_t codePage = LanguageManager::Instance().GetCodePage();
    std::string out;
    for (const ScreenPtr& screen : ScreenStack::Instance().GetScreens()) {
        out += "screen\t" + screen->GetName() + "\t" + screen->GetPath() + "\n";
        if (!screen->GetRoot()) {
            continue;
        }
        screen->GetRoot()->Walk([&](GUIComponent& c, int depth) {
            const Vec3 centre = c.GetWorldPosition();
            const std::string& text = c.GetType() == ComponentEditBox ? c.GetText() : c.GetCaption();
            out += "component\t" + std::to_string(depth) + "\t" + c.GetName() + "\t" + ComponentTypeName(c.GetType()) +
                   "\t" + (c.IsVisible() ? "1" : "0") + "\t" + (c.IsEnabled() ? "1" : "0") + "\t" +
                   Number(centre.x + 400) + "\t" + Number(centre.y + 300) + "\t" + std::to_string(c.GetWidth()) +
                   "\t" + std::to_string(c.GetHeight()) + "\t" + Escaped(ConvertCodePageToUtf8(text, codePage)) +
                   "\n";
        });
        if (screen->IsKeyFocusShown()) {
            out += "focus\t" + screen->GetKeyFocus()->GetName() + "\n";
        }
    }
    return out;
}

bool PressComponent(const std::string& name, ScriptPlayer& player)
{
    const std::vector<ScreenPtr>& screens = ScreenStack::Instance().GetScreens();
    for (auto it = screens.rbegin(); it != screens.rend(); ++it) {
        GUIComponent* found = nullptr;
        if ((*it)->GetRoot()) {
            (*it)->GetRoot()->Walk([&](GUIComponent& c, int) {
                if (!found && c.GetName() == name && c.IsVisible() && c.IsEnabled()) {
                    found = &c;
                }
            });
        }
        if (found) {
            // Scripts point at window pixels, as the player's mouse does.
            const Vec3 centre = found->GetWorldPosition();
            float x = 0, y = 0;
            player.GetPlatform().ViewToWindow(centre.x + 400, centre.y + 300, x, y);
            player.GetPlatform().InjectMouseMove(x, y);
            player.GetPlatform().InjectKeyState(kMouseLeft, true);
            player.ReleaseNextFrame(kMouseLeft);
            return true;
        }
    }
    GetLog() << Warning << "script: no component " << name << EndL;
    return false;
}

void RegisterGuiScriptCommands()
{
    RegisterScriptCommand("ui", 1);
    RegisterScriptCommand("press", 1);
    // The sound card, which the GUI layer is the first to see together with
    // the script: "audiodevice unplug" and "audiodevice plug".
    RegisterScriptCommand("audiodevice", 1);
    ScriptPlayer::SetCommandHandler("audiodevice", [](const ScriptCommand& command, ScriptPlayer&) {
        const std::string& what = command.args.front();
        if (what == "unplug" || what == "plug") {
            SoundManager::Instance().SetUnplugged(what == "unplug");
        } else {
            GetLog() << Warning << "script: audiodevice takes unplug or plug, not " << what << EndL;
        }
    });
    ScriptPlayer::SetCommandHandler("ui", [](const ScriptCommand& command, ScriptPlayer&) {
        const std::string text = DescribeScreenStack();
        const std::string& path = command.args.front();
        if (FILE* f = std::fopen(path.c_str(), "wb")) {
            std::fwrite(text.data(), 1, text.size(), f);
            std::fclose(f);
        } else {
            GetLog() << Error << "Failed to open file \"" << path << "\"." << EndL;
        }
    });
    ScriptPlayer::SetCommandHandler("press", [](const ScriptCommand& command, ScriptPlayer& player) {
        PressComponent(command.args.front(), player);
    });
}

} // namespace tsv
