#include "game/screens/mainmenuscreen.h"

#include "engine/core/textformat.h"
#include "engine/gui/languagemanager.h"
#include "engine/gui/screenstack.h"
#include "engine/gui/standarddialog.h"
#include "engine/runtime/application.h"

#include <cstdio>
#include <string>

namespace bsh {

namespace {

constexpr const char* kButtons[] = {"questbutton",    "arcadebutton",  "endlessbutton", "hiscorebutton",
                                    "treasurybutton", "profilebutton", "optionsbutton", "morebutton",
                                    "exitbutton"};

// printf with one string argument, for a format that came from a language file.
} // namespace

MainMenuScreen::MainMenuScreen(GameState& state, Actions actions) : m_state(state), m_actions(std::move(actions))
{
    if (!LoadScreenFile(kScreenFile)) {
        return;
    }
    Bind("questbutton", m_actions.quest);
    Bind("arcadebutton", m_actions.arcade);
    Bind("endlessbutton", m_actions.endless);
    Bind("hiscorebutton", m_actions.hiscore);
    Bind("treasurybutton", m_actions.treasury);
    Bind("profilebutton", m_actions.profile);
    Bind("optionsbutton", m_actions.options);
    Bind("morebutton", m_actions.more);
    SetHandler("exitbutton", tsv::GuiEvent::Click, [this](tsv::GUIComponent&) { AskToExit(); });

    if (tsv::GUIComponent* version = FindComponent("version")) {
        version->SetCaption(version->GetCaption() + " " + kVersion);
    }
    tsv::IntrusivePtr<Profile> profile = m_state.CurrentProfile();
    if (tsv::GUIComponent* welcome = FindComponent("welcometext")) {
        // The format names the player; without a profile there is no one to greet.
        welcome->SetCaption(profile ? tsv::FormatText(welcome->GetCaption(), {profile->GetName()}) : std::string());
    }
    if (tsv::GUIComponent* treasury = FindComponent("treasurybutton")) {
        treasury->SetVisible(profile && profile->Awards().AnyEarned());
    }
    StackButtons();
}

void MainMenuScreen::Bind(const char* name, const std::function<void()>& action)
{
    tsv::GUIComponent* button = FindComponent(name);
    if (!button) {
        return;
    }
    if (!action) {
        button->SetEnabled(false);
        return;
    }
    SetHandler(name, tsv::GuiEvent::Click, [this, action](tsv::GUIComponent&) {
        if (!m_asking) {
            action();
        }
    });
}

// A hidden button leaves no gap: the visible ones close up from the top.
void MainMenuScreen::StackButtons()
{
    int32_t y = 0;
    bool first = true;
    for (const char* name : kButtons) {
        tsv::GUIComponent* button = FindComponent(name);
        if (!button) {
            continue;
        }
        if (first) {
            y = button->GetY();
            first = false;
        }
        if (button->GetOwnVisible()) {
            button->SetCenter(button->GetX(), y);
            y += kButtonPitch;
        }
    }
}

void MainMenuScreen::AskToExit()
{
    if (m_asking) {
        return;
    }
    m_asking = true;
    tsv::StandardDialogPtr dialog =
        tsv::MakeIntrusive<tsv::StandardDialog>(
        tsv::LanguageManager::Instance().GetText("$Screen.MainMenu.exitConfirm"), tsv::DialogKind::Confirm);
    dialog->SetOnClosed([this](tsv::Screen& screen) {
        m_asking = false;
        if (static_cast<tsv::StandardDialog&>(screen).GetResult() == tsv::StandardDialog::kYes) {
            tsv::Application::Instance().Exit(0);
        }
    });
    tsv::ScreenStack::Instance().Push(tsv::ScreenPtr(dialog.Get()));
}

} // namespace bsh
