#include "engine/core/util/file/damagedfile.h"

#include "engine/core/log.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <sys/stat.h>

namespace tsv {

namespace {

bool Exists(const std::string& path)
{
    struct stat st{};
    return ::stat(path.c_str(), &st) == 0;
}

} // namespace

std::string KeepDamagedFile(const std::string& path)
{
    if (!Exists(path)) {
        return {};
    }
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    std::string aside = path + ".damaged-" + stamp;
    for (int n = 2; Exists(aside) && n < 1000; ++n) {
        aside = path + ".damaged-" + stamp + "-" + std::to_string(n);
    }
    if (std::rename(path.c_str(), aside.c_str()) != 0) {
        GetLog() << Error << path << ": damaged, and it cannot be moved aside (" << std::strerror(errno)
                 << "); it is left as it is" << EndL;
        return {};
    }
    GetLog() << Warning << path << ": could not be read whole; the file is kept as " << aside << EndL;
    return aside;
}

} // namespace tsv
