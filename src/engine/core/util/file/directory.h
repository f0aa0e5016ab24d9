#pragma once
// Enumerates the entries of one directory; "." and ".." are never listed.

#include "engine/core/intrusiveptr.h"

#include <string>

struct __dirstream;

namespace tsv {

class BaseDirectory : public RefCounted {
public:
    enum class EEntryType { File = 0, Directory = 1, None = 2 };

    virtual bool Open(const std::string& path) = 0;
    virtual void Close() = 0;
    virtual bool FindFirstEntry() = 0;
    virtual bool FindNextEntry() = 0;
    virtual EEntryType GetEntryType() = 0;
    virtual std::string GetEntryName() = 0;
    virtual std::string GetEntryFullName() = 0;
};

class Directory : public BaseDirectory {
public:
    Directory() = default;
    ~Directory() override;
    Directory(const Directory&) = delete;
    Directory& operator=(const Directory&) = delete;

    bool Open(const std::string& path) override;
    void Close() override;
    bool FindFirstEntry() override;
    bool FindNextEntry() override;
    EEntryType GetEntryType() override;
    std::string GetEntryName() override;
    std::string GetEntryFullName() override;

private:
    bool CheckUsable(const char* operation, int line, bool needsSearch);
    bool ReadEntry();
    void CloseSearch();

    bool m_opened = false;
    bool m_hasEntry = false;
    std::string m_path;
    __dirstream* m_handle = nullptr;
    std::string m_entryName;
    bool m_entryIsDirectory = false;
};

} // namespace tsv
