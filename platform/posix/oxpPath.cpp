// Windows-style paths mapped onto a POSIX file system: '/' only, names matched in any case.
#include "platform/oxpPath.h"
#include <dirent.h>
#include <sys/stat.h>

namespace {

bool exists(const std::string& path) noexcept {
    struct stat info {};
    return lstat(path.c_str(), &info) == 0;
}

// The entry of folder whose name equals part case-insensitively; empty when there is none.
std::string findNoCase(const std::string& folder, const std::string& part) {
    DIR* dir = opendir(folder.empty() ? "." : folder.c_str());
    if (!dir)
        return {};
    std::string found;
    while (dirent* entry = readdir(dir)) {
        std::string name = entry->d_name;
        if (oxp::sameNameNoCase(name, part) && (found.empty() || name < found))
            found = name;
    }
    closedir(dir);
    return found;
}

} // namespace

namespace oxp {

std::string hostPath(const char* windowsPath) {
    std::string path = windowsPath ? windowsPath : "";
    for (char& c : path)
        if (c == '\\')
            c = '/';
    return path;
}

std::string resolveHostPath(const std::string& path) {
    std::string resolved;
    std::size_t start = 0;
    if (!path.empty() && path[0] == '/') {
        resolved = "/";
        start = 1;
    }
    while (start <= path.size()) {
        std::size_t end = path.find('/', start);
        if (end == std::string::npos)
            end = path.size();
        std::string part = path.substr(start, end - start);
        std::string folder = resolved;
        if (!part.empty() && part != "." && part != ".." && !exists(folder + part)) {
            std::string match = findNoCase(folder, part);
            if (match.empty())
                return resolved + path.substr(start);
            part = match;
        }
        resolved += part;
        if (end < path.size())
            resolved += '/';
        start = end + 1;
    }
    return resolved;
}

} // namespace oxp
