#include "engine/gui/guistartup.h"

#include "engine/gui/languagemanager.h"
#include "engine/gui/languagetable.h"
#include "engine/gui/mousecursor.h"
#include "engine/gui/screenviewer.h"

namespace tsv {

bool StartGui(const RunOptions& options)
{
    if (!LanguageManager::Instance().Start(kLanguageFolder, options.language, SystemLocaleId())) {
        return false;
    }
    MouseCursor::Instance();
    return options.screenPath.empty() || StartScreenViewer(options.screenPath);
}

} // namespace tsv
