#include "fuzz/fuzztarget.h"

#include "engine/core/storage.h"
#include "engine/platform/clock.h"
#include "engine/platform/runoptions.h"
#include "engine/gui/engine.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <string>

namespace bsh::fuzz {

namespace {

std::string g_scratch;
std::unique_ptr<tsv::Engine> g_engine;

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
        // The engine's parts over that folder: a headless scene that draws
        // nothing, silent, on a virtual clock. They go at exit, before the folder.
        tsv::GetRunOptions().headless = true;
        tsv::GetRunOptions().noRender = true;
        tsv::ClockSetFixedStep(1);
        g_engine = std::make_unique<tsv::Engine>();
        g_engine->StartScene();
        std::atexit([] { g_engine.reset(); });
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

void UseHeadlessScene() { Scratch(); }

} // namespace bsh::fuzz
