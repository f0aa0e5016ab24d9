#include "game/startup/menuflow.h"

#include "engine/core/config.h"
#include "engine/core/log.h"
#include "engine/core/storage.h"
#include "engine/core/textformat.h"
#include "engine/core/util/file/textconvert.h"
#include "engine/core/util/xml/xmlloader.h"
#include "engine/gui/fadescreen.h"
#include "engine/gui/languagemanager.h"
#include "engine/gui/screenstack.h"
#include "engine/gui/standarddialog.h"
#include "engine/runtime/application.h"
#include "engine/scene/inputmanager.h"
#include "engine/scene/frameloop.h"
#include "engine/sound/soundmanager.h"
#include "game/progress/endlessrun.h"
#include "game/screens/arcadescreen.h"
#include "game/screens/backgroundscreen.h"
#include "game/screens/creditsscreen.h"
#include "game/screens/gamemedia.h"
#include "game/screens/highscorescreen.h"
#include "game/screens/introscreen.h"
#include "game/screens/loaderscreen.h"
#include "game/screens/mainmenuscreen.h"
#include "game/screens/mapscreen.h"
#include "game/screens/optionsscreen.h"
#include "game/screens/profilescreen.h"
#include "game/screens/treasuryscreen.h"
#include "game/screens/victoryscreen.h"
#include "game/startup/homepage.h"
#include "game/startup/levelrun.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace bsh {

