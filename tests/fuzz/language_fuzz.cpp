// Language files: read as the only language of a folder, then asked for texts.
#include "fuzz/fuzztarget.h"

#include "engine/gui/languagemanager.h"

#include <filesystem>

BSH_FUZZ_TARGET(language)
{
    bsh::fuzz::UseHeadlessScene();
    std::filesystem::create_directories(bsh::fuzz::Scratch() + "language");
    const std::string path = bsh::fuzz::WriteInput("language/English1252.xml", data, size);
    const std::string folder = path.substr(0, path.find_last_of('/'));
    tsv::LanguageManager& language = tsv::LanguageManager::Instance();
    language.Reset();
    if (language.Start(folder, "English", 0)) {
        language.GetText("$Dialog.yes");
        language.GetText("$jewelsRequired");
    }
    language.Reset();
}
