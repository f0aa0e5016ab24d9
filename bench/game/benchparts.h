#pragma once
// A game benchmark's own parts over a storage folder of its own under the
// system's temporary folder, built on first use and kept to the end, with the
// English texts.

#include "engine/core/storage.h"
#include "engine/gui/languagemanager.h"
#include "engine/platform/clock.h"
#include "engine/platform/runoptions.h"
#include "game/startup/gameparts.h"

#include <filesystem>
#include <string>

namespace bsh {

inline GameParts& BenchParts(const std::string& folder)
{
    static const std::string s_storage = [&folder] {
        tsv::GetRunOptions().headless = true;
        tsv::ClockSetFixedStep(1);
        const std::string storage = (std::filesystem::temp_directory_path() / folder).string() + "/";
        std::filesystem::create_directories(storage);
        tsv::SetStoragePath(storage);
        return storage;
    }();
    static GameParts s_parts;
    static const bool s_started = [] {
        const bool started = s_parts.StartScene() && s_parts.StartGui(tsv::GetRunOptions());
        s_parts.StartMedia();
        s_parts.StartState();
        tsv::LanguageManager::Instance().Start(tsv::kLanguageFolder, "English", 0);
        return started;
    }();
    (void)s_started;
    return s_parts;
}

} // namespace bsh
