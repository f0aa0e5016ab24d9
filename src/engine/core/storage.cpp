#include "engine/core/storage.h"

#include "engine/core/util/file/filestream.h"

#include <cstdio>
#include <filesystem>
#include <cstdlib>
#include <sys/stat.h>

namespace tsv {

std::string GetShellFolder(const std::string& base, const std::string& subfolder)
{
    if (base.empty()) {
        return {};
    }
    std::string folder = base;
    if (folder.back() != '/') {
        folder += '/';
    }
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    std::string component;
    for (size_t i = 0; i <= subfolder.size(); ++i) {
        char c = i < subfolder.size() ? subfolder[i] : '/';
        if (c == '/' || c == '\\') {
            if (!component.empty()) {
                folder += component + "/";
                ::mkdir(folder.c_str(), 0755);
                component.clear();
            }
        } else {
            component += c;
        }
    }
    return folder;
}

bool PassesWriteTest(const std::string& folder)
{
    std::string path = folder + "writetest.dat";
    FileStream file;
    if (!file.Open(path, FileModeWrite)) {
        return false;
    }
    file.Write("12345", 5);
    bool ok = file.GetSize() == 5 && file.WritesSucceeded();
    file.Close();
    std::remove(path.c_str());
    return ok;
}

std::string FindStorageFolder(const std::string& subfolder)
{
    const char* xdg = std::getenv("XDG_DATA_HOME");
    if (xdg && xdg[0] == '/') {
        std::string folder = GetShellFolder(xdg, subfolder);
        if (!folder.empty() && PassesWriteTest(folder)) {
            return folder;
        }
    }
    const char* home = std::getenv("HOME");
    if (home && *home) {
        std::string base = home;
        while (base.size() > 1 && base.back() == '/') {
            base.pop_back();
        }
        std::string folder = GetShellFolder(base + "/.local/share", subfolder);
        if (!folder.empty() && PassesWriteTest(folder)) {
            return folder;
        }
    }
    if (PassesWriteTest("data/")) {
        return "data/";
    }
    return {};
}

namespace {
std::string& StoragePathSlot()
{
    static std::string s_path;
    return s_path;
}
} // namespace

void SetStoragePath(const std::string& path) { StoragePathSlot() = path; }

const std::string& GetStoragePath() { return StoragePathSlot(); }

} // namespace tsv
