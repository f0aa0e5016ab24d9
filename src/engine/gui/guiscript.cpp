#include "engine/gui/guiscript.h"

#include "engine/core/log.h"
#include "engine/core/util/file/textconvert.h"
#include "engine/gui/languagemanager.h"
#include "engine/gui/screenstack.h"
#include "engine/gui/nodewalk.h"
#include "engine/platform/script.h"
#include "engine/scene/frameloop.h"
#include "engine/scene/scene.h"
#include "engine/scene/scriptplayer.h"
#include "engine/sound/soundmanager.h"

#include <algorithm>
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
            const std::string& text = c.GetType() == ComponentType::EditBox ? c.GetText() : c.GetCaption();
            const uint32_t textCodePage = c.GetCaptionCodePage() ? c.GetCaptionCodePage() : codePage;
            out += "component\t" + std::to_string(depth) + "\t" + c.GetName() + "\t" + ComponentTypeName(c.GetType()) +
                   "\t" + (c.IsVisible() ? "1" : "0") + "\t" + (c.IsEnabled() ? "1" : "0") + "\t" +
                   Number(centre.x + 400) + "\t" + Number(centre.y + 300) + "\t" + std::to_string(c.GetWidth()) +
                   "\t" + std::to_string(c.GetHeight()) + "\t" + Escaped(ConvertCodePageToUtf8(text, textCodePage)) +
                   "\n";
        });
        if (screen->IsKeyFocusShown()) {
            out += "focus\t" + screen->GetKeyFocus()->GetName() + "\n";
        }
    }
    return out;
}

namespace {

// Whether any pixel of the view rectangle differs between the two frames.
bool RectDiffers(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b, int x0, int y0, int x1, int y1)
{
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            const size_t at = static_cast<size_t>(y) * kDrawnCheckWidth + static_cast<size_t>(x);
            if ((a[at] & 0xFFFFFF) != (b[at] & 0xFFFFFF)) {
                return true;
            }
        }
    }
    return false;
}

} // namespace

namespace {

// Takes nodes out of the picture and puts them back as they were.
class HiddenNodes {
public:
    void Hide(SceneNode& root)
    {
        ForEachNode(root, [this](SceneNode& node) {
            m_states.emplace_back(SceneNodePtr(&node), node.IsVisible());
            node.SetVisible(false, Scope::Node);
        });
        Scene::Instance().EndStep(); // the change of look takes effect now, as at a frame's end
    }
    ~HiddenNodes()
    {
        for (auto it = m_states.rbegin(); it != m_states.rend(); ++it) {
            it->first->SetVisible(it->second, Scope::Node);
        }
        Scene::Instance().EndStep();
    }

private:
    std::vector<std::pair<SceneNodePtr, bool>> m_states;
};

} // namespace

std::string CheckDrawnComponents()
{
    FrameLoop& scene = FrameLoop::Instance();
    const std::vector<ScreenPtr> screens = ScreenStack::Instance().GetScreens();
    std::vector<uint32_t> frame, without;
    std::string faults;
    for (size_t i = 0; i < screens.size(); ++i) {
        const ScreenPtr& screen = screens[i];
        if (!screen->GetRoot() || !screen->GetRoot()->GetNode()) {
            continue;
        }
        // The screen as it would look with nothing over it: the screens above
        // are taken away; one whose drawing cannot be reached covers this one
        // in unknown ways, so under it only hidden components are looked at.
        HiddenNodes above;
        bool overlaid = false;
        for (size_t j = i + 1; j < screens.size(); ++j) {
            if (SceneNode* node = screens[j]->GetDrawnNode()) {
                above.Hide(*node);
            } else {
                overlaid = true;
            }
        }
        if (!scene.DrawOffscreen(frame)) {
            return "nothing drawn\n";
        }
        screen->GetRoot()->Walk([&](GUIComponent& c, int) {
            const bool shown = c.IsVisible();
            const bool paints = c.GetPicture() || !c.GetCaption().empty() ||
                                (c.GetType() == ComponentType::EditBox && !c.GetText().empty());
            if (!c.GetNode() || (shown && (overlaid || !paints))) {
                return;
            }
            const Vec3 centre = c.GetWorldPosition();
            const int x0 = std::clamp(static_cast<int>(centre.x + 400 - c.GetWidth() * 0.5f), 0, kDrawnCheckWidth);
            const int x1 = std::clamp(static_cast<int>(centre.x + 400 + c.GetWidth() * 0.5f), 0, kDrawnCheckWidth);
            const int y0 = std::clamp(static_cast<int>(centre.y + 300 - c.GetHeight() * 0.5f), 0, kDrawnCheckHeight);
            const int y1 = std::clamp(static_cast<int>(centre.y + 300 + c.GetHeight() * 0.5f), 0, kDrawnCheckHeight);
            if (x0 >= x1 || y0 >= y1) {
                return;
            }
            bool drawn = false;
            {
                HiddenNodes component;
                component.Hide(*c.GetNode());
                drawn = scene.DrawOffscreen(without);
            }
            if (!drawn) {
                return;
            }
            const bool differs = RectDiffers(frame, without, x0, y0, x1, y1);
            if (shown && !differs) {
                faults += screen->GetName() + "\t" + c.GetName() + "\tshown but not drawn\n";
            } else if (!shown && differs) {
                faults += screen->GetName() + "\t" + c.GetName() + "\thidden but drawn\n";
            }
        });
    }
    return faults.empty() ? "ok\n" : faults;
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
    RegisterScriptCommand("checkdrawn", 1);
    ScriptPlayer::SetCommandHandler("checkdrawn", [](const ScriptCommand& command, ScriptPlayer&) {
        const std::string text = CheckDrawnComponents();
        if (FILE* f = std::fopen(command.args.front().c_str(), "wb")) {
            std::fwrite(text.data(), 1, text.size(), f);
            std::fclose(f);
        } else {
            GetLog() << Error << "Failed to open file \"" << command.args.front() << "\"." << EndL;
        }
    });
    ScriptPlayer::SetCommandHandler("press", [](const ScriptCommand& command, ScriptPlayer& player) {
        PressComponent(command.args.front(), player);
    });
}

} // namespace tsv