namespace {

// The layers of the scene that screens and levels leave their passing nodes on.
constexpr int32_t kTransientLowest = 0;
constexpr int32_t kTransientHighest = 90;

tsv::ScreenPtr MakeMainMenu()
{
    MainMenuScreen::Actions actions;
    actions.quest = [] { EnterMode(GameMode::Quest); };
    actions.arcade = [] { EnterMode(GameMode::Arcade); };
    actions.endless = [] { PlayLevel(kEndlessLevel, GameMode::Endless); };
    actions.hiscore = [] { ShowHighscores(); };
    actions.treasury = [] { ShowTreasury(); };
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

// The transition to a menu screen made by `make` once the old screens are
// gone; `then` runs once it is in place.
template <typename Make> void GoToMenu(Make make, std::function<void()> then = {})
{
    tsv::RunScreenTransition([make, then] {
        tsv::Scene::Instance().ClearLayers(kTransientLowest, kTransientHighest);
        GameMedia::Instance().PlayMusic(Music::Menu);
        ReplaceAllWith(make());
        if (then) {
            then();
        }
    });
}

struct StorageMoved {
    std::string usual, why, writing;
};

std::optional<StorageMoved>& StorageMovedSlot()
{
    static std::optional<StorageMoved> s_moved;
    return s_moved;
}

// What the player must know about their files, over the first menu and
// whatever it asks at once (a new player's name), once every screen has
// shown: where the game writes when it cannot write to its usual folder, and
// one dialog for each file that was there but could not be read, naming the
// file and the reason.
class PlayerFilesNotice : public tsv::Task {
public:
    void Run() override
    {
        for (const tsv::ScreenPtr& screen : tsv::ScreenStack::Instance().GetScreens()) {
            if (!screen->IsShown()) {
                return;
            }
        }
        Kill();
        const tsv::LanguageManager& language = tsv::LanguageManager::Instance();
        const auto local = [&language](const std::string& text) {
            return tsv::ConvertUtf8CharsToCodePage(text, language.GetCodePage());
        };
        std::vector<std::string> texts;
        for (const tsv::UnreadableFile& file : tsv::UnreadablePlayerFiles()) {
            texts.push_back(tsv::FormatText(language.GetText("$Dialog.unreadable.message"),
                                            {local(file.name), local(file.reason)}));
        }
        if (const std::optional<StorageMoved>& moved = StorageMovedSlot()) {
            texts.push_back(tsv::FormatText(language.GetText("$Dialog.storageMoved.message"),
                                            {local(moved->usual), local(moved->why), local(moved->writing)}));
        }
        // The stack shows its top first: the folder's notice, then the files'.
        for (const std::string& text : texts) {
            tsv::ScreenStack::Instance().Push(tsv::MakeIntrusive<tsv::StandardDialog>(text, tsv::DialogKind::Info));
        }
    }
};

void TellOfPlayerFiles()
{
    if (!tsv::UnreadablePlayerFiles().empty() || StorageMovedSlot()) {
        tsv::Application::Instance().GetTaskManager().AddTask(tsv::MakeIntrusive<PlayerFilesNotice>(), 0);
    }
}

tsv::ScreenPtr MakeProfileScreen() { return tsv::ScreenPtr(new ProfileScreen(GameState::Instance(), ShowMainMenu)); }

tsv::ScreenPtr MakeOptionsScreen(std::optional<OptionsScreen::Settings> opened)
{
    OptionsScreen::Actions actions;
    actions.done = ShowMainMenu;
    actions.rebuild = [](const OptionsScreen::Settings& settings) {
        GoToMenu([settings] { return MakeOptionsScreen(settings); });
    };
    actions.credits = ShowCredits;
    return tsv::ScreenPtr(new OptionsScreen(GameState::Instance(), std::move(actions), std::move(opened)));
}

// Where a level started from the menus hands over.
void OnLevelDone(const NextScreenDecision* decision)
{
    if (decision) {
        FollowDecision(*decision);
        return;
    }
    // Left with the run saved: back to the menu with clean statistics.
    GoToMenu([] {
        GameState::Instance().ResetLevelStats();
        return MakeMainMenu();
    });
}

} // namespace

void ShowMainMenu()
{
    GoToMenu(MakeMainMenu);
}

void ShowProfiles()
{
    GoToMenu(MakeProfileScreen);
}

void ShowOptions()
{
    GoToMenu([] { return MakeOptionsScreen(std::nullopt); });
}

void ShowCredits()
{
    GoToMenu([] { return tsv::ScreenPtr(new CreditsScreen(ShowOptions)); });
}

void ShowTreasury()
{
    GoToMenu([] {
        return tsv::ScreenPtr(new TreasuryScreen(GameState::Instance(), [](TreasuryScreen::Next next) {
            switch (next) {
            case TreasuryScreen::Next::Victory:
                ShowVictory();
                break;
            case TreasuryScreen::Next::QuestMap:
                ShowQuestMap();
                break;
            case TreasuryScreen::Next::MainMenu:
                ShowMainMenu();
                break;
            }
        }));
    });
}

void ShowVictory()
{
    GoToMenu([] { return tsv::ScreenPtr(new VictoryScreen(ShowMainMenu)); });
}

void ShowHighscores(GameMode returnMode)
{
    GoToMenu([returnMode] {
        return tsv::ScreenPtr(new HighscoreScreen(GameState::Instance(), returnMode, [](GameMode mode) {
            if (mode == GameMode::Quest) {
                ShowQuestMap();
            } else if (mode == GameMode::Arcade) {
                ShowArcadeSelection();
            } else {
                ShowMainMenu();
            }
        }));
    });
}

void ShowQuestMap(const std::string& completedLevel, bool fast)
{
    tsv::RunScreenTransition([completedLevel, fast] {
        tsv::Scene::Instance().ClearLayers(kTransientLowest, kTransientHighest);
        GameMedia::Instance().PlayMusic(Music::Menu);
        RemoveAllScreens();
        MapScreen::Actions actions;
        actions.play = [](const std::string& level) { PlayLevel(level, GameMode::Quest); };
        actions.close = ShowMainMenu;
        actions.treasury = ShowTreasury;
        tsv::IntrusivePtr<MapScreen> map(new MapScreen(GameState::Instance(), std::move(actions)));
        // The chart covers the whole view: no background under it.
        tsv::ScreenStack::Instance().Push(tsv::ScreenPtr(map.Get()));
        if (!completedLevel.empty()) {
            map->OnLevelCompleted(completedLevel, fast);
        }
    });
}

void ShowArcadeSelection()
{
    GoToMenu([] {
        ArcadeScreen::Actions actions;
        actions.play = [](const std::string& level) {
            GameState::Instance().ResetLevelStats();
            PlayLevel(level, GameMode::Arcade);
        };
        actions.cancel = ShowMainMenu;
        return tsv::ScreenPtr(new ArcadeScreen(GameState::Instance(), std::move(actions)));
    });
}

void EnterMode(GameMode mode)
{
    GameState& state = GameState::Instance();
    state.SetMode(mode);
    const auto showModeScreen = [mode] {
        if (mode == GameMode::Quest) {
            ShowQuestMap();
        } else {
            ShowArcadeSelection();
        }
    };
    tsv::IntrusivePtr<Profile> profile = state.CurrentProfile();
    if (!profile || !state.SavedGameExists(mode)) {
        showModeScreen();
        return;
    }
    const std::string question = tsv::FormatText(
        tsv::LanguageManager::Instance().GetText("$Screen.Title.continuePlayingMsg"),
        {int64_t{profile->Record().GetScore(mode)}});
    tsv::StandardDialogPtr dialog = tsv::MakeIntrusive<tsv::StandardDialog>(question, tsv::DialogKind::Confirm);
    dialog->SetOnClosed([mode](tsv::Screen& screen) {
        if (static_cast<tsv::StandardDialog&>(screen).GetResult() == tsv::StandardDialog::kYes) {
            PlayLevel({}, mode);
        } else {
            FollowDecision(GameState::Instance().DeclineResume(mode));
        }
    });
    tsv::ScreenStack::Instance().Push(tsv::ScreenPtr(dialog.Get()));
}

void PlayLevel(const std::string& levelPath, GameMode mode)
{
    tsv::RunScreenTransition([levelPath, mode] {
        RemoveAllScreens();
        tsv::Scene::Instance().ClearLayers(kTransientLowest, kTransientHighest);
        GameState::Instance().SetMode(mode);
        if (!StartMenuLevel(levelPath, mode, OnLevelDone)) {
            tsv::GetLog() << tsv::Error << "Cannot start the level \"" << levelPath << "\"" << tsv::EndL;
            GameMedia::Instance().PlayMusic(Music::Menu);
            ReplaceAllWith(MakeMainMenu());
        }
    });
}

void FollowDecision(const NextScreenDecision& decision)
{
    switch (decision.screen) {
    case NextScreen::Treasury:
        ShowTreasury();
        break;
    case NextScreen::Highscore:
        ShowHighscores(decision.highscoreReturn);
        break;
    case NextScreen::QuestMap:
        ShowQuestMap(decision.completedLevel, decision.completedFast);
        break;
    case NextScreen::ArcadeSelection:
        ShowArcadeSelection();
        break;
    case NextScreen::MainMenu:
        ShowMainMenu();
        break;
    }
}

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
        if (profile && profile->Record().GetState(GameMode::Quest, source->GetText()) == LevelState::Open) {
            return source->GetText();
        }
    }
    return first;
}

