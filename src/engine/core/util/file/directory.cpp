#include "engine/core/util/file/directory.h"

#include "engine/core/log.h"

#include <cerrno>
#include <dirent.h>
#include <sys/stat.h>

namespace tsv {

Directory::~Directory() { CloseSearch(); }

void Directory::CloseSearch()
{
    if (m_handle) {
        ::closedir(m_handle);
        m_handle = nullptr;
    }
    m_hasEntry = false;
}

bool Directory::Open(const std::string& path)
{
    CloseSearch();
    m_opened = false;
    m_path = path;
    struct stat st{};
    if (::stat(path.c_str(), &st) != 0) {
        GetLog() << Error << "Failed to get attributes of directory \"" << path << "\" " << SystemError::Last();
        return false;
    }
    if (!S_ISDIR(st.st_mode)) {
        return false;
    }
    m_opened = true;
    FindFirstEntry();
    return true;
}

void Directory::Close()
{
    CloseSearch();
    m_opened = false;
}

bool Directory::CheckUsable(const char* operation, int line, bool needsSearch)
{
    if (m_opened && (m_handle || !needsSearch)) {
        return true;
    }
    LogSectionScope scope(GetLog(), "core/util/file/dir(" + std::to_string(line) + "): " + operation, "", false);
    if (!m_opened) {
        GetLog() << Error << "Directory \"" << m_path << "\" is not opened." << EndL;
    } else {
        GetLog() << Error << "Directory \"" << m_path << "\" pointer not set." << EndL;
    }
    return false;
}

bool Directory::ReadEntry()
{
    m_hasEntry = false;
    while (dirent* entry = ::readdir(m_handle)) {
        std::string name = entry->d_name;
        if (name == "." || name == "..") {
            continue;
        }
        m_entryName = name;
        struct stat st{};
        std::string full = m_path + "/" + name;
        m_entryIsDirectory = ::stat(full.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
        m_hasEntry = true;
        break;
    }
    return m_hasEntry;
}

bool Directory::FindFirstEntry()
{
    if (!CheckUsable("bool Directory::FindFirstEntry()", __LINE__, false)) {
        return false;
    }
    CloseSearch();
    m_handle = ::opendir(m_path.c_str());
    if (!m_handle) {
        return false;
    }
    return ReadEntry();
}

bool Directory::FindNextEntry()
{
    if (!CheckUsable("bool Directory::FindNextEntry()", __LINE__, true)) {
        return false;
    }
    return ReadEntry();
}

BaseDirectory::EEntryType Directory::GetEntryType()
{
    if (!CheckUsable("EEntryType Directory::GetEntryType()", __LINE__, true)) {
        return EEntryType::None;
    }
    if (!m_hasEntry) {
        return EEntryType::None;
    }
    return m_entryIsDirectory ? EEntryType::Directory : EEntryType::File;
}

std::string Directory::GetEntryName()
{
    if (!CheckUsable("std::string Directory::GetEntryName()", __LINE__, true) || !m_hasEntry) {
        return {};
    }
    return m_entryName;
}

std::string Directory::GetEntryFullName()
{
    if (!CheckUsable("std::string Directory::GetEntryFullName()", __LINE__, true) || !m_hasEntry) {
        return {};
    }
    return m_path + "/" + m_entryName;
}

} // namespace tsv
