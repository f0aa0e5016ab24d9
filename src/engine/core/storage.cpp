#include "engine/core/storage.h"

#include "engine/core/util/file/filestream.h"

#include "engine/core/log.h"
#include "engine/core/util/file/damagedfile.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tsv {

namespace {

std::vector<UnreadableFile>& Unreadable()
{
    static std::vector<UnreadableFile> s_files;
    return s_files;
}

EPlayerFileRead Refuse(const std::string& path, const std::string& reason)
{
    GetLog() << Error << path << ": the file is there but cannot be read (" << reason
             << "); it is left as it is and not written over" << EndL;
    const size_t slash = path.find_last_of('/');
    Unreadable().push_back({slash == std::string::npos ? path : path.substr(slash + 1), reason});
    return EPlayerFileRead::Unreadable;
}

} // namespace

EPlayerFileRead ReadPlayerFile(const std::string& wanted, std::string& bytes)
{
    bytes.clear();
    const std::string path = PlayerFileSource(wanted);
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        if (errno == ENOENT || errno == ENOTDIR) {
            return EPlayerFileRead::Missing;
        }
        return Refuse(path, std::strerror(errno));
    }
    if (!S_ISREG(info.st_mode)) {
        return Refuse(path, "not a regular file");
    }
    if (info.st_size > kMaxPlayerFileBytes) {
        // No file the game writes comes near this: damage, kept aside unread.
        GetLog() << Warning << path << ": " << static_cast<int64_t>(info.st_size)
                 << " bytes, far more than the game ever writes; moved aside unread" << EndL;
        KeepDamagedFile(path);
        return EPlayerFileRead::Missing;
    }
    // Non-blocking, so that a pipe put in the file's place since cannot hang the game.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        return Refuse(path, std::strerror(errno));
    }
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            const int code = errno;
            ::close(fd);
            bytes.clear();
            return Refuse(path, std::strerror(code));
        }
        if (got == 0) {
            break;
        }
        bytes.append(buffer, static_cast<size_t>(got));
    }
    ::close(fd);
    return EPlayerFileRead::Read;
}

const std::vector<UnreadableFile>& UnreadablePlayerFiles() { return Unreadable(); }

bool LockStorageFolder(const std::string& folder)
{
    const std::string path = folder + "game.lock";
    // Left open for the rest of the process: the lock goes with it.
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NONBLOCK, 0644);
    if (fd < 0) {
        GetLog() << Warning << path << ": cannot be opened; another copy of the game would not be noticed"
                 << SystemError::Last();
        return true;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int code = errno;
        ::close(fd);
        return code != EWOULDBLOCK;
    }
    return true;
}

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

bool PassesWriteTest(const std::string& folder, std::string* why)
{
    const std::string path = folder + "writetest.dat";
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NONBLOCK, 0644);
    if (fd < 0) {
        if (why) {
            *why = std::strerror(errno);
        }
        return false;
    }
    const bool wrote = ::write(fd, "12345", 5) == 5;
    const int code = wrote ? 0 : errno;
    const bool closed = ::close(fd) == 0;
    std::remove(path.c_str());
    if (why && !(wrote && closed)) {
        *why = std::strerror(code != 0 ? code : errno);
    }
    return wrote && closed;
}

StorageFolder FindStorageFolder(const std::string& subfolder)
{
    StorageFolder found;
    const auto tryFolder = [&found](const std::string& folder) {
        if (folder.empty()) {
            return false;
        }
        std::string why;
        const bool writable = PassesWriteTest(folder, &why);
        if (found.usual.empty()) {
            found.usual = folder;
            found.whyNotUsual = writable ? "" : why;
        }
        if (writable) {
            found.path = folder;
        }
        return writable;
    };
    const char* xdg = std::getenv("XDG_DATA_HOME");
    if (xdg && xdg[0] == '/' && tryFolder(GetShellFolder(xdg, subfolder))) {
        return found;
    }
    const char* home = std::getenv("HOME");
    if (home && *home) {
        std::string base = home;
        while (base.size() > 1 && base.back() == '/') {
            base.pop_back();
        }
        if (tryFolder(GetShellFolder(base + "/.local/share", subfolder))) {
            return found;
        }
    }
    tryFolder("data/");
    return found;
}

namespace {
std::string& StoragePathSlot()
{
    static std::string s_path;
    return s_path;
}

std::string& ReadFolderSlot()
{
    static std::string s_path;
    return s_path;
}
} // namespace

void SetStorageReadFolder(const std::string& folder) { ReadFolderSlot() = folder; }

std::string PlayerFileSource(const std::string& path)
{
    const std::string& storage = GetStoragePath();
    const std::string& other = ReadFolderSlot();
    if (other.empty() || storage.empty() || path.rfind(storage, 0) != 0) {
        return path;
    }
    const std::string there = other + path.substr(storage.size());
    struct stat here {}, away {};
    if (::lstat(there.c_str(), &away) != 0) {
        return path;
    }
    if (::lstat(path.c_str(), &here) != 0) {
        return there;
    }
    const bool newerThere = away.st_mtim.tv_sec != here.st_mtim.tv_sec ? away.st_mtim.tv_sec > here.st_mtim.tv_sec
                                                                       : away.st_mtim.tv_nsec > here.st_mtim.tv_nsec;
    return newerThere ? there : path;
}

void SetStoragePath(const std::string& path) { StoragePathSlot() = path; }

const std::string& GetStoragePath() { return StoragePathSlot(); }

} // namespace tsv
