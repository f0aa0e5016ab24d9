#include "game/screens/leavedialog.h"

#include "engine/gui/languagemanager.h"
#include "engine/gui/screenstack.h"
#include "engine/gui/standarddialog.h"
#include "engine/runtime/application.h"

namespace bsh {

void AskToLeaveLevel(const std::string& questionKey, std::function<void()> leave)
{
    tsv::Application::Instance().GetTimer().SetRunning(false);
    tsv::StandardDialogPtr dialog = tsv::MakeIntrusive<tsv::StandardDialog>(
        tsv::LanguageManager::Instance().GetText(questionKey), tsv::DialogKind::Confirm);
    dialog->SetOnClosed([leave = std::move(leave)](tsv::Screen& screen) {
        tsv::Application::Instance().GetTimer().SetRunning(true);
        if (static_cast<tsv::StandardDialog&>(screen).GetResult() == tsv::StandardDialog::kYes) {
            leave();
        }
    });
    tsv::ScreenStack::Instance().Push(tsv::ScreenPtr(dialog.Get()));
}

} // namespace bsh
