// Every test binary keeps whatever the program writes (settings, logs,
// profiles) in a scratch storage folder of its own, never in the source tree
// it runs in, and removes it at the end. Over that folder it builds the
// engine's parts, as the game's start-up does, with the scene headless, and
// then whatever parts the suite adds (the game's, for the game suite).

#include "engine/core/storage.h"
#include "engine/gui/engine.h"
#include "engine/platform/clock.h"
#include "engine/platform/runoptions.h"
#include "support/testparts.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace testsupport {

std::vector<PartsMaker>& SuiteParts()
{
    static std::vector<PartsMaker> s_makers;
    return s_makers;
}

} // namespace testsupport

namespace {

class ScratchEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "bsh-tests-XXXXXX").string();
        if (::mkdtemp(pattern.data())) {
            m_path = pattern + "/";
            tsv::SetStoragePath(m_path);
        }
        // No sound card and no window: a headless scene over a silent sound
        // manager, as tests of the scene and the screens expect. The run's
        // options go back to what they were for the tests to change. The
        // clock is the virtual one of 1 ms steps from the start, before the
        // timers exist, so that a test moves time on by whole milliseconds.
        tsv::ClockSetFixedStep(1);
        tsv::RunOptions& options = tsv::GetRunOptions();
        const tsv::RunOptions given = options;
        options.headless = true;
        options.noRender = true;
        m_engine = std::make_unique<tsv::Engine>();
        options.noRender = given.noRender;
        m_engine->StartScene();
        options = given;
        for (const testsupport::PartsMaker& make : testsupport::SuiteParts()) {
            m_parts.push_back(make());
        }
    }
    // The parts go in the reverse order, the configuration last (it is
    // written then); the folder goes at exit (see the atexit below).
    void TearDown() override
    {
        while (!m_parts.empty()) {
            m_parts.pop_back();
        }
        m_engine.reset();
    }

    static std::string m_path;

private:
    std::unique_ptr<tsv::Engine> m_engine;
    std::vector<std::shared_ptr<void>> m_parts;
};

std::string ScratchEnvironment::m_path;

void RemoveScratch()
{
    if (!ScratchEnvironment::m_path.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(ScratchEnvironment::m_path, ignored);
    }
}

[[maybe_unused]] ::testing::Environment* const g_environment = [] {
    std::atexit(&RemoveScratch);
    return ::testing::AddGlobalTestEnvironment(new ScratchEnvironment);
}();

} // namespace
