#include "support/scratchstorage.h"

#include "engine/runtime/application.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>

namespace bsh::test {

namespace fs = std::filesystem;

ScratchStorage::ScratchStorage()
{
    std::string pattern = (fs::temp_directory_path() / "bsh-storage-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) {
        throw std::runtime_error("mkdtemp failed");
    }
    m_path = pattern + "/";
    m_previousStorage = tsv::Application::Instance().GetStoragePath();
    tsv::Application::Instance().SetStoragePath(m_path);
}

ScratchStorage::~ScratchStorage()
{
    tsv::Application::Instance().SetStoragePath(m_previousStorage);
    std::error_code ignored;
    fs::remove_all(m_path, ignored);
}

void ScratchStorage::Write(const std::string& name, const std::string& bytes) const
{
    fs::create_directories(fs::path(File(name)).parent_path());
    testsupport::WriteFile(File(name), bytes);
}

std::string ScratchStorage::Read(const std::string& name) const { return testsupport::ReadFile(File(name)); }

bool ScratchStorage::Exists(const std::string& name) const { return fs::exists(File(name)); }

std::vector<std::string> ScratchStorage::List() const
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(m_path)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string ScratchStorage::DamagedPath(const std::string& name) const
{
    std::string newest;
    for (const std::string& entry : List()) {
        if (entry.rfind(name + ".damaged-", 0) == 0 && entry > newest) {
            newest = entry;
        }
    }
    return newest.empty() ? std::string() : File(newest);
}

std::string ScratchStorage::ReadDamaged(const std::string& name) const
{
    const std::string path = DamagedPath(name);
    return path.empty() ? std::string() : Read(path.substr(m_path.size()));
}

} // namespace bsh::test
