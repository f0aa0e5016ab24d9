#include "game/startup/menuflow.h"

#include "engine/core/config.h"
#include "engine/core/log.h"
#include "engine/core/util/xml/xmlloader.h"
#include "engine/gui/fadescreen.h"
#include "engine/gui/screenstack.h"
#include "engine/scene/inputmanager.h"
#include "engine/sound/soundmanager.h"
#include "game/screens/backgroundscreen.h"
#include "game/screens/gamemedia.h"
#include "game/screens/mainmenuscreen.h"
#include "game/screens/optionsscreen.h"
#include "game/screens/profilescreen.h"
#include "game/startup/homepage.h"
#include "game/startup/levelrun.h"

#include <vector>

namespace bsh {

namespace {

void StartQuest();
void ShowProfiles();
void ShowOptions();

tsv::ScreenPtr MakeMainMenu()
{
    MainMenuScreen::Actions actions;
    actions.quest = StartQuest;
    actions.profile = ShowProfiles;
    actions.options = ShowOptions;
    actions.more = [] { OpenHomePage(tsv::GetConfig().homeLink); };
    return tsv::ScreenPtr(new MainMenuScreen(GameState::Instance(), std::move(actions)));
}

// Every screen but the running transition, newest first.
void RemoveAllScreens()
{
    tsv::ScreenStack& stack = tsv::ScreenStack::Instance();
    std::vector<tsv::Screen*> doomed;
    for (const tsv::ScreenPtr& screen : stack.GetScreens()) {
        if (!dynamic_cast<tsv::FadeScreen*>(screen.Get())) {
            doomed.push_back(screen.Get());
        }
    }
    for (auto it = doomed.rbegin(); it != doomed.rend(); ++it) {
        stack.Remove(*it);
    }
}

// A new background and `target` over an empty stack.
void ReplaceAllWith(const tsv::ScreenPtr& target)
{
    RemoveAllScreens();
    tsv::ScreenStack& stack = tsv::ScreenStack::Instance();
    stack.Push(tsv::ScreenPtr(new BackgroundScreen));
    stack.Push(target);
}

tsv::ScreenPtr MakeProfileScreen() { return tsv::ScreenPtr(new ProfileScreen(GameState::Instance(), ShowMainMenu)); }

void ShowProfiles()
{
    tsv::RunScreenTransition([] { ReplaceAllWith(MakeProfileScreen()); });
}

tsv::ScreenPtr MakeOptionsScreen()
{
    OptionsScreen::Actions actions;
    actions.done = ShowMainMenu;
    actions.rebuild = ShowOptions;
    return tsv::ScreenPtr(new OptionsScreen(GameState::Instance(), std::move(actions)));
}

void ShowOptions()
{
    tsv::RunScreenTransition([] { ReplaceAllWith(MakeOptionsScreen()); });
}

void StartQuest()
{
    GameState& state = GameState::Instance();
    const std::string level = NextQuestLevel(state);
    tsv::RunScreenTransition([level] {
        RemoveAllScreens();
        GameState::Instance().SetMode(GameModeQuest);
        if (level.empty() || !StartMenuLevel(level, GameModeQuest, ShowMainMenu)) {
            tsv::GetLog() << tsv::Error << "Cannot start the quest level " << level << tsv::EndL;
            ReplaceAllWith(MakeMainMenu());
        }
    });
}

} // namespace

std::string NextQuestLevel(const GameState& state)
{
    tsv::IntrusivePtr<tsv::XMLElement> root = tsv::LoadXMLFile(state.GetPaths().questMap);
    if (!root || root->Children().empty()) {
        return {};
    }
    tsv::IntrusivePtr<Profile> profile = state.CurrentProfile();
    std::string first;
    for (const auto& [name, level] : root->Children().front().second->Children()) {
        tsv::IntrusivePtr<tsv::XMLElement> source = name == "level" ? level->FindChild("source") : nullptr;
        if (!source || source->GetText().empty()) {
            continue;
        }
        if (first.empty()) {
            first = source->GetText();
        }
        if (profile && profile->Record().GetState(GameModeQuest, source->GetText()) == LevelOpen) {
            return source->GetText();
        }
    }
    return first;
}

void StartMenus()
{
    tsv::SoundManager::Instance().Preload("/sound/preload.xml");
    tsv::InputManager::Instance(); // the input poll runs before the screens
    GameMedia::Instance().PlayMusic(Music::Menu);
    tsv::ScreenStack::Instance().Push(tsv::ScreenPtr(new BackgroundScreen));
    // A first run meets the profile screen, which asks for a name at once.
    const bool anyone = GameState::Instance().Profiles().Count() > 0;
    tsv::ScreenStack::Instance().Push(anyone ? MakeMainMenu() : MakeProfileScreen());
}

void ShowMainMenu()
{
    tsv::RunScreenTransition([] {
        GameMedia::Instance().PlayMusic(Music::Menu);
        ReplaceAllWith(MakeMainMenu());
    });
}

} // namespace bsh
