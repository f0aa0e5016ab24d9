#pragma once
// A byte stream over one file, with its own position and size bookkeeping.

#include "engine/core/intrusiveptr.h"

#include <cstdint>
#include <string>

namespace tsv {

enum FileMode : uint32_t {
    FileModeRead = 0,
    FileModeWrite = 1,  // create or truncate
    FileModeAppend = 2, // open or create, keep contents; wins over Write
};

enum SeekOrigin : int32_t {
    SeekCurrent = 0,
    SeekBegin = 1,
    SeekEnd = 2,
};

class FileStream : public RefCounted {
public:
    FileStream() = default;
    // Opens at once; a failure is logged as "Failed to open file".
    FileStream(const std::string& path, uint32_t mode);
    ~FileStream() override;
    FileStream(const FileStream&) = delete;
    FileStream& operator=(const FileStream&) = delete;

    virtual void Close();
    virtual int32_t Read(void* buffer, int32_t count);
    virtual void Write(const void* buffer, int32_t count);
    virtual int32_t Seek(int32_t offset, int32_t origin);
    virtual bool IsAtEnd() const { return m_position == m_size; }
    virtual std::string GetName() const { return m_name; }
    virtual bool Open(const std::string& path, uint32_t mode);

    bool IsOpen() const { return m_open; }
    int32_t GetPosition() const { return m_position; }
    int32_t GetSize() const { return m_size; }
    // Flushes written bytes to the disk; false on failure.
    bool Sync();
    // True when every Write since opening stored all of its bytes.
    bool WritesSucceeded() const { return !m_writeFailed; }

private:
    int32_t m_position = 0;
    int32_t m_size = 0;
    bool m_open = false;
    bool m_writeFailed = false;
    std::string m_name;
    int m_fd = -1;
};

// Reads a whole file (resource path) into a string; false when it cannot be opened.
bool ReadFileBytes(const std::string& path, std::string& out);

// Writes bytes to a temporary file beside `path`, flushes it to the disk and
// renames it over `path`, so a failed save never leaves a truncated file behind.
// Logs at Error with the path and the system's reason on failure.
bool WriteFileAtomically(const std::string& path, const std::string& bytes);

} // namespace tsv
