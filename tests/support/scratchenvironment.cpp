// Every test binary keeps whatever the program writes (settings, logs,
// profiles) in a scratch storage folder of its own, never in the source tree
// it runs in, and removes it at the end.

#include "engine/core/storage.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

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
    }
    // The configuration is written once more at exit, after this; the folder
    // goes then too (see the atexit below).
    void TearDown() override {}

    static std::string m_path;
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
