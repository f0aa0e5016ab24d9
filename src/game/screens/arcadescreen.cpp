#include "game/screens/arcadescreen.h"

#include "engine/gui/languagemanager.h"
#include "engine/gui/screenstack.h"
#include "engine/gui/standarddialog.h"
#include "game/progress/levellist.h"

#include <cstdio>

namespace bsh {

ArcadeScreen::ArcadeScreen(GameState& state, Actions actions) : m_state(state), m_actions(std::move(actions))
{
    if (!LoadScreenFile(kScreenFile)) {
        return;
    }
    SetHandler("cancelbutton", tsv::GuiEvent::Click, [this](tsv::GUIComponent&) {
        if (m_actions.cancel && !m_left && !m_asking) {
            m_left = true;
            m_actions.cancel();
        }
    });
    for (int page = 1; page <= kPageCount; ++page) {
        SetHandler("pagebutton" + std::to_string(page), tsv::GuiEvent::Click,
                   [this, page](tsv::GUIComponent&) { ShowPage(page); });
        char path[512];
        std::snprintf(path, sizeof path, m_state.GetPaths().arcadeSetPattern.c_str(), page);
        LoadLevelList(path, m_entries[static_cast<size_t>(page - 1)]);
    }
    for (int slot = 1; slot <= kArcadeSlotCount; ++slot) {
        SetHandler("button" + std::to_string(slot), tsv::GuiEvent::Click,
                   [this, slot](tsv::GUIComponent&) { PressSlot(slot); });
    }
    ShowPage(1);
}

void ArcadeScreen::ShowPage(int page)
{
    if (page < 1 || page > kPageCount) {
        return;
    }
    m_page = page;
    tsv::IntrusivePtr<Profile> profile = m_state.CurrentProfile();
    const ProgressRecord normal = profile ? profile->Record(Difficulty::Normal) : ProgressRecord();
    m_slots = ArcadePageSlots(m_entries[static_cast<size_t>(page - 1)], normal);
    tsv::GUIComponent* root = GetRoot();
    if (!root) {
        return;
    }
    for (int p = 1; p <= kPageCount; ++p) {
        if (tsv::GUIComponent* button = root->Find("pagebutton" + std::to_string(p))) {
            button->SetEnabled(p != page);
        }
    }
    for (int i = 1; i <= kArcadeSlotCount; ++i) {
        tsv::GUIComponent* button = root->Find("button" + std::to_string(i));
        if (!button) {
            continue;
        }
        const ArcadeSlot& slot = m_slots[static_cast<size_t>(i - 1)];
        button->SetVisible(slot.shown);
        if (!slot.shown) {
            continue;
        }
        if (tsv::GUIComponent* icon = button->Find("icon")) {
            icon->SetPicture(slot.icon);
        }
        if (tsv::GUIComponent* status = button->Find("status")) {
            status->SetPicture(slot.status);
        }
    }
}

void ArcadeScreen::PressSlot(int slot)
{
    if (slot < 1 || slot > kArcadeSlotCount || m_asking || m_left) {
        return;
    }
    const ArcadeSlot& entry = m_slots[static_cast<size_t>(slot - 1)];
    if (!entry.shown) {
        return;
    }
    if (entry.locked) {
        m_asking = true;
        tsv::StandardDialogPtr dialog = tsv::MakeIntrusive<tsv::StandardDialog>(
            tsv::LanguageManager::Instance().GetText("$Screen.SelectLevel.levelLocked"), tsv::DialogKind::Info);
        dialog->SetOnClosed([this](tsv::Screen&) { m_asking = false; });
        tsv::ScreenStack::Instance().Push(tsv::ScreenPtr(dialog.Get()));
        return;
    }
    if (m_actions.play) {
        m_left = true;
        m_actions.play(entry.levelPath);
    }
}

} // namespace bsh
