// Current directory and the plain files a wildcard matches, over POSIX calls.
#include "platform/oxpDirectory.h"
#include "platform/oxpDirectoryListing.h"
#include "platform/oxpPath.h"
#include <cstring>
#include <dirent.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

char foldCase(char c) noexcept { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

// '*' any run, '?' any one character, letters case-insensitive.
bool wildcardMatch(const char* pattern, const char* name) noexcept {
    const char* star = nullptr;
    const char* resume = nullptr;
    while (*name) {
        if (*pattern == '*') {
            star = pattern++;
            resume = name;
        } else if (*pattern == '?' || (*pattern && foldCase(*pattern) == foldCase(*name))) {
            ++pattern;
            ++name;
        } else if (star) {
            pattern = star + 1;
            name = ++resume;
        } else {
            return false;
        }
    }
    while (*pattern == '*')
        ++pattern;
    return *pattern == '\0';
}

// Windows lets "x.*" match names without any extension too, so "*.*" matches every file.
bool nameMatches(const std::string& pattern, const std::string& name) {
    if (wildcardMatch(pattern.c_str(), name.c_str()))
        return true;
    bool dotStar = pattern.size() >= 2 && pattern.compare(pattern.size() - 2, 2, ".*") == 0;
    return dotStar && name.find('.') == std::string::npos &&
           wildcardMatch(pattern.substr(0, pattern.size() - 2).c_str(), name.c_str());
}

} // namespace

namespace oxp {

// In the order the folder lists them.
std::vector<oxp::FindData> matchingFiles(const std::string& folder, const std::string& pattern) {
    std::vector<oxp::FindData> found;
    DIR* dir = opendir(folder.c_str());
    if (!dir)
        return found;
    while (dirent* entry = readdir(dir)) {
        // The entry's type passes over folders and the like without a stat; a plain file (or a
        // link to one) still takes one, relative to the open folder, for its size.
        const unsigned char type = entry->d_type;
        if (type != DT_REG && type != DT_LNK && type != DT_UNKNOWN)
            continue;
        std::string name = entry->d_name;
        struct stat info {};
        if (name.size() >= oxp::maxPath || !nameMatches(pattern, name) ||
            fstatat(dirfd(dir), entry->d_name, &info, 0) != 0 || !S_ISREG(info.st_mode))
            continue;
        oxp::FindData data{};
        std::memcpy(data.fileName, name.c_str(), name.size() + 1);
        data.fileSize = static_cast<std::uint64_t>(info.st_size);
        found.push_back(data);
    }
    closedir(dir);
    return found;
}

bool setCurrentDirectory(const char* path) noexcept {
    if (!path || !*path)
        return false;
    try {
        return chdir(resolveHostPath(hostPath(path)).c_str()) == 0;
    } catch (...) {
        return false;
    }
}

std::uint32_t getCurrentDirectory(std::uint32_t size, char* buffer) noexcept {
    char* cwd = getcwd(nullptr, 0);
    if (!cwd)
        return 0;
    std::size_t length = std::strlen(cwd);
    std::uint32_t result = 0;
    if (length < UINT32_MAX) {
        if (buffer && size > length) {
            std::memcpy(buffer, cwd, length + 1);
            result = static_cast<std::uint32_t>(length);
        } else {
            result = static_cast<std::uint32_t>(length + 1);
        }
    }
    std::free(cwd);
    return result;
}

} // namespace oxp