void SetStorageMovedNotice(const std::string& usual, const std::string& why, const std::string& writing)
{
    StorageMovedSlot() = StorageMoved{usual, why, writing};
}

namespace {

// Given by StartMenus: builds the game-wide state when the menus are entered.
std::function<void()>& StateStarter()
{
    static std::function<void()> s_start;
    return s_start;
}

// Past the intro: a first run meets the profile screen, which asks for a name at once.
void EnterMenus()
{
    GoToMenu(
        [] {
            if (StateStarter()) {
                StateStarter()();
            }
            return GameState::Instance().Profiles().Count() > 0 ? MakeMainMenu() : MakeProfileScreen();
        },
        TellOfPlayerFiles);
}

} // namespace

void ShowIntroScreen(int32_t index)
{
    if (IntroScreen::IntroScreenPath(index).empty()) {
        EnterMenus();
        return;
    }
    tsv::RunScreenTransition([index] {
        RemoveAllScreens();
        tsv::ScreenStack::Instance().Push(tsv::ScreenPtr(new IntroScreen(index, ShowIntroScreen)));
    });
}

void StartMenus(std::function<void()> startState)
{
    StateStarter() = std::move(startState);
    tsv::ScreenStack::Instance().Push(tsv::ScreenPtr(new LoaderScreen([] {
        const tsv::Config& config = tsv::GetConfig();
        tsv::SoundManager::Instance().SetGroupVolume(config.soundVolume, tsv::kEffectGroup);
        tsv::SoundManager::Instance().SetGroupVolume(config.musicVolume, tsv::kMusicGroup);
        GameMedia::Instance().PlayMusic(Music::Menu);
        // The intro plays in full on the first start; a returning player
        // (a profile on disk) goes straight to the menu.
        if (ProfileManager::ProfilesOnDisk()) {
            EnterMenus();
        } else {
            ShowIntroScreen(0);
        }
    })));
}

} // namespace bsh
