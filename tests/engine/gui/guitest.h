#pragma once
// Shared set-up of the GUI tests: the headless scene, the English language of
// the game's data, screens written from inline text, and a record of the
// sounds the GUI plays.

#include "engine/scene/scenetest.h"
#include "support/testsupport.h"

#include "engine/core/config.h"
#include "engine/gui/guicomponent.h"
#include "engine/gui/languagemanager.h"
#include "engine/gui/screen.h"
#include "engine/gui/screenstack.h"

#include <string>
#include <vector>

namespace tsv::test {

class GuiTest : public SceneTest {
protected:
    void SetUp() override
    {
        SceneTest::SetUp();
        savedLanguage = GetConfig().language; // the settings are written at exit
        savedDetected = GetConfig().languageDetected;
        LanguageManager::Instance().Reset();
        GetConfig().language = "English";
        GetConfig().languageDetected = true;
        LanguageManager::Instance().Start(kLanguageFolder, "", 0);
        SetGuiSoundPlayer([this](const std::string& path) { sounds.push_back(path); });
    }
    void TearDown() override
    {
        while (ScreenStack::Instance().Remove()) {
        }
        Application::Instance().GetTaskManager().Execute(); // lets the removed screens go
        SetGuiSoundPlayer({});
        LanguageManager::Instance().Reset();
        GetConfig().language = savedLanguage;
        GetConfig().languageDetected = savedDetected;
        SceneTest::TearDown();
    }

    // A screen file holding `body` below <screen>.
    std::string WriteScreen(const std::string& body, const std::string& name = "screen.xml")
    {
        const std::string path = dir.Path() + name;
        testsupport::WriteFile(path, "<screen>" + body + "</screen>");
        return path;
    }
    ScreenPtr LoadScreen(const std::string& body)
    {
        ScreenPtr screen = MakeIntrusive<Screen>();
        screen->LoadScreenFile(WriteScreen(body));
        return screen;
    }

    // One frame of input at view coordinates (0, 0 = top left).
    static GuiInput At(int64_t now, float x, float y, bool down)
    {
        GuiInput input;
        input.now = now;
        input.x = x - 400;
        input.y = y - 300;
        input.leftDown = down;
        return input;
    }

    testsupport::ScratchDir dir;
    std::vector<std::string> sounds;
    std::string savedLanguage;
    bool savedDetected = false;
};

} // namespace tsv::test
