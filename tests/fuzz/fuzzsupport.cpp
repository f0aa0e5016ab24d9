#include "fuzz/fuzztarget.h"

#include "engine/core/storage.h"
#include "engine/platform/clock.h"
#include "engine/platform/runoptions.h"
#include "engine/runtime/application.h"
#include "engine/scene/scenemanager.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>

namespace bsh::fuzz {

namespace {

std::string g_scratch;

void RemoveScratch()
{
    std::error_code ignored;
    std::filesystem::remove_all(g_scratch, ignored);
}

} // namespace

const std::string& Scratch()
{
    if (g_scratch.empty()) {
        std::string pattern = (std::filesystem::temp_directory_path() / "bsh-fuzz-XXXXXX").string();
        if (!::mkdtemp(pattern.data())) {
            std::perror("bsh-fuzz: cannot make a scratch folder");
            std::abort();
        }
        g_scratch = pattern + "/";
        tsv::SetStoragePath(g_scratch);
        std::atexit(&RemoveScratch);
    }
    return g_scratch;
}

std::string WriteInput(const std::string& name, const uint8_t* data, size_t size)
{
    const std::string path = Scratch() + name;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        std::perror(path.c_str());
        std::abort();
    }
    if (size > 0 && std::fwrite(data, 1, size, file) != size) {
        std::perror(path.c_str());
        std::abort();
    }
    std::fclose(file);
    return path;
}

void ClearScratch()
{
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator(Scratch(), ignored)) {
        std::filesystem::remove_all(entry.path(), ignored);
    }
}

void UseHeadlessScene()
{
    static const bool ready = [] {
        tsv::GetRunOptions().headless = true;
        tsv::GetRunOptions().noRender = true;
        // The virtual clock must run before the Application's timers exist.
        tsv::ClockSetFixedStep(1);
        tsv::Application::Instance();
        return true;
    }();
    (void)ready;
}

} // namespace bsh::fuzz
