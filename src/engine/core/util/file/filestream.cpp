#include "engine/core/util/file/filestream.h"

#include "engine/core/log.h"
#include "engine/core/util/file/resourcepath.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace tsv {

FileStream::FileStream(const std::string& path, FileMode mode)
{
    if (!Open(path, mode)) {
        GetLog() << Error << "Failed to open file \"" << path << "\"." << EndL;
    }
}

FileStream::~FileStream()
{
    if (m_open) {
        Close();
    }
}

bool FileStream::Open(const std::string& path, FileMode mode)
{
    if (m_open) {
        Close();
    }
    m_name = path;
    std::string resolved = ResolveResourcePath(path);
    // Non-blocking, and regular files only: a named pipe in a file's place
    // is refused instead of waited on for ever.
    constexpr int kFlags = O_CLOEXEC | O_NONBLOCK;
    int fd = -1;
    if (HasFlag(mode, FileMode::Append)) {
        fd = ::open(resolved.c_str(), O_WRONLY | kFlags);
        if (fd < 0 && errno == ENOENT) {
            fd = ::open(resolved.c_str(), O_WRONLY | O_CREAT | O_TRUNC | kFlags, 0644);
        }
    } else if (HasFlag(mode, FileMode::Write)) {
        fd = ::open(resolved.c_str(), O_WRONLY | O_CREAT | O_TRUNC | kFlags, 0644);
    } else {
        fd = ::open(resolved.c_str(), O_RDONLY | kFlags);
    }
    if (fd < 0) {
        m_fd = -1;
        return false;
    }
    struct stat st{};
    const bool known = ::fstat(fd, &st) == 0;
    if (!known || !S_ISREG(st.st_mode)) {
        SystemError error = !known ? SystemError::Last() : SystemError(S_ISDIR(st.st_mode) ? EISDIR : EINVAL);
        ::close(fd);
        GetLog() << Error << "GetFileSize failed." << error;
        return false;
    }
    m_fd = fd;
    m_position = 0;
    m_size = static_cast<int32_t>(st.st_size);
    m_open = true;
    m_writeFailed = false;
    return true;
}

void FileStream::Close()
{
    if (!m_open) {
        GetLog() << Error << "Trying to close file \"" << m_name << "\" that is not opened." << EndL;
        return;
    }
    ::close(m_fd);
    m_fd = -1;
    m_open = false;
}

int32_t FileStream::Read(void* buffer, int32_t count)
{
    if (!m_open) {
        GetLog() << Error << "Trying to read from file \"" << m_name << "\" that is not opened." << EndL;
        return 0;
    }
    int32_t total = 0;
    auto* out = static_cast<char*>(buffer);
    while (count > 0) {
        ssize_t got = ::read(m_fd, out + total, static_cast<size_t>(count));
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            break;
        }
        total += static_cast<int32_t>(got);
        count -= static_cast<int32_t>(got);
    }
    m_position += total;
    return total;
}

void FileStream::Write(const void* buffer, int32_t count)
{
    if (!m_open) {
        GetLog() << Error << "Trying to write to file \"" << m_name << "\" that is not opened." << EndL;
        return;
    }
    int32_t total = 0;
    const auto* in = static_cast<const char*>(buffer);
    while (total < count) {
        ssize_t put = ::write(m_fd, in + total, static_cast<size_t>(count - total));
        if (put < 0 && errno == EINTR) {
            continue;
        }
        if (put <= 0) {
            m_writeFailed = true;
            break;
        }
        total += static_cast<int32_t>(put);
    }
    m_position += total;
    if (m_position > m_size) {
        m_size = m_position;
    }
}

int32_t FileStream::Seek(int32_t offset, SeekOrigin origin)
{
    if (!m_open) {
        GetLog() << Error << "Trying to seek on file \"" << m_name << "\" that is not opened." << EndL;
        return m_position;
    }
    off_t target = 0;
    int whence = SEEK_SET;
    switch (origin) {
    case SeekOrigin::Current:
        target = static_cast<off_t>(m_position) + offset;
        break;
    case SeekOrigin::Begin:
        target = offset;
        break;
    case SeekOrigin::End:
        whence = SEEK_END;
        target = offset;
        break;
    default:
        return m_position;
    }
    if (whence == SEEK_SET && target < 0) {
        target = 0;
    }
    off_t now = ::lseek(m_fd, target, whence);
    if (now < 0) {
        return m_position;
    }
    m_position = static_cast<int32_t>(now);
    return m_position;
}

bool FileStream::Sync()
{
    return m_open && ::fsync(m_fd) == 0;
}

bool ReadFileBytes(const std::string& path, std::string& out)
{
    FileStream file;
    if (!file.Open(path, FileMode::Read)) {
        return false;
    }
    out.resize(static_cast<size_t>(file.GetSize()));
    int32_t got = out.empty() ? 0 : file.Read(out.data(), static_cast<int32_t>(out.size()));
    out.resize(static_cast<size_t>(got));
    return true;
}

bool WriteFileAtomically(const std::string& path, const std::string& bytes)
{
    std::string resolved = ResolveResourcePath(path);
    // A file the player made a link is written through to the link's target,
    // which the rename would otherwise replace with a file of its own.
    std::error_code error;
    for (int hops = 0; hops < 8 && std::filesystem::is_symlink(resolved, error); ++hops) {
        const std::filesystem::path target = std::filesystem::read_symlink(resolved, error);
        if (error) {
            break;
        }
        resolved = (target.is_absolute() ? target : std::filesystem::path(resolved).parent_path() / target).string();
    }
    std::string temp = resolved + ".tmp";
    auto fail = [&](int code) {
        GetLog() << Error << "Failed to save \"" << path << "\"." << SystemError(code);
        ::unlink(temp.c_str());
        return false;
    };
    int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        return fail(errno);
    }
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t put = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (put < 0 && errno == EINTR) {
            continue;
        }
        if (put <= 0) {
            int code = put < 0 ? errno : ENOSPC;
            ::close(fd);
            return fail(code);
        }
        done += static_cast<size_t>(put);
    }
    if (::fsync(fd) != 0) {
        int code = errno;
        ::close(fd);
        return fail(code);
    }
    if (::close(fd) != 0) {
        return fail(errno);
    }
    if (::rename(temp.c_str(), resolved.c_str()) != 0) {
        return fail(errno);
    }
    return true;
}

} // namespace tsv
