#include "engine/core/util/file/resourcepath.h"

#include <algorithm>
#include <vector>
#include <sys/stat.h>

namespace tsv {

namespace {

bool Exists(const std::string& path)
{
    struct stat st{};
    return ::stat(path.c_str(), &st) == 0;
}

// "/" also begins every absolute path of this platform (the storage folder is
// one). Such a path stays absolute when its first folder exists at the file-system
// root but not in the data folder; "/gui/x.xml" and "/sound/x.wav" are data.
bool IsAbsoluteFileSystemPath(const std::string& path)
{
    size_t end = path.find_first_of("/\\", 1);
    std::string first = path.substr(1, end == std::string::npos ? std::string::npos : end - 1);
    if (first.empty() || end == std::string::npos) {
        return false;
    }
    return !Exists("data/" + first) && Exists("/" + first);
}

} // namespace

std::string ResolveResourcePath(const std::string& path)
{
    if (path.empty()) {
        return path;
    }
    std::string resolved = path;
    if (path[0] == '\\' || (path[0] == '/' && !IsAbsoluteFileSystemPath(path))) {
        resolved = "data" + path;
    }
    std::replace(resolved.begin(), resolved.end(), '\\', '/');
    return resolved;
}

std::string NormaliseResourcePath(const std::string& path)
{
    std::vector<std::string> parts;
    std::string part;
    for (size_t i = 0; i <= path.size(); ++i) {
        const char c = i < path.size() ? path[i] : '/';
        if (c != '/' && c != '\\') {
            part += c;
            continue;
        }
        if (part == "..") {
            if (!parts.empty()) {
                parts.pop_back();
            }
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        part.clear();
    }
    std::string joined = !path.empty() && (path[0] == '/' || path[0] == '\\') ? "/" : "";
    for (size_t i = 0; i < parts.size(); ++i) {
        joined += (i ? "/" : "") + parts[i];
    }
    return joined;
}

} // namespace tsv
