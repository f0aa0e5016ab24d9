#include "game/screens/profilescreen.h"

#include "engine/core/util/file/resourcepath.h"
#include "engine/gui/languagemanager.h"
#include "engine/gui/screenstack.h"
#include "engine/gui/standarddialog.h"
#include "game/progress/endlessrun.h"

#include <cstdio>

namespace bsh {

namespace {

std::string ItemName(int item) { return "item" + std::to_string(item); }

std::string Text(const char* key) { return tsv::LanguageManager::Instance().GetText(std::string("$") + key); }

} // namespace

ProfileScreen::ProfileScreen(GameState& state, std::function<void()> onDone)
    : m_state(state), m_onDone(std::move(onDone))
{
    if (!LoadScreenFile(kScreenFile)) {
        return;
    }
    SetHandler("okbutton", tsv::GuiEvent::Click, [this](tsv::GUIComponent&) {
        tsv::GUIComponent* item = FindComponent(ItemName(m_marked));
        if (item && item->GetOwnVisible()) {
            m_state.Profiles().Select(item->GetCaption());
            SaveProfiles();
        }
        Leave();
    });
    SetHandler("cancelbutton", tsv::GuiEvent::Click, [this](tsv::GUIComponent&) { Leave(); });
    SetHandler("newbutton", tsv::GuiEvent::Click, [this](tsv::GUIComponent&) { AskForName(); });
    SetHandler("deletebutton", tsv::GuiEvent::Click, [this](tsv::GUIComponent&) { AskToDelete(); });
    for (int item = 1; item <= kItems; ++item) {
        SetHandler(ItemName(item), tsv::GuiEvent::Click, [this, item](tsv::GUIComponent&) { Mark(item); });
    }
    Fill();
}

void ProfileScreen::OnShown()
{
    if (m_state.Profiles().Count() == 0) {
        AskForName();
    }
}

void ProfileScreen::Fill()
{
    const auto& profiles = m_state.Profiles().Profiles();
    for (int item = 1; item <= kItems; ++item) {
        if (tsv::GUIComponent* component = FindComponent(ItemName(item))) {
            const bool used = item <= static_cast<int>(profiles.size());
            component->SetCaption(used ? profiles[static_cast<size_t>(item - 1)]->GetName() : std::string());
            component->SetVisible(used);
        }
    }
    if (tsv::GUIComponent* remove = FindComponent("deletebutton")) {
        remove->SetEnabled(!profiles.empty());
    }
    Mark(1);
}

void ProfileScreen::Mark(int item)
{
    tsv::GUIComponent* target = FindComponent(ItemName(item));
    tsv::GUIComponent* marker = FindComponent("marker");
    if (!target || !marker) {
        return;
    }
    m_marked = item;
    marker->SetCenter(target->GetX(), target->GetY());
    marker->SetVisible(target->GetOwnVisible());
}

void ProfileScreen::AskForName()
{
    if (m_dialogOpen || m_leaving) {
        return;
    }
    if (m_state.Profiles().Count() >= ProfileManager::kMaxProfiles) {
        ShowInfo("Screen.Profile.tooManyError");
        return;
    }
    m_dialogOpen = true;
    // The prompt stands over the panel's own buttons: they step back while it shows.
    ShowButtons(false);
    tsv::StandardDialogPtr dialog = tsv::MakeIntrusive<tsv::StandardDialog>(Text("Screen.Profile.newConfirm"), tsv::DialogKind::Input);
    dialog->SetOnClosed([this](tsv::Screen& screen) {
        m_dialogOpen = false;
        ShowButtons(true);
        auto& input = static_cast<tsv::StandardDialog&>(screen);
        if (input.GetResult() == tsv::StandardDialog::kYes && AddProfile(input.GetEnteredText())) {
            Leave();
        }
    });
    tsv::ScreenStack::Instance().Push(tsv::ScreenPtr(dialog.Get()));
}

void ProfileScreen::ShowButtons(bool shown)
{
    for (const char* name : {"newbutton", "deletebutton", "okbutton", "cancelbutton"}) {
        if (tsv::GUIComponent* button = GetRoot() ? GetRoot()->Find(name) : nullptr) {
            button->SetVisible(shown);
        }
    }
}

bool ProfileScreen::AddProfile(const std::string& name)
{
    switch (m_state.Profiles().Add(tsv::IntrusivePtr<Profile>(new Profile(name)))) {
    case ProfileManager::AddResult::Ok:
        SaveProfiles();
        Fill();
        return true;
    case ProfileManager::AddResult::TooMany:
        ShowInfo("Screen.Profile.tooManyError");
        return false;
    case ProfileManager::AddResult::NameTaken:
        ShowInfo("Screen.Profile.alreadyExistsError");
        return false;
    case ProfileManager::AddResult::NameEmpty:
        break;
    }
    ShowInfo("Screen.Profile.badNameError");
    return false;
}

void ProfileScreen::AskToDelete()
{
    if (m_dialogOpen || m_leaving || m_state.Profiles().Count() == 0) {
        return;
    }
    m_dialogOpen = true;
    tsv::StandardDialogPtr dialog =
        tsv::MakeIntrusive<tsv::StandardDialog>(Text("Screen.Profile.deleteConfirm"), tsv::DialogKind::Confirm);
    dialog->SetOnClosed([this](tsv::Screen& screen) {
        m_dialogOpen = false;
        if (static_cast<tsv::StandardDialog&>(screen).GetResult() == tsv::StandardDialog::kYes) {
            DeleteMarked();
        }
    });
    tsv::ScreenStack::Instance().Push(tsv::ScreenPtr(dialog.Get()));
}

void ProfileScreen::DeleteMarked()
{
    tsv::GUIComponent* item = FindComponent(ItemName(m_marked));
    if (!item || !item->GetOwnVisible()) {
        return;
    }
    const std::string name = item->GetCaption();
    ProfileManager& profiles = m_state.Profiles();
    // The saved runs are found through the current profile; bringing the
    // doomed one to the front keeps the others in their order.
    if (!profiles.Select(name)) {
        return;
    }
    m_state.DeleteSavedGame(GameMode::Quest);
    m_state.DeleteSavedGame(GameMode::Arcade);
    std::remove(tsv::ResolveResourcePath(EndlessRun::PathFor(name)).c_str()); // the kept endless board
    profiles.Remove(name);
    SaveProfiles();
    Fill();
}

void ProfileScreen::ShowInfo(const char* key)
{
    tsv::ScreenStack::Instance().Push(tsv::MakeIntrusive<tsv::StandardDialog>(Text(key), tsv::DialogKind::Info));
}

void ProfileScreen::Leave()
{
    if (m_leaving) {
        return;
    }
    m_leaving = true;
    if (m_onDone) {
        m_onDone();
    }
}

void ProfileScreen::SaveProfiles()
{
    if (m_state.Profiles().Count() > 0) {
        m_state.Profiles().Save();
        return;
    }
    std::remove(ProfileManager::FilePath().c_str());
}

} // namespace bsh
