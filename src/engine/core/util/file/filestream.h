#pragma once
// A byte stream over one file, with its own position and size bookkeeping.

#include "engine/core/intrusiveptr.h"

#include <cstdint>
#include <string>

namespace tsv {

// How a file is opened: a set of bits, reading when none is set.
enum class FileMode : uint32_t {
    Read = 0,
    Write = 1,  // create or truncate
    Append = 2, // open or create, keep contents; wins over Write
};

constexpr FileMode operator|(FileMode a, FileMode b)
{
    return static_cast<FileMode>(static_cast<uint32_t>(a) | static_cast<uint32_t>(b));
}
constexpr FileMode operator&(FileMode a, FileMode b)
{
    return static_cast<FileMode>(static_cast<uint32_t>(a) & static_cast<uint32_t>(b));
}
// Whether every bit of `flag` is set in `mode`.
constexpr bool HasFlag(FileMode mode, FileMode flag) { return (mode & flag) == flag; }

enum class SeekOrigin : int32_t {
    Current = 0,
    Begin = 1,
    End = 2,
};

class FileStream : public RefCounted {
public:
    FileStream() = default;
    // Opens at once; a failure is logged as "Failed to open file".
    FileStream(const std::string& path, FileMode mode);
    ~FileStream() override;
    FileStream(const FileStream&) = delete;
    FileStream& operator=(const FileStream&) = delete;

    virtual void Close();
    virtual int32_t Read(void* buffer, int32_t count);
    virtual void Write(const void* buffer, int32_t count);
    virtual int32_t Seek(int32_t offset, SeekOrigin origin);
    virtual bool IsAtEnd() const { return m_position == m_size; }
    virtual std::string GetName() const { return m_name; }
    virtual bool Open(const std::string& path, FileMode mode);

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
